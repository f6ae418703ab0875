#include "editor/QryView.h"
#include "editor/EditBatch.h"

#include "common/SettingsTable.h"
#include "editor/SqlEditTransforms.h"
#include "platform/MessageBox.h"

#include <wx/utils.h>

namespace {

// The one find/replace dialog of the program and what it last searched for.
struct FindState {
    wxFindReplaceData data{wxFR_DOWN};
    wxFindReplaceDialog* dialog = nullptr;
    CQryView* owner = nullptr;
    bool findOnly = true;
    bool lastWasFind = true;
    long initialPos = -1; // where a search began, to stop after going round once
    bool wrapped = false;
};

FindState& Finder()
{
    static FindState state;
    return state;
}

void ResetSearchStart()
{
    Finder().initialPos = -1;
    Finder().wrapped = false;
}

} // namespace

void CQryView::CloseFindDialog()
{
    FindState& find = Finder();
    if (find.owner == this && find.dialog) {
        find.dialog->Destroy();
        find.dialog = nullptr;
        find.owner = nullptr;
    }
}

int CQryView::SearchFlags(bool matchCase, bool wholeWord) const
{
    return (matchCase ? wxSTC_FIND_MATCHCASE : 0) | (wholeWord ? wxSTC_FIND_WHOLEWORD : 0);
}

// The first match between from and to (backwards when to < from), or -1. The match is left in
// the control's target.
long CQryView::SearchRange(const wxString& find, int flags, long from, long to)
{
    m_pEdit->SetSearchFlags(flags);
    m_pEdit->SetTargetRange(from, to);
    return m_pEdit->SearchInTarget(find);
}

bool CQryView::SelectionMatches(const wxString& find, bool matchCase, bool wholeWord)
{
    const long start = m_pEdit->GetSelectionStart(), end = m_pEdit->GetSelectionEnd();
    if (start == end || find.empty())
        return false;
    return SearchRange(find, SearchFlags(matchCase, wholeWord), start, end) == start &&
           m_pEdit->GetTargetEnd() == end;
}

bool CQryView::FindText(const wxString& find, bool matchCase, bool wholeWord, bool down)
{
    if (!m_pEdit || find.empty())
        return false;
    FindState& state = Finder();
    const int flags = SearchFlags(matchCase, wholeWord);
    const long length = m_pEdit->GetLength();
    long from = down ? m_pEdit->GetSelectionEnd() : m_pEdit->GetSelectionStart();
    if (down && !SelectionMatches(find, matchCase, wholeWord))
        from = m_pEdit->GetSelectionStart();
    if (state.initialPos < 0)
        state.initialPos = from;
    // Once round: from where the search began to the end, then from the other end back to it.
    long limit = down ? length : 0;
    if (state.wrapped)
        limit = state.initialPos;
    long found = (down ? from <= limit : from >= limit) ? SearchRange(find, flags, from, limit) : -1;
    if (found < 0 && !state.wrapped && state.initialPos != (down ? 0 : length)) {
        state.wrapped = true;
        found = SearchRange(find, flags, down ? 0 : length, state.initialPos);
    }
    if (found < 0)
        return false;
    m_pEdit->SetSelection(m_pEdit->GetTargetStart(), m_pEdit->GetTargetEnd());
    m_pEdit->EnsureCaretVisible();
    return true;
}

void CQryView::OnTextNotFound(const wxString&)
{
    ResetSearchStart();
    TVMessageBox("Finished searching the document.", wxOK | wxICON_INFORMATION, m_pEdit);
}

void CQryView::FindNextAgain()
{
    FindState& state = Finder();
    const wxString find = state.data.GetFindString();
    if (!state.lastWasFind || find.empty())
        return;
    const int flags = state.data.GetFlags();
    if (!FindText(find, flags & wxFR_MATCHCASE, flags & wxFR_WHOLEWORD, flags & wxFR_DOWN))
        OnTextNotFound(find);
}

void CQryView::SetFindText(const wxString& find, bool matchCase, bool wholeWord)
{
    FindState& state = Finder();
    state.data.SetFindString(find);
    int flags = wxFR_DOWN;
    if (matchCase)
        flags |= wxFR_MATCHCASE;
    if (wholeWord)
        flags |= wxFR_WHOLEWORD;
    state.data.SetFlags(flags);
    state.lastWasFind = true;
    ResetSearchStart();
}

void CQryView::ShowFindReplaceDialog(bool findOnly)
{
    if (!m_pEdit)
        return;
    FindState& state = Finder();
    if (state.dialog) {
        if (state.findOnly == findOnly && state.owner == this) {
            state.dialog->Raise();
            state.dialog->Show();
            return;
        }
        // A dialog of the other kind, or one searching another editor, makes way for this one.
        state.dialog->Destroy();
        state.dialog = nullptr;
    }
    ResetSearchStart();
    state.data.SetFindString(CSqlEditTransforms::FindSeed(GetSelectedText(), state.data.GetFindString()));
    state.findOnly = findOnly;
    state.lastWasFind = findOnly;
    state.owner = this;
    state.dialog = new wxFindReplaceDialog(m_pEdit, &state.data, findOnly ? "Find" : "Replace",
                                           findOnly ? 0 : wxFR_REPLACEDIALOG);
    if (wxWindow* cancel = state.dialog->FindWindow(wxID_CANCEL))
        cancel->SetLabel("Close");
    state.dialog->Bind(wxEVT_FIND, &CQryView::OnFindDialog, this);
    state.dialog->Bind(wxEVT_FIND_NEXT, &CQryView::OnFindDialog, this);
    state.dialog->Bind(wxEVT_FIND_REPLACE, &CQryView::OnFindDialog, this);
    state.dialog->Bind(wxEVT_FIND_REPLACE_ALL, &CQryView::OnFindDialog, this);
    state.dialog->Bind(wxEVT_FIND_CLOSE, &CQryView::OnFindDialog, this);
    state.dialog->Show();
}

void CQryView::OnFindDialog(wxFindDialogEvent& event)
{
    FindState& state = Finder();
    const wxEventType type = event.GetEventType();
    const int flags = event.GetFlags();
    const bool matchCase = flags & wxFR_MATCHCASE, wholeWord = flags & wxFR_WHOLEWORD, down = flags & wxFR_DOWN;
    if (type == wxEVT_FIND_CLOSE) {
        if (state.dialog)
            state.dialog->Destroy();
        state.dialog = nullptr;
        state.owner = nullptr;
    } else if (type == wxEVT_FIND || type == wxEVT_FIND_NEXT) {
        if (type == wxEVT_FIND)
            ResetSearchStart();
        if (!FindText(event.GetFindString(), matchCase, wholeWord, down))
            OnTextNotFound(event.GetFindString());
    } else if (type == wxEVT_FIND_REPLACE) {
        OnReplaceSel(event.GetFindString(), down, matchCase, wholeWord, event.GetReplaceString());
    } else if (type == wxEVT_FIND_REPLACE_ALL) {
        OnReplaceAll(event.GetFindString(), event.GetReplaceString(), matchCase, wholeWord);
    }
    // A message box (nothing found, the count replaced) hands the focus back to the main window
    // when it closes; the dialog the search came from takes it again, so Enter and Escape reach it.
    if (type != wxEVT_FIND_CLOSE && state.dialog && state.dialog->IsShown())
        state.dialog->Raise();
}

void CQryView::OnReplaceSel(const wxString& find, bool down, bool matchCase, bool wholeWord, const wxString& replace)
{
    if (!m_pEdit)
        return;
    FindState& state = Finder();
    state.data.SetFindString(find);
    state.data.SetReplaceString(replace);
    state.data.SetFlags((down ? wxFR_DOWN : 0) | (matchCase ? wxFR_MATCHCASE : 0) | (wholeWord ? wxFR_WHOLEWORD : 0));
    if (SelectionMatches(find, matchCase, wholeWord)) {
        const long start = m_pEdit->GetSelectionStart();
        ReplaceSelectionWithUndo(replace);
        // Searching goes on after the inserted text.
        const long after = start + static_cast<long>(replace.utf8_str().length());
        m_pEdit->SetSelection(after, after);
    }
    if (!FindText(find, matchCase, wholeWord, down))
        OnTextNotFound(find);
}

int CQryView::OnReplaceAll(const wxString& find, const wxString& replace, bool matchCase, bool wholeWord)
{
    if (!m_pEdit || find.empty())
        return 0;
    FindState& state = Finder();
    state.data.SetFindString(find);
    state.data.SetReplaceString(replace);
    state.data.SetFlags(wxFR_DOWN | (matchCase ? wxFR_MATCHCASE : 0) | (wholeWord ? wxFR_WHOLEWORD : 0));
    ResetSearchStart();

    wxBusyCursor wait;
    const int flags = SearchFlags(matchCase, wholeWord);
    if (SearchRange(find, flags, 0, m_pEdit->GetLength()) < 0) {
        OnTextNotFound(find);
        return 0;
    }
    int limit = settings::ReadInt(settings::MaxUndoLimit);
    const int storedLimit = limit;
    int count = 0;
    {
        CEditBatch batch(m_pEdit, true);
        long from = 0;
        // Every search starts after the text just inserted and none wraps round, so the loop
        // ends at the end of the text even when the replacement holds the searched text.
        while (SearchRange(find, flags, from, m_pEdit->GetLength()) >= 0) {
            if (count == limit)
                limit = SetUndoLimit(limit + 1);
            const long start = m_pEdit->GetTargetStart();
            m_pEdit->BeginUndoAction();
            const long inserted = m_pEdit->ReplaceTarget(replace);
            m_pEdit->EndUndoAction();
            from = start + inserted;
            ++count;
        }
        m_pEdit->SetSelection(from, from);
    }
    // Each replacement stays one undo step; the limit that allowed them all is kept.
    if (limit != storedLimit)
        settings::WriteInt(settings::MaxUndoLimit, limit);
    if (m_bReplaceAllMessage) {
        int answer = TVMessageBox(wxString::Format("%d occurrence(s) have been replaced.", count) +
                                      "\n\nDo you want this message box to be displayed again?",
                                  wxYES_NO | wxICON_QUESTION, m_pEdit);
        if (answer == wxID_NO) {
            m_bReplaceAllMessage = false;
            settings::WriteInt(settings::ReplaceAllOccsMsg, 0);
        }
    }
    return count;
}
