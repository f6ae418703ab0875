#include "ConnectionDialect.h"

#include "common/TrimText.h"

#include "FindNoCase.h"
#include "Utf8.h"

std::string UpperDbmsName(std::string_view dbmsName)
{
    std::string upper;
    upper.reserve(dbmsName.size());
    for (size_t pos = 0; pos < dbmsName.size();)
        utf8::Append(upper, utf8::ToUpper(utf8::Next(dbmsName, pos)));
    return upper;
}

ConnectionDialect ConnectionDialect::FromNames(std::string_view providerFile, std::string_view dbmsName,
                                               std::string_view driverName)
{
    const std::string upper = UpperDbmsName(dbmsName);
    const auto contains = [&](std::string_view part) { return upper.find(part) != std::string::npos; };
    ConnectionDialect d;
    d.odbcProvider = EqualsNoCase(providerFile, "MSDASQL.DLL");
    d.jet = EqualsNoCase(upper, "MS JET") || (d.odbcProvider && EqualsNoCase(driverName, "ODBCJT32.DLL"));
    d.foxPro = EqualsNoCase(upper, "VISUAL FOXPRO");
    d.db2 = contains("DB2");
    d.oracle = EqualsNoCase(upper, "ORACLE") || EqualsNoCase(upper, "ORAC") || contains("ORACLE");
    d.mySql = EqualsNoCase(upper, "MySQL");
    d.olap = EqualsNoCase(upper, "OLAP SERVER");
    return d;
}

bool ConnectionDialect::IsModernSqlServer(std::string_view dbmsName, std::string_view dbmsVersion)
{
    return (EqualsNoCase(dbmsName, "MICROSOFT SQL SERVER") || EqualsNoCase(dbmsName, "MS SQL SERVER")) &&
           dbmsVersion.size() >= 2 && dbmsVersion.substr(0, 2) != "06";
}

IdentifierQuotes ProviderIdentifierQuotes(std::string_view quote, std::string_view quoteSuffix)
{
    IdentifierQuotes q{std::string(TrimWhitespace(quote)), std::string(TrimWhitespace(quoteSuffix))};
    // A quote without its closing partner would generate unbalanced SQL: every quote character
    // but the bracket closes with itself.
    if (q.suffix.empty())
        q.suffix = q.prefix == "[" ? "]" : q.prefix;
    return q;
}

IdentifierQuotes QuotesInForce(const IdentifierQuotes& provider, bool useQuotedIdentifiers,
                               const ConnectionDialect& dialect, std::string_view dbmsName,
                               std::string_view dbmsVersion)
{
    IdentifierQuotes q = useQuotedIdentifiers ? provider : IdentifierQuotes{};
    if ((q.prefix.empty() || q.suffix.empty()) &&
        (ConnectionDialect::IsModernSqlServer(dbmsName, dbmsVersion) || dialect.jet || dialect.olap))
        q = {"[", "]"};
    return q;
}
