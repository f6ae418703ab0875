#include "ResultsText.h"

#include "ChildFrame.h"
#include "common/EditHelpers.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "QueryHost.h"
#include "QueryKeyRouting.h"
#include "ResultsGrids.h"
#include "ResultView.h"

#include <wx/statusbr.h>

#include <algorithm>

namespace {

constexpr const char* kWhiteSpace = " \t\r\n\v\f";
// Characters put into the view per event: a few tens of milliseconds of the view's work.
constexpr size_t kAppendPiece = 512 * 1024;
constexpr int kResultSetPane = 3;

const char* const kResultsInTextWarning =
    "Warning: The <Results in Text> option is GOOD ONLY FOR RETRIEVING <PROCEDURE>/<VIEW> TEXT. If this option is "
    "not selected results will be shown in grid by default.\n\nDo you want this message box to be displayed again?";

} // namespace

void CResultsText::ShowMessages()
{
    CResultView* view = m_frame.GetResultView();
    if (m_pGrids)
        m_pGrids->HideAllGrids();
    wxString text;
    size_t length;
    {
        std::lock_guard<std::mutex> lock(m_frame.GetRunState()->m_csOutput);
        text = m_frame.GetRunState()->m_strMessages;
        length = text.length();
    }
    const size_t last = text.find_last_not_of(kWhiteSpace);
    text.Trim(true).Trim(false);
    if (!text.empty() && view) {
        ClearPending();
        view->Freeze();
        view->SetOutputText(text);
        if (m_nSavedSelStart == -1 && m_nSavedSelEnd == -1)
            view->GotoPos(view->GetLength());
        else
            view->SetSelection(m_nSavedSelStart, m_nSavedSelEnd);
        view->Thaw();
        m_bShown = true;
        m_nBufferSeen = length;
        m_nShownTo = last + 1;
    }
    SetResultsPaneText("Messages");
    if (view)
        view->Refresh();
}

void CResultsText::FlushOutputText(bool textOutput)
{
    if (!m_frame.GetResultView())
        return;
    {
        std::lock_guard<std::mutex> lock(m_frame.GetRunState()->m_csOutput);
        const wxString& buffer =
            textOutput ? m_frame.GetRunState()->m_strTextOutput : m_frame.GetRunState()->m_strMessages;
        if (buffer.length() <= m_nBufferSeen)
            return;
        m_nBufferSeen = buffer.length();
        const size_t last = buffer.find_last_not_of(kWhiteSpace);
        if (last == wxString::npos)
            return;
        if (!m_bShown)
            m_nShownTo = buffer.find_first_not_of(kWhiteSpace);
        if (last + 1 <= m_nShownTo)
            return;
        // The view was emptied when the run started, so the first piece too is appended.
        m_strPending.append(buffer, m_nShownTo, last + 1 - m_nShownTo);
        m_nShownTo = last + 1;
        m_bShown = true;
    }
    AppendPending();
}

void CResultsText::AppendPending()
{
    CResultView* view = m_frame.GetResultView();
    if (!view || m_nPendingFrom >= m_strPending.length())
        return;
    const size_t count = std::min(kAppendPiece, m_strPending.length() - m_nPendingFrom);
    AppendMessageText(*view, m_strPending.substr(m_nPendingFrom, count), true);
    m_nPendingFrom += count;
    if (m_nPendingFrom < m_strPending.length()) {
        if (!m_bAppendScheduled) {
            m_bAppendScheduled = true;
            m_frame.CallAfter([this] {
                m_bAppendScheduled = false;
                AppendPending();
            });
        }
        return;
    }
    m_strPending.clear();
    m_nPendingFrom = 0;
    // The line count of a finished run is right once the last piece is in.
    if (!m_frame.GetRunState()->m_bExecuting)
        UpdateResultSetPane();
}

void CResultsText::ClearView()
{
    if (CResultView* view = m_frame.GetResultView()) {
        view->Freeze();
        view->SetOutputText(wxString());
        view->GotoPos(0);
        view->Thaw();
    }
    m_nSavedSelStart = m_nSavedSelEnd = 0;
    ClearPending();
    ForgetBuffer();
}

void CResultsText::ForgetBuffer()
{
    m_bShown = false;
    m_nBufferSeen = 0;
    m_nShownTo = 0;
}

void CResultsText::ClearPending()
{
    m_strPending.clear();
    m_nPendingFrom = 0;
}

int CResultsText::GetLineCount() const
{
    CResultView* view = m_frame.GetResultView();
    return view ? view->GetLineCount() : 1;
}

void CResultsText::SetResultsPaneText(const wxString& text)
{
    m_frame.RunView().m_strResultsPaneText = text;
    if (wxStatusBar* bar = m_frame.GetQueryStatusBar())
        bar->SetStatusText(m_frame.IsOutputPaneShown() ? text : wxString(), kResultSetPane);
}

void CResultsText::UpdateResultSetPane()
{
    if (m_frame.IsOutputPaneShown() && m_frame.RunView().m_strResultsPaneText.Contains("Number of lines of text:")) {
        m_frame.RunView().m_strResultsPaneText = wxString::Format("Number of lines of text: %d", GetLineCount());
    } else if (m_frame.IsOutputPaneShown() &&
               m_frame.RunView().m_strResultsPaneText.Contains("Number of result sets saved:")) {
        int saved;
        {
            std::lock_guard<std::mutex> lock(m_frame.GetRunState()->m_csOutput);
            saved = m_frame.GetRunState()->m_nSavedResultSets;
        }
        m_frame.RunView().m_strResultsPaneText = wxString::Format("Number of result sets saved: %d", saved);
    }
    // A hidden output pane leaves the result-set pane empty.
    if (!m_frame.IsOutputPaneShown() || !m_frame.RunView().m_strResultsPaneText.empty())
        SetResultsPaneText(m_frame.RunView().m_strResultsPaneText);
}

void CResultsText::OnResultsInText(wxCommandEvent&)
{
    if (!m_frame.OutputMode().m_bResultsInText && m_frame.Connection().m_bResultsInTextWarning) {
        if (TVMessageBox(kResultsInTextWarning, wxYES_NO | wxICON_QUESTION, &m_frame) == wxID_NO) {
            if (m_frame.GetHost()) {
                for (CChildFrame* window : m_frame.GetHost()->GetQueryWindows())
                    window->Connection().m_bResultsInTextWarning = 0;
            }
            m_frame.Connection().m_bResultsInTextWarning = 0;
            CSettingsStore::Get().WriteProfileInt("General", "ResultsInTextWarning", 0);
        }
    }
    m_frame.OutputMode().m_bResultsInText = !m_frame.OutputMode().m_bResultsInText;
}

void CResultsText::OnUpdateResultsInText(wxUpdateUIEvent& event)
{
    event.Enable(m_frame.IsConnectionOpen() && !m_frame.GetRunState()->m_bExecuting);
    event.Check(m_frame.OutputMode().m_bResultsInText != 0);
}

void CResultsText::OnMessagesMode(wxCommandEvent&)
{
    if (m_pGrids && m_pGrids->IsGridFailed())
        return;
    CResultView* view = m_frame.GetResultView();
    if (m_frame.RunView().m_strResultsPaneText.IsSameAs("Messages", false) && m_frame.IsOutputPaneShown()) {
        if (view) {
            const long from = view->GetSelectionStart(), to = view->GetSelectionEnd();
            if (from == to && to == view->GetLength())
                m_nSavedSelStart = m_nSavedSelEnd = -1;
            else
                m_nSavedSelStart = from, m_nSavedSelEnd = to;
        }
        const int grid = m_frame.RunView().m_nCurrentGrid == 0 ? 1 : m_frame.RunView().m_nCurrentGrid;
        if (!m_pGrids || !m_pGrids->ShowGrid(grid)) {
            if (view)
                view->SetOutputText(wxString());
            ClearPending();
            ForgetBuffer();
            SetResultsPaneText("Results grid #0 of 0; 0 row(s); 0 col(s)");
        }
    } else {
        ShowMessages();
        if (view)
            view->SetFocus();
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
    bool haveMessages;
    {
        std::lock_guard<std::mutex> lock(m_frame.GetRunState()->m_csOutput);
        haveMessages = !m_frame.GetRunState()->m_strMessages.empty();
    }
    const bool enabled = m_frame.IsConnectionOpen() && haveMessages;
    event.Enable(enabled);
    event.Check(enabled && m_frame.RunView().m_strResultsPaneText.IsSameAs("Messages") && m_frame.IsOutputPaneShown());
}
