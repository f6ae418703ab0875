// The baseline the data layer is measured against: a plain ODBC program that binds every
// column as text, fetches blocks of 1000 rows and writes CSV with the same writer as
// torvane-dbcheck. Values longer than their buffer are cut, as such a loop does.
//
//   odbc_csv_loop CONNECTION_STRING SQL
#include "CsvWriter.h"

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr SQLULEN kRows = 1000;

int Fail(SQLSMALLINT type, SQLHANDLE handle)
{
    SQLCHAR state[6] = {}, message[1024] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    SQLGetDiagRec(type, handle, 1, state, &native, message, sizeof message, &length);
    std::fprintf(stderr, "%s: %s\n", state, message);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s CONNECTION_STRING SQL\n", argv[0]);
        return 2;
    }
    SQLHENV env;
    SQLHDBC dbc;
    SQLHSTMT stmt;
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
    if (!SQL_SUCCEEDED(SQLDriverConnect(dbc, nullptr, reinterpret_cast<SQLCHAR*>(argv[1]), SQL_NTS, nullptr, 0, nullptr,
                                        SQL_DRIVER_NOPROMPT)))
        return Fail(SQL_HANDLE_DBC, dbc);
    SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt);
    SQLULEN fetched = 0;
    SQLSetStmtAttr(stmt, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(kRows), 0);
    SQLSetStmtAttr(stmt, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0);
    if (!SQL_SUCCEEDED(SQLExecDirect(stmt, reinterpret_cast<SQLCHAR*>(argv[2]), SQL_NTS)))
        return Fail(SQL_HANDLE_STMT, stmt);

    SQLSMALLINT columns = 0;
    SQLNumResultCols(stmt, &columns);
    struct Column {
        SQLLEN width;
        std::vector<char> data;
        std::vector<SQLLEN> ind;
    };
    std::vector<Column> cols(static_cast<size_t>(columns));
    CsvWriter csv(stdout);
    for (SQLSMALLINT i = 0; i < columns; ++i) {
        SQLCHAR name[256] = {};
        SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        SQLDescribeCol(stmt, static_cast<SQLUSMALLINT>(i + 1), name, sizeof name, &nameLength, &type, &size, &digits, &nullable);
        csv.Text(reinterpret_cast<char*>(name));
        Column& c = cols[static_cast<size_t>(i)];
        c.width = static_cast<SQLLEN>(std::clamp<SQLULEN>(size * 4 + 1, 64, 1024));
        c.data.resize(kRows * static_cast<size_t>(c.width));
        c.ind.resize(kRows);
        SQLBindCol(stmt, static_cast<SQLUSMALLINT>(i + 1), SQL_C_CHAR, c.data.data(), c.width, c.ind.data());
    }
    csv.EndRow();
    SQLRETURN rc;
    while (SQL_SUCCEEDED(rc = SQLFetch(stmt))) {
        for (SQLULEN r = 0; r < fetched; ++r) {
            for (auto& c : cols) {
                SQLLEN ind = c.ind[r];
                if (ind == SQL_NULL_DATA)
                    csv.Null();
                else
                    csv.Text(std::string_view(c.data.data() + r * static_cast<size_t>(c.width),
                                              static_cast<size_t>(std::min<SQLLEN>(ind, c.width - 1))));
            }
            csv.EndRow();
        }
    }
    if (rc != SQL_NO_DATA)
        return Fail(SQL_HANDLE_STMT, stmt);
    csv.Flush();
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    SQLDisconnect(dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return 0;
}
