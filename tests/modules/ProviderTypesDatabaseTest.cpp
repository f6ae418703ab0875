// The provider types of real connections, compared with what the driver's SQLGetTypeInfo says
// when asked directly, and the report of them, on SQLite and PostgreSQL.
#include "modules/providertypes/ProviderTypesReport.h"

#include "tests/common/WxStringPrinter.h"
#include "tests/support/TestDatabases.h"

#include <gtest/gtest.h>
#include <sql.h>
#include <sqlext.h>

#include <map>
#include <optional>
#include <stdexcept>

namespace {

using namespace torvane::test;

// One SQLGetTypeInfo row, as the driver gives it to an ODBC 3 application.
struct DriverType {
    std::string name;
    std::optional<long> columnSize;
    long nullable = 0;
    std::optional<long> searchable;
    std::string localName;
};

// The first row of each type name, by name.
std::map<std::string, DriverType> DriverTypes(const std::string& connect)
{
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
    std::map<std::string, DriverType> types;
    SQLRETURN rc = SQLDriverConnectA(dbc, nullptr, (SQLCHAR*)connect.c_str(), SQL_NTS, nullptr, 0, nullptr,
                                    SQL_DRIVER_NOPROMPT);
    if (SQL_SUCCEEDED(rc)) {
        SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt);
        rc = SQLGetTypeInfo(stmt, SQL_ALL_TYPES);
        auto text = [&](SQLUSMALLINT col) -> std::optional<std::string> {
            char buf[512];
            SQLLEN len = 0;
            if (!SQL_SUCCEEDED(SQLGetData(stmt, col, SQL_C_CHAR, buf, sizeof buf, &len)) || len == SQL_NULL_DATA)
                return std::nullopt;
            return std::string(buf);
        };
        auto number = [&](SQLUSMALLINT col) -> std::optional<long> {
            SQLINTEGER v = 0;
            SQLLEN len = 0;
            if (!SQL_SUCCEEDED(SQLGetData(stmt, col, SQL_C_SLONG, &v, 0, &len)) || len == SQL_NULL_DATA)
                return std::nullopt;
            return v;
        };
        while (SQL_SUCCEEDED(rc) && SQL_SUCCEEDED(SQLFetch(stmt))) {
            DriverType t;
            t.name = text(1).value_or("");
            t.columnSize = number(3);
            t.nullable = number(7).value_or(-1);
            t.searchable = number(9);
            t.localName = text(13).value_or("");
            types.emplace(t.name, t);
        }
        SQLFreeHandle(SQL_HANDLE_STMT, stmt);
        SQLDisconnect(dbc);
    }
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    if (types.empty())
        throw std::runtime_error("SQLGetTypeInfo gave no types for " + connect);
    return types;
}

class ProviderTypesDatabaseTest : public DatabaseTest {
protected:
    ado::ConnectionPtr Open()
    {
        ado::ConnectionPtr cn = ado::Connection::Create();
        cn->Open(ConnectionString());
        return cn;
    }
};

TEST_P(ProviderTypesDatabaseTest, ListsTheDriversTypesWithTheirDetails)
{
    const auto expected = DriverTypes(ConnectionString());
    ProviderTypeMap map;
    LoadProviderTypes(*Open(), map);
    ASSERT_EQ(map.size(), expected.size());
    const char* const searchable[] = {"No", "Only with LIKE", "All except LIKE", "Yes"};
    for (const auto& [name, type] : expected) {
        auto found = map.find(wxString::FromUTF8(name));
        ASSERT_NE(found, map.end()) << name;
        const ProviderTypeInfo& info = found->second;
        EXPECT_EQ(info[TypeDetail::LocalTypeName], wxString::FromUTF8(type.localName)) << name;
        // A size the driver cannot tell (SQL_NO_TOTAL) has no value in the rowset.
        EXPECT_EQ(info[TypeDetail::ColumnSize],
                  type.columnSize && *type.columnSize >= 0 ? wxString::Format("%ld", *type.columnSize) : "")
            << name;
        EXPECT_EQ(info[TypeDetail::IsNullable],
                  type.nullable == SQL_NULLABLE ? "Yes" : type.nullable == SQL_NO_NULLS ? "No" : "<Unknown>")
            << name;
        if (type.searchable && *type.searchable >= 0 && *type.searchable <= 3) {
            EXPECT_EQ(info[TypeDetail::Searchable], searchable[*type.searchable]) << name;
        }
        // Every type has a data type; a wrong column name would leave it empty.
        EXPECT_TRUE(info[TypeDetail::AdoType].StartsWith("(ad")) << name << ": " << info[TypeDetail::AdoType];
        EXPECT_FALSE(info[TypeDetail::IsFixedLength].empty()) << name;
    }
    const wxString integer = IsPostgres() ? "int4" : "integer";
    ASSERT_TRUE(map.count(integer));
    EXPECT_EQ(map[integer][TypeDetail::AdoType], "(adInteger) A 4-byte signed integer");
    if (IsPostgres()) {
        EXPECT_EQ(map["varchar"][TypeDetail::Literal], "', '");
        EXPECT_EQ(map["int4"][TypeDetail::UnsignedAttribute], "Signed");
        EXPECT_EQ(map["varchar"][TypeDetail::UnsignedAttribute], "<Not applicable>");
    }
}

TEST_P(ProviderTypesDatabaseTest, ReportDescribesTheConnectionAndEveryType)
{
    ado::ConnectionPtr cn = Open();
    ProviderTypeMap map;
    LoadProviderTypes(*cn, map);
    const ProviderTypesHeader header = ReadReportHeader(*cn);
    const wxString dbms = IsPostgres() ? "POSTGRESQL" : "SQLITE";
    EXPECT_EQ(header.providerName, "MSDASQL.DLL");
    EXPECT_EQ(header.dbmsName, dbms);
    EXPECT_FALSE(header.dbmsVersion.empty());
    EXPECT_TRUE(header.driverName.Contains(IsPostgres() ? "psqlodbc" : "sqlite3odbc")) << header.driverName;
    EXPECT_EQ(header.adoVersion, "2.8");
    EXPECT_EQ(GetDefaultFileName(MakeReportIdentifier(header)), "[MSDASQL_" + dbms + "_Types]");

    const std::string text = FormatProviderTypesReport(header, map);
    EXPECT_EQ(text.rfind("Provider Types\n--------------\n Provider Name: MSDASQL.DLL ", 0), 0u) << text.substr(0, 200);
    EXPECT_NE(text.find("     DBMS Name: " + dbms.utf8_string() + " " + header.dbmsVersion.utf8_string() + "\n"),
              std::string::npos);
    for (const auto& [name, info] : map) {
        const std::string section = "\n" + name.utf8_string() + "\n" + std::string(name.utf8_str().length(), '-') +
                                    "\n       Local type name: " + info[TypeDetail::LocalTypeName].utf8_string() + "\n";
        EXPECT_NE(text.find(section), std::string::npos) << name;
    }
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), static_cast<long>(7 + 22 * map.size()));
}

TEST_P(ProviderTypesDatabaseTest, ClosedConnectionFailsTheLoad)
{
    ado::ConnectionPtr cn = Open();
    cn->Close();
    ProviderTypeMap map;
    EXPECT_THROW(LoadProviderTypes(*cn, map), _com_error);
    EXPECT_TRUE(map.empty());
}

TORVANE_INSTANTIATE_FOR_DRIVERS(ProviderTypesDatabaseTest);

} // namespace
