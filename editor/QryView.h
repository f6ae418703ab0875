// The SQL editor of a query window: a view of the query document that shows its text in a styled
// text control with SQL highlighting. It keeps the text plain, offers the SQL editing commands
// (case, tabify, indent, "--" and "/*" comments, brace matching), find and replace with a counted
// Replace All, printing with header and footer, and a context menu. Execution is the query
// window's business; the view only hands its commands on. Find and replace are in
// QryViewFind.cpp, the keys, mouse and context menu in QryViewInput.cpp.
#pragma once

#include <wx/docview.h>
#include <wx/fdrepdlg.h>
#include <wx/font.h>
#include <wx/stc/stc.h>

#include <optional>

class CTorvaneDoc;
class wxPrintout;

class CQryView : public wxView {
public:
    // The most characters the editor holds (a line break counts once); typing or pasting beyond
    // it keeps only what fits.
    static constexpr long kMaxTextLength = 16777215;

    CQryView();
    ~CQryView() override;

    bool OnCreate(wxDocument* doc, long flags) override;
    bool OnClose(bool deleteWindow) override;
    void OnDraw(wxDC*) override {}
    void OnChangeFilename() override;
    wxPrintout* OnCreatePrintout() override;

    // Creates the editor control as a child of the given window (the query window's editor pane).
    bool CreateEditor(wxWindow* parent);
    wxStyledTextCtrl* GetEditCtrl() const { return m_pEdit; }
    CTorvaneDoc* GetQueryDoc() const { return m_pQueryDoc; }

    int GetTabSize() const { return m_nTabSize; }
    void SetTabSize(int tabSize);
    int GetUndoLimit() const { return m_nUndoLimit; }
    // The control keeps every step it can hold; the limit it grants is the one asked for.
    int SetUndoLimit(int limit);
    bool GetWordWrap() const;
    void SetWordWrap(bool wrap);
    bool GetReplaceAllMessage() const { return m_bReplaceAllMessage; }

    // The whole text or the selected text, as the user sees it.
    wxString GetText() const;
    wxString GetSelectedText() const;

    // Editing commands on the selection.
    void ChangeSelectionCase(bool upper);
    void TabifySelection(bool tabify);
    // indent: (false, true); outdent: (false, false); "--" comment: (true, true); uncomment: (true, false)
    void ProcessSelectedLines(bool comment, bool insert);
    void ToggleSlashStarComment(const wxString& text, bool comment);
    void Uncomment();
    void ClearAll();
    void Paste();

    // Find and replace. Positions found are selected in the editor.
    void ShowFindReplaceDialog(bool findOnly);
    bool FindText(const wxString& find, bool matchCase, bool wholeWord, bool down);
    void OnReplaceSel(const wxString& find, bool down, bool matchCase, bool wholeWord, const wxString& replace);
    // Replaces every match from the start of the text to its end and returns the count; the
    // search goes on after each inserted text, so a replacement that holds the searched text
    // is never searched again.
    int OnReplaceAll(const wxString& find, const wxString& replace, bool matchCase, bool wholeWord);
    void OnTextNotFound(const wxString& find);
    // F3: the next occurrence of the last Find.
    void FindNextAgain();
    // The text F3 looks for in every editor from now on, as after a Find.
    static void SetFindText(const wxString& find, bool matchCase, bool wholeWord);

    // Re-applies the editor font shared by all editors, keeping the modified state.
    void ApplyFont();
    static wxFont GetEditorFont();
    static void SetEditorFont(const wxFont& font);

    // Selects a line given by a character position and a line count and activates this view.
    void SelectLineAndActivate(long charPosition, int lineCount);
    // Shows a Find in Files hit: the occurrence at a byte offset of a 1-based line selected and
    // this view activated.
    void GoToFindInFilesHit(long line, long position, long length);

    // "Ln %d, Col %d" of the caret: line from 1, column in characters from 1.
    wxString GetCaretPositionText() const;

    // After the printer check: prints the selection or the whole text, as the user chooses when
    // there is a selection; direct: without asking, the selection when there is one.
    void Print(bool direct);
    // The trimmed selection is not empty.
    bool IsPrintSelection() const;
    // Whether to print the selection: asked (CPrintRangeDlg, the selection chosen first) when
    // there is one and the print is not direct; none when the user cancelled.
    std::optional<bool> AskPrintSelection(bool direct);
    wxPrintout* CreatePrintout(bool selection);

    // The key map of the editor: true when the key was handled (and so consumed).
    bool HandleKey(int keyCode, bool ctrl, bool shift);

    // The popup "Query" menu at a point of the editor (client coordinates), or at the selection's
    // end when opened from the keyboard.
    void ShowContextMenu(const wxPoint& clientPoint, bool byMouse);
    // The enabled state the context menu gives a command.
    bool IsContextCommandEnabled(int id) const;

private:
    void ApplySettings();
    void ApplyStyles();
    void ReplaceSelectionWithUndo(const wxString& text);
    void SelectCharRange(long startByte, const wxString& inserted);
    bool SelectionMatches(const wxString& find, bool matchCase, bool wholeWord);
    long SearchRange(const wxString& find, int flags, long from, long to);
    int SearchFlags(bool matchCase, bool wholeWord) const;
    // Closes the find/replace dialog when this view owns it.
    void CloseFindDialog();

    // Key, mouse and control events.
    void OnKeyDown(wxKeyEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);
    void OnDoubleClick(wxMouseEvent& event);
    void OnEditChange(wxStyledTextEvent& event);
    // Cuts an insertion down to what the text limit leaves room for.
    void OnEditInsertCheck(wxStyledTextEvent& event);
    void OnEditSize(wxSizeEvent& event);
    void OnFindDialog(wxFindDialogEvent& event);

    // Commands.
    void OnCaseCommand(wxCommandEvent& event);
    void OnTabifyCommand(wxCommandEvent& event);
    void OnIndentCommand(wxCommandEvent& event);
    void OnCommentCommand(wxCommandEvent& event);
    void OnSlashStarCommand(wxCommandEvent& event);
    void OnUncommentCommand(wxCommandEvent& event);
    void OnUpdateNeedsSelection(wxUpdateUIEvent& event);
    void OnClearAll(wxCommandEvent& event);
    void OnUpdateClearAll(wxUpdateUIEvent& event);
    void OnEditCommand(wxCommandEvent& event);
    void OnUpdateEditCommand(wxUpdateUIEvent& event);
    void OnPasteCommand(wxCommandEvent& event);
    void OnUpdatePaste(wxUpdateUIEvent& event);
    void OnFont(wxCommandEvent& event);
    void OnUpdateFont(wxUpdateUIEvent& event);
    void OnWordWrap(wxCommandEvent& event);
    void OnUpdateWordWrap(wxUpdateUIEvent& event);
    void OnFindCommand(wxCommandEvent& event);
    void OnUpdateFindCommand(wxUpdateUIEvent& event);
    void OnMatchBrace(wxCommandEvent& event);
    void OnUpdateMatchBrace(wxUpdateUIEvent& event);
    void OnFilePrint(wxCommandEvent& event);
    void OnUpdatePrint(wxUpdateUIEvent& event);
    void OnUpdatePrintPreview(wxUpdateUIEvent& event);

    CTorvaneDoc* m_pQueryDoc = nullptr;
    wxStyledTextCtrl* m_pEdit = nullptr;
    int m_nTabSize = 4;
    int m_nUndoLimit = 1000;
    bool m_bReplaceAllMessage = true;

    wxDECLARE_DYNAMIC_CLASS(CQryView);
    wxDECLARE_EVENT_TABLE();
};
