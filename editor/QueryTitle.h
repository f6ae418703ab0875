// The caption of a query window: "connection - name - (first characters of the query)", with an
// optional "{DBMS version}" prefix, the "*" marker after the first edit, and the plain name that
// save prompts and the Save As dialog use.
#pragma once

#include <wx/string.h>

#include <optional>

// What the query window knows of its connection.
struct CQueryTitleConnection {
    wxString dataSource;
    wxString serverName;
    wxString catalog;
    wxString userId;
    wxString dbmsName;
    wxString dbmsVersion;
    bool displayDbmsVer = false;
};

class CQueryTitle {
public:
    // The full title. argument: the title handed to the document (a file name, a marked name or
    // an untitled "... - (New Query)" title), or nothing for a refresh. Without a connection the
    // argument alone makes the title.
    static wxString Compose(const std::optional<wxString>& argument, const wxString& currentTitle,
                            const CQueryTitleConnection* connection, const wxString& editorText,
                            const wxString& lastExecutedSql);

    // The connection part alone.
    static wxString ConnectionPart(const CQueryTitleConnection& connection);

    // The name part of a full title: between the first " - " and the following " - (";
    // when marked, the "*" marker and any blanks before it are cut.
    static wxString Plain(const wxString& title, bool marked);

    // The argument that marks a title as modified ("name*"), or nothing when the title has no
    // name part to mark.
    static std::optional<wxString> MarkedArgument(const wxString& currentTitle);
};
