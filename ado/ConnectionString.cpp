#include "ConnectionString.h"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>

namespace ado::detail {

namespace {

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// The position in messages counts characters from 1.
class Parser {
public:
    Parser(std::string_view text, bool adoQuotes) : m_text(text), m_adoQuotes(adoQuotes) {}

    void Parse(const std::function<void(const WrittenAttribute&)>& visit)
    {
        if (m_text.size() > kMaxConnectionStringLength)
            throw ConnectionStringError(fmt::format("The connection string is {} characters long; the limit is {}.",
                                                    m_text.size(), kMaxConnectionStringLength));
        if (size_t nul = m_text.find('\0'); nul != std::string_view::npos)
            throw ConnectionStringError(
                fmt::format("The connection string holds a NUL character at position {}.", nul + 1));
        while (true) {
            SkipBlanks();
            if (AtEnd())
                break;
            if (Peek() == ';') {
                ++m_pos;
                continue;
            }
            WrittenAttribute written;
            written.attribute.key = ParseKey();
            ParseValue(written);
            visit(written);
        }
    }

private:
    bool AtEnd() const { return m_pos >= m_text.size(); }
    char Peek() const { return m_text[m_pos]; }
    void SkipBlanks()
    {
        while (!AtEnd() && IsBlank(Peek()))
            ++m_pos;
    }

    std::string ParseKey()
    {
        size_t start = m_pos;
        std::string key;
        while (true) {
            if (AtEnd() || Peek() == ';') {
                std::string_view written = TrimBlanks(m_text.substr(start, m_pos - start));
                throw ConnectionStringError(
                    fmt::format("\"{}\" at position {} has no \"=\" and value.", written, start + 1));
            }
            if (Peek() == '=') {
                if (m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '=') {
                    key.push_back('=');
                    m_pos += 2;
                    continue;
                }
                break;
            }
            key.push_back(Peek());
            ++m_pos;
        }
        std::string trimmed(TrimBlanks(key));
        if (trimmed.empty())
            throw ConnectionStringError(fmt::format("An \"=\" at position {} has no key before it.", m_pos + 1));
        ++m_pos; // the '='
        return trimmed;
    }

    void ParseValue(WrittenAttribute& written)
    {
        SkipBlanks();
        written.valueBegin = written.valueEnd = m_pos;
        if (AtEnd() || Peek() == ';')
            return;
        char open = Peek();
        if (open == '{' || (m_adoQuotes && (open == '"' || open == '\''))) {
            written.enclosure = open;
            written.attribute.value = ParseEnclosed(written.attribute.key, open == '{' ? '}' : open, open == '{' ? "brace" : "quote",
                                                    written.valueEnd);
            return;
        }
        while (!AtEnd() && Peek() != ';')
            ++m_pos;
        std::string_view value = TrimBlanks(m_text.substr(written.valueBegin, m_pos - written.valueBegin));
        written.valueEnd = written.valueBegin + value.size();
        written.attribute.value = std::string(value);
    }

    // A value in braces or quotes; the closing character doubled stands for itself.
    std::string ParseEnclosed(const std::string& key, char close, const char* what, size_t& end)
    {
        size_t start = m_pos;
        ++m_pos;
        std::string value;
        while (true) {
            if (AtEnd())
                throw ConnectionStringError(fmt::format("The value of \"{}\" opened with a {} at position {} is not closed.",
                                                        key, what, start + 1));
            char c = Peek();
            ++m_pos;
            if (c == close) {
                if (!AtEnd() && Peek() == close) {
                    value.push_back(close);
                    ++m_pos;
                    continue;
                }
                break;
            }
            value.push_back(c);
        }
        end = m_pos;
        SkipBlanks();
        if (!AtEnd() && Peek() != ';')
            throw ConnectionStringError(fmt::format("Unexpected text at position {} after the {} that closes the value of \"{}\".",
                                                    m_pos + 1, what, key));
        return value;
    }

    std::string_view m_text;
    bool m_adoQuotes;
    size_t m_pos = 0;
};

AttributeList ParseWith(std::string_view text, ConnectionStringSyntax syntax)
{
    AttributeList out;
    VisitConnectionString(text, syntax, [&](const WrittenAttribute& written) { out.Append(written.attribute); });
    return out;
}

bool ParseBool(std::string_view value)
{
    value = TrimBlanks(value);
    return EqualsNoCase(value, "true") || EqualsNoCase(value, "yes") || value == "1" || value == "-1";
}

std::optional<long> ParseLong(std::string_view key, std::string_view value)
{
    value = TrimBlanks(value);
    if (value.empty())
        return std::nullopt;
    try {
        size_t used = 0;
        long v = std::stol(std::string(value), &used);
        if (used == value.size())
            return v;
    } catch (const std::exception&) {
    }
    throw ConnectionStringError(fmt::format("The value of \"{}\" is not a number: \"{}\".", key, value));
}

} // namespace

const std::string* AttributeList::Find(std::string_view key) const
{
    for (auto it = m_items.rbegin(); it != m_items.rend(); ++it)
        if (EqualsNoCase(it->key, key))
            return &it->value;
    return nullptr;
}

void AttributeList::Set(std::string_view key, std::string value)
{
    auto first = std::find_if(m_items.begin(), m_items.end(), [&](const auto& a) { return EqualsNoCase(a.key, key); });
    if (first == m_items.end()) {
        m_items.push_back({std::string(key), std::move(value)});
        return;
    }
    first->value = std::move(value);
    m_items.erase(std::remove_if(first + 1, m_items.end(), [&](const auto& a) { return EqualsNoCase(a.key, key); }),
                  m_items.end());
}

void AttributeList::Remove(std::string_view key)
{
    m_items.erase(std::remove_if(m_items.begin(), m_items.end(), [&](const auto& a) { return EqualsNoCase(a.key, key); }),
                  m_items.end());
}

AttributeList ParseAdoConnectionString(std::string_view text)
{
    return ParseWith(text, ConnectionStringSyntax::Ado);
}

AttributeList ParseOdbcConnectionString(std::string_view text)
{
    return ParseWith(text, ConnectionStringSyntax::Odbc);
}

void VisitConnectionString(std::string_view text, ConnectionStringSyntax syntax,
                           const std::function<void(const WrittenAttribute&)>& visit)
{
    Parser(text, syntax == ConnectionStringSyntax::Ado).Parse(visit);
}

bool KeywordIs(std::string_view key, std::string_view keyword)
{
    return EqualsNoCase(key, keyword);
}

bool IsPasswordKeyword(std::string_view key)
{
    return EqualsNoCase(key, "Password") || EqualsNoCase(key, "PWD");
}

std::string FormatOdbcConnectionString(const AttributeList& attributes)
{
    std::string out;
    for (const auto& a : attributes.Items()) {
        const std::string& k = a.key;
        const std::string& v = a.value;
        // A key is written as it parses back: "=" doubled; one that would end early or lose
        // blanks at its ends cannot be written at all.
        if (k.empty() || IsBlank(k.front()) || IsBlank(k.back()) || k.find_first_of(std::string_view(";\0", 2)) != std::string::npos)
            throw ConnectionStringError(fmt::format("The keyword \"{}\" cannot be written in a connection string.", k));
        if (v.find('\0') != std::string::npos)
            throw ConnectionStringError(fmt::format("The value of \"{}\" holds a NUL character.", k));
        for (char c : k) {
            out += c;
            if (c == '=')
                out += '=';
        }
        out += '=';
        // Braces where the plain value would end early, lose its blanks, open braces of its own
        // or (starting with "=") read as a doubled "=" of the key.
        bool brace = v.find_first_of(";{}") != std::string::npos || (!v.empty() && (IsBlank(v.front()) || IsBlank(v.back())))
                     || (!v.empty() && v.front() == '=') || (EqualsNoCase(k, "driver") && !v.empty());
        if (brace) {
            out += '{';
            for (char c : v) {
                out += c;
                if (c == '}')
                    out += '}';
            }
            out += '}';
        } else {
            out += v;
        }
        out += ';';
    }
    return out;
}

std::string QuoteAdoValue(std::string_view value)
{
    bool quote = value.find_first_of(";\"'{") != std::string_view::npos
                 || (!value.empty() && (IsBlank(value.front()) || IsBlank(value.back()) || value.front() == '='));
    if (!quote)
        return std::string(value);
    std::string out = "\"";
    for (char c : value) {
        out += c;
        if (c == '"')
            out += '"';
    }
    out += '"';
    return out;
}

ConnectRequest TranslateConnectionString(std::string_view adoText)
{
    ConnectRequest req;
    AttributeList odbc;
    const AttributeList written = ParseAdoConnectionString(adoText);
    for (const auto& a : written.Items()) {
        const std::string& k = a.key;
        if (EqualsNoCase(k, "Provider")) {
            req.provider = std::string(TrimBlanks(a.value));
        } else if (EqualsNoCase(k, "Extended Properties")) {
            AttributeList inner;
            try {
                inner = ParseOdbcConnectionString(a.value);
            } catch (const ConnectionStringError& e) {
                throw ConnectionStringError(fmt::format("In Extended Properties: {}", e.what()));
            }
            for (const auto& i : inner.Items())
                odbc.Set(i.key, i.value);
        } else if (EqualsNoCase(k, "Persist Security Info")) {
            req.persistSecurityInfo = ParseBool(a.value);
        } else if (EqualsNoCase(k, "Data Source")) {
            req.dataSource = a.value;
        } else if (EqualsNoCase(k, "User ID")) {
            req.userId = a.value;
        } else if (EqualsNoCase(k, "Password")) {
            req.password = a.value;
        } else if (EqualsNoCase(k, "Initial Catalog")) {
            req.initialCatalog = a.value;
        } else if (EqualsNoCase(k, "Prompt")) {
            req.prompt = ParseLong(k, a.value);
        } else if (EqualsNoCase(k, "Connect Timeout")) {
            req.connectTimeout = ParseLong(k, a.value);
        } else {
            odbc.Set(k, a.value);
        }
    }

    // The bridge's own keywords fill in what the ODBC attributes leave open, and the ODBC
    // attributes tell the bridge's properties what they hold.
    auto merge = [&](const char* odbcKey, std::string& own) {
        if (const std::string* v = odbc.Find(odbcKey)) {
            if (own.empty())
                own = *v;
        } else if (!own.empty()) {
            odbc.Set(odbcKey, own);
        }
    };
    if (!req.dataSource.empty() && !odbc.Find("DSN") && !odbc.Find("DRIVER") && !odbc.Find("FILEDSN"))
        odbc.Set("DSN", req.dataSource);
    else if (req.dataSource.empty())
        if (const std::string* dsn = odbc.Find("DSN"))
            req.dataSource = *dsn;
    merge("UID", req.userId);
    merge("PWD", req.password);
    merge("DATABASE", req.initialCatalog);
    req.odbc = std::move(odbc);
    return req;
}

bool IsBridgeProvider(std::string_view provider)
{
    provider = TrimBlanks(provider);
    if (provider.size() < 7 || !EqualsNoCase(provider.substr(0, 7), "MSDASQL"))
        return false;
    std::string_view rest = provider.substr(7);
    if (rest.empty())
        return true;
    return rest.size() >= 2 && rest.front() == '.'
           && std::all_of(rest.begin() + 1, rest.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

} // namespace ado::detail
