// The Connection of the layer: an ODBC connection handle opened from an ADO connection string,
// its transactions, properties, errors and event listeners. The properties are implemented in
// OdbcConnectionProperties.cpp.
#pragma once

#include "Ado.h"
#include "ConnectionString.h"
#include "DriverTraits.h"
#include "OdbcError.h"

#include <sql.h>
#include <sqlext.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace ado::detail {

class Execution;

struct PropertyInfo {
    std::string name;
    DataTypeEnum type;
    long attributes;
};

class OdbcConnection final : public Connection {
public:
    OdbcConnection();
    ~OdbcConnection() override;

    void Open(const std::string& connectionString, const std::string& userID, const std::string& password,
              long options) override;
    void Close() override;
    long GetState() const override { return m_open ? adStateOpen : adStateClosed; }

    std::string GetConnectionString() const override;
    void PutConnectionString(const std::string& value) override;
    long GetConnectionTimeout() const override { return m_connectionTimeout; }
    void PutConnectionTimeout(long seconds) override;
    long GetCommandTimeout() const override { return m_commandTimeout; }
    void PutCommandTimeout(long seconds) override;
    IsolationLevelEnum GetIsolationLevel() const override;
    void PutIsolationLevel(IsolationLevelEnum level) override;
    std::string GetProvider() const override;
    std::string GetDefaultDatabase() const override;
    std::string GetVersion() const override { return kVersion; }

    long BeginTrans() override;
    void CommitTrans() override;
    void RollbackTrans() override;

    RecordsetPtr Execute(const std::string& commandText, _variant_t* recordsAffected, long options) override;
    RecordsetPtr OpenSchema(SchemaEnum schema, const std::vector<_variant_t>& restrictions) override;

    ErrorsPtr GetErrors() const override { return m_errors; }
    PropertiesPtr GetProperties() const override;

    long Advise(ConnectionEvents* sink) override;
    void Unadvise(long cookie) override;
    void Cancel() override;

    void* GetNativeHandle() const override { return m_hdbc; }

    // For the layer's own objects.
    SQLHDBC Handle() const { return m_hdbc; }
    const DriverTraits& Traits() const { return m_traits; }
    ErrorList& ErrorCollection() { return *m_errors; }
    bool IsOpen() const { return m_open; }
    // Throws adErrInvalidConnection unless open.
    void RequireOpen() const;

    // Statements register so that Cancel and Close reach them.
    void Register(const std::shared_ptr<Execution>& execution);

    // Diagnostics of a call that succeeded with information: put into Errors and passed to
    // the InfoMessage listeners (notes the layer acts on itself are left out).
    void ReportInfo(SQLSMALLINT handleType, SQLHANDLE handle);
    void FireExecuteComplete(long recordsAffected, const ErrorRecord* error, Recordset* recordset);

    // Properties by name.
    std::vector<PropertyInfo> PropertyList() const;
    _variant_t PropertyValue(const std::string& name);
    void PutPropertyValue(const std::string& name, const _variant_t& value);
    void RefreshProperties();

private:
    struct InitValues {
        std::string password;
        bool persistSecurityInfo = false;
        std::string userId;
        std::string dataSource;
        short prompt = adPromptNever;
        std::string extendedProperties;
        std::string initialCatalog;
    };

    // The steps of Open.
    // Errors holds the "not valid" text and the detail; throws E_FAIL.
    [[noreturn]] void ThrowBadInitString(const std::string& detail);
    // The connection string split into the bridge's keywords and ODBC attributes; a malformed
    // string or another provider throws.
    ConnectRequest TranslateRequest();
    // What the string leaves open comes from the properties set before opening and from Open's
    // user and password.
    void ApplyInitProperties(ConnectRequest& req, const std::string& userID, const std::string& password);
    // The text for SQLDriverConnect in the form the family's driver reads; throws when the
    // driver manager would refuse its length.
    std::string DriverConnectionText(const AttributeList& attributes, DriverFamily family);
    // Connects a new handle and keeps it, with the driver's completed attributes and traits;
    // returns SQLDriverConnect's result. A failure fills Errors and throws.
    SQLRETURN ConnectDriver(const std::string& odbcText, const DriverTraits& expected);
    // Disconnects and throws when the file the SQLite driver opened is not a database.
    void CheckDatabaseFile();
    // The completed attributes keep the requested driver where the driver's text names neither
    // driver nor data source, so that the string opens the same database again.
    void KeepRequestedDriver(const AttributeList& requested);
    // Provider and init properties as the request gave them.
    void AdoptRequest(const ConnectRequest& req);

    void ReadInfoProperties();
    // The driver's completed attributes, without the password unless it is to persist.
    std::string ExtendedProperties() const;
    std::string CurrentCatalog() const;
    std::vector<std::shared_ptr<Execution>> LiveExecutions();
    [[noreturn]] void ThrowFromHandle(SQLSMALLINT type, SQLHANDLE handle);
    void RunOnOwnStatement(const std::string& sql);
    // Commits or rolls back (SQL_COMMIT, SQL_ROLLBACK) and returns to autocommit.
    void EndTransaction(SQLSMALLINT completion);
    void Disconnect();

    SQLHDBC m_hdbc = SQL_NULL_HDBC;
    std::atomic<bool> m_open{false};
    bool m_inTransaction = false;
    std::string m_connectionString;  // as put or given to Open
    std::string m_odbcOut;           // the driver's completed attributes
    InitValues m_init;
    std::string m_provider;
    DriverTraits m_traits;
    long m_connectionTimeout = 15;
    long m_commandTimeout = 30;
    std::optional<IsolationLevelEnum> m_isolation;
    std::shared_ptr<ErrorList> m_errors = std::make_shared<ErrorList>();

    std::vector<std::pair<std::string, _variant_t>> m_info; // data source information, in order
    std::map<std::string, DataTypeEnum> m_infoTypes;

    std::recursive_mutex m_sinkMutex;
    std::map<long, ConnectionEvents*> m_sinks;
    long m_nextCookie = 1;

    std::mutex m_executionMutex;
    std::vector<std::weak_ptr<Execution>> m_executions;
};

} // namespace ado::detail
