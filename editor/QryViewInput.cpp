#include "editor/QryView.h"
#include "editor/EditorHost.h"

#include "common/CommandIds.h"
#include "common/EditHelpers.h"
#include "common/TextPositions.h"
#include "editor/SqlEditTransforms.h"
#include "editor/TorvaneDoc.h"

#include <wx/clipbrd.h>
#include <wx/menu.h>
#include <wx/stc/stc.h>
#include <wx/utils.h>

#include <algorithm>
#include <string>

bool CQryView::HandleKey(int keyCode, bool ctrl, bool shift)
{
    if (!m_pEdit)
        return false;
    const bool hasSelection = GetEditSelLength(*m_pEdit) != 0;
    if (ctrl) {
        switch (keyCode) {
        case 'I':
            return true;
        case 'L':
            return shift;
        case 'F':
            if (m_pEdit->GetTextLength() > 0)
                ShowFindReplaceDialog(true);
            return true;
        case 'B':
            if (hasSelection)
                TabifySelection(!shift);
            return true;
        case 'U':
            if (hasSelection)
                ChangeSelectionCase(shift);
            return true;
        case ']':
            if (IsBraceAtCaret(*m_pEdit)) {
                wxBusyCursor wait;
                MatchBrace(*m_pEdit);
            }
            return true;
        case 'K':
            if (hasSelection) {
                if (shift)
                    Uncomment();
                else
                    ProcessSelectedLines(true, true);
            }
            return true;
        case WXK_NUMPAD_MULTIPLY:
            if (hasSelection)
                ToggleSlashStarComment(GetSelectedText(), true);
            return true;
        default:
            return false;
        }
    }
    switch (keyCode) {
    case WXK_F3:
        FindNextAgain();
        return true;
    case WXK_F7:
        SetWordWrap(!GetWordWrap());
        return true;
    case WXK_TAB:
        if (hasSelection) {
            ProcessSelectedLines(false, !shift);
            return true;
        }
        if (shift) {
            const long caret = m_pEdit->GetCurrentPos();
            if (caret > 0 && CSqlEditTransforms::ShiftTabDeletes(m_pEdit->GetCharAt(m_pEdit->PositionBefore(caret))))
                m_pEdit->DeleteBack();
            return true;
        }
        return false;
    default:
        return false;
    }
}

void CQryView::OnKeyDown(wxKeyEvent& event)
{
    if (!HandleKey(event.GetKeyCode(), event.ControlDown(), event.ShiftDown()))
        event.Skip();
}

// ---------------------------------------------------------------------------------------------
// Context menu

bool CQryView::IsContextCommandEnabled(int id) const
{
    if (!m_pEdit)
        return false;
    switch (id) {
    case ID_EDIT_CUT:
    case ID_EDIT_COPY:
        return m_pEdit->GetSelectionStart() != m_pEdit->GetSelectionEnd();
    case ID_EDIT_PASTE: {
        bool text = false;
        if (wxTheClipboard->Open()) {
            text = wxTheClipboard->IsSupported(wxDF_UNICODETEXT) || wxTheClipboard->IsSupported(wxDF_TEXT);
            wxTheClipboard->Close();
        }
        return text;
    }
    case ID_EDIT_SELECT_ALL:
        return m_pEdit->GetTextLength() > 0;
    default:
        // Execution needs an open connection, which only a query window has.
        return false;
    }
}

void CQryView::ShowContextMenu(const wxPoint& clientPoint, bool byMouse)
{
    if (!m_pEdit)
        return;
    // The editor becomes the active pane, so that the menu's commands are the editor's.
    m_pEdit->SetFocus();
    wxPoint at = clientPoint;
    if (byMouse) {
        const long pos = m_pEdit->PositionFromPoint(clientPoint);
        const long start = m_pEdit->GetSelectionStart(), end = m_pEdit->GetSelectionEnd();
        if (start == end || pos < start || pos > end)
            m_pEdit->GotoPos(pos);
    } else {
        at = m_pEdit->PointFromPosition(m_pEdit->GetSelectionEnd());
    }
    wxMenu menu;
    menu.Append(ID_EDIT_CUT, "Cu&t");
    menu.Append(ID_EDIT_COPY, "&Copy");
    menu.Append(ID_EDIT_PASTE, "&Paste");
    menu.AppendSeparator();
    menu.Append(ID_EDIT_SELECT_ALL, "&Select All");
    menu.AppendSeparator();
    menu.Append(ID_QUERY_EXECUTE, "&Execute");
    menu.Append(ID_QUERY_EXECUTE_SAVE_AS, "Execute and Sa&ve As...");
    menu.Append(ID_QUERY_CANCEL, "C&ancel Executing Query");
    for (int id : {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_EDIT_SELECT_ALL, ID_QUERY_EXECUTE,
                   ID_QUERY_EXECUTE_SAVE_AS, ID_QUERY_CANCEL})
        menu.Enable(id, IsContextCommandEnabled(id));
    // The popup's commands travel up from the editor like any other command; in a query window
    // its items take the states that the window's update rules give them as it opens.
    m_pEdit->PopupMenu(&menu, at);
}

// The mouse gives the click's position; the keyboard's menu key gives none.
void CQryView::OnContextMenu(wxContextMenuEvent& event)
{
    const wxPoint screen = event.GetPosition();
    if (screen == wxDefaultPosition)
        ShowContextMenu(wxDefaultPosition, false);
    else
        ShowContextMenu(m_pEdit->ScreenToClient(screen), true);
}

void CQryView::OnDoubleClick(wxMouseEvent& event)
{
    if (!SelectWordAtCaret(*m_pEdit))
        event.Skip();
}

void CQryView::OnEditChange(wxStyledTextEvent& event)
{
    event.Skip();
    if (m_pQueryDoc)
        m_pQueryDoc->OnEditorChange();
}

void CQryView::OnEditInsertCheck(wxStyledTextEvent& event)
{
    event.Skip();
    if (!(event.GetModificationType() & wxSTC_MOD_INSERTCHECK))
        return;
    const std::string inserted = event.GetText().utf8_string();
    const long length = m_pEdit->GetLength();
    // A text never holds more characters than bytes: below the limit in bytes it fits.
    if (length + static_cast<long>(inserted.size()) <= kMaxTextLength)
        return;
    const long room = std::max(0L, kMaxTextLength - CTextPositions::ByteToChar(*m_pEdit, length));
    const long keep = CTextPositions::CharToByte(inserted, room);
    if (keep >= static_cast<long>(inserted.size()))
        return;
    m_pEdit->ChangeInsertion(static_cast<int>(keep), wxString::FromUTF8(inserted.data(), static_cast<size_t>(keep)));
    wxBell();
}

void CQryView::OnEditSize(wxSizeEvent& event)
{
    event.Skip();
    m_pEdit->Refresh();
}
