// The error batches as the results pane shows them: the error text selected between its tags,
// the tag found around the caret, Go to Error Batch/Tag and the double click on an error.
#include "ResultView.h"

#include "BatchExecution.h"
#include "querycore/ErrorBatchText.h"
#include "ResultCommands.h"
#include "ResultsHost.h"

#include <string_view>

namespace {

std::string_view RawText(const wxCharBuffer& text)
{
    return std::string_view(text.data(), text.length());
}

} // namespace

void CResultView::GoToMessageLine(long position)
{
    if (position < 0)
        return;
    const wxCharBuffer text = GetTextRaw();
    const auto selection = error_batch_text::MessageLineSelection(RawText(text), static_cast<size_t>(position));
    Freeze();
    SetSelection(static_cast<int>(selection.start), static_cast<int>(selection.end));
    EnsureCaretVisible();
    Thaw();
    Refresh();
    Update();
}

wxString CResultView::GetErrorBatchAt(long position)
{
    if (position < 0)
        return wxString();
    const wxCharBuffer text = GetTextRaw();
    const std::string tag = error_batch_text::TagAt(RawText(text), static_cast<size_t>(position));
    return wxString::FromUTF8(tag.data(), tag.size());
}

bool CResultView::GoToErrorBatchAt(const wxString& tag, long position)
{
    if (tag.empty())
        return false;
    const long batchStart = m_pFrame->FindErrorBatch(tag);
    if (batchStart < 0)
        return false;
    GoToMessageLine(position);
    m_pFrame->SelectBatchLine(batchStart);
    CResultsText& text = m_pFrame->GetExecution().ResultsText();
    text.m_nSavedSelStart = GetSelectionStart();
    text.m_nSavedSelEnd = GetSelectionEnd();
    return true;
}

bool CResultView::GoToErrorBatchAtCaret()
{
    if (IsGridVisible() || !m_pFrame->HasErrorBatches())
        return false;
    const long caret = GetCurrentPos();
    return GoToErrorBatchAt(GetErrorBatchAt(caret), caret);
}

bool CResultView::IsGoToErrorBatchEnabled()
{
    if (!IsGridVisible() && m_pFrame->IsFindInFilesTagMode())
        return m_pFrame->HasFindInFilesHitAtLine(LineFromPosition(GetCurrentPos()));
    if (IsGridVisible() || !m_pFrame->HasErrorBatches())
        return false;
    const wxString selected = GetSelectedText();
    if (selected.Contains(error_batch_text::kOpenTag.data()) || selected.Contains(error_batch_text::kCloseTag.data()))
        return false;
    const wxString tag = GetErrorBatchAt(GetCurrentPos());
    if (tag.empty())
        return false;
    return m_pFrame->FindErrorBatch(tag) >= 0;
}

void CResultView::OnGoToErrorBatch(wxCommandEvent&)
{
    if (!IsGridVisible() && m_pFrame->IsFindInFilesTagMode()) {
        m_pFrame->OpenFindInFilesHitAtLine(LineFromPosition(GetCurrentPos()));
        return;
    }
    GoToErrorBatchAtCaret();
}

void CResultView::OnLButtonDblClk(wxMouseEvent& event)
{
    if (IsGridVisible()) {
        event.Skip();
        return;
    }
    // The first click of the two has put the caret where the pointer is.
    const int at = PositionFromPoint(event.GetPosition());
    if (at >= 0)
        SetSelection(at, at);
    if (m_pFrame->IsFindInFilesTagMode()) {
        if (!m_pFrame->OpenFindInFilesHitAtLine(LineFromPosition(GetCurrentPos())))
            event.Skip();
        return;
    }
    if (!GoToErrorBatchAtCaret())
        event.Skip(); // the control selects the word under the pointer
}
