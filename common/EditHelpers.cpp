#include "EditHelpers.h"

#include "EditText.h"

#include <wx/app.h>
#include <wx/dc.h>
#include <wx/dcscreen.h>
#include <wx/stc/stc.h>

#include <cmath>

namespace {

std::string_view RawText(const wxCharBuffer& buffer)
{
    return std::string_view(buffer.data(), buffer.length());
}

// Lifts read-only for the output helpers, which write into a read-only pane.
class WritableScope {
public:
    explicit WritableScope(wxStyledTextCtrl& edit) : m_edit(edit), m_readOnly(edit.GetReadOnly())
    {
        if (m_readOnly)
            m_edit.SetReadOnly(false);
    }
    ~WritableScope()
    {
        if (m_readOnly)
            m_edit.SetReadOnly(true);
    }

private:
    wxStyledTextCtrl& m_edit;
    bool m_readOnly;
};

// a * b / c rounded half away from zero, in 64 bits.
int MulDiv(int a, int b, int c)
{
    return static_cast<int>(std::lround(static_cast<double>(a) * b / c));
}

} // namespace

long GetEditSelLength(wxStyledTextCtrl& edit)
{
    return edit.GetSelectionEnd() - edit.GetSelectionStart();
}

wxString GetEditSelText(wxStyledTextCtrl& edit)
{
    return edit.GetSelectedText();
}

wxString GetEditLineText(wxStyledTextCtrl& edit, long position)
{
    return edit.GetLineText(edit.LineFromPosition(static_cast<int>(position)));
}

void SelectEditLine(wxStyledTextCtrl& edit, long position, int lineCount)
{
    int line = edit.LineFromPosition(static_cast<int>(position));
    if (lineCount >= 2)
        line += lineCount - 1;
    line = std::min(line, edit.GetLineCount() - 1);
    const int firstVisible = edit.GetFirstVisibleLine();
    edit.SetSelection(edit.PositionFromLine(line), edit.GetLineEndPosition(line));
    // Keep the view where it was unless that would hide the selected line.
    const int shown = edit.VisibleFromDocLine(line);
    if (shown >= firstVisible && shown < firstVisible + edit.LinesOnScreen())
        edit.SetFirstVisibleLine(firstVisible);
    else
        edit.EnsureCaretVisible();
}

long FindEditText(wxStyledTextCtrl& edit, const wxString& text, long start, long end, bool matchCase)
{
    if (end < 0)
        end = edit.GetLength();
    return edit.FindText(static_cast<int>(start), static_cast<int>(end), text,
                         matchCase ? wxSTC_FIND_MATCHCASE : 0);
}

void SetEditTabStops(wxStyledTextCtrl& edit, int tabSize)
{
    edit.SetTabWidth(tabSize);
}

bool SelectWordAtCaret(wxStyledTextCtrl& edit)
{
    const wxCharBuffer text = edit.GetTextRaw();
    const auto [start, end] = FindWordAt(RawText(text), edit.GetCurrentPos());
    if (start >= end)
        return false;
    edit.SetSelection(static_cast<int>(start), static_cast<int>(end));
    return true;
}

bool IsBraceAtCaret(wxStyledTextCtrl& edit)
{
    if (edit.GetSelectionStart() != edit.GetSelectionEnd())
        return false;
    const wxCharBuffer text = edit.GetTextRaw();
    return IsBraceAt(RawText(text), edit.GetCurrentPos());
}

void MatchBrace(wxStyledTextCtrl& edit)
{
    const wxCharBuffer text = edit.GetTextRaw();
    const long match = FindMatchingBrace(RawText(text), edit.GetCurrentPos());
    if (match >= 0)
        edit.GotoPos(static_cast<int>(match));
}

void SetReadOnlyText(wxStyledTextCtrl& edit, const wxString& text)
{
    edit.SetReadOnly(false);
    edit.SetText(text);
    edit.SetReadOnly(true);
}

void AppendMessageText(wxStyledTextCtrl& edit, const wxString& text, bool append)
{
    WritableScope writable(edit);
    const bool undo = edit.GetUndoCollection();
    edit.SetUndoCollection(false);
    const int length = edit.GetLength();
    const bool following = edit.GetSelectionStart() == edit.GetSelectionEnd() && edit.GetCurrentPos() == length;
    if (following) {
        if (append) {
            edit.GotoPos(length);
            edit.AppendText(text);
        } else {
            edit.Freeze();
            edit.SetText(text);
            edit.Thaw();
        }
        edit.GotoPos(edit.GetLength());
    } else {
        const int anchor = edit.GetAnchor();
        const int caret = edit.GetCurrentPos();
        const int firstVisible = edit.GetFirstVisibleLine();
        const int xOffset = edit.GetXOffset();
        edit.Freeze();
        if (append)
            edit.AppendText(text);
        else
            edit.SetText(text);
        const int newLength = edit.GetLength();
        edit.SetAnchor(std::min(anchor, newLength));
        edit.SetCurrentPos(std::min(caret, newLength));
        edit.SetFirstVisibleLine(firstVisible);
        edit.SetXOffset(xOffset);
        edit.Thaw();
    }
    edit.EmptyUndoBuffer();
    edit.SetUndoCollection(undo);
    edit.Refresh();
}

wxRect TwipsToPixelsRect(const wxRect& twips, const wxSize& pixelsPerInch)
{
    const int left = MulDiv(twips.GetLeft(), pixelsPerInch.x, 1440);
    const int right = MulDiv(twips.GetLeft() + twips.GetWidth(), pixelsPerInch.x, 1440);
    const int top = MulDiv(twips.GetTop(), pixelsPerInch.y, 1440);
    const int bottom = MulDiv(twips.GetTop() + twips.GetHeight(), pixelsPerInch.y, 1440);
    return wxRect(left, top, right - left, bottom - top);
}

wxRect TwipsToPixelsRect(wxDC& dc, const wxRect& twips)
{
    return TwipsToPixelsRect(twips, dc.GetPPI());
}

bool IsLargeFontsMode()
{
    if (const wxAppConsole* app = wxAppConsole::GetInstance(); !app || !app->IsGUI())
        return false;
    wxScreenDC dc;
    return dc.IsOk() && dc.GetPPI().x > 96;
}

void AssignCaretMovingKeys(wxStyledTextCtrl& edit)
{
    const int none = 0, shift = wxSTC_KEYMOD_SHIFT, ctrl = wxSTC_KEYMOD_CTRL, cs = ctrl | shift;
    const struct {
        int key, mods, cmd;
    } keys[] = {
        {wxSTC_KEY_DOWN, none, wxSTC_CMD_LINEDOWN}, {wxSTC_KEY_DOWN, shift, wxSTC_CMD_LINEDOWNEXTEND},
        {wxSTC_KEY_DOWN, ctrl, wxSTC_CMD_LINESCROLLDOWN}, {wxSTC_KEY_UP, none, wxSTC_CMD_LINEUP},
        {wxSTC_KEY_UP, shift, wxSTC_CMD_LINEUPEXTEND}, {wxSTC_KEY_UP, ctrl, wxSTC_CMD_LINESCROLLUP},
        {wxSTC_KEY_LEFT, none, wxSTC_CMD_CHARLEFT}, {wxSTC_KEY_LEFT, shift, wxSTC_CMD_CHARLEFTEXTEND},
        {wxSTC_KEY_LEFT, ctrl, wxSTC_CMD_WORDLEFT}, {wxSTC_KEY_LEFT, cs, wxSTC_CMD_WORDLEFTEXTEND},
        {wxSTC_KEY_RIGHT, none, wxSTC_CMD_CHARRIGHT}, {wxSTC_KEY_RIGHT, shift, wxSTC_CMD_CHARRIGHTEXTEND},
        {wxSTC_KEY_RIGHT, ctrl, wxSTC_CMD_WORDRIGHT}, {wxSTC_KEY_RIGHT, cs, wxSTC_CMD_WORDRIGHTEXTEND},
        {wxSTC_KEY_HOME, none, wxSTC_CMD_HOME}, {wxSTC_KEY_HOME, shift, wxSTC_CMD_HOMEEXTEND},
        {wxSTC_KEY_HOME, ctrl, wxSTC_CMD_DOCUMENTSTART}, {wxSTC_KEY_HOME, cs, wxSTC_CMD_DOCUMENTSTARTEXTEND},
        {wxSTC_KEY_END, none, wxSTC_CMD_LINEEND}, {wxSTC_KEY_END, shift, wxSTC_CMD_LINEENDEXTEND},
        {wxSTC_KEY_END, ctrl, wxSTC_CMD_DOCUMENTEND}, {wxSTC_KEY_END, cs, wxSTC_CMD_DOCUMENTENDEXTEND},
        {wxSTC_KEY_PRIOR, none, wxSTC_CMD_PAGEUP}, {wxSTC_KEY_PRIOR, shift, wxSTC_CMD_PAGEUPEXTEND},
        {wxSTC_KEY_NEXT, none, wxSTC_CMD_PAGEDOWN}, {wxSTC_KEY_NEXT, shift, wxSTC_CMD_PAGEDOWNEXTEND},
    };
    for (const auto& k : keys)
        edit.CmdKeyAssign(k.key, k.mods, k.cmd);
}
