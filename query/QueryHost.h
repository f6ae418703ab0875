// What a query window needs of the application shell around it, and nothing more: the main
// window's status message and window list, opening a window on the same connection, the
// settings every query window shares, the schema pane the shell builds for it, the lists of its
// menu bar, and the end of a command-line run. The main window implements it; a query window without a host (tests that
// make one bare) does without these. Called on the window thread only.
#pragma once

#include "common/ProfileFont.h"

#include <wx/font.h>
#include <wx/string.h>

#include <cstddef>
#include <optional>
#include <vector>

class CChildFrame;
class CSchemaPane;
class CTorvaneDoc;
class wxFrame;
class wxMenuBar;
class wxWindow;

// Fonts and options chosen once for every query window.
struct CSharedViewSettings {
    bool m_bCopyColNames = true;
    LogFont m_lfGrid;
    int m_nGridBold = 0;
    int m_nGridSize = 0;
    wxString m_strGridFaceName;
    bool m_bTahomaPresent = false;
    // The results text font of every query window.
    wxFont m_fontResult;
    // The schema pane's font of every query window; none until one is stored or chosen.
    wxFont m_fontSchema;
};

class IQueryHost {
public:
    // The main window itself: minimised, enabled, raised and closed at the end of a
    // command-line run.
    virtual wxFrame* GetHostWindow() = 0;
    virtual void SetStatusMessage(const wxString& text) = 0;

    // Query windows in the order they were opened.
    virtual const std::vector<CChildFrame*>& GetQueryWindows() const = 0;
    virtual size_t GetConnectionCount() const = 0;
    virtual CChildFrame* GetActiveQueryWindow() const = 0;
    // Called by a query window when it is destroyed.
    virtual void RemoveQueryWindow(CChildFrame* frame) = 0;
    virtual void CascadeWindows() = 0;
    // Opens a query window as the shell's own connect command does; null when none opened.
    virtual CTorvaneDoc* NewQueryWindow(const std::optional<wxString>& connect, const std::optional<wxString>& file,
                                        const std::optional<wxString>& database) = 0;
    // Set while the shell opens a window whose connect string names a driver.
    virtual bool IsDsnLess() const = 0;

    virtual CSharedViewSettings& SharedSettings() = 0;

    // The schema pane of a new query window, a child of parent.
    virtual CSchemaPane* CreateSchemaPane(wxWindow* parent, CChildFrame& frame) = 0;

    // A window opened to run a command-line batch has ended its run.
    virtual void OnCommandLineRunEnded(bool failed) = 0;

    // A query window's menu bar: the shell fills its recent lists and driver menu from now on,
    // until the window lets it go before deleting it.
    virtual void RegisterMenuBar(wxMenuBar* bar) = 0;
    virtual void ForgetMenuBar(wxMenuBar* bar) = 0;

protected:
    ~IQueryHost() = default;
};
