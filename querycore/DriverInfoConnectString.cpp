#include "DriverInfoConnectString.h"

#include "ado/ConnectionString.h"

using ado::detail::ConnectionStringError;

std::string TrimToOdbcConnectString(std::string_view connectString)
{
    const size_t dsn = connectString.find("DSN=");
    if (dsn != std::string_view::npos)
        return std::string(connectString.substr(dsn));
    if (connectString.substr(0, 5) == "ODBC;")
        return std::string(connectString.substr(5));
    return std::string(connectString);
}

std::string MakeDriverInfoConnectString(std::string_view connectionString, std::string_view openedWith)
{
    try {
        ado::detail::ConnectRequest request = ado::detail::TranslateConnectionString(connectionString);
        ado::detail::AttributeList& odbc = request.odbc;
        if (!odbc.Find("DRIVER") && !odbc.Find("DSN") && !odbc.Find("FILEDSN"))
            return TrimToOdbcConnectString(connectionString);
        if (!odbc.Find("PWD")) {
            std::string password;
            try {
                password = ado::detail::TranslateConnectionString(openedWith).password;
            } catch (const ConnectionStringError&) {
                password.clear(); // an unreadable string gives no password
            }
            if (!password.empty())
                odbc.Set("PWD", password);
        }
        return ado::detail::FormatOdbcConnectionString(odbc);
    } catch (const ConnectionStringError&) {
        return TrimToOdbcConnectString(connectionString);
    }
}
