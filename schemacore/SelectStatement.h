// The row-limited SELECT the schema pane writes for a table, view or columns, in the dialect of
// the connected DBMS, and how it is handed to the editor. Pure functions of their arguments.
#pragma once

#include <wx/string.h>

class CConnectionInfo;

// What decides the form of the statement: the window's dialect flags, its DBMS name and its
// connection string.
struct CSelectDialect {
    bool oracle = false;
    bool db2 = false;
    bool jet = false;
    bool foxPro = false;
    bool mySql = false;
    bool tSql = false;
    wxString dbmsNameUpper;
    wxString connectionString;

    static CSelectDialect FromConnection(const CConnectionInfo& connection, const wxString& connectionString);
};

// All rows.
inline constexpr int kAllRows = -1;

// "SELECT cols FROM name" limited to rows (-1 all, 0 none: only the headings) by the first rule
// that fits the dialect, trimmed, then wrapped in SET ROWCOUNT on a T-SQL server. name and cols
// come quoted. columnNode: the statement lists columns the user picked, which always get
// " WHERE 1 = 2" for no rows.
wxString BuildRowLimitedSelect(const CSelectDialect& dialect, const wxString& name, const wxString& cols,
                               bool columnNode, int rows);

// The T-SQL row count around the statement: -1 resets it first, n >= 1 sets it and resets it
// afterwards, 0 leaves the statement alone. Lines end in "\n".
void WrapSetRowcount(wxString& sql, int rows);

// The default file name of Save As: the object name without the quote characters, made an
// identifier name.
wxString SaveAsFileName(const wxString& objectName, const wxString& quotePrefix, const wxString& quoteSuffix);

// What goes into the editor for a statement, and which part of it to select: a blank line before
// it when the editor holds text, ";" after it for the dialects that end statements so, then the
// batch separator on a line of its own when there is one. The selection runs from the
// statement's first character (selectFrom, in characters of text) to the end of the text.
struct CEditorAppend {
    wxString text;
    size_t selectFrom = 0;
};
CEditorAppend ComposeEditorAppend(const wxString& sql, bool editorHasText, bool terminate, const wxString& separator,
                                  const wxString& lineEnd);
