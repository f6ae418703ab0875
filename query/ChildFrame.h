// The query window frame: one connection, the editor pane and the window's state; a tab of
// the main window.
#pragma once

#include "ado/Ado.h"

#include <wx/defs.h>
#include <wx/aui/tabmdi.h>
#include <wx/docview.h>

#include <atomic>
#include <optional>

class CMainFrame;
class CTorvaneDoc;
class wxPanel;

typedef wxDocChildFrameAny<wxAuiMDIChildFrame, wxAuiMDIParentFrame> CChildFrameBase;

class CChildFrame : public CChildFrameBase {
public:
    CChildFrame(wxDocument* doc, wxView* view, CMainFrame* mainFrame);
    ~CChildFrame() override;

    // Opens the window's connection (no connect string: the data link dialog asks) and selects
    // the database when one is named. False when there is no open connection.
    bool OpenConnection(const std::optional<wxString>& connect, bool promptEdit,
                        const std::optional<wxString>& database);
    bool Connect(const std::optional<wxString>& connect, bool promptEdit);
    // A new query window connected with this window's connect string.
    CTorvaneDoc* OpenWindowOnSameConnection(const std::optional<wxString>& path);

    // The pane that holds the SQL editor; the editor view puts its control there.
    wxWindow* GetEditorPane() const;
    void SetEditorWindow(wxWindow* editor);
    void ShowSchemaPane(bool show) { m_bSchemaShown = show; }
    bool IsSchemaPaneShown() const { return m_bSchemaShown; }
    void SetDsnLessConnection(bool dsnLess) { m_bDsnLessConnection = dsnLess; }
    bool IsDsnLessConnection() const { return m_bDsnLessConnection; }
    wxString GetConnectionString() const;

    // Asks a running batch or file search to stop.
    void CancelQueryBatch();
    void StopFindInFiles();

    ado::ConnectionPtr m_pConnection;
    CMainFrame* m_pMainFrame;
    std::atomic<int> m_bExecuting{0};
    std::atomic<int> m_bFindInFiles{0};
    std::atomic<int> m_bStop{0};
    std::atomic<int> m_bCancelling{0};

private:
    wxPanel* m_pEditorPane;
    bool m_bSchemaShown = true;
    bool m_bDsnLessConnection = false;
};

// The share of memory and swap in use, in percent; -1 when it cannot be read.
int GetPageFileUsagePercent();
