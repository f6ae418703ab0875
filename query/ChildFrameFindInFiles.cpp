// Find in Files in a query window: the dialog, the search run a step at a time on the window's
// thread with the window's events handled in between, its report in the results pane, Esc to
// stop it, and the hits opened from the pane or walked with Next and Previous.
#include "ChildFrame.h"

#include "common/EditHelpers.h"
#include "common/SettingsTable.h"
#include "editor/QryView.h"
#include "FindInFilesDlg.h"
#include "PeekAndPump.h"
#include "QueryKeyRouting.h"
#include "ResultsText.h"
#include "ResultView.h"

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/filename.h>

#include <algorithm>
#include <chrono>

namespace {

// Events waiting are handled after every step; the idle work, which may be costly, this often.
constexpr std::chrono::milliseconds kIdleInterval{100};

bool EventsWaiting()
{
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    return loop && (loop->Pending() || (wxTheApp && wxTheApp->HasPendingEvents()));
}

// Handles what waits between two steps of the search. A search started while the loop was
// already yielding (from the handling of another pumping loop) dispatches the waiting events
// itself, since a yield does not nest. False when the program is ending.
bool PumpBetweenSteps(bool idle)
{
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    if (!loop || !loop->IsYielding())
        return PeekAndPump(idle);
    for (int n = 0; n < 64 && loop->Pending(); ++n)
        loop->Dispatch();
    if (wxTheApp)
        wxTheApp->ProcessPendingEvents();
    return wxTheApp && wxTheApp->GetTopWindow() && !wxTheApp->GetTopWindow()->IsBeingDeleted();
}

} // namespace

void CChildFrame::BindFindInFilesCommands()
{
    Bind(wxEVT_MENU, &CChildFrame::OnFindInFiles, this, ID_FIND_IN_FILES);
    Bind(wxEVT_MENU, &CChildFrame::OnStopFindInFiles, this, ID_STOP_FIND_IN_FILES);
    Bind(wxEVT_UPDATE_UI, &CChildFrame::OnUpdateFindInFiles, this, ID_FIND_IN_FILES);
    Bind(wxEVT_UPDATE_UI, &CChildFrame::OnUpdateStopFindInFiles, this, ID_STOP_FIND_IN_FILES);
    m_pExecution->m_fnRunStarting = [this] {
        m_findHits.clear();
        m_nHitCursor = -1;
        m_bFindInFilesTagMode = false;
    };
}

void CChildFrame::OnUpdateFindInFiles(wxUpdateUIEvent& event)
{
    event.Enable(!IsBusy());
}

void CChildFrame::OnUpdateStopFindInFiles(wxUpdateUIEvent& event)
{
    event.Enable(IsFindInFilesRunning());
}

void CChildFrame::OnStopFindInFiles(wxCommandEvent&)
{
    if (!IsFindInFilesRunning())
        return;
    SetFindStatusText("Attempting to stop find in files...");
    StopFindInFiles();
}

void CChildFrame::OnFindInFiles(wxCommandEvent&)
{
    if (IsBusy())
        return;
    CFindInFilesRequest request;
    {
        CFindInFilesDlg dialog(this);
        if (dialog.ShowModal() != wxID_OK)
            return;
        request.findWhat = dialog.m_strFindWhat;
        request.filesOfType = dialog.m_strFilesOfType;
        request.lookIn = dialog.m_strLookIn;
        request.matchWholeWord = dialog.m_bMatchWholeWord != 0;
        request.lookInSubfolders = dialog.m_bLookInSubfolders != 0;
        request.matchCase = dialog.m_bMatchCase != 0;
        request.fileNamesOnly = dialog.m_bFileNamesOnly != 0;
    }
    request.skippedFileTypes = settings::ReadInvalidFileExts();
    ClosePrintPreview();
    RunFindInFiles(request);
}

void CChildFrame::AppendFindOutput(const wxString& text)
{
    if (text.empty() || !m_pResultView)
        return;
    m_pResultView->Freeze();
    AppendMessageText(*m_pResultView, text, true);
    m_pResultView->Thaw();
}

void CChildFrame::ShowOccurrences(const wxString& text)
{
    m_pExecution->SetResultsPaneText(text);
    FitStatusPane(3, text);
    if (m_wndStatusBar->GetStatusText(3) != text)
        m_wndStatusBar->SetStatusText(text, 3);
}

void CChildFrame::RunFindInFiles(const CFindInFilesRequest& request)
{
    if (IsBusy())
        return;
    // A close asked for meanwhile waits until the search has unwound.
    CNestedLoop nested(*this);
    m_pRunState->BeginSearch();
    m_pExecution->ClearResults();
    m_pExecution->ResetErrorTags();
    m_findHits.clear();
    m_nHitCursor = -1;
    m_bFindInFilesTagMode = true;
    m_bFindFileNamesOnly = request.fileNamesOnly;
    if (!IsOutputPaneShown())
        OnViewOutput();
    m_pExecution->Timer().StartExecTimer();
    // Find Next in the editor and in the results pane goes on with the searched text.
    CQryView::SetFindText(request.findWhat, request.matchCase, request.matchWholeWord);
    if (m_pResultView)
        m_pResultView->SetFindText(request.findWhat, request.matchCase, request.matchWholeWord);

    try {
        CFindInFiles search(request);
        ShowOccurrences(search.OccurrencesText());
        auto lastIdle = std::chrono::steady_clock::now();
        bool done = false;
        while (!done) {
            if (m_pRunState->IsStopRequested())
                search.Stop();
            done = search.Step();
            AppendFindOutput(search.TakeOutput());
            if (done)
                break;
            const auto now = std::chrono::steady_clock::now();
            const bool idle = now - lastIdle >= kIdleInterval;
            if (idle) {
                lastIdle = now;
                if (m_pExecution->View().m_strStatusText != search.StatusText())
                    SetFindStatusText(search.StatusText());
                ShowOccurrences(search.OccurrencesText());
            }
            if ((idle || EventsWaiting()) && !PumpBetweenSteps(idle))
                search.Stop();
        }
        m_findHits = search.Hits();
        SetFindStatusText(search.StatusText());
        ShowOccurrences(search.OccurrencesText());
    } catch (const std::exception&) {
        AppendFindOutput("Errors occurred. Search aborted.");
        SetFindStatusText("Find in files completed with errors");
    }
    m_pExecution->Timer().FormatExecTime();
    m_pExecution->Timer().KillExecTimer();
    if (settings::ReadInt(settings::Beep))
        wxBell();
    m_pRunState->EndSearch();
    m_pRunState->ClearStop();
}

namespace {

bool ByReportLine(const CFindInFilesHit& hit, long line)
{
    return hit.reportLine < line;
}

} // namespace

bool CChildFrame::HasFindInFilesHitAtLine(long line) const
{
    const auto found = std::lower_bound(m_findHits.begin(), m_findHits.end(), line, ByReportLine);
    if (found == m_findHits.end() || found->reportLine != line)
        return false;
    return wxFileName::FileExists(wxString::FromUTF8(found->path));
}

bool CChildFrame::OpenFindInFilesHitAtLine(long line)
{
    if (!HasFindInFilesHitAtLine(line))
        return false;
    const auto found = std::lower_bound(m_findHits.begin(), m_findHits.end(), line, ByReportLine);
    return OpenFindInFilesHit(*found);
}

bool CChildFrame::OpenFindInFilesHit(const CFindInFilesHit& hit)
{
    const wxString path = wxString::FromUTF8(hit.path);
    if (path.empty() || hit.line <= 0 || !wxFileName::FileExists(path))
        return false;
    const CFindInFilesHit shown = hit; // the list may change while the file opens
    wxWeakRef<CChildFrame> self(this);
    SetFindStatusText("Attempting to open " + path + "...");
    wxDocManager* manager = GetDocument() ? GetDocument()->GetDocumentManager() : wxDocManager::GetDocumentManager();
    wxDocument* doc = manager ? manager->CreateDocument(path) : nullptr;
    if (!self)
        return false;
    SetFindStatusText(wxString());
    if (!doc)
        return false;
    if (CChildFrame* frame = QueryFrameOf(dynamic_cast<CTorvaneDoc*>(doc)))
        if (CQryView* editor = frame->GetQueryView())
            editor->GoToFindInFilesHit(shown.line, shown.position, shown.length);
    // The pane shows which hit is open, and Next and Previous go on from it.
    if (m_pResultView && !m_pResultView->IsGridVisible() && shown.reportLine < m_pResultView->GetLineCount()) {
        const int lineStart = m_pResultView->PositionFromLine(static_cast<int>(shown.reportLine));
        m_pResultView->SetSelection(lineStart, m_pResultView->GetLineEndPosition(static_cast<int>(shown.reportLine)));
    }
    const auto at = std::lower_bound(m_findHits.begin(), m_findHits.end(), shown.reportLine, ByReportLine);
    m_nHitCursor = at != m_findHits.end() && at->reportLine == shown.reportLine
                       ? static_cast<long>(at - m_findHits.begin())
                       : static_cast<long>(m_findHits.size());
    return true;
}

void CChildFrame::GoToFindInFilesHit(bool next)
{
    if (m_findHits.empty())
        return;
    const long count = static_cast<long>(m_findHits.size());
    if (next)
        m_nHitCursor = m_nHitCursor < 0 || m_nHitCursor + 1 >= count ? 0 : m_nHitCursor + 1;
    else
        m_nHitCursor = m_nHitCursor <= 0 || m_nHitCursor > count ? count - 1 : m_nHitCursor - 1;
    if (!IsOutputPaneShown())
        OnViewOutput();
    OpenFindInFilesHit(m_findHits[static_cast<size_t>(m_nHitCursor)]);
}
