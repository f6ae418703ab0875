// Connection strings: the ADO form that callers give and read back, and the ODBC form that
// SQLDriverConnect takes. The layer is an ODBC bridge, so the ADO form is
// "Provider=MSDASQL.1;...;Extended Properties=\"<ODBC attributes>\"", and a string without a
// Provider is taken as ODBC attributes, as the bridge is the default provider.
#pragma once

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ado::detail {

struct ConnectionAttribute {
    std::string key;   // as written, without surrounding blanks
    std::string value; // decoded (quotes and braces removed)
};

// Attributes in the order written; lookups ignore letter case.
class AttributeList {
public:
    // The value of the last attribute with that key, or nullptr.
    const std::string* Find(std::string_view key) const;
    // Replaces the first attribute with that key (dropping later ones), or appends.
    void Set(std::string_view key, std::string value);
    void Remove(std::string_view key);
    void Append(ConnectionAttribute attribute) { m_items.push_back(std::move(attribute)); }

    const std::vector<ConnectionAttribute>& Items() const { return m_items; }
    bool Empty() const { return m_items.empty(); }

private:
    std::vector<ConnectionAttribute> m_items;
};

// A malformed string; what() says what is wrong and where.
class ConnectionStringError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The longest text SQLDriverConnect accepts (its lengths are 16-bit).
inline constexpr size_t kMaxConnectionStringLength = 32767;

// ADO syntax: "key=value" pairs separated by ";". Blanks around keys and values are ignored;
// "==" in a key stands for "="; a value may be enclosed in double or single quotes (the quote
// doubled inside) or in braces ("}}" inside stands for "}"). Empty pairs (";;") are skipped.
// Throws ConnectionStringError for a key without "=", an empty key, an unterminated quote or
// brace, text after a closing quote, a NUL character, or a string longer than the limit.
AttributeList ParseAdoConnectionString(std::string_view text);

// ODBC syntax: as above, but only braces enclose values; quotes are ordinary characters.
AttributeList ParseOdbcConnectionString(std::string_view text);

enum class ConnectionStringSyntax { Ado, Odbc };

// One attribute and where its value stands in the text it was read from, for callers that
// rewrite a value in place and leave the rest as written.
struct WrittenAttribute {
    ConnectionAttribute attribute;
    size_t valueBegin = 0; // the value as written: its quotes or braces included
    size_t valueEnd = 0;
    char enclosure = 0;    // '"', '\'' or '{' for an enclosed value, else 0
};

// Reads the attributes of a string as the parsers above do, handing each to visit in the order
// written. Throws ConnectionStringError where the text is malformed, after visit has seen the
// attributes before that point.
void VisitConnectionString(std::string_view text, ConnectionStringSyntax syntax,
                           const std::function<void(const WrittenAttribute&)>& visit);

// True when a key names the keyword: keys compare ignoring letter case.
bool KeywordIs(std::string_view key, std::string_view keyword);

// True for the keywords whose value the connection hands on as a password: "Password" (the
// bridge's own, and a driver's) and PWD, in any letter case.
bool IsPasswordKeyword(std::string_view key);

// "key=value;..." for SQLDriverConnect, such that ParseOdbcConnectionString gives back the same
// attributes: "=" in a key is doubled; a value is put in braces (with "}" doubled) when it
// holds a character that would end or confuse it or starts with "=", and the Driver value
// always. Throws ConnectionStringError for what no string can hold: an empty key, a key with
// ";" or blanks at its ends, a NUL character.
std::string FormatOdbcConnectionString(const AttributeList& attributes);

// One ADO attribute value, double-quoted (with '"' doubled) when it needs quoting, so that
// ParseAdoConnectionString gives it back as it was (NUL aside).
std::string QuoteAdoValue(std::string_view value);

// What an ADO connection string asks of the bridge.
struct ConnectRequest {
    std::string provider;      // as written; empty when the string names none
    AttributeList odbc;        // attributes handed to SQLDriverConnect
    bool persistSecurityInfo = false;
    std::string userId;        // "User ID", or UID among the ODBC attributes
    std::string password;      // "Password", or PWD among the ODBC attributes
    std::string dataSource;    // "Data Source", or DSN among the ODBC attributes
    std::string initialCatalog;
    std::optional<long> prompt;
    std::optional<long> connectTimeout;
};

// Splits an ADO string into the bridge's own keywords and the ODBC attributes: the value of
// "Extended Properties" is unwrapped, "Data Source", "User ID", "Password" and
// "Initial Catalog" become DSN, UID, PWD and DATABASE unless the ODBC attributes hold those
// already, and every other attribute goes to ODBC as it stands.
// Throws ConnectionStringError for malformed text; the provider is not checked here.
ConnectRequest TranslateConnectionString(std::string_view adoText);

// True for the names of this bridge: MSDASQL, with or without a version suffix ".1".
bool IsBridgeProvider(std::string_view provider);

} // namespace ado::detail
