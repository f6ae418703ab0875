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
    std::lock_guard<std::mutex> lock(m_pRunState->m_csOutput);
    return !m_pRunState->m_errorList.IsEmpty();
}

void CChildFrame::OnUpdateErrorBatch(wxUpdateUIEvent& event)
{
    event.Enable(HasErrorBatches());
}

void CChildFrame::OnNextErrorBatch(wxCommandEvent&)
{
    std::optional<CErrorTagEntry> entry;
    {
        std::lock_guard<std::mutex> lock(m_pRunState->m_csOutput);
        if (const CErrorTagEntry* next = m_pRunState->m_errorList.MoveNext())
            entry = *next;
    }
    if (entry)
        GoToErrorBatch(*entry);
}

void CChildFrame::OnPreviousErrorBatch(wxCommandEvent&)
{
    std::optional<CErrorTagEntry> entry;
    {
        std::lock_guard<std::mutex> lock(m_pRunState->m_csOutput);
        if (const CErrorTagEntry* previous = m_pRunState->m_errorList.MovePrevious())
            entry = *previous;
    }
    if (entry)
        GoToErrorBatch(*entry);
}

void CChildFrame::GoToErrorBatch(const CErrorTagEntry& entry)
{
    if (!IsOutputPaneShown())
        OnViewOutput();
    CResultView* view = m_pResultView;
    if (!view)
        return;
    bool haveMessages;
    {
        std::lock_guard<std::mutex> lock(m_pRunState->m_csOutput);
        haveMessages = !m_pRunState->m_strMessages.empty();
    }
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
    std::lock_guard<std::mutex> lock(m_pRunState->m_csOutput);
    return m_pRunState->m_errorList.Find(tag);
}

void CChildFrame::SelectBatchLine(long batchStart)
{
    if (CQryView* editor = GetQueryView())
        editor->SelectLineAndActivate(batchStart, CResultView::GetDefaultLineNumber(wxString()));
}
