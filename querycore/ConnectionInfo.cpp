#include "ConnectionInfo.h"

#include "BatchSplitter.h"
#include "common/ValueText.h"
#include "ConnectionDialect.h"

namespace {

wxString FromUtf8(const std::string& text)
{
    return wxString::FromUTF8(text.data(), text.size());
}

// A value as text; NULL and EMPTY give the empty string.
wxString ValueText(const _variant_t& value)
{
    return value.vt == VT_NULL || value.vt == VT_EMPTY ? wxString() : FromUtf8(value.ToString());
}

// A property value as a string, failing (false) like a string conversion of the value would:
// a NULL or EMPTY value is no string.
bool ReadString(const ado::PropertiesPtr& properties, const char* name, wxString& out)
{
    try {
        const _variant_t value = properties->GetItem(name)->GetValue();
        if (value.vt == VT_NULL || value.vt == VT_EMPTY)
            return false;
        out = FromUtf8(value.ToString());
        return true;
    } catch (const _com_error&) {
        // Many providers lack a given property; the caller keeps its default.
        return false;
    }
}

// A property value as its display text.
bool ReadDisplayText(const ado::PropertiesPtr& properties, const char* name, wxString& out)
{
    try {
        out = VariantToText(properties->GetItem(name)->GetValue());
        return true;
    } catch (const _com_error&) {
        // Many providers lack a given property; the caller keeps its default.
        return false;
    }
}

void ReadFlag(const ado::PropertiesPtr& properties, const char* name, int& out)
{
    try {
        out = properties->GetItem(name)->GetValue().ToLong() != 0 ? 1 : 0;
    } catch (const _com_error&) {
        // A missing flag keeps the setting's default.
    }
}

} // namespace

bool CConnectionInfo::ReadConnectionInfo()
{
    try {
        ado::PropertiesPtr properties = m_pConnection->GetProperties();
        try {
            properties->Refresh();
        } catch (const _com_error&) {
            // The values read at open stay good enough for the window's information.
        }

        ReadString(properties, "Provider Name", m_strProviderFile);
        ReadString(properties, "Provider Version", m_strProviderVersion);
        ReadString(properties, "Provider Friendly Name", m_strProviderFriendlyName);
        ReadString(properties, "Data Source", m_strDataSource);
        if (m_strDataSource.empty())
            ReadString(properties, "Data Source Name", m_strDataSource);

        UpdateConnectionTitle(properties);

        ReadFlag(properties, "Multiple Results", m_bMultipleResults);
        ReadFlag(properties, "Stored Procedures", m_bStoredProcedures);
        ReadFlag(properties, "Transaction DDL", m_bTransactions);

        if (ReadDisplayText(properties, "DBMS Name", m_strDbmsNameUpper)) {
            m_strDbmsName = m_strDbmsNameUpper;
            m_strDbmsName.Trim(true).Trim(false);
            m_strDbmsNameUpper.MakeUpper();
        }
        ReadDisplayText(properties, "DBMS Version", m_strDbmsVersion);

        m_bOdbcProvider = m_strProviderFile.IsSameAs("MSDASQL.DLL", false);
        if (m_bOdbcProvider)
            ReadString(properties, "Driver Name", m_strDriverName);
        ReadDisplayText(properties, "Driver Version", m_strDriverVersion);
        ReadString(properties, "User ID", m_strUserId);
        if (m_strUserId.empty())
            ReadString(properties, "User Name", m_strUserId);

        ApplyDialectFlags();

        m_strBatchSeparator = FromUtf8(BatchSplitter::SeparatorFromSetting(m_strBatchSeparator.utf8_string()));

        GetIdentifierQuotes();
        SetQuotedIdentifiers(m_bUseQuotedIdentifiers != 0);

        if (!m_bMySql && !m_bOlap)
            m_bTSql = ProbeSysDatabases();
        return true;
    } catch (const _com_error&) {
        // What was read stays; the rest keeps its defaults, and the connection itself works.
        return false;
    }
}

void CConnectionInfo::UpdateConnectionTitle(const ado::PropertiesPtr& properties)
{
    ReadString(properties, "Current Catalog", m_strCurrentCatalog);
    if (m_strDataSource.empty())
        m_strDataSource = m_strCurrentCatalog;
    ReadString(properties, "Server Name", m_strServerName);
    if (m_strDataSource.empty())
        m_strDataSource = m_strServerName;
}

void CConnectionInfo::ApplyDialectFlags()
{
    // The name is compared trimmed: a driver that pads its DBMS name still gets its dialect.
    const ConnectionDialect dialect = ConnectionDialect::FromNames(
        m_strProviderFile.utf8_string(), wxString(m_strDbmsNameUpper).Trim(true).Trim(false).utf8_string(),
        m_strDriverName.utf8_string());
    m_bOdbcProvider = dialect.odbcProvider;
    m_bJet = dialect.jet;
    m_bFoxPro = dialect.foxPro;
    m_bDb2 = dialect.db2;
    m_bOracle = dialect.oracle;
    m_bMySql = dialect.mySql;
    m_bOlap = dialect.olap;
}

bool CConnectionInfo::IsModernSqlServer() const
{
    return ConnectionDialect::IsModernSqlServer(wxString(m_strDbmsNameUpper).Trim(true).Trim(false).utf8_string(),
                                                m_strDbmsVersion.utf8_string());
}

void CConnectionInfo::GetIdentifierQuotes()
{
    try {
        ado::RecordsetPtr literals = m_pConnection->OpenSchema(ado::adSchemaDBInfoLiterals);
        if (literals && !(literals->IsBOF() && literals->IsEOF())) {
            while (!literals->IsEOF() &&
                   (m_strProviderQuotePrefix.empty() || m_strProviderQuoteSuffix.empty())) {
                ado::FieldsPtr fields = literals->GetFields();
                const long count = fields->GetCount();
                for (long i = 0; i < count; ++i) {
                    // A QUOTE name in the last field has no value after it: reading it fails
                    // and ends the scan.
                    const wxString text = ValueText(fields->GetItem(i)->GetValue());
                    if (text.IsSameAs("QUOTE", false))
                        m_strProviderQuotePrefix = ValueText(fields->GetItem(i + 1)->GetValue());
                    else if (text.IsSameAs("QUOTE_SUFFIX", false))
                        m_strProviderQuoteSuffix = ValueText(fields->GetItem(i + 1)->GetValue());
                }
                literals->MoveNext();
            }
        }
    } catch (const _com_error&) {
        // Without the literals rowset the dialect's own quotes apply.
    }
    const IdentifierQuotes quotes =
        ProviderIdentifierQuotes(m_strProviderQuotePrefix.utf8_string(), m_strProviderQuoteSuffix.utf8_string());
    m_strProviderQuotePrefix = FromUtf8(quotes.prefix);
    m_strProviderQuoteSuffix = FromUtf8(quotes.suffix);
}

bool CConnectionInfo::SetQuotedIdentifiers(bool use)
{
    const ConnectionDialect dialect = ConnectionDialect::FromNames(
        m_strProviderFile.utf8_string(), wxString(m_strDbmsNameUpper).Trim(true).Trim(false).utf8_string(),
        m_strDriverName.utf8_string());
    const IdentifierQuotes quotes = QuotesInForce(
        {m_strProviderQuotePrefix.utf8_string(), m_strProviderQuoteSuffix.utf8_string()}, use, dialect,
        wxString(m_strDbmsNameUpper).Trim(true).Trim(false).utf8_string(), m_strDbmsVersion.utf8_string());
    m_strQuotePrefix = FromUtf8(quotes.prefix);
    m_strQuoteSuffix = FromUtf8(quotes.suffix);
    m_bUseQuotedIdentifiers = use ? 1 : 0;
    OnQuotesChanged();
    return true;
}

void CConnectionInfo::UseQuotedIdentifiers()
{
    const bool provider = !m_strProviderQuotePrefix.empty() && !m_strProviderQuoteSuffix.empty();
    m_strQuotePrefix = provider ? m_strProviderQuotePrefix : wxString("\"");
    m_strQuoteSuffix = provider ? m_strProviderQuoteSuffix : wxString("\"");
    m_bUseQuotedIdentifiers = 1;
    OnQuotesChanged();
}

bool CConnectionInfo::ProbeSysDatabases()
{
    if (!m_pRecordset)
        return false;
    bool answered = false;
    try {
        if (m_pRecordset->GetState() != ado::adStateClosed)
            m_pRecordset->Close();
        m_pRecordset->Open(_variant_t("SELECT name FROM master..sysdatabases"), m_pConnection,
                           ado::adOpenForwardOnly, ado::adLockReadOnly, ado::adCmdText);
        answered = true;
    } catch (const _com_error&) {
        // A failing probe is the answer: no such catalog here.
    }
    try {
        if (m_pRecordset->GetState() != ado::adStateClosed)
            m_pRecordset->Close();
    } catch (const _com_error&) {
        // The next open of the recordset closes it anyway.
    }
    return answered;
}

bool CConnectionInfo::ProbeAsyncExecution()
{
    ado::RecordsetPtr probe;
    try {
        probe = ado::Recordset::Create();
        probe->Open(_variant_t("SELECT 2*3"), m_pConnection, ado::adOpenForwardOnly, ado::adLockReadOnly,
                    ado::adAsyncExecute);
    } catch (const _com_error&) {
        return false;
    }
    try {
        const long state = probe->GetState();
        if (state == ado::adStateExecuting || state == (ado::adStateOpen | ado::adStateExecuting) ||
            state == ado::adStateOpen || state == ado::adStateFetching)
            probe->Cancel();
    } catch (const _com_error&) {
        // The probe has its answer; a throwaway statement that will not stop is closed below.
    }
    try {
        if (probe->GetState() != ado::adStateClosed)
            probe->Close();
    } catch (const _com_error&) {
        // The probe recordset is dropped with its statement either way.
    }
    return true;
}
