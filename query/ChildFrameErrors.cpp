// Error navigation of a query window: Next and Previous Error Batch walk the error batches of
// the last execution, showing each one's error text in the results pane and the first line of
// its batch in the editor.
#include "ChildFrame.h"

#include "common/EditHelpers.h"
#include "editor/QryView.h"
#include "QueryKeyRouting.h"
#include "ResultsText.h"
#include "ResultView.h"

void CChildFrame::BindErrorCommands()
{
    Bind(wxEVT_MENU, &CChildFrame::OnNextErrorBatch, this, ID_NEXT_ERROR_BATCH);
    Bind(wxEVT_MENU, &CChildFrame::OnPreviousErrorBatch, this, ID_PREVIOUS_ERROR_BATCH);
    Bind(wxEVT_UPDATE_UI, &CChildFrame::OnUpdateErrorBatch, this, ID_NEXT_ERROR_BATCH);
    Bind(wxEVT_UPDATE_UI, &CChildFrame::OnUpdateErrorBatch, this, ID_PREVIOUS_ERROR_BATCH);
}

bool CChildFrame::HasErrorBatches() const
{
    return m_pRunState->HasErrorTags();
}

void CChildFrame::OnUpdateErrorBatch(wxUpdateUIEvent& event)
{
    event.Enable(HasErrorBatches() || !m_findHits.empty());
}

// Without error batches, the hits of the last Find in Files search are walked instead.
void CChildFrame::OnNextErrorBatch(wxCommandEvent&)
{
    if (!HasErrorBatches()) {
        GoToFindInFilesHit(true);
        return;
    }
    if (const std::optional<CErrorTagEntry> entry = m_pRunState->NextErrorTag())
        GoToErrorBatch(*entry);
}

void CChildFrame::OnPreviousErrorBatch(wxCommandEvent&)
{
    if (!HasErrorBatches()) {
        GoToFindInFilesHit(false);
        return;
    }
    if (const std::optional<CErrorTagEntry> entry = m_pRunState->PreviousErrorTag())
        GoToErrorBatch(*entry);
}

void CChildFrame::GoToErrorBatch(const CErrorTagEntry& entry)
{
    if (!IsOutputPaneShown())
        OnViewOutput();
    CResultView* view = m_pResultView;
    if (!view)
        return;
    const bool haveMessages = m_pRunState->HasMessages();
    // The error stands in the messages: a grid on top of them would hide it.
    CResultsText& text = m_pExecution->ResultsText();
    if (haveMessages && (view->GetLength() == 0 || view->IsGridVisible()))
        text.ShowMessages();
    if (view->IsGridVisible())
        return;
    const long found = FindEditText(*view, entry.tag, 0, -1, true);
    if (found < 0)
        return;
    view->GoToMessageLine(found);
    SelectBatchLine(entry.batchStart);
    text.m_nSavedSelStart = view->GetSelectionStart();
    text.m_nSavedSelEnd = view->GetSelectionEnd();
}

long CChildFrame::FindErrorBatch(const wxString& tag)
{
    return m_pRunState->FindErrorTag(tag);
}

void CChildFrame::SelectBatchLine(long batchStart)
{
    if (CQryView* editor = GetQueryView())
        editor->SelectLineAndActivate(batchStart, CResultView::GetDefaultLineNumber(wxString()));
}
