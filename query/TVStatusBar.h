// The query window's status bar: five panes (message, autocommit indicator, elapsed time,
// result set, caret position), the autocommit pane drawn as a coloured block.
#pragma once

#include <wx/statusbr.h>

#include <functional>

class CTVStatusBar : public wxStatusBar {
public:
    static constexpr int kAutoCommitPane = 1;

    // autoCommit tells the pane whether the window's autocommit mode is on.
    CTVStatusBar(wxWindow* parent, std::function<bool()> autoCommit);

    // The colour the autocommit pane is drawn in: dark green when on, dark red when off.
    wxColour GetAutoCommitColour() const;

protected:
    void DrawField(wxDC& dc, int i, int textHeight) override;

private:
    std::function<bool()> m_autoCommit;
};
