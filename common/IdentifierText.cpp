#include "IdentifierText.h"

#include <fmt/format.h>

void FormatIdentifierName(const wxString& text, wxString& name)
{
    name.clear();
    name.reserve(text.length());
    for (wxUniChar c : text) {
        const bool keep = c == '_' || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        name += keep ? c : wxUniChar('_');
    }
}

wxString MakeIdentifierName(const wxString& text)
{
    wxString name;
    FormatIdentifierName(text, name);
    return name;
}

wxString FormatGuidName(const GUID& guid)
{
    if (guid == GUID{})
        return wxString();
    const uint8_t* b = guid.Data4;
    std::string s = fmt::format("{:08X}_{:04X}_{:04x}_{:02X}{:02X}_{:02X}{:02X}{:02X}{:02X}{:02X}{:02X}",
                                guid.Data1, guid.Data2, guid.Data3, b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7]);
    return wxString::FromUTF8(s).Upper();
}

void CreateGuidString(wxString& text)
{
    text = FormatGuidName(GUID::Create());
}

wxString MakeUniqueName()
{
    wxString text;
    CreateGuidString(text);
    return text;
}

namespace {

// Quote characters that are blank (a driver's " ") mean that names go unquoted.
bool QuotesInUse(const wxString& openQuote, const wxString& closeQuote)
{
    return !wxString(openQuote).Trim().empty() && !wxString(closeQuote).Trim().empty();
}

// One quoted part: the closing quote doubled inside it, whatever character it is.
wxString QuotePart(const wxString& part, const wxString& openQuote, const wxString& closeQuote)
{
    wxString escaped = part;
    escaped.Replace(closeQuote, closeQuote + closeQuote);
    return openQuote + escaped + closeQuote;
}

} // namespace

wxString QuoteIdentifier(const wxString& name, const wxString& openQuote, const wxString& closeQuote)
{
    return QuotesInUse(openQuote, closeQuote) ? QuotePart(name, openQuote, closeQuote) : name;
}

wxString QuoteQualifiedName(const wxString& schema, const wxString& name, const wxString& openQuote,
                            const wxString& closeQuote)
{
    const wxString quotedName = QuoteIdentifier(name, openQuote, closeQuote);
    return schema.empty() ? quotedName : QuoteIdentifier(schema, openQuote, closeQuote) + "." + quotedName;
}

bool HasNoWhitespace(const wxString& text)
{
    return text.find_first_of(" \t\r\n") == wxString::npos;
}

bool HasUniformChars(const wxString& text)
{
    if (text.empty())
        return true;
    const wxUniChar first = text[0];
    for (wxUniChar c : text) {
        if (c != first)
            return false;
    }
    return true;
}

wxString MakeFileNameFromText(const wxString& text, const wxString& drop1, const wxString& drop2)
{
    wxString name = text.Left(15);
    name.Replace("\n", "_");
    name.Replace("\r", "_");
    if (!drop1.empty())
        name.Replace(drop1, "");
    if (!drop2.empty())
        name.Replace(drop2, "");
    return MakeIdentifierName(name);
}

wxString GetPropertyAttributesText(long attributes)
{
    if (attributes & 0x1)
        return "Required ";
    if (attributes & 0x2)
        return "Optional ";
    if (attributes & 0x200)
        return "Read ";
    if (attributes & 0x400)
        return "Write ";
    return wxString();
}
