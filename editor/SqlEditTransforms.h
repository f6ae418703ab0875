// The text side of the editor's SQL editing commands, kept apart from the control so that each
// rule can be checked on plain strings. Positions and lengths count characters.
#pragma once

#include <wx/string.h>

#include <optional>

class CSqlEditTransforms {
public:
    enum class LineOp { Indent, Outdent, Comment, Uncomment };

    // One change to a line: remove `removeCount` characters at `offset`, then insert `insert` there.
    struct LineEdit {
        size_t offset = 0;
        size_t removeCount = 0;
        wxString insert;
        bool operator==(const LineEdit&) const = default;
    };

    // The change that one line needs, or nothing when the line stays as it is.
    static std::optional<LineEdit> EditLine(const wxString& line, LineOp op, int tabSize);
    static wxString ApplyLineEdit(const wxString& line, const LineEdit& edit);

    static wxString ChangeCase(const wxString& text, bool upper);

    // Each group of tabSize blanks, left to right without overlap, becomes a TAB.
    static wxString Tabify(const wxString& text, int tabSize);
    // Each TAB becomes tabSize blanks.
    static wxString Untabify(const wxString& text, int tabSize);

    // The "/*" ... "*/" block comment of a selected text; nothing when commenting a text that is
    // already a block comment.
    static std::optional<wxString> ToggleSlashStarComment(const wxString& text, bool comment);
    // Whether a selected text, trimmed, is one block comment.
    static bool IsSlashStarComment(const wxString& text);

    // Saving with tabs as spaces: the text with every TAB expanded and the selection after it.
    // A non-empty selection's end moves by the change in length; its start and a caret stay.
    struct Expanded {
        wxString text;
        long selStart = 0;
        long selEnd = 0;
    };
    static Expanded ExpandTabsForSave(const wxString& text, int tabSize, long selStart, long selEnd);

    // The text that Find proposes: the selection when it is one line, else the last search text.
    static wxString FindSeed(const wxString& selection, const wxString& lastSearch);

    // Shift+Tab without a selection deletes the character before the caret when it is a blank or a TAB.
    static bool ShiftTabDeletes(wxUniChar before);
};
