#include "OdbcConnection.h"

#include "Execution.h"
#include "OdbcEnvironment.h"
#include "OdbcInfo.h"
#include "OdbcRecordset.h"
#include "SchemaRowsets.h"
#include "SqliteDatabaseFile.h"
#include "Unicode.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <strings.h>

namespace ado::detail {

namespace {

constexpr const char* kBadInitString = "Format of the initialization string is not valid.";
constexpr HRESULT kTransactionExists = static_cast<HRESULT>(0x8004D013);
constexpr HRESULT kNoTransaction = static_cast<HRESULT>(0x8004D00E);

std::u16string Wide(std::string_view s) { return ToWide(s); }
SQLWCHAR* W(std::u16string& s) { return reinterpret_cast<SQLWCHAR*>(s.data()); }

// Several notices of one call come as one record joined by ";"; each becomes its own message.
std::vector<ErrorRecord> SplitNotices(std::vector<ErrorRecord> records)
{
    static constexpr const char* kLevels[] = {"NOTICE:", "WARNING:", "INFO:", "DEBUG:", "LOG:"};
    std::vector<ErrorRecord> out;
    for (auto& r : records) {
        std::string rest = r.description;
        while (true) {
            size_t cut = std::string::npos;
            for (size_t p = rest.find(';'); p != std::string::npos; p = rest.find(';', p + 1)) {
                std::string_view after = std::string_view(rest).substr(p + 1);
                if (std::any_of(std::begin(kLevels), std::end(kLevels),
                                [&](const char* level) { return after.substr(0, strlen(level)) == level; })) {
                    cut = p;
                    break;
                }
            }
            ErrorRecord piece = r;
            piece.description = rest.substr(0, cut);
            out.push_back(piece);
            if (cut == std::string::npos)
                break;
            rest.erase(0, cut + 1);
        }
    }
    return out;
}

// Connects through the ANSI entry point for a driver that takes UTF-8 there, else through the
// wide one. completed receives the driver's completed attributes, or text where they do not fit.
SQLRETURN DriverConnect(SQLHDBC hdbc, const std::string& text, bool utf8Ansi, std::string& completed)
{
    SQLSMALLINT length = 0;
    SQLRETURN rc;
    if (utf8Ansi) {
        std::string in = text;
        std::vector<SQLCHAR> out(16384);
        rc = SQLDriverConnect(hdbc, nullptr, reinterpret_cast<SQLCHAR*>(in.data()), static_cast<SQLSMALLINT>(in.size()),
                              out.data(), static_cast<SQLSMALLINT>(out.size()), &length, SQL_DRIVER_NOPROMPT);
        if (length >= 0 && length < static_cast<SQLSMALLINT>(out.size()))
            completed.assign(reinterpret_cast<const char*>(out.data()), static_cast<size_t>(length));
    } else {
        std::u16string in = Wide(text);
        std::vector<SQLWCHAR> out(8192);
        rc = SQLDriverConnectW(hdbc, nullptr, W(in), static_cast<SQLSMALLINT>(in.size()), out.data(),
                               static_cast<SQLSMALLINT>(out.size()), &length, SQL_DRIVER_NOPROMPT);
        if (length >= 0 && length < static_cast<SQLSMALLINT>(out.size()))
            completed = FromWide(out.data(), static_cast<size_t>(length));
    }
    if (!SQL_SUCCEEDED(rc) || completed.empty())
        completed = text;
    return rc;
}

SQLUINTEGER IsolationToOdbc(IsolationLevelEnum level)
{
    switch (level) {
    case adXactReadUncommitted: return SQL_TXN_READ_UNCOMMITTED;
    case adXactReadCommitted: return SQL_TXN_READ_COMMITTED;
    case adXactRepeatableRead: return SQL_TXN_REPEATABLE_READ;
    case adXactSerializable: return SQL_TXN_SERIALIZABLE;
    default: return 0;
    }
}

IsolationLevelEnum IsolationFromOdbc(SQLUINTEGER v)
{
    switch (v) {
    case SQL_TXN_READ_UNCOMMITTED: return adXactReadUncommitted;
    case SQL_TXN_READ_COMMITTED: return adXactReadCommitted;
    case SQL_TXN_REPEATABLE_READ: return adXactRepeatableRead;
    case SQL_TXN_SERIALIZABLE: return adXactSerializable;
    default: return adXactUnspecified;
    }
}

} // namespace

OdbcConnection::OdbcConnection() = default;

OdbcConnection::~OdbcConnection()
{
    if (m_open)
        Disconnect();
}

void OdbcConnection::RequireOpen() const
{
    if (!m_open)
        ThrowAdo(adErrInvalidConnection,
                 "The connection cannot be used to perform this operation. It is either closed or invalid in this context.",
                 m_errors.get());
}

void OdbcConnection::ThrowFromHandle(SQLSMALLINT type, SQLHANDLE handle)
{
    ThrowOdbc(type, handle, m_errors.get(), "Errors occurred.", m_traits.bytesInWideMessages);
}

void OdbcConnection::Open(const std::string& connectionString, const std::string& userID, const std::string& password,
                          long)
{
    if (m_open)
        ThrowAdo(adErrObjectOpen, kOpenText, m_errors.get());
    if (!connectionString.empty())
        m_connectionString = connectionString;

    ConnectRequest req = TranslateRequest();
    ApplyInitProperties(req, userID, password);

    AttributeList attributes = req.odbc;
    const DriverTraits expected = TraitsOfFamily(FamilyBeforeConnect(attributes));
    AddStreamingDefaults(expected.family, attributes);
    if (expected.family == DriverFamily::SQLite) {
        const std::string refusal = PrepareSqliteDatabase(attributes);
        if (!refusal.empty()) {
            m_errors->Set({{refusal, "", 0, kProviderSource, E_FAIL}});
            throw _com_error(E_FAIL, refusal, kProviderSource);
        }
    }
    const SQLRETURN rc = ConnectDriver(DriverConnectionText(attributes, expected.family), expected);
    CheckDatabaseFile();
    KeepRequestedDriver(req.odbc);
    AdoptRequest(req);
    ReadInfoProperties();

    if (m_isolation)
        SQLSetConnectAttrW(m_hdbc, SQL_ATTR_TXN_ISOLATION, reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(IsolationToOdbc(*m_isolation))), 0);
    if (rc == SQL_SUCCESS_WITH_INFO)
        ReportInfo(SQL_HANDLE_DBC, m_hdbc);
}

void OdbcConnection::ThrowBadInitString(const std::string& detail)
{
    m_errors->Set({{kBadInitString, "", 0, kAdoSource, E_FAIL}, {detail, "", 0, kAdoSource, E_FAIL}});
    throw _com_error(E_FAIL, kBadInitString, kAdoSource);
}

ConnectRequest OdbcConnection::TranslateRequest()
{
    ConnectRequest req;
    try {
        req = TranslateConnectionString(m_connectionString);
    } catch (const ConnectionStringError& e) {
        ThrowBadInitString(e.what());
    }
    if (!req.provider.empty() && !IsBridgeProvider(req.provider))
        ThrowAdo(adErrProviderNotFound, "Provider cannot be found. It may not be properly installed.", m_errors.get());
    return req;
}

void OdbcConnection::ApplyInitProperties(ConnectRequest& req, const std::string& userID, const std::string& password)
{
    if (req.odbc.Empty() && !m_init.extendedProperties.empty()) {
        try {
            req.odbc = ParseOdbcConnectionString(m_init.extendedProperties);
        } catch (const ConnectionStringError& e) {
            ThrowBadInitString(e.what());
        }
    }
    if (req.dataSource.empty() && !m_init.dataSource.empty()) {
        req.dataSource = m_init.dataSource;
        if (!req.odbc.Find("DSN") && !req.odbc.Find("DRIVER") && !req.odbc.Find("FILEDSN"))
            req.odbc.Set("DSN", req.dataSource);
    }
    if (req.initialCatalog.empty() && !m_init.initialCatalog.empty()) {
        req.initialCatalog = m_init.initialCatalog;
        if (!req.odbc.Find("DATABASE"))
            req.odbc.Set("DATABASE", req.initialCatalog);
    }
    if (!userID.empty()) {
        req.userId = userID;
        req.odbc.Set("UID", userID);
    } else if (req.userId.empty() && !m_init.userId.empty()) {
        req.userId = m_init.userId;
        req.odbc.Set("UID", m_init.userId);
    }
    if (!password.empty()) {
        req.password = password;
        req.odbc.Set("PWD", password);
    } else if (req.password.empty() && !m_init.password.empty()) {
        req.password = m_init.password;
        req.odbc.Set("PWD", m_init.password);
    }
    if (req.prompt)
        m_init.prompt = static_cast<short>(*req.prompt);
    if (req.connectTimeout)
        m_connectionTimeout = *req.connectTimeout;
}

std::string OdbcConnection::DriverConnectionText(const AttributeList& attributes, DriverFamily family)
{
    std::string odbcText;
    try {
        odbcText = family == DriverFamily::SQLite ? FormatSqliteConnectionString(attributes)
                                                  : FormatOdbcConnectionString(attributes);
    } catch (const ConnectionStringError& e) {
        ThrowBadInitString(e.what());
    }
    if (odbcText.size() > kMaxConnectionStringLength)
        ThrowBadInitString("The connection string is too long for the driver manager.");
    return odbcText;
}

SQLRETURN OdbcConnection::ConnectDriver(const std::string& odbcText, const DriverTraits& expected)
{
    SQLHDBC hdbc = SQL_NULL_HDBC;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, OdbcEnvironment(), &hdbc)))
        ThrowAdo(adErrInvalidConnection, "The ODBC driver manager could not allocate a connection.", m_errors.get());
    if (m_connectionTimeout > 0)
        SQLSetConnectAttrW(hdbc, SQL_ATTR_LOGIN_TIMEOUT,
                           reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(m_connectionTimeout)), 0);

    std::string completedText;
    SQLRETURN rc = DriverConnect(hdbc, odbcText, expected.utf8Ansi, completedText);
    if (!SQL_SUCCEEDED(rc)) {
        auto records = ReadDiagnostics(SQL_HANDLE_DBC, hdbc, E_FAIL, expected.bytesInWideMessages);
        SQLFreeHandle(SQL_HANDLE_DBC, hdbc);
        if (records.empty())
            records.push_back({"The driver could not connect.", "", 0, kProviderSource, E_FAIL});
        m_errors->Set(records);
        throw _com_error(E_FAIL, records.front().description, records.front().source);
    }
    m_hdbc = hdbc;
    m_odbcOut = completedText;
    m_traits = ReadDriverTraits(m_hdbc);
    m_open = true;
    m_inTransaction = false;
    return rc;
}

void OdbcConnection::CheckDatabaseFile()
{
    try {
        // The SQLite driver opens any file; reading the schema version finds one that is not a
        // database now rather than at the first query.
        if (m_traits.family == DriverFamily::SQLite)
            RunOnOwnStatement("PRAGMA schema_version");
    } catch (...) {
        Disconnect();
        throw;
    }
}

void OdbcConnection::KeepRequestedDriver(const AttributeList& requested)
{
    try {
        AttributeList completed = ParseOdbcConnectionString(m_odbcOut);
        const std::string* driver = completed.Find("DRIVER");
        const std::string* dsn = completed.Find("DSN");
        if ((!driver || driver->empty()) && (!dsn || dsn->empty()) && !completed.Find("FILEDSN")) {
            if (const std::string* asked = requested.Find("DRIVER")) {
                AttributeList fixed;
                fixed.Append({"DRIVER", *asked});
                for (const auto& a : completed.Items())
                    if (strcasecmp(a.key.c_str(), "DSN") != 0)
                        fixed.Append(a);
                completed = fixed;
            }
        }
        m_odbcOut = FormatOdbcConnectionString(completed);
    } catch (const ConnectionStringError&) {
        // The driver's text does not parse: the attributes asked for stand in for it, so that
        // the connection string read back is always one the layer can filter.
        m_odbcOut = FormatOdbcConnectionString(requested);
    }
}

void OdbcConnection::AdoptRequest(const ConnectRequest& req)
{
    m_provider = req.provider.empty() ? "MSDASQL.1" : req.provider;
    if (m_provider.find('.') == std::string::npos)
        m_provider += ".1";
    m_init.persistSecurityInfo = req.persistSecurityInfo;
    m_init.userId = req.userId;
    m_init.password = req.password;
    m_init.dataSource = req.dataSource;
    m_init.initialCatalog = req.initialCatalog;
}

void OdbcConnection::RunOnOwnStatement(const std::string& sql)
{
    SQLHSTMT h = SQL_NULL_HSTMT;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, m_hdbc, &h)))
        ThrowFromHandle(SQL_HANDLE_DBC, m_hdbc);
    std::u16string text = Wide(sql);
    SQLRETURN rc = SQLExecDirectW(h, W(text), static_cast<SQLINTEGER>(text.size()));
    // A streaming driver does the work when the first row is read.
    SQLSMALLINT columns = 0;
    if (SQL_SUCCEEDED(rc) && SQL_SUCCEEDED(SQLNumResultCols(h, &columns)) && columns > 0)
        rc = SQLFetch(h);
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) {
        auto records = ReadDiagnostics(SQL_HANDLE_STMT, h, E_FAIL, m_traits.bytesInWideMessages);
        SQLFreeHandle(SQL_HANDLE_STMT, h);
        if (records.empty())
            records.push_back({"Errors occurred.", "", 0, kProviderSource, E_FAIL});
        m_errors->Set(records);
        throw _com_error(E_FAIL, records.front().description, records.front().source);
    }
    SQLFreeHandle(SQL_HANDLE_STMT, h);
}

void OdbcConnection::Disconnect()
{
    for (auto& e : LiveExecutions())
        e->Close();
    if (m_inTransaction) {
        SQLEndTran(SQL_HANDLE_DBC, m_hdbc, SQL_ROLLBACK);
        SQLSetConnectAttrW(m_hdbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
        m_inTransaction = false;
    }
    if (!SQL_SUCCEEDED(SQLDisconnect(m_hdbc))) {
        // A transaction the driver still holds open (begun by the user's own SQL) ends here.
        SQLEndTran(SQL_HANDLE_DBC, m_hdbc, SQL_ROLLBACK);
        SQLDisconnect(m_hdbc);
    }
    SQLFreeHandle(SQL_HANDLE_DBC, m_hdbc);
    m_hdbc = SQL_NULL_HDBC;
    m_open = false;
    m_info.clear();
}

void OdbcConnection::Close()
{
    if (!m_open)
        ThrowAdo(adErrObjectClosed, kClosedText, m_errors.get());
    Disconnect();
}

std::string OdbcConnection::ExtendedProperties() const
{
    if (m_init.persistSecurityInfo)
        return m_odbcOut;
    // Text that cannot be filtered is not returned at all: it may hold the password.
    try {
        AttributeList a = ParseOdbcConnectionString(m_odbcOut);
        a.Remove("PWD");
        a.Remove("Password");
        return FormatOdbcConnectionString(a);
    } catch (const ConnectionStringError&) {
        return {};
    }
}

std::string OdbcConnection::GetConnectionString() const
{
    if (!m_open)
        return m_connectionString;
    std::string extended = ExtendedProperties();
    std::string s = "Provider=" + m_provider + ";";
    if (m_init.persistSecurityInfo && !m_init.password.empty())
        s += "Password=" + QuoteAdoValue(m_init.password) + ";";
    s += std::string("Persist Security Info=") + (m_init.persistSecurityInfo ? "True" : "False") + ";";
    if (!m_init.userId.empty())
        s += "User ID=" + QuoteAdoValue(m_init.userId) + ";";
    if (!m_init.dataSource.empty())
        s += "Data Source=" + QuoteAdoValue(m_init.dataSource) + ";";
    std::string quoted;
    for (char c : extended) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    s += "Extended Properties=\"" + quoted + "\"";
    return s;
}

void OdbcConnection::PutConnectionString(const std::string& value)
{
    if (m_open)
        ThrowAdo(adErrObjectOpen, kOpenText, m_errors.get());
    m_connectionString = value;
}

void OdbcConnection::PutConnectionTimeout(long seconds)
{
    if (seconds < 0)
        ThrowAdo(adErrInvalidArgument, kBadArgumentsText, m_errors.get());
    if (m_open)
        ThrowAdo(adErrObjectOpen, kOpenText, m_errors.get());
    m_connectionTimeout = seconds;
}

void OdbcConnection::PutCommandTimeout(long seconds)
{
    if (seconds < 0)
        ThrowAdo(adErrInvalidArgument, kBadArgumentsText, m_errors.get());
    m_commandTimeout = seconds;
}

IsolationLevelEnum OdbcConnection::GetIsolationLevel() const
{
    if (m_open) {
        SQLUINTEGER v = 0;
        if (SQL_SUCCEEDED(SQLGetConnectAttrW(m_hdbc, SQL_ATTR_TXN_ISOLATION, &v, 0, nullptr)))
            if (IsolationLevelEnum level = IsolationFromOdbc(v); level != adXactUnspecified)
                return level;
    }
    return m_isolation.value_or(adXactReadCommitted);
}

void OdbcConnection::PutIsolationLevel(IsolationLevelEnum level)
{
    SQLUINTEGER odbc = IsolationToOdbc(level);
    if (odbc == 0)
        ThrowAdo(adErrFeatureNotAvailable, kNotCapableText, m_errors.get());
    if (m_open && !SQL_SUCCEEDED(SQLSetConnectAttrW(m_hdbc, SQL_ATTR_TXN_ISOLATION,
                                                    reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(odbc)), 0)))
        ThrowFromHandle(SQL_HANDLE_DBC, m_hdbc);
    m_isolation = level;
}

std::string OdbcConnection::GetProvider() const
{
    if (m_open)
        return m_provider;
    try {
        ConnectRequest req = TranslateConnectionString(m_connectionString);
        if (!req.provider.empty())
            return req.provider;
    } catch (const ConnectionStringError&) {
    }
    return "MSDASQL";
}

std::string OdbcConnection::GetDefaultDatabase() const
{
    return m_open ? CurrentCatalog() : std::string();
}

long OdbcConnection::BeginTrans()
{
    RequireOpen();
    if (m_inTransaction) {
        ErrorRecord r{"Cannot start more transactions on this session.", "", 0, kProviderSource, kTransactionExists};
        m_errors->Set({r});
        throw _com_error(kTransactionExists, r.description, r.source);
    }
    if (GetInfoUShort(m_hdbc, SQL_TXN_CAPABLE) == SQL_TC_NONE)
        ThrowAdo(adErrFeatureNotAvailable, kNotCapableText, m_errors.get());
    SQLRETURN rc = SQLSetConnectAttrW(m_hdbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0);
    if (!SQL_SUCCEEDED(rc))
        ThrowFromHandle(SQL_HANDLE_DBC, m_hdbc);
    m_inTransaction = true;
    if (rc == SQL_SUCCESS_WITH_INFO)
        ReportInfo(SQL_HANDLE_DBC, m_hdbc);
    return 1;
}

void OdbcConnection::CommitTrans()
{
    EndTransaction(SQL_COMMIT);
}

void OdbcConnection::RollbackTrans()
{
    EndTransaction(SQL_ROLLBACK);
}

void OdbcConnection::EndTransaction(SQLSMALLINT completion)
{
    RequireOpen();
    if (!m_inTransaction) {
        ErrorRecord r{"No transaction is active.", "", 0, kProviderSource, kNoTransaction};
        m_errors->Set({r});
        throw _com_error(kNoTransaction, r.description, r.source);
    }
    SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, m_hdbc, completion);
    if (!SQL_SUCCEEDED(rc))
        ThrowFromHandle(SQL_HANDLE_DBC, m_hdbc);
    if (rc == SQL_SUCCESS_WITH_INFO)
        ReportInfo(SQL_HANDLE_DBC, m_hdbc);
    if (!SQL_SUCCEEDED(SQLSetConnectAttrW(m_hdbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0)))
        ThrowFromHandle(SQL_HANDLE_DBC, m_hdbc);
    m_inTransaction = false;
}

RecordsetPtr OdbcConnection::Execute(const std::string& commandText, _variant_t* recordsAffected, long options)
{
    RequireOpen();
    auto self = std::static_pointer_cast<OdbcConnection>(shared_from_this());
    auto rs = std::make_shared<OdbcRecordset>();
    bool async = options != adOptionUnspecified && (options & adAsyncExecute);
    long ra = rs->OpenCommand(self, OdbcRecordset::CommandText(commandText, options), async);
    if (recordsAffected)
        *recordsAffected = _variant_t(static_cast<int32_t>(ra));
    if (!async && options != adOptionUnspecified && (options & adExecuteNoRecords)) {
        while (rs->NextRecordset(nullptr)) {
        }
        return nullptr;
    }
    return rs;
}

RecordsetPtr OdbcConnection::OpenSchema(SchemaEnum schema, const std::vector<_variant_t>& restrictions)
{
    RequireOpen();
    auto self = std::static_pointer_cast<OdbcConnection>(shared_from_this());
    // In an open PostgreSQL transaction a failing catalog query would abort the caller's
    // work; a savepoint keeps such a failure to itself.
    bool guard = m_inTransaction && m_traits.family == DriverFamily::PostgreSQL;
    if (!guard)
        return OpenSchemaRowset(self, m_hdbc, m_traits, *m_errors, schema, restrictions);
    RunOnOwnStatement("SAVEPOINT torvane_schema_rowset");
    try {
        RecordsetPtr rs = OpenSchemaRowset(self, m_hdbc, m_traits, *m_errors, schema, restrictions);
        RunOnOwnStatement("RELEASE SAVEPOINT torvane_schema_rowset");
        return rs;
    } catch (...) {
        auto records = m_errors->Snapshot();
        try {
            RunOnOwnStatement("ROLLBACK TO SAVEPOINT torvane_schema_rowset");
        } catch (const _com_error&) {
        }
        m_errors->Set(records);
        throw;
    }
}

long OdbcConnection::Advise(ConnectionEvents* sink)
{
    if (!sink)
        ThrowAdo(adErrInvalidArgument, kBadArgumentsText);
    std::lock_guard lock(m_sinkMutex);
    long cookie = m_nextCookie++;
    m_sinks[cookie] = sink;
    return cookie;
}

void OdbcConnection::Unadvise(long cookie)
{
    std::lock_guard lock(m_sinkMutex);
    if (m_sinks.erase(cookie) == 0)
        ThrowAdo(adErrInvalidArgument, kBadArgumentsText);
}

std::vector<std::shared_ptr<Execution>> OdbcConnection::LiveExecutions()
{
    std::lock_guard lock(m_executionMutex);
    std::vector<std::shared_ptr<Execution>> live;
    for (auto& w : m_executions)
        if (auto e = w.lock())
            live.push_back(std::move(e));
    m_executions.clear();
    for (auto& e : live)
        m_executions.push_back(e);
    return live;
}

void OdbcConnection::Register(const std::shared_ptr<Execution>& execution)
{
    std::lock_guard lock(m_executionMutex);
    m_executions.erase(std::remove_if(m_executions.begin(), m_executions.end(), [](const auto& w) { return w.expired(); }),
                       m_executions.end());
    m_executions.push_back(execution);
}

void OdbcConnection::Cancel()
{
    for (auto& e : LiveExecutions())
        e->Cancel();
}

void OdbcConnection::ReportInfo(SQLSMALLINT handleType, SQLHANDLE handle)
{
    auto records = ReadDiagnostics(handleType, handle, S_OK, m_traits.bytesInWideMessages);
    records.erase(std::remove_if(records.begin(), records.end(),
                                 [](const ErrorRecord& r) { return r.sqlState == "01004" || r.sqlState == "01S02"; }),
                  records.end());
    records = SplitNotices(std::move(records));
    if (records.empty())
        return;
    m_errors->Set(records);
    ErrorRecordItem first(records.front());
    std::lock_guard lock(m_sinkMutex);
    for (auto& [cookie, sink] : m_sinks) {
        EventStatusEnum status = adStatusOK;
        sink->InfoMessage(&first, &status, this);
    }
}

void OdbcConnection::FireExecuteComplete(long recordsAffected, const ErrorRecord* error, Recordset* recordset)
{
    std::optional<ErrorRecordItem> item;
    if (error)
        item.emplace(*error);
    std::lock_guard lock(m_sinkMutex);
    for (auto& [cookie, sink] : m_sinks) {
        EventStatusEnum status = error ? adStatusErrorsOccurred : adStatusOK;
        sink->ExecuteComplete(recordsAffected, item ? &*item : nullptr, &status, recordset, this);
    }
}

std::string OdbcConnection::CurrentCatalog() const
{
    std::vector<SQLWCHAR> buf(1024);
    SQLINTEGER len = 0;
    if (SQL_SUCCEEDED(SQLGetConnectAttrW(m_hdbc, SQL_ATTR_CURRENT_CATALOG, buf.data(),
                                         static_cast<SQLINTEGER>(buf.size() * sizeof(SQLWCHAR)), &len)))
        return FromWide(buf.data(), std::min<size_t>(static_cast<size_t>(std::max<SQLINTEGER>(len, 0)) / sizeof(SQLWCHAR), buf.size() - 1));
    return GetInfoText(m_hdbc, SQL_DATABASE_NAME, m_traits.utf8Ansi);
}

} // namespace ado::detail

namespace ado {

ConnectionPtr Connection::Create()
{
    return std::make_shared<detail::OdbcConnection>();
}

} // namespace ado
