#include "QueryTitle.h"

namespace {

const wxString kSep = " - ";
const wxString kTextOpen = " - (";
constexpr size_t kTextPartLength = 15;

// The connection part never holds " - ", so the first " - " of a title always ends it.
wxString Escaped(wxString text)
{
    text.Replace(" - ", " -- ");
    return text;
}

wxString Blanked(wxString text)
{
    text.Replace("\r", " ");
    text.Replace("\n", " ");
    return text;
}

wxString Trimmed(wxString text)
{
    return text.Trim(true).Trim(false);
}

wxString OrUnknown(const wxString& text)
{
    wxString t = Trimmed(text);
    return t.empty() ? wxString("<Unknown>") : Escaped(t);
}

} // namespace

wxString CQueryTitle::ConnectionPart(const CQueryTitleConnection& c)
{
    wxString part;
    if (!c.serverName.empty() && !c.catalog.empty()) {
        // File-based databases name their file as catalog; Linux has no short form of a path.
        part = Escaped(Trimmed(c.serverName)) + "." + "\"" + Escaped(c.catalog) + "\"";
        if (!c.userId.empty())
            part += "." + Escaped(c.userId);
    } else {
        part = Escaped(c.dataSource);
        if (!c.userId.empty())
            part += " (" + Escaped(c.userId) + ")";
    }
    return part;
}

wxString CQueryTitle::Compose(const std::optional<wxString>& argument, const wxString& currentTitle,
                              const CQueryTitleConnection* connection, const wxString& editorText,
                              const wxString& lastExecutedSql)
{
    wxString title = argument.value_or(wxString());
    if (connection) {
        wxString name;
        wxString text;
        if (argument && argument->Contains(" - (New Query)")) {
            name = argument->Left(argument->find(kSep));
            text = "New Query";
        } else if (argument) {
            name = *argument;
            text = editorText;
        } else {
            size_t first = currentTitle.find(kSep);
            if (first != wxString::npos) {
                wxString rest = currentTitle.Mid(first + kSep.length());
                size_t open = rest.find(kTextOpen);
                name = open == wxString::npos ? rest : rest.Left(open);
            }
            text = lastExecutedSql;
        }
        if (text.empty())
            text = "New Query";
        if (text.length() > kTextPartLength)
            text = text.Left(kTextPartLength) + "...";
        text = Trimmed(Blanked(text));
        title = ConnectionPart(*connection) + kSep + name + kTextOpen + text + ")";
        if (connection->displayDbmsVer)
            title = "{" + OrUnknown(connection->dbmsName) + " " + OrUnknown(connection->dbmsVersion) + "} " + title;
    }
    return Trimmed(Blanked(title));
}

wxString CQueryTitle::Plain(const wxString& title, bool marked)
{
    wxString plain = title;
    size_t first = plain.find(kSep);
    if (first != wxString::npos)
        plain = plain.Mid(first + kSep.length());
    size_t open = plain.find(kTextOpen);
    if (open != wxString::npos)
        plain = plain.Left(open);
    if (marked) {
        // The marker is the last "*": file names may hold one of their own.
        size_t star = plain.rfind('*');
        if (star != wxString::npos)
            plain = plain.Left(star);
        plain.Trim(true);
    }
    return plain;
}

std::optional<wxString> CQueryTitle::MarkedArgument(const wxString& currentTitle)
{
    size_t first = currentTitle.find(kSep);
    if (first == wxString::npos)
        return std::nullopt;
    wxString rest = currentTitle.Mid(first + kSep.length());
    size_t open = rest.find(kTextOpen);
    if (open == wxString::npos)
        return std::nullopt;
    return rest.Left(open) + "*";
}
