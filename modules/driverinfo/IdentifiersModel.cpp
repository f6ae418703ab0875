#include "IdentifiersModel.h"

#include <sqlext.h>

#include <algorithm>
#include <strings.h>

namespace ferrow {

namespace {

// Characters, not bytes, so that lines are cut only between UTF-8 characters.
size_t Utf8Length(const std::string& text)
{
    return std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
}

// The byte offset after count characters.
size_t Utf8Offset(const std::string& text, size_t count)
{
    size_t i = 0;
    while (i < text.size() && count > 0) {
        ++i;
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            ++i;
        --count;
    }
    return i;
}

std::string DriverKeywordList(InfoSource& source)
{
    return source.GetInfoString(SQL_KEYWORDS, kKeywordsBuffer).value_or("");
}

} // namespace

std::vector<std::string> IdentifiersModel::SplitKeywords(const std::string& list)
{
    std::vector<std::string> words;
    size_t start = 0;
    for (;;) {
        const size_t comma = list.find(',', start);
        if (comma == std::string::npos)
            break;
        words.push_back(list.substr(start, comma - start));
        start = comma + 1;
    }
    if (start < list.size())
        words.push_back(list.substr(start));
    return words;
}

std::vector<std::string> IdentifiersModel::SortedKeywords(std::vector<std::string> words)
{
    std::stable_sort(words.begin(), words.end(), [](const std::string& a, const std::string& b) {
        const int c = strcasecmp(a.c_str(), b.c_str());
        return c != 0 ? c < 0 : a < b;
    });
    return words;
}

const std::vector<std::string>& IdentifiersModel::OdbcKeywords()
{
    static const std::vector<std::string> words = SortedKeywords(SplitKeywords(SQL_ODBC_KEYWORDS));
    return words;
}

void IdentifiersModel::FetchInfo(InfoSource& source)
{
    if (!source.IsConnected())
        return;
    const CodeTexts cases = {{1, "Upper"}, {2, "Lower"}, {3, "Sensitive"}, {4, "Mixed"}};
    auto text = [&](uint16_t type) { return source.GetInfoString(type).value_or(kNotReported); };
    SetCodedText(identifierCase, source.GetInfoWord(SQL_IDENTIFIER_CASE), cases);
    quoteChar = text(SQL_IDENTIFIER_QUOTE_CHAR);
    ownerTerm = text(SQL_OWNER_TERM);
    procedureTerm = text(SQL_PROCEDURE_TERM);
    SetCodedText(qualifierLocation, source.GetInfoWord(SQL_QUALIFIER_LOCATION), {{1, "Start"}, {2, "End"}});
    qualifierSeparator = text(SQL_QUALIFIER_NAME_SEPARATOR);
    qualifierTerm = text(SQL_QUALIFIER_TERM);
    SetCodedText(quotedIdentifierCase, source.GetInfoWord(SQL_QUOTED_IDENTIFIER_CASE), cases);
    searchPatternEscape = text(SQL_SEARCH_PATTERN_ESCAPE);
    specialCharacters = text(SQL_SPECIAL_CHARACTERS);
    tableTerm = text(SQL_TABLE_TERM);
    driverKeywords = SortedKeywords(SplitKeywords(DriverKeywordList(source)));
}

void IdentifiersModel::WriteReport(InfoSource& source, std::string& out)
{
    if (!source.IsConnected())
        return;
    out += "Identifiers\n-----------\n\n";
    out += "Driver-Specific Keywords:\n-------------------------\n";
    std::string line;
    bool written = false;
    for (const std::string& word : SplitKeywords(DriverKeywordList(source))) {
        if (Utf8Length(line) + Utf8Length(word) < 76) {
            if (written)
                line += ",";
            line += word;
        } else {
            out += line + "\n";
            line = word;
        }
        written = true;
    }
    out += line + "\n\n";
    out += "          Identifier Case - " + identifierCase + "\n";
    out += "   Quoted Identifier Case - " + quotedIdentifierCase + "\n";
    out += "    Search Pattern Escape - " + searchPatternEscape + "\n";
    out += "    Identifier Quote Char - " + quoteChar + "\n";
    out += "       Qualifier Location - " + qualifierLocation + "\n";
    out += "      Qualifier Separator - " + qualifierSeparator + "\n";
    out += "               Owner Term - " + ownerTerm + "\n";
    out += "           Procedure Term - " + procedureTerm + "\n";
    out += "           Qualifier Term - " + qualifierTerm + "\n";
    out += "                TableTerm - " + tableTerm + "\n\n";
    out += "Special Characters:\n-------------------\n";
    if (specialCharacters.empty()) {
        out += "<none>\n\n";
    } else {
        std::string rest = specialCharacters;
        while (Utf8Length(rest) > 75) {
            const size_t cut = Utf8Offset(rest, 75);
            out += rest.substr(0, cut) + "\n";
            rest.erase(0, cut);
        }
        out += rest + "\n";
    }
    out += "\n";
}

} // namespace ferrow
