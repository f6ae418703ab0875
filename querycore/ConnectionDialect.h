// What a query window derives from its connection's names: the dialect flags that later
// decisions test instead of the names, and the identifier quote characters in force.
#pragma once

#include <string>
#include <string_view>

struct ConnectionDialect {
    bool odbcProvider = false; // the provider is the ODBC bridge ("MSDASQL.DLL")
    bool jet = false;
    bool foxPro = false;
    bool db2 = false;
    bool oracle = false;
    bool mySql = false;
    bool olap = false;

    // providerFile: "Provider Name"; dbmsName: "DBMS Name" as reported; driverName: "Driver
    // Name" (read only for the ODBC bridge). Whole names compare ignoring case, parts are looked
    // for in the upper-cased name.
    static ConnectionDialect FromNames(std::string_view providerFile, std::string_view dbmsName,
                                       std::string_view driverName);

    // A SQL Server after 6.x: name "MICROSOFT SQL SERVER" or "MS SQL SERVER", a version of at
    // least two characters not beginning with "06".
    static bool IsModernSqlServer(std::string_view dbmsName, std::string_view dbmsVersion);
};

// The DBMS name as the dialect tests read it: upper-cased, not trimmed.
std::string UpperDbmsName(std::string_view dbmsName);

struct IdentifierQuotes {
    std::string prefix;
    std::string suffix;
    bool operator==(const IdentifierQuotes&) const = default;
};

// The provider's QUOTE and QUOTE_SUFFIX literals, trimmed; an empty suffix follows a "[" prefix
// as "]" and any other prefix as the prefix itself.
IdentifierQuotes ProviderIdentifierQuotes(std::string_view quote, std::string_view quoteSuffix);

// The quote characters in force: the provider's while quoted identifiers are used, else none;
// when either is then empty, brackets for a modern SQL Server, Jet and OLAP.
IdentifierQuotes QuotesInForce(const IdentifierQuotes& provider, bool useQuotedIdentifiers,
                               const ConnectionDialect& dialect, std::string_view dbmsName,
                               std::string_view dbmsVersion);
