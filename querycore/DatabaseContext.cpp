#include "DatabaseContext.h"

#include "common/ErrorText.h"

#include <algorithm>

using namespace database_list;

namespace {

wxString FieldText(const ado::RecordsetPtr& recordset)
{
    const _variant_t value = recordset->GetCollect(0);
    if (value.vt == VT_NULL || value.vt == VT_EMPTY)
        return wxString();
    const std::string text = value.ToString();
    return wxString::FromUTF8(text.data(), text.size());
}

bool ContainsAny(const wxString& text, std::initializer_list<const char*> parts)
{
    return std::any_of(parts.begin(), parts.end(), [&text](const char* part) { return text.Contains(part); });
}

} // namespace

CDatabaseList BuildDatabaseList(const std::vector<wxString>& names)
{
    CDatabaseList list;
    list.ok = true;
    for (const wxString& name : names) {
        const bool known = std::any_of(list.items.begin(), list.items.end(),
                                       [&name](const CDatabaseListItem& item) { return item.text.IsSameAs(name, false); });
        if (!known)
            list.items.push_back({name, kImageDatabase});
    }
    if (list.items.empty()) {
        list.items.push_back({kNoData, kImageLabel});
        list.selected = 0;
    }
    list.items.push_back({kRefresh, kImageRefresh});
    return list;
}

CDatabaseList DatabaseListFailure(const wxString& label)
{
    CDatabaseList list;
    list.items.push_back({label, kImageLabel});
    list.selected = 0;
    return list;
}

wxString DatabaseListErrorLabel(bool providerErrors, bool comError)
{
    if (providerErrors)
        return kProviderError;
    return comError ? kComError : kErrorsOccurred;
}

bool IsDatabaseListCommand(const wxString& text)
{
    return text.IsSameAs(kNoData, false) || text.IsSameAs(kNotSupported, false) || text.IsSameAs(kRefresh, false);
}

wxString GetDatabaseListQuery(bool mySql, bool tsql)
{
    if (mySql)
        return "SHOW DATABASES;";
    if (tsql)
        return "SELECT name FROM master..sysdatabases ORDER BY name";
    return wxString();
}

wxString GetCurrentDatabaseQuery(bool mySql, bool tsql)
{
    if (mySql)
        return "SELECT DATABASE();";
    if (tsql)
        return "select db_name() dbname";
    return wxString();
}

wxString GetUseDatabaseStatement(const wxString& quotePrefix, const wxString& quoteSuffix, const wxString& name)
{
    // A name holding the closing quote would end the identifier early and let the rest run as SQL.
    wxString quoted = name;
    if (!quoteSuffix.empty())
        quoted.Replace(quoteSuffix, quoteSuffix + quoteSuffix);
    return "use " + quotePrefix + quoted + quoteSuffix;
}

wxString GetCatalogPropertyValue(const wxString& name, bool modernSqlServer, const wxString& providerFile,
                                 bool odbcProvider, const wxString& connectionString)
{
    if (!modernSqlServer)
        return name;
    const bool brackets = providerFile.IsSameAs("SQLOLEDB.DLL", false) || providerFile.IsSameAs("SQLNCLI.DLL", false) ||
                          (odbcProvider && connectionString.Contains("QuotedId=No"));
    if (!brackets)
        return name;
    wxString quoted = name;
    quoted.Replace("]", "]]");
    return "[" + quoted + "]";
}

wxString StripCatalogBrackets(const wxString& value, bool modernSqlServer)
{
    if (modernSqlServer && value.length() >= 2 && value.StartsWith("[") && value.EndsWith("]")) {
        wxString name = value.Mid(1, value.length() - 2);
        name.Replace("]]", "]");
        return name;
    }
    return value;
}

SetOptionsChange ReadSetOptions(const wxString& text)
{
    wxString upper = text;
    upper.Trim(true).Trim(false);
    upper.MakeUpper();
    const bool setsQuoting =
        upper.Contains("SET") && (upper.Contains("QUOTED_IDENTIFIER") || upper.Contains("ANSI_DEFAULTS"));
    if (ContainsAny(upper, {"SET QUOTED_IDENTIFIER  OFF", "SET QUOTED_IDENTIFIER OFF", "SET ANSI_DEFAULTS  OFF",
                            "SET ANSI_DEFAULTS OFF"}) ||
        (setsQuoting && upper.Contains("OFF")))
        return SetOptionsChange::QuotesOff;
    if (ContainsAny(upper, {"SET QUOTED_IDENTIFIER  ON", "SET QUOTED_IDENTIFIER ON", "SET ANSI_DEFAULTS  ON",
                            "SET ANSI_DEFAULTS ON"}) ||
        (setsQuoting && upper.Contains("ON")))
        return SetOptionsChange::QuotesOn;
    return SetOptionsChange::None;
}

// ---- CDatabaseContext ----

bool CDatabaseContext::HasDatabaseList() const
{
    return m_connection.m_bMySql || m_connection.m_bTSql || m_connection.m_bOlap;
}

void CDatabaseContext::CloseRecordset()
{
    try {
        if (m_connection.m_pRecordset && m_connection.m_pRecordset->GetState() != ado::adStateClosed)
            m_connection.m_pRecordset->Close();
    } catch (const _com_error&) {
        // The next open of the shared recordset closes it anyway.
    }
}

void CDatabaseContext::OpenQuery(const wxString& sql)
{
    if (!m_connection.m_pRecordset)
        m_connection.m_pRecordset = ado::Recordset::Create();
    m_connection.m_pRecordset->Open(_variant_t(sql.utf8_string()), m_connection.m_pConnection, ado::adOpenForwardOnly,
                                    ado::adLockReadOnly, ado::adCmdText);
}

CDatabaseList CDatabaseContext::LoadDatabaseList()
{
    CloseRecordset();
    CDatabaseList list;
    try {
        const wxString query = GetDatabaseListQuery(m_connection.m_bMySql, m_connection.m_bTSql);
        ado::RecordsetPtr rows;
        if (!query.empty()) {
            OpenQuery(query);
            rows = m_connection.m_pRecordset;
        } else if (m_connection.m_bOlap) {
            rows = m_connection.m_pConnection->OpenSchema(ado::adSchemaCatalogs);
        } else {
            throw _com_error(E_FAIL);
        }
        std::vector<wxString> names;
        if (rows && (rows->GetState() & ado::adStateOpen) != 0)
            for (; !rows->IsEOF(); rows->MoveNext())
                names.push_back(FieldText(rows));
        list = BuildDatabaseList(names);
    } catch (const _com_error&) {
        list = DatabaseListFailure(
            DatabaseListErrorLabel(!GetProviderErrorsText(m_connection.m_pConnection.get()).empty(), true));
    } catch (...) {
        list = DatabaseListFailure(
            DatabaseListErrorLabel(!GetProviderErrorsText(m_connection.m_pConnection.get()).empty(), false));
    }
    CloseRecordset();
    return list;
}

wxString CDatabaseContext::GetCurrentDatabase()
{
    CloseRecordset();
    wxString value;
    try {
        OpenQuery(GetCurrentDatabaseQuery(m_connection.m_bMySql, m_connection.m_bTSql));
        const ado::RecordsetPtr& rows = m_connection.m_pRecordset;
        if ((rows->GetState() & ado::adStateOpen) != 0 && !rows->IsEOF())
            value = FieldText(rows);
    } catch (const _com_error&) {
        // Unknown stays empty: the list then marks no database as the current one.
    }
    CloseRecordset();

    if (m_connection.m_bMySql) {
        value.Trim(true).Trim(false);
        if (value.empty()) {
            try {
                ChangeDatabase("MySQL");
                value = "MySQL";
            } catch (const _com_error&) {
                // No default database to fall back on: the connection has none selected.
            }
        }
        return value;
    }
    // The provider's notion of the current catalog follows a USE the user ran. A failed read
    // leaves it alone: an empty catalog would be no catalog at all.
    if (!value.empty()) {
        try {
            const wxString catalog = m_connection.m_strProviderFile.IsSameAs("SQLNCLI.DLL", false) ? "[" + value + "]" : value;
            m_connection.m_pConnection->GetProperties()->GetItem("Current Catalog")->PutValue(
                _variant_t(catalog.utf8_string()));
        } catch (const _com_error&) {
            // Only the provider's copy of the name lags; the server's own current database is right.
        }
    }
    return value;
}

wxString CDatabaseContext::ReadCurrentCatalog()
{
    CloseRecordset();
    wxString value;
    if (m_connection.m_bMySql) {
        value = GetCurrentDatabase();
    } else {
        try {
            const _variant_t catalog = m_connection.m_pConnection->GetProperties()->GetItem("Current Catalog")->GetValue();
            if (catalog.vt != VT_NULL && catalog.vt != VT_EMPTY)
                value = wxString::FromUTF8(catalog.ToString());
        } catch (const _com_error&) {
            // A provider without the property has no catalog to show.
        }
    }
    CloseRecordset();
    return StripCatalogBrackets(value, m_connection.IsModernSqlServer());
}

void CDatabaseContext::ChangeDatabase(const wxString& name)
{
    CloseRecordset();
    if (m_connection.m_bMySql) {
        OpenQuery(GetUseDatabaseStatement(m_connection.m_strQuotePrefix, m_connection.m_strQuoteSuffix, name));
    } else {
        wxString connectionString;
        try {
            connectionString = wxString::FromUTF8(m_connection.m_pConnection->GetConnectionString());
        } catch (const _com_error&) {
            // The value is then built without the connection string's hints.
        }
        const wxString value = GetCatalogPropertyValue(name, m_connection.IsModernSqlServer(),
                                                       m_connection.m_strProviderFile,
                                                       m_connection.m_bOdbcProvider != 0, connectionString);
        m_connection.m_pConnection->GetProperties()->GetItem("Current Catalog")->PutValue(
            _variant_t(value.utf8_string()));
    }
    CloseRecordset();
}

void CDatabaseContext::TrackSetOptions(const wxString& text)
{
    switch (ReadSetOptions(text)) {
    case SetOptionsChange::QuotesOff: m_connection.SetQuotedIdentifiers(false); break;
    case SetOptionsChange::QuotesOn: m_connection.UseQuotedIdentifiers(); break;
    case SetOptionsChange::None: break;
    }
}
