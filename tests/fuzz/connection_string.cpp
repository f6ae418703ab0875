// The connection string parsers on any text, and formatting: every list of attributes that
// parses (in ADO or ODBC syntax) formats to ODBC text that parses back to the same list, every
// value quoted for ADO parses back to itself, and attributes built from the input (pairs cut
// at bytes 1 and 2) either format and parse back, or are refused for what no string can hold.
#include "FuzzCheck.h"

#include "ado/ConnectionString.h"

#include <cstdint>

namespace {

using namespace ado::detail;

bool Same(const AttributeList& a, const AttributeList& b)
{
    if (a.Items().size() != b.Items().size())
        return false;
    for (size_t i = 0; i < a.Items().size(); ++i)
        if (a.Items()[i].key != b.Items()[i].key || a.Items()[i].value != b.Items()[i].value)
            return false;
    return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// What FormatOdbcConnectionString refuses: keys that are empty, hold ";" or NUL or have
// blanks at their ends, and NUL in values.
bool Writable(const AttributeList& list)
{
    for (const auto& a : list.Items()) {
        const std::string& k = a.key;
        if (k.empty() || IsBlank(k.front()) || IsBlank(k.back()) || k.find(';') != std::string::npos
            || k.find('\0') != std::string::npos || a.value.find('\0') != std::string::npos)
            return false;
    }
    return true;
}

void CheckRoundTrip(const AttributeList& list, std::string_view input)
{
    std::string text;
    try {
        text = FormatOdbcConnectionString(list);
    } catch (const ConnectionStringError&) {
        fuzz::Check(!Writable(list), "formatting refuses only what no string can hold", input);
        return;
    }
    fuzz::Check(Writable(list), "formatting refuses what no string can hold", input);
    if (text.size() > kMaxConnectionStringLength)
        return;
    try {
        fuzz::Check(Same(ParseOdbcConnectionString(text), list), "formatted attributes parse back the same", input);
    } catch (const ConnectionStringError&) {
        fuzz::Fail("formatted attributes parse", input);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    for (bool adoSyntax : {true, false}) {
        AttributeList list;
        try {
            list = adoSyntax ? ParseAdoConnectionString(input) : ParseOdbcConnectionString(input);
        } catch (const ConnectionStringError&) {
            continue;
        }
        fuzz::Check(Writable(list), "parsed attributes can be written", input);
        CheckRoundTrip(list, input);
        for (const auto& a : list.Items()) {
            std::string text = "K=" + QuoteAdoValue(a.value);
            if (text.size() > kMaxConnectionStringLength)
                continue;
            AttributeList back = ParseAdoConnectionString(text);
            fuzz::Check(back.Items().size() == 1 && back.Items()[0].value == a.value, "quoted ADO values parse back",
                        input);
        }
    }
    try {
        TranslateConnectionString(input);
    } catch (const ConnectionStringError&) {
    }

    AttributeList built;
    for (size_t pos = 0; pos <= input.size();) {
        size_t end = input.find('\x01', pos);
        std::string_view field = input.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
        size_t split = field.find('\x02');
        built.Append({std::string(field.substr(0, split)),
                      split == std::string_view::npos ? std::string() : std::string(field.substr(split + 1))});
        if (end == std::string_view::npos)
            break;
        pos = end + 1;
    }
    CheckRoundTrip(built, input);
    return 0;
}
