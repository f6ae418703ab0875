#include "editor/QryView.h"
#include "editor/EditorHost.h"
#include "editor/EditBatch.h"

#include "common/CommandIds.h"
#include "common/EditHelpers.h"
#include "common/ProfileFont.h"
#include "common/SettingsTable.h"
#include "common/TextPositions.h"
#include "common/TVFontDialog.h"
#include "editor/PrintRangeDlg.h"
#include "editor/QryPrintout.h"
#include "editor/SqlEditTransforms.h"
#include "editor/TorvaneDoc.h"
#include "platform/PrintDestinations.h"
#include "platform/PrintSetup.h"

#include <wx/app.h>
#include <wx/clipbrd.h>
#include <wx/docmdi.h>
#include <wx/print.h>
#include <wx/utils.h>

#include <algorithm>

wxIMPLEMENT_DYNAMIC_CLASS(CQryView, wxView);

wxBEGIN_EVENT_TABLE(CQryView, wxView)
    EVT_MENU(ID_EDIT_LOWERCASE, CQryView::OnCaseCommand)
    EVT_MENU(ID_EDIT_UPPERCASE, CQryView::OnCaseCommand)
    EVT_MENU(ID_EDIT_TABIFY, CQryView::OnTabifyCommand)
    EVT_MENU(ID_EDIT_UNTABIFY, CQryView::OnTabifyCommand)
    EVT_MENU(ID_EDIT_INCREASE_INDENT, CQryView::OnIndentCommand)
    EVT_MENU(ID_EDIT_DECREASE_INDENT, CQryView::OnIndentCommand)
    EVT_MENU(ID_EDIT_COMMENT_DASHES, CQryView::OnCommentCommand)
    EVT_MENU(ID_EDIT_COMMENT_SLASH_STAR, CQryView::OnSlashStarCommand)
    EVT_MENU(ID_EDIT_UNCOMMENT, CQryView::OnUncommentCommand)
    EVT_UPDATE_UI_RANGE(ID_EDIT_UPPERCASE, ID_EDIT_LOWERCASE, CQryView::OnUpdateNeedsSelection)
    EVT_UPDATE_UI_RANGE(ID_EDIT_TABIFY, ID_EDIT_UNTABIFY, CQryView::OnUpdateNeedsSelection)
    EVT_UPDATE_UI_RANGE(ID_EDIT_INCREASE_INDENT, ID_EDIT_UNCOMMENT, CQryView::OnUpdateNeedsSelection)
    EVT_MENU(ID_EDIT_CLEAR_ALL, CQryView::OnClearAll)
    EVT_UPDATE_UI(ID_EDIT_CLEAR_ALL, CQryView::OnUpdateClearAll)
    EVT_MENU(ID_EDIT_CUT, CQryView::OnEditCommand)
    EVT_MENU(ID_EDIT_COPY, CQryView::OnEditCommand)
    EVT_MENU(ID_EDIT_SELECT_ALL, CQryView::OnEditCommand)
    EVT_MENU(ID_EDIT_UNDO, CQryView::OnEditCommand)
    EVT_MENU(ID_EDIT_REDO, CQryView::OnEditCommand)
    EVT_UPDATE_UI(ID_EDIT_CUT, CQryView::OnUpdateEditCommand)
    EVT_UPDATE_UI(ID_EDIT_COPY, CQryView::OnUpdateEditCommand)
    EVT_UPDATE_UI(ID_EDIT_SELECT_ALL, CQryView::OnUpdateEditCommand)
    EVT_UPDATE_UI(ID_EDIT_UNDO, CQryView::OnUpdateEditCommand)
    EVT_UPDATE_UI(ID_EDIT_REDO, CQryView::OnUpdateEditCommand)
    EVT_MENU(ID_EDIT_PASTE, CQryView::OnPasteCommand)
    EVT_UPDATE_UI(ID_EDIT_PASTE, CQryView::OnUpdatePaste)
    EVT_MENU(ID_FORMAT_FONT, CQryView::OnFont)
    EVT_UPDATE_UI(ID_FORMAT_FONT, CQryView::OnUpdateFont)
    EVT_MENU(ID_VIEW_WORD_WRAP, CQryView::OnWordWrap)
    EVT_UPDATE_UI(ID_VIEW_WORD_WRAP, CQryView::OnUpdateWordWrap)
    EVT_MENU(ID_EDIT_FIND, CQryView::OnFindCommand)
    EVT_MENU(ID_EDIT_REPLACE, CQryView::OnFindCommand)
    EVT_UPDATE_UI(ID_EDIT_FIND, CQryView::OnUpdateFindCommand)
    EVT_UPDATE_UI(ID_EDIT_REPLACE, CQryView::OnUpdateFindCommand)
    EVT_MENU(ID_EDIT_MATCH_BRACE, CQryView::OnMatchBrace)
    EVT_UPDATE_UI(ID_EDIT_MATCH_BRACE, CQryView::OnUpdateMatchBrace)
    EVT_MENU(ID_FILE_PRINT, CQryView::OnFilePrint)
    EVT_MENU(ID_FILE_PRINT_DIRECT, CQryView::OnFilePrint)
    EVT_UPDATE_UI(ID_FILE_PRINT, CQryView::OnUpdatePrint)
    EVT_UPDATE_UI(ID_FILE_PRINT_DIRECT, CQryView::OnUpdatePrint)
    EVT_UPDATE_UI(ID_FILE_PRINT_PREVIEW, CQryView::OnUpdatePrintPreview)
wxEND_EVENT_TABLE()

namespace {

constexpr long kWaitCursorChars = 20000;

const char* const kSqlKeywords =
    "add all alter and any as asc authorization backup begin between break browse bulk by cascade case check "
    "checkpoint close clustered coalesce collate column commit compute constraint contains continue convert "
    "create cross current current_date current_time current_timestamp current_user cursor database dbcc "
    "deallocate declare default delete deny desc disk distinct distributed double drop dump else end errlvl "
    "escape except exec execute exists exit fetch file fillfactor for foreign freetext from full function goto "
    "grant group having holdlock identity if in index inner insert intersect into is join key kill left like "
    "limit lineno load merge national nocheck nonclustered not null nullif of off offsets on open option or "
    "order outer over percent plan precision primary print proc procedure public raiserror read readtext "
    "reconfigure references replication restore restrict return returns revoke right rollback rowcount "
    "rule save schema select session_user set setuser shutdown some statistics system_user table then to top "
    "tran transaction trigger truncate union unique update updatetext use user values varying view waitfor "
    "when where while with writetext";

wxFont& SharedEditorFont()
{
    static wxFont font;
    return font;
}

} // namespace

CQryView::CQryView()
{
    m_nTabSize = settings::ReadInt(settings::QueryTabSize);
    m_nUndoLimit = settings::ReadInt(settings::MaxUndoLimit);
    m_bReplaceAllMessage = settings::ReadInt(settings::ReplaceAllOccsMsg) != 0;
}

CQryView::~CQryView()
{
    CloseFindDialog();
}

bool CQryView::OnCreate(wxDocument* doc, long flags)
{
    if (!wxView::OnCreate(doc, flags))
        return false;
    m_pQueryDoc = dynamic_cast<CTorvaneDoc*>(doc);
    // In a query window the editor goes into the window's editor pane.
    if (auto* child = dynamic_cast<IEditorHost*>(GetFrame())) {
        if (m_pQueryDoc)
            m_pQueryDoc->SetFrame(child);
        // The window may have made its editor already, while it built its panes.
        if (m_pEdit)
            return true;
        if (!CreateEditor(child->GetEditorPane()))
            return false;
        child->SetEditorWindow(m_pEdit);
        return true;
    }
    // Without a query window around it the view lives in a frame of its own.
    wxWindow* top = wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
    wxFrame* frame = nullptr;
    if (auto* mdi = dynamic_cast<wxDocMDIParentFrame*>(top))
        frame = new wxDocMDIChildFrame(doc, this, mdi, wxID_ANY, doc->GetTitle());
    else
        frame = new wxDocChildFrame(doc, this, dynamic_cast<wxFrame*>(top), wxID_ANY, doc->GetTitle());
    SetFrame(frame);
    if (!CreateEditor(frame))
        return false;
    frame->Show();
    return true;
}

bool CQryView::CreateEditor(wxWindow* parent)
{
    m_pEdit = new wxStyledTextCtrl(parent, wxID_ANY);
    if (!m_pQueryDoc)
        m_pQueryDoc = dynamic_cast<CTorvaneDoc*>(GetDocument());

    // The control's own key map has many bindings of its own; the editor starts from the plain
    // editing keys only, so that none of its bindings clashes with the editor's commands.
    m_pEdit->CmdKeyClearAll();
    const int none = 0, shift = wxSTC_KEYMOD_SHIFT, ctrl = wxSTC_KEYMOD_CTRL, alt = wxSTC_KEYMOD_ALT;
    // Key codes are the control's own (wxSTC_KEY_...), letters are upper case.
    struct Key {
        int key, mods, cmd;
    } const keys[] = {
        {wxSTC_KEY_DELETE, none, wxSTC_CMD_CLEAR}, {wxSTC_KEY_DELETE, shift, wxSTC_CMD_CUT},
        {wxSTC_KEY_DELETE, ctrl, wxSTC_CMD_DELWORDRIGHT}, {wxSTC_KEY_BACK, none, wxSTC_CMD_DELETEBACK},
        {wxSTC_KEY_BACK, shift, wxSTC_CMD_DELETEBACK}, {wxSTC_KEY_BACK, ctrl, wxSTC_CMD_DELWORDLEFT},
        {wxSTC_KEY_BACK, alt, wxSTC_CMD_UNDO}, {wxSTC_KEY_INSERT, none, wxSTC_CMD_EDITTOGGLEOVERTYPE},
        {wxSTC_KEY_INSERT, shift, wxSTC_CMD_PASTE}, {wxSTC_KEY_INSERT, ctrl, wxSTC_CMD_COPY},
        {'Z', ctrl, wxSTC_CMD_UNDO}, {'Y', ctrl, wxSTC_CMD_REDO}, {'X', ctrl, wxSTC_CMD_CUT},
        {'C', ctrl, wxSTC_CMD_COPY}, {'V', ctrl, wxSTC_CMD_PASTE}, {'A', ctrl, wxSTC_CMD_SELECTALL},
        {wxSTC_KEY_ESCAPE, none, wxSTC_CMD_CANCEL}, {wxSTC_KEY_RETURN, none, wxSTC_CMD_NEWLINE},
        {wxSTC_KEY_RETURN, shift, wxSTC_CMD_NEWLINE}, {wxSTC_KEY_TAB, none, wxSTC_CMD_TAB},
    };
    AssignCaretMovingKeys(*m_pEdit);
    for (const Key& k : keys)
        m_pEdit->CmdKeyAssign(k.key, k.mods, k.cmd);

    m_pEdit->UsePopUp(wxSTC_POPUP_NEVER);
    m_pEdit->SetCodePage(wxSTC_CP_UTF8);
    m_pEdit->SetEOLMode(wxSTC_EOL_LF);
    m_pEdit->SetUseTabs(true);
    m_pEdit->SetMarginWidth(1, 0);
    m_pEdit->SetScrollWidthTracking(true);
    m_pEdit->SetScrollWidth(1);
    m_pEdit->SetWordChars("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_");
    m_pEdit->SetLexer(wxSTC_LEX_SQL);
    m_pEdit->SetKeyWords(0, kSqlKeywords);
    ApplySettings();
    ApplyStyles();

    m_pEdit->Bind(wxEVT_KEY_DOWN, &CQryView::OnKeyDown, this);
    m_pEdit->Bind(wxEVT_CONTEXT_MENU, &CQryView::OnContextMenu, this);
    m_pEdit->Bind(wxEVT_LEFT_DCLICK, &CQryView::OnDoubleClick, this);
    m_pEdit->Bind(wxEVT_STC_CHANGE, &CQryView::OnEditChange, this);
    m_pEdit->Bind(wxEVT_STC_MODIFIED, &CQryView::OnEditInsertCheck, this);
    m_pEdit->Bind(wxEVT_SIZE, &CQryView::OnEditSize, this);

    m_pEdit->ClearAll();
    m_pEdit->EmptyUndoBuffer();
    m_pEdit->SetSavePoint();
    return true;
}

void CQryView::ApplySettings()
{
    SetUndoLimit(m_nUndoLimit);
    SetEditTabStops(*m_pEdit, m_nTabSize);
    SetWordWrap(settings::ReadInt(settings::QueryWrapWord) != 0);
}

void CQryView::ApplyStyles()
{
    wxFont font = GetEditorFont();
    m_pEdit->StyleSetFont(wxSTC_STYLE_DEFAULT, font);
    m_pEdit->StyleClearAll();
    const wxColour comment(0, 128, 0), keyword(0, 0, 255), literal(163, 21, 21), number(9, 134, 88);
    for (int style : {wxSTC_SQL_COMMENT, wxSTC_SQL_COMMENTLINE, wxSTC_SQL_COMMENTDOC, wxSTC_SQL_COMMENTLINEDOC})
        m_pEdit->StyleSetForeground(style, comment);
    m_pEdit->StyleSetForeground(wxSTC_SQL_WORD, keyword);
    m_pEdit->StyleSetForeground(wxSTC_SQL_STRING, literal);
    m_pEdit->StyleSetForeground(wxSTC_SQL_CHARACTER, literal);
    m_pEdit->StyleSetForeground(wxSTC_SQL_NUMBER, number);
    m_pEdit->StyleSetForeground(wxSTC_STYLE_BRACELIGHT, keyword);
}

bool CQryView::OnClose(bool deleteWindow)
{
    if (!wxView::OnClose(deleteWindow))
        return false;
    Activate(false);
    CloseFindDialog();
    if (deleteWindow && GetFrame()) {
        GetFrame()->Destroy();
        SetFrame(nullptr);
    }
    return true;
}

void CQryView::OnChangeFilename()
{
    // The document's title carries its own "*" marker; the framework's is not added.
    if (wxWindow* frame = GetFrame())
        if (GetDocument())
            frame->SetLabel(GetDocument()->GetTitle());
}

// ---------------------------------------------------------------------------------------------
// Settings

void CQryView::SetTabSize(int tabSize)
{
    m_nTabSize = tabSize;
    if (m_pEdit)
        SetEditTabStops(*m_pEdit, m_nTabSize);
}

int CQryView::SetUndoLimit(int limit)
{
    m_nUndoLimit = limit;
    return m_nUndoLimit;
}

bool CQryView::GetWordWrap() const
{
    return m_pEdit && m_pEdit->GetWrapMode() != wxSTC_WRAP_NONE;
}

void CQryView::SetWordWrap(bool wrap)
{
    if (!m_pEdit)
        return;
    if (wrap)
        m_pEdit->SetXOffset(0);
    m_pEdit->SetWrapMode(wrap ? wxSTC_WRAP_WORD : wxSTC_WRAP_NONE);
}

wxFont CQryView::GetEditorFont()
{
    wxFont& font = SharedEditorFont();
    if (!font.IsOk()) {
        LogFont lf;
        ReadProfileFont(settings::kQueryFont, lf);
        if (lf.lfHeight == 0) {
            lf.lfFaceName = "Courier New";
            lf.lfWeight = 400;
            lf.lfHeight = IsLargeFontsMode() ? -17 : -13;
        }
        font = lf.ToFont();
    }
    return font;
}

void CQryView::SetEditorFont(const wxFont& font)
{
    SharedEditorFont() = font;
}

void CQryView::ApplyFont()
{
    if (!m_pEdit)
        return;
    const bool modified = m_pEdit->GetModify();
    const int anchor = m_pEdit->GetAnchor(), caret = m_pEdit->GetCurrentPos();
    ApplyStyles();
    SetEditTabStops(*m_pEdit, m_nTabSize);
    m_pEdit->SetSelection(anchor, caret);
    m_pEdit->Refresh();
    // Styling touches no text, but the modified state is kept as it was whatever happens.
    if (!modified)
        m_pEdit->SetSavePoint();
}

// ---------------------------------------------------------------------------------------------
// Text

wxString CQryView::GetText() const
{
    return m_pEdit ? m_pEdit->GetText() : wxString();
}

wxString CQryView::GetSelectedText() const
{
    return m_pEdit ? m_pEdit->GetSelectedText() : wxString();
}

void CQryView::ReplaceSelectionWithUndo(const wxString& text)
{
    m_pEdit->ReplaceSelection(text);
}

// Selects from a byte position over the text just inserted there.
void CQryView::SelectCharRange(long startByte, const wxString& inserted)
{
    m_pEdit->SetSelection(startByte, startByte + static_cast<long>(inserted.utf8_str().length()));
}

wxString CQryView::GetCaretPositionText() const
{
    if (!m_pEdit)
        return wxString();
    const long pos = m_pEdit->GetCurrentPos();
    const int line = m_pEdit->LineFromPosition(pos);
    return wxString::Format("Ln %d, Col %ld", line + 1, CTextPositions::ColumnOf(*m_pEdit, pos) + 1);
}

// ---------------------------------------------------------------------------------------------
// Editing commands

void CQryView::ChangeSelectionCase(bool upper)
{
    if (!m_pEdit || GetEditSelLength(*m_pEdit) == 0)
        return;
    const long start = m_pEdit->GetSelectionStart();
    wxString text = CSqlEditTransforms::ChangeCase(m_pEdit->GetSelectedText(), upper);
    ReplaceSelectionWithUndo(text);
    SelectCharRange(start, text);
}

void CQryView::TabifySelection(bool tabify)
{
    if (!m_pEdit || GetEditSelLength(*m_pEdit) == 0)
        return;
    std::optional<wxBusyCursor> wait;
    if (GetEditSelLength(*m_pEdit) > kWaitCursorChars)
        wait.emplace();
    const long start = m_pEdit->GetSelectionStart();
    const wxString selected = m_pEdit->GetSelectedText();
    wxString text = tabify ? CSqlEditTransforms::Tabify(selected, m_nTabSize)
                           : CSqlEditTransforms::Untabify(selected, m_nTabSize);
    ReplaceSelectionWithUndo(text);
    SelectCharRange(start, text);
}

void CQryView::ProcessSelectedLines(bool comment, bool insert)
{
    if (!m_pEdit)
        return;
    using Op = CSqlEditTransforms::LineOp;
    const Op op = comment ? (insert ? Op::Comment : Op::Uncomment) : (insert ? Op::Indent : Op::Outdent);
    const long selStart = m_pEdit->GetSelectionStart(), selEnd = m_pEdit->GetSelectionEnd();
    std::optional<wxBusyCursor> wait;
    if (selEnd - selStart > kWaitCursorChars)
        wait.emplace();
    const bool wrapped = GetWordWrap();
    {
        CEditBatch batch(m_pEdit, true);
        if (wrapped)
            m_pEdit->SetWrapMode(wxSTC_WRAP_NONE);
        const int first = m_pEdit->LineFromPosition(selStart);
        int last = m_pEdit->LineFromPosition(selEnd);
        // A selection that ends where a line begins does not take that line.
        if (last > first && m_pEdit->PositionFromLine(last) == selEnd)
            --last;
        for (int line = first; line <= last; ++line) {
            const long lineStart = m_pEdit->PositionFromLine(line);
            const wxString text = m_pEdit->GetTextRange(lineStart, m_pEdit->GetLineEndPosition(line));
            auto edit = CSqlEditTransforms::EditLine(text, op, m_nTabSize);
            if (!edit)
                continue;
            const long from = CTextPositions::PositionOfColumn(*m_pEdit, line, static_cast<long>(edit->offset));
            const long to =
                CTextPositions::PositionOfColumn(*m_pEdit, line, static_cast<long>(edit->offset + edit->removeCount));
            m_pEdit->BeginUndoAction();
            m_pEdit->SetTargetRange(from, to);
            m_pEdit->ReplaceTarget(edit->insert);
            m_pEdit->EndUndoAction();
        }
        m_pEdit->SetSelection(m_pEdit->PositionFromLine(first), m_pEdit->GetLineEndPosition(last));
        if (wrapped)
            m_pEdit->SetWrapMode(wxSTC_WRAP_WORD);
    }
}

void CQryView::ToggleSlashStarComment(const wxString& text, bool comment)
{
    if (!m_pEdit)
        return;
    std::optional<wxBusyCursor> wait;
    if (static_cast<long>(text.length()) > kWaitCursorChars)
        wait.emplace();
    auto result = CSqlEditTransforms::ToggleSlashStarComment(text, comment);
    if (!result)
        return;
    const long start = m_pEdit->GetSelectionStart();
    ReplaceSelectionWithUndo(*result);
    SelectCharRange(start, *result);
}

void CQryView::Uncomment()
{
    const wxString selected = GetSelectedText();
    if (CSqlEditTransforms::IsSlashStarComment(selected))
        ToggleSlashStarComment(selected, false);
    else
        ProcessSelectedLines(true, false);
}

void CQryView::ClearAll()
{
    if (!m_pEdit)
        return;
    m_pEdit->SelectAll();
    m_pEdit->Clear();
}

void CQryView::Paste()
{
    if (!m_pEdit || !wxTheClipboard->Open())
        return;
    wxTextDataObject data;
    const bool got = wxTheClipboard->IsSupported(wxDF_UNICODETEXT) && wxTheClipboard->GetData(data);
    wxTheClipboard->Close();
    if (got)
        ReplaceSelectionWithUndo(data.GetText());
}

// ---------------------------------------------------------------------------------------------
// Lines

void CQryView::SelectLineAndActivate(long charPosition, int lineCount)
{
    if (!m_pEdit)
        return;
    SelectEditLine(*m_pEdit, CTextPositions::CharToByte(*m_pEdit, charPosition), lineCount);
    Activate(true);
    m_pEdit->SetFocus();
}

void CQryView::GoToFindInFilesHit(long line, long position, long length)
{
    if (!m_pEdit || line < 1)
        return;
    const int lineCount = m_pEdit->GetLineCount();
    const int index = static_cast<int>(std::min<long>(line - 1, lineCount - 1));
    const int lineStart = m_pEdit->PositionFromLine(index);
    const int lineEnd = m_pEdit->GetLineEndPosition(index);
    const int start = std::min(lineStart + static_cast<int>(position), lineEnd);
    const int end = std::min(start + static_cast<int>(length), lineEnd);
    m_pEdit->SetSelection(start, end);
    m_pEdit->EnsureCaretVisible();
    Activate(true);
    m_pEdit->SetFocus();
}

// ---------------------------------------------------------------------------------------------
// Printing

bool CQryView::IsPrintSelection() const
{
    wxString selected = GetSelectedText();
    return !selected.Trim(true).Trim(false).empty();
}

wxPrintout* CQryView::OnCreatePrintout()
{
    return CreatePrintout(IsPrintSelection());
}

wxPrintout* CQryView::CreatePrintout(bool selection)
{
    if (!m_pEdit)
        return nullptr;
    const wxString path = m_pQueryDoc ? m_pQueryDoc->GetFilename() : wxString();
    const bool hasPath = m_pQueryDoc && m_pQueryDoc->GetDocumentSaved() && !path.empty();
    const wxString header = hasPath ? path : (GetDocument() ? GetDocument()->GetTitle() : wxString());
    return new CQryPrintout(m_pEdit, header, hasPath, GetEditorFont(), selection, m_pEdit->GetSelectionStart(),
                            m_pEdit->GetSelectionEnd());
}

std::optional<bool> CQryView::AskPrintSelection(bool direct)
{
    // The selection is offered, and chosen unless the user prefers the whole text; printing
    // without the dialogs takes the selection when there is one.
    if (!IsPrintSelection())
        return false;
    if (direct)
        return true;
    CPrintRangeDlg range(GetFrame());
    if (range.ShowModal() != wxID_OK)
        return std::nullopt;
    return range.IsSelection();
}

void CQryView::Print(bool direct)
{
    if (!m_pEdit || !CPrintDestinations::CheckAvailable(GetFrame()))
        return;
    try {
        // Without a queue there is nothing to print to directly: the dialog offers its file printer.
        direct = direct && CPrintDestinations::HasQueue();
        const std::optional<bool> selection = AskPrintSelection(direct);
        if (!selection)
            return;
        std::unique_ptr<wxPrintout> printout(CreatePrintout(*selection));
        wxPrintDialogData data(CPrintSetup::Current());
        wxPrinter printer(&data);
        if (printer.Print(GetFrame(), printout.get(), !direct))
            CPrintSetup::Current() = printer.GetPrintDialogData().GetPrintData();
    } catch (...) {
        // A failed print job ends here; the print system has said why.
    }
}

// ---------------------------------------------------------------------------------------------
// Command handlers

void CQryView::OnCaseCommand(wxCommandEvent& event)
{
    ChangeSelectionCase(event.GetId() == ID_EDIT_UPPERCASE);
}

void CQryView::OnTabifyCommand(wxCommandEvent& event)
{
    TabifySelection(event.GetId() == ID_EDIT_TABIFY);
}

void CQryView::OnIndentCommand(wxCommandEvent& event)
{
    ProcessSelectedLines(false, event.GetId() == ID_EDIT_INCREASE_INDENT);
}

void CQryView::OnCommentCommand(wxCommandEvent&)
{
    ProcessSelectedLines(true, true);
}

void CQryView::OnSlashStarCommand(wxCommandEvent&)
{
    ToggleSlashStarComment(GetSelectedText(), true);
}

void CQryView::OnUncommentCommand(wxCommandEvent&)
{
    Uncomment();
}

void CQryView::OnUpdateNeedsSelection(wxUpdateUIEvent& event)
{
    event.Enable(m_pEdit && GetEditSelLength(*m_pEdit) != 0);
}

void CQryView::OnClearAll(wxCommandEvent&)
{
    ClearAll();
}

void CQryView::OnUpdateClearAll(wxUpdateUIEvent& event)
{
    event.Enable(m_pEdit && m_pEdit->GetTextLength() > 0);
}

void CQryView::OnEditCommand(wxCommandEvent& event)
{
    if (!m_pEdit)
        return;
    switch (event.GetId()) {
    case ID_EDIT_CUT:
        m_pEdit->Cut();
        break;
    case ID_EDIT_COPY:
        m_pEdit->Copy();
        break;
    case ID_EDIT_SELECT_ALL:
        m_pEdit->SelectAll();
        break;
    case ID_EDIT_UNDO:
        m_pEdit->Undo();
        break;
    case ID_EDIT_REDO:
        m_pEdit->Redo();
        break;
    }
}

void CQryView::OnUpdateEditCommand(wxUpdateUIEvent& event)
{
    if (!m_pEdit) {
        event.Enable(false);
        return;
    }
    switch (event.GetId()) {
    case ID_EDIT_UNDO:
        event.Enable(m_pEdit->CanUndo());
        break;
    case ID_EDIT_REDO:
        event.Enable(m_pEdit->CanRedo());
        break;
    default:
        event.Enable(IsContextCommandEnabled(event.GetId()));
    }
}

void CQryView::OnPasteCommand(wxCommandEvent&)
{
    Paste();
}

void CQryView::OnUpdatePaste(wxUpdateUIEvent& event)
{
    event.Enable(IsContextCommandEnabled(ID_EDIT_PASTE));
}

void CQryView::OnFont(wxCommandEvent&)
{
    wxBusyCursor wait;
    wxFontData data;
    data.SetInitialFont(GetEditorFont());
    CTVFontDialog dialog(GetFrame(), data);
    dialog.m_strCaption = "Editor Font";
    if (dialog.ShowModal() != wxID_OK)
        return;
    const wxFont font = dialog.GetFontData().GetChosenFont();
    SetEditorFont(font);
    if (wxDocManager* manager = GetDocumentManager())
        for (wxDocument* doc : manager->GetDocumentsVector())
            for (wxView* view : doc->GetViewsVector())
                if (auto* editor = dynamic_cast<CQryView*>(view))
                    editor->ApplyFont();
    WriteProfileFont(settings::kQueryFont, LogFont::FromFont(font));
}

void CQryView::OnWordWrap(wxCommandEvent&)
{
    SetWordWrap(!GetWordWrap());
}

void CQryView::OnUpdateWordWrap(wxUpdateUIEvent& event)
{
    event.Enable(m_pEdit != nullptr);
    event.Check(GetWordWrap());
}

void CQryView::OnUpdateFont(wxUpdateUIEvent& event)
{
    event.Enable(m_pEdit != nullptr);
}

void CQryView::OnUpdateFindCommand(wxUpdateUIEvent& event)
{
    event.Enable(m_pEdit && m_pEdit->GetTextLength() > 0);
}

void CQryView::OnFindCommand(wxCommandEvent& event)
{
    ShowFindReplaceDialog(event.GetId() == ID_EDIT_FIND);
}

void CQryView::OnMatchBrace(wxCommandEvent&)
{
    wxBusyCursor wait;
    MatchBrace(*m_pEdit);
}

void CQryView::OnUpdateMatchBrace(wxUpdateUIEvent& event)
{
    event.Enable(m_pEdit && IsBraceAtCaret(*m_pEdit));
}

void CQryView::OnFilePrint(wxCommandEvent& event)
{
    Print(event.GetId() == ID_FILE_PRINT_DIRECT);
}

void CQryView::OnUpdatePrint(wxUpdateUIEvent& event)
{
    event.Enable(m_pEdit != nullptr);
}

void CQryView::OnUpdatePrintPreview(wxUpdateUIEvent& event)
{
    event.Enable(false);
}
