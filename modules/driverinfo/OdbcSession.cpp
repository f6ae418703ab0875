#include "OdbcSession.h"

#include <sqlext.h>

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <memory>

namespace ferrow {

namespace {

constexpr SQLUINTEGER kLoginTimeoutSeconds = 15;
constexpr const char* kNotCapable = "Driver is not capable of performing requested operation.";

// Frees a statement handle on every way out.
struct StatementHandle {
    SQLHSTMT handle = SQL_NULL_HSTMT;
    ~StatementHandle()
    {
        if (handle != SQL_NULL_HSTMT) {
            SQLFreeStmt(handle, SQL_CLOSE);
            SQLFreeHandle(SQL_HANDLE_STMT, handle);
        }
    }
};

// One SQLGetTypeInfo row, bound column by column: the cursor library lets no SQLGetData through
// on a forward-only cursor.
struct TypeInfoBuffers {
    static constexpr size_t kTextSize = 256;
    char text[15][kTextSize] = {};
    SQLINTEGER number[15] = {};
    SQLLEN indicator[15] = {};

    static bool IsText(int column) { return column == 1 || column == 4 || column == 5 || column == 6 || column == 13; }

    void Bind(SQLHSTMT stmt)
    {
        for (int c = 1; c <= 15; ++c) {
            const SQLRETURN rc = IsText(c) ? SQLBindCol(stmt, c, SQL_C_CHAR, text[c - 1], kTextSize, &indicator[c - 1])
                                           : SQLBindCol(stmt, c, SQL_C_SLONG, &number[c - 1], 0, &indicator[c - 1]);
            if (!SQL_SUCCEEDED(rc))
                throw MakeDriverError(SQL_HANDLE_STMT, stmt);
        }
    }
    std::optional<std::string> Text(int column) const
    {
        if (indicator[column - 1] == SQL_NULL_DATA)
            return std::nullopt;
        return std::string(text[column - 1]);
    }
    std::optional<int32_t> Number(int column) const
    {
        if (indicator[column - 1] == SQL_NULL_DATA)
            return std::nullopt;
        return number[column - 1];
    }
};

} // namespace

PromptMode PromptModeFor(const std::string& connectString)
{
    std::string lower = connectString;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return lower.find("driver=") == std::string::npos ? PromptMode::Never : PromptMode::Complete;
}

DriverError MakeDriverError(SQLSMALLINT handleType, SQLHANDLE handle)
{
    std::string errorText, stateText;
    for (SQLSMALLINT record = 1;; ++record) {
        SQLCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLCHAR message[SQL_MAX_MESSAGE_LENGTH + 1] = {};
        SQLSMALLINT length = 0;
        const SQLRETURN rc =
            SQLGetDiagRecA(handleType, handle, record, state, &native, message, sizeof message, &length);
        if (!SQL_SUCCEEDED(rc))
            break;
        std::string text(reinterpret_cast<char*>(message));
        std::string origin;
        while (!text.empty() && text[0] == '[') {
            const size_t close = text.find(']');
            if (close == std::string::npos)
                break;
            origin += text.substr(0, close + 1);
            text.erase(0, close + 1);
        }
        errorText += text + "\n";
        stateText += fmt::format("State:{},Native:{},Origin:{}\n", reinterpret_cast<char*>(state), native, origin);
    }
    return DriverError(errorText, stateText);
}

OdbcSession::~OdbcSession()
{
    Close();
}

bool OdbcSession::Open(const std::string& connectString, PromptMode prompt, bool useCursorLibrary)
{
    Close();
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_env)))
        throw DriverError({}, {});
    SQLSetEnvAttr(m_env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC2), 0);
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, m_env, &m_dbc))) {
        DriverError error = MakeDriverError(SQL_HANDLE_ENV, m_env);
        Close();
        throw error;
    }
    SQLSetConnectAttr(m_dbc, SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(kLoginTimeoutSeconds), 0);
    if (useCursorLibrary)
        SQLSetConnectAttr(m_dbc, SQL_ATTR_ODBC_CURSORS, reinterpret_cast<SQLPOINTER>(SQL_CUR_USE_ODBC), 0);
    SQLCHAR out[1024];
    SQLSMALLINT outLength = 0;
    const SQLRETURN rc = SQLDriverConnectA(
        m_dbc, nullptr, reinterpret_cast<SQLCHAR*>(const_cast<char*>(connectString.c_str())), SQL_NTS, out,
        sizeof out, &outLength, prompt == PromptMode::Complete ? SQL_DRIVER_COMPLETE : SQL_DRIVER_NOPROMPT);
    if (rc == SQL_NO_DATA) {
        Close();
        return false;
    }
    if (!SQL_SUCCEEDED(rc)) {
        DriverError error = MakeDriverError(SQL_HANDLE_DBC, m_dbc);
        Close();
        throw error;
    }
    m_connected = true;
    return true;
}

void OdbcSession::Close()
{
    if (m_connected)
        SQLDisconnect(m_dbc);
    m_connected = false;
    if (m_dbc != SQL_NULL_HDBC)
        SQLFreeHandle(SQL_HANDLE_DBC, m_dbc);
    m_dbc = SQL_NULL_HDBC;
    if (m_env != SQL_NULL_HENV)
        SQLFreeHandle(SQL_HANDLE_ENV, m_env);
    m_env = SQL_NULL_HENV;
}

std::optional<uint16_t> OdbcSession::GetInfoWord(uint16_t infoType)
{
    SQLUSMALLINT value = 0;
    if (!m_connected || !SQL_SUCCEEDED(SQLGetInfoA(m_dbc, infoType, &value, sizeof value, nullptr)))
        return std::nullopt;
    return value;
}

std::optional<uint32_t> OdbcSession::GetInfoDword(uint16_t infoType)
{
    SQLUINTEGER value = 0;
    if (!m_connected || !SQL_SUCCEEDED(SQLGetInfoA(m_dbc, infoType, &value, sizeof value, nullptr)))
        return std::nullopt;
    return value;
}

std::optional<std::string> OdbcSession::GetInfoString(uint16_t infoType, size_t bufferSize)
{
    if (!m_connected)
        return std::nullopt;
    auto buffer = std::make_unique<char[]>(bufferSize);
    SQLSMALLINT length = 0;
    const SQLRETURN rc =
        SQLGetInfoA(m_dbc, infoType, buffer.get(), static_cast<SQLSMALLINT>(std::min<size_t>(bufferSize, 32767)), &length);
    if (!SQL_SUCCEEDED(rc))
        return std::nullopt;
    buffer[bufferSize - 1] = 0;
    const std::string text(buffer.get());
    // A cut answer may end inside a character.
    return length >= 0 && static_cast<size_t>(length) >= bufferSize ? DropPartialUtf8(text) : text;
}

FunctionFlags OdbcSession::GetFunctions()
{
    FunctionFlags flags{};
    if (!m_connected || !SQL_SUCCEEDED(SQLGetFunctions(m_dbc, SQL_API_ALL_FUNCTIONS, flags.data())))
        flags.fill(0);
    return flags;
}

bool OdbcSession::HasFunction(uint16_t functionId)
{
    SQLUSMALLINT supported = SQL_FALSE;
    if (!SQL_SUCCEEDED(SQLGetFunctions(m_dbc, functionId, &supported)))
        throw MakeDriverError(SQL_HANDLE_DBC, m_dbc);
    return supported != SQL_FALSE;
}

std::vector<TypeInfoRow> OdbcSession::GetTypeInfo()
{
    if (!HasFunction(SQL_API_SQLGETTYPEINFO))
        throw DriverError(kNotCapable, {});
    StatementHandle stmt;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, m_dbc, &stmt.handle))) {
        stmt.handle = SQL_NULL_HSTMT;
        throw MakeDriverError(SQL_HANDLE_DBC, m_dbc);
    }
    SQLSetStmtAttr(stmt.handle, SQL_ATTR_CONCURRENCY, reinterpret_cast<SQLPOINTER>(SQL_CONCUR_READ_ONLY), 0);
    SQLSetStmtAttr(stmt.handle, SQL_ATTR_CURSOR_TYPE, reinterpret_cast<SQLPOINTER>(SQL_CURSOR_FORWARD_ONLY), 0);
    SQLRETURN rc = SQLGetTypeInfoA(stmt.handle, SQL_ALL_TYPES);
    // Asynchronous execution is never switched on; the bound only guards against a driver that
    // keeps saying so.
    for (int i = 0; rc == SQL_STILL_EXECUTING && i < 100000; ++i)
        rc = SQLGetTypeInfoA(stmt.handle, SQL_ALL_TYPES);
    if (!SQL_SUCCEEDED(rc))
        throw MakeDriverError(SQL_HANDLE_STMT, stmt.handle);
    auto buffers = std::make_unique<TypeInfoBuffers>();
    buffers->Bind(stmt.handle);
    std::vector<TypeInfoRow> rows;
    for (;;) {
        rc = SQLFetch(stmt.handle);
        if (rc == SQL_NO_DATA)
            break;
        if (!SQL_SUCCEEDED(rc))
            throw MakeDriverError(SQL_HANDLE_STMT, stmt.handle);
        const TypeInfoBuffers& b = *buffers;
        TypeInfoRow row;
        row.typeName = b.Text(1).value_or("");
        row.dataType = b.Number(2).value_or(0);
        row.precision = b.Number(3);
        row.literalPrefix = b.Text(4);
        row.literalSuffix = b.Text(5);
        row.createParams = b.Text(6);
        row.nullable = b.Number(7);
        row.caseSensitive = b.Number(8);
        row.searchable = b.Number(9);
        row.unsignedAttribute = b.Number(10);
        row.money = b.Number(11);
        row.autoIncrement = b.Number(12);
        row.localTypeName = b.Text(13);
        row.minimumScale = b.Number(14);
        row.maximumScale = b.Number(15);
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace ferrow
