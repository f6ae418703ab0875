#include "OdbcConnection.h"

#include "OdbcInfo.h"
#include "PropertyCollection.h"
#include "Unicode.h"

#include <fmt/format.h>

#include <algorithm>
#include <strings.h>

namespace ado::detail {

namespace {

constexpr const char* kProviderFileName = "MSDASQL.DLL";
constexpr const char* kProviderVersion = "02.80.0000";
constexpr const char* kOleDbVersion = "02.80";

bool NameIs(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }

long MapIdentifierCase(SQLUSMALLINT v)
{
    switch (v) {
    case SQL_IC_UPPER: return 1;
    case SQL_IC_LOWER: return 2;
    case SQL_IC_SENSITIVE: return 4;
    case SQL_IC_MIXED: return 8;
    default: return 0;
    }
}

// The init properties every connection has, open or not.
const std::vector<PropertyInfo>& InitProperties()
{
    static const long rw = adPropOptional | adPropRead | adPropWrite;
    static const std::vector<PropertyInfo> list = {
        {"Password", adBSTR, rw},           {"Persist Security Info", adBoolean, rw},
        {"User ID", adBSTR, rw},            {"Data Source", adBSTR, rw},
        {"Prompt", adSmallInt, rw},         {"Connect Timeout", adInteger, rw},
        {"Extended Properties", adBSTR, rw}, {"Initial Catalog", adBSTR, rw},
        {"General Timeout", adInteger, rw},
    };
    return list;
}

} // namespace

PropertiesPtr OdbcConnection::GetProperties() const
{
    auto self = std::static_pointer_cast<OdbcConnection>(std::const_pointer_cast<Connection>(shared_from_this()));
    return std::make_shared<PropertyCollection>(self);
}

void OdbcConnection::ReadInfoProperties()
{
    m_info.clear();
    m_infoTypes.clear();
    auto add = [&](const char* name, _variant_t value, DataTypeEnum type) {
        m_info.emplace_back(name, std::move(value));
        m_infoTypes[name] = type;
    };
    auto info = [&](SQLUSMALLINT item) { return GetInfoText(m_hdbc, item, m_traits.utf8Ansi); };
    auto text = [&](const char* name, SQLUSMALLINT item) { add(name, _variant_t(info(item)), adBSTR); };
    auto yes = [&](const char* name, SQLUSMALLINT item) { add(name, _variant_t(info(item) == "Y"), adBoolean); };
    auto ushort = [&](SQLUSMALLINT item) { return GetInfoUShort(m_hdbc, item); };
    auto uint = [&](SQLUSMALLINT item) { return GetInfoUInt(m_hdbc, item); };
    auto integer = [&](const char* name, long v) { add(name, _variant_t(static_cast<int32_t>(v)), adInteger); };

    add("Current Catalog", _variant_t(), adBSTR); // read when asked
    add("Provider Name", _variant_t(kProviderFileName), adBSTR);
    add("Provider Version", _variant_t(kProviderVersion), adBSTR);
    add("Provider Friendly Name", _variant_t(kProviderSource), adBSTR);
    add("OLE DB Version", _variant_t(kOleDbVersion), adBSTR);
    text("Data Source Name", SQL_DATA_SOURCE_NAME);
    text("DBMS Name", SQL_DBMS_NAME);
    text("DBMS Version", SQL_DBMS_VER);
    text("Driver Name", SQL_DRIVER_NAME);
    text("Driver Version", SQL_DRIVER_VER);
    text("Driver ODBC Version", SQL_DRIVER_ODBC_VER);
    text("Server Name", SQL_SERVER_NAME);
    text("User Name", SQL_USER_NAME);
    text("Catalog Term", SQL_CATALOG_TERM);
    text("Schema Term", SQL_SCHEMA_TERM);
    text("Procedure Term", SQL_PROCEDURE_TERM);
    text("Table Term", SQL_TABLE_TERM);
    text("Special Characters", SQL_SPECIAL_CHARACTERS);
    yes("Stored Procedures", SQL_PROCEDURES);
    yes("Read-Only Data Source", SQL_DATA_SOURCE_READ_ONLY);
    yes("Accessible Procedures", SQL_ACCESSIBLE_PROCEDURES);
    yes("Accessible Tables", SQL_ACCESSIBLE_TABLES);
    yes("Integrity Enhancement Facility", SQL_INTEGRITY);
    yes("Like Escape Clause", SQL_LIKE_ESCAPE_CLAUSE);
    // The layer returns the results of a batch one after another on every driver (it splits
    // batches for drivers that take one statement at a time).
    integer("Multiple Results", 1);
    integer("Active Sessions", ushort(SQL_MAX_DRIVER_CONNECTIONS));
    integer("Active Statements", ushort(SQL_MAX_CONCURRENT_ACTIVITIES));
    integer("Catalog Location", ushort(SQL_CATALOG_LOCATION));
    integer("Catalog Usage", static_cast<long>(uint(SQL_CATALOG_USAGE)));
    integer("Schema Usage", static_cast<long>(uint(SQL_SCHEMA_USAGE)));
    integer("Identifier Case Sensitivity", MapIdentifierCase(ushort(SQL_IDENTIFIER_CASE)));
    integer("Quoted Identifier Sensitivity", MapIdentifierCase(ushort(SQL_QUOTED_IDENTIFIER_CASE)));
    integer("Maximum Row Size", static_cast<long>(uint(SQL_MAX_ROW_SIZE)));
    integer("Maximum Tables in SELECT", ushort(SQL_MAX_TABLES_IN_SELECT));
    integer("Column Definition", ushort(SQL_NON_NULLABLE_COLUMNS) == SQL_NNC_NON_NULL ? 1 : 0);
    {
        long collation = 0;
        switch (ushort(SQL_NULL_COLLATION)) {
        case SQL_NC_HIGH: collation = 2; break;
        case SQL_NC_LOW: collation = 4; break;
        case SQL_NC_START: collation = 8; break;
        case SQL_NC_END: collation = 1; break;
        }
        integer("NULL Collation", collation);
    }
    {
        long ddl = 0;
        switch (ushort(SQL_TXN_CAPABLE)) {
        case SQL_TC_DML: ddl = 1; break;
        case SQL_TC_DDL_COMMIT: ddl = 2; break;
        case SQL_TC_DDL_IGNORE: ddl = 4; break;
        case SQL_TC_ALL: ddl = 8; break;
        }
        integer("Transaction DDL", ddl);
    }
    {
        SQLUINTEGER options = uint(SQL_TXN_ISOLATION_OPTION);
        long levels = 0;
        if (options & SQL_TXN_READ_UNCOMMITTED) levels |= adXactReadUncommitted;
        if (options & SQL_TXN_READ_COMMITTED) levels |= adXactReadCommitted;
        if (options & SQL_TXN_REPEATABLE_READ) levels |= adXactRepeatableRead;
        if (options & SQL_TXN_SERIALIZABLE) levels |= adXactSerializable;
        integer("Isolation Levels", levels);
    }
    std::sort(m_info.begin(), m_info.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
}

void OdbcConnection::RefreshProperties()
{
    if (m_open)
        ReadInfoProperties();
}

std::vector<PropertyInfo> OdbcConnection::PropertyList() const
{
    std::vector<PropertyInfo> list = InitProperties();
    if (m_open) {
        for (const auto& [name, value] : m_info) {
            long attributes = adPropRead;
            if (name == "Current Catalog")
                attributes |= adPropWrite;
            list.push_back({name, m_infoTypes.at(name), attributes});
        }
    }
    return list;
}

_variant_t OdbcConnection::PropertyValue(const std::string& name)
{
    if (NameIs(name, "Password"))
        return _variant_t(!m_open || m_init.persistSecurityInfo ? m_init.password : std::string());
    if (NameIs(name, "Persist Security Info"))
        return _variant_t(m_init.persistSecurityInfo);
    if (NameIs(name, "User ID"))
        return _variant_t(m_init.userId);
    if (NameIs(name, "Data Source"))
        return _variant_t(m_init.dataSource);
    if (NameIs(name, "Prompt"))
        return _variant_t(static_cast<int16_t>(m_init.prompt));
    if (NameIs(name, "Connect Timeout"))
        return _variant_t(static_cast<int32_t>(m_connectionTimeout));
    if (NameIs(name, "General Timeout"))
        return _variant_t(static_cast<int32_t>(m_commandTimeout));
    if (NameIs(name, "Extended Properties"))
        return _variant_t(m_open ? ExtendedProperties() : m_init.extendedProperties);
    if (NameIs(name, "Initial Catalog"))
        return _variant_t(m_open ? CurrentCatalog() : m_init.initialCatalog);
    if (NameIs(name, "Current Catalog")) {
        RequireOpen();
        return _variant_t(CurrentCatalog());
    }
    if (m_open)
        for (const auto& [key, value] : m_info)
            if (NameIs(name, key.c_str()))
                return value;
    ThrowAdo(adErrItemNotFound, kNotFoundText, m_errors.get());
}

void OdbcConnection::PutPropertyValue(const std::string& name, const _variant_t& value)
{
    if (NameIs(name, "Current Catalog")) {
        RequireOpen();
        std::string wanted = value.ToString();
        std::u16string w = ToWide(wanted);
        // Terminated rather than counted: the driver manager reads a counted string as
        // characters where ODBC counts bytes.
        if (!SQL_SUCCEEDED(SQLSetConnectAttrW(m_hdbc, SQL_ATTR_CURRENT_CATALOG, reinterpret_cast<SQLWCHAR*>(w.data()), SQL_NTS)))
            ThrowFromHandle(SQL_HANDLE_DBC, m_hdbc);
        // Some drivers accept the attribute and stay where they are; that is no success.
        std::string now = CurrentCatalog();
        if (strcasecmp(now.c_str(), wanted.c_str()) != 0) {
            ErrorRecord r{fmt::format("The driver did not change the current catalog to \"{}\"; it is still \"{}\".", wanted, now),
                          "HYC00", 0, kProviderSource, E_FAIL};
            m_errors->Set({r});
            throw _com_error(E_FAIL, r.description, r.source);
        }
        return;
    }
    if (NameIs(name, "Connect Timeout")) {
        PutConnectionTimeout(value.ToLong());
        return;
    }
    if (NameIs(name, "General Timeout")) {
        PutCommandTimeout(value.ToLong());
        return;
    }
    bool init = std::any_of(InitProperties().begin(), InitProperties().end(),
                            [&](const PropertyInfo& p) { return NameIs(name, p.name.c_str()); });
    if (init) {
        if (m_open)
            ThrowAdo(adErrObjectOpen, kOpenText, m_errors.get());
        if (NameIs(name, "Password")) m_init.password = value.ToString();
        else if (NameIs(name, "Persist Security Info")) m_init.persistSecurityInfo = value.ToBool();
        else if (NameIs(name, "User ID")) m_init.userId = value.ToString();
        else if (NameIs(name, "Data Source")) m_init.dataSource = value.ToString();
        else if (NameIs(name, "Prompt")) m_init.prompt = static_cast<short>(value.ToLong());
        else if (NameIs(name, "Extended Properties")) m_init.extendedProperties = value.ToString();
        else if (NameIs(name, "Initial Catalog")) m_init.initialCatalog = value.ToString();
        return;
    }
    if (m_open && std::any_of(m_info.begin(), m_info.end(), [&](const auto& p) { return NameIs(name, p.first.c_str()); }))
        ThrowAdo(adErrIllegalOperation, "Operation is not allowed in this context.", m_errors.get());
    ThrowAdo(adErrItemNotFound, kNotFoundText, m_errors.get());
}

} // namespace ado::detail
