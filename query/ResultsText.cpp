#include "ResultsText.h"

#include "common/EditHelpers.h"
#include "common/SettingsTable.h"
#include "platform/MessageBox.h"
#include "QueryHost.h"
#include "QueryKeyRouting.h"
#include "ResultsGrids.h"
#include "RunViewState.h"
#include "TVStatusBar.h"
#include "WindowConnection.h"

#include "querycore/OutputMode.h"

#include <wx/statusbr.h>
#include <wx/stc/stc.h>

#include <algorithm>
#include <chrono>
#include <limits>

namespace {

constexpr const char* kWhiteSpace = " \t\r\n\v\f";
// Characters put into the view at once: well under a millisecond of the view's work. A slice
// ends at the last line end of its second half, when it has one.
constexpr size_t kAppendSlice = 16 * 1024;
// The view's work per turn of the event loop, so that the window never waits on it long.
constexpr std::chrono::milliseconds kAppendBudget{10};
// The view's document grows by copying all of it (a fresh copy every sixth or so of growth),
// which the window would wait on for long once it is large. Room is made ahead while the
// document is empty or small, and beyond that four times what is needed at once: address space
// only, its memory is taken as the text comes. Characters are counted as bytes; text beyond
// ASCII only fills the room sooner.
constexpr size_t kFirstRoom = 64 * 1024 * 1024;
constexpr size_t kRoomGrowth = 4;
constexpr int kResultSetPane = 3;

const char* const kResultsInTextWarning =
    "Warning: The <Results in Text> option is GOOD ONLY FOR RETRIEVING <PROCEDURE>/<VIEW> TEXT. If this option is "
    "not selected results will be shown in grid by default.\n\nDo you want this message box to be displayed again?";

// The end of the next slice of text that starts at from and ends before to.
size_t SliceEnd(const wxString& text, size_t from, size_t to)
{
    const size_t end = std::min(to, from + kAppendSlice);
    if (end == to)
        return end;
    for (size_t at = end; at > from + kAppendSlice / 2; --at) {
        if (text[at - 1] == '\n')
            return at;
    }
    return end;
}

} // namespace

CResultsText::CResultsText(IRunWindow& window, CQueryRunState& run, CRunViewState& view, COutputMode& output,
                           CWindowConnection& connection)
    : m_window(window), m_run(run), m_view(view), m_output(output), m_connection(connection)
{
    m_appendTimer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { AppendPending(); });
}

void CResultsText::ShowMessages()
{
    wxStyledTextCtrl* view = m_window.GetResultsText();
    if (!m_window.IsOutputPaneShown())
        m_window.OnViewOutput();
    if (m_pGrids)
        m_pGrids->HideAllGrids();
    wxString text = m_run.CopyMessages();
    const size_t length = text.length();
    const size_t last = text.find_last_not_of(kWhiteSpace);
    text.Trim(true).Trim(false);
    if (!text.empty() && view) {
        ClearPending();
        view->Freeze();
        SetReadOnlyText(*view, text);
        if (m_nSavedSelStart == -1 && m_nSavedSelEnd == -1)
            view->GotoPos(view->GetLength());
        else
            view->SetSelection(m_nSavedSelStart, m_nSavedSelEnd);
        view->Thaw();
        m_cursor.shown = true;
        m_cursor.seen = length;
        m_cursor.shownTo = last + 1;
    }
    SetResultsPaneText("Messages");
    if (view)
        view->Refresh();
}

void CResultsText::FlushOutputText(bool textOutput)
{
    wxStyledTextCtrl* view = m_window.GetResultsText();
    if (!view)
        return;
    std::optional<COutputPiece> piece = m_run.TakeNewOutput(textOutput, m_cursor);
    if (!piece)
        return;
    const size_t from = piece->from, to = piece->to;
    wxString text;
    text.swap(piece->text);
    m_pending.emplace_back(text, from, to);
    m_nPendingLength += to - from;
    if (textOutput)
        MakeRoom(*view);
    AppendPending();
}

void CResultsText::MakeRoom(wxStyledTextCtrl& view)
{
    const size_t needed = static_cast<size_t>(view.GetLength()) + m_nPendingLength;
    if (needed <= m_nRoom)
        return;
    m_nRoom = std::max(kFirstRoom, needed * kRoomGrowth);
    view.Allocate(static_cast<int>(std::min<size_t>(m_nRoom, std::numeric_limits<int>::max())));
}

void CResultsText::AppendPending()
{
    wxStyledTextCtrl* view = m_window.GetResultsText();
    if (!view || m_pending.empty())
        return;
    const auto deadline = std::chrono::steady_clock::now() + kAppendBudget;
    do {
        CPendingText& front = m_pending.front();
        const size_t end = SliceEnd(front.text, front.from, front.to);
        AppendMessageText(*view, front.text.substr(front.from, end - front.from), true);
        m_nPendingLength -= end - front.from;
        front.from = end;
        if (front.from == front.to)
            m_pending.pop_front();
    } while (!m_pending.empty() && std::chrono::steady_clock::now() < deadline);
    if (!m_pending.empty()) {
        // A timer, not a queued call: the event loop runs its timers, input and painting
        // before it comes back here.
        if (!m_appendTimer.IsRunning())
            m_appendTimer.StartOnce(1);
        return;
    }
    // The line count of a finished run is right once the last piece is in.
    if (!m_run.IsExecuting())
        UpdateResultSetPane();
}

void CResultsText::ClearView()
{
    if (wxStyledTextCtrl* view = m_window.GetResultsText()) {
        view->Freeze();
        SetReadOnlyText(*view, wxString());
        view->GotoPos(0);
        view->Thaw();
    }
    m_nSavedSelStart = m_nSavedSelEnd = 0;
    ClearPending();
    ForgetBuffer();
}

void CResultsText::ForgetBuffer()
{
    m_cursor = COutputCursor();
}

void CResultsText::ClearPending()
{
    m_pending.clear();
    m_nPendingLength = 0;
    m_appendTimer.Stop();
}

int CResultsText::GetLineCount() const
{
    wxStyledTextCtrl* view = m_window.GetResultsText();
    return view ? view->GetLineCount() : 1;
}

void CResultsText::SetResultsPaneText(const wxString& text)
{
    m_view.m_strResultsPaneText = text;
    if (wxStatusBar* bar = m_window.GetQueryStatusBar())
        bar->SetStatusText(m_window.IsOutputPaneShown() ? text : wxString(), kResultSetPane);
}

void CResultsText::UpdateResultSetPane()
{
    if (m_window.IsOutputPaneShown() && m_view.m_strResultsPaneText.Contains("Number of lines of text:")) {
        m_view.m_strResultsPaneText = wxString::Format("Number of lines of text: %d", GetLineCount());
    } else if (m_window.IsOutputPaneShown() &&
               m_view.m_strResultsPaneText.Contains("Number of result sets saved:")) {
        const int saved = m_run.SavedResultSets();
        m_view.m_strResultsPaneText = wxString::Format("Number of result sets saved: %d", saved);
    }
    // A hidden output pane leaves the result-set pane empty.
    if (!m_window.IsOutputPaneShown() || !m_view.m_strResultsPaneText.empty())
        SetResultsPaneText(m_view.m_strResultsPaneText);
}

void CResultsText::OnResultsInText(wxCommandEvent&)
{
    if (!m_output.m_bResultsInText && m_connection.m_bResultsInTextWarning) {
        if (TVMessageBox(kResultsInTextWarning, wxYES_NO | wxICON_QUESTION, &m_window.GetRunWindow()) == wxID_NO) {
            m_window.TurnOffResultsInTextWarning();
            settings::WriteInt(settings::ResultsInTextWarning, 0);
        }
    }
    m_output.m_bResultsInText = !m_output.m_bResultsInText;
}

void CResultsText::OnUpdateResultsInText(wxUpdateUIEvent& event)
{
    event.Enable(m_window.IsConnectionOpen() && !m_run.IsExecuting());
    event.Check(m_output.m_bResultsInText != 0);
}

void CResultsText::OnMessagesMode(wxCommandEvent&)
{
    if (m_pGrids && m_pGrids->IsGridFailed())
        return;
    wxStyledTextCtrl* view = m_window.GetResultsText();
    if (m_view.m_strResultsPaneText.IsSameAs("Messages", false) && m_window.IsOutputPaneShown()) {
        if (view) {
            const long from = view->GetSelectionStart(), to = view->GetSelectionEnd();
            if (from == to && to == view->GetLength())
                m_nSavedSelStart = m_nSavedSelEnd = -1;
            else
                m_nSavedSelStart = from, m_nSavedSelEnd = to;
        }
        const int grid = m_view.m_grids.Current() == 0 ? 1 : m_view.m_grids.Current();
        if (!m_pGrids || !m_pGrids->ShowGrid(grid)) {
            if (view)
                SetReadOnlyText(*view, wxString());
            ClearPending();
            ForgetBuffer();
            SetResultsPaneText("Results grid #0 of 0; 0 row(s); 0 col(s)");
        }
    } else {
        ShowMessages();
        m_window.ActivateResultsPane();
    }
    if (view)
        view->Refresh();
}

void CResultsText::OnUpdateMessagesMode(wxUpdateUIEvent& event)
{
    if (m_pGrids && m_pGrids->IsGridFailed()) {
        event.Enable(false);
        return;
    }
    const bool enabled = m_window.IsConnectionOpen() && m_run.HasMessages();
    event.Enable(enabled);
    event.Check(enabled && m_view.m_strResultsPaneText.IsSameAs("Messages") && m_window.IsOutputPaneShown());
}
