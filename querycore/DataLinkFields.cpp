#include "DataLinkFields.h"

#include "OdbcCatalog.h"

#include "ado/ConnectionString.h"

namespace {

bool Is(const wxString& key, std::initializer_list<const char*> names)
{
    for (const char* name : names)
        if (key.IsSameAs(name, false))
            return true;
    return false;
}

void AppendAttribute(wxString& odbc, const wxString& key, const wxString& value)
{
    odbc += key + "=" + QuoteOdbcValue(value) + ";";
}

// A value for a double-quoted OLE DB value: embedded double quotes doubled.
wxString QuoteOleDbValue(const wxString& value)
{
    wxString quoted = value;
    quoted.Replace("\"", "\"\"");
    return "\"" + quoted + "\"";
}

wxString Trimmed(wxString text)
{
    return text.Trim(true).Trim(false);
}

} // namespace

wxString QuoteOdbcValue(const wxString& value)
{
    const bool needsBraces = value.find_first_of(";{}=") != wxString::npos ||
                             (!value.empty() && (value[0] == ' ' || value.Last() == ' '));
    if (!needsBraces)
        return value;
    wxString escaped = value;
    escaped.Replace("}", "}}");
    return "{" + escaped + "}";
}

namespace {

// The pairs as the connection reads them; of a malformed string, those before the fault.
std::vector<std::pair<wxString, wxString>> Split(const wxString& text, ado::detail::ConnectionStringSyntax syntax)
{
    std::vector<std::pair<wxString, wxString>> pairs;
    try {
        ado::detail::VisitConnectionString(text.utf8_string(), syntax, [&](const ado::detail::WrittenAttribute& a) {
            pairs.emplace_back(wxString::FromUTF8(a.attribute.key), wxString::FromUTF8(a.attribute.value));
        });
    } catch (const ado::detail::ConnectionStringError&) {
    }
    return pairs;
}

} // namespace

std::vector<std::pair<wxString, wxString>> SplitOdbcString(const wxString& odbc)
{
    return Split(odbc, ado::detail::ConnectionStringSyntax::Odbc);
}

std::vector<std::pair<wxString, wxString>> SplitOleDbString(const wxString& connectString)
{
    return Split(connectString, ado::detail::ConnectionStringSyntax::Ado);
}

wxString CDataLinkFields::BuildOdbcString() const
{
    wxString odbc;
    if (useDsn)
        AppendAttribute(odbc, "DSN", dsn);
    else
        odbc += "DRIVER={" + driver + "};";
    if (!server.empty())
        AppendAttribute(odbc, "Server", server);
    if (!port.empty())
        AppendAttribute(odbc, "Port", port);
    if (!database.empty())
        AppendAttribute(odbc, "Database", database);
    if (hasUser || !user.empty())
        AppendAttribute(odbc, "UID", user);
    if (hasPassword || !password.empty())
        AppendAttribute(odbc, "PWD", password);
    wxString other = Trimmed(otherAttributes);
    if (!other.empty()) {
        odbc += other;
        if (!other.EndsWith(";"))
            odbc += ";";
    }
    return odbc;
}

wxString CDataLinkFields::BuildConnectString() const
{
    return "Provider=MSDASQL.1;Persist Security Info=" + wxString(persistSecurityInfo ? "True" : "False") +
           ";Extended Properties=" + QuoteOleDbValue(BuildOdbcString());
}

wxString CDataLinkFields::BuildSavedConnectString() const
{
    if (persistSecurityInfo)
        return BuildConnectString();
    CDataLinkFields saved = *this;
    saved.password.clear();
    saved.hasPassword = false;
    saved.otherAttributes.clear();
    for (const auto& [key, value] : SplitOdbcString(otherAttributes))
        if (!ado::detail::IsPasswordKeyword(key.utf8_string()))
            AppendAttribute(saved.otherAttributes, key, value);
    return saved.BuildConnectString();
}

CDataLinkFields CDataLinkFields::Parse(const wxString& connectString)
{
    CDataLinkFields fields;
    const auto applyOdbc = [&fields](const wxString& key, const wxString& value) {
        if (Is(key, {"DSN"})) {
            fields.useDsn = true;
            fields.dsn = value;
        } else if (Is(key, {"DRIVER"})) {
            fields.driver = value;
        } else if (Is(key, {"Server", "Servername", "Host"})) {
            fields.server = value;
        } else if (Is(key, {"Port"})) {
            fields.port = value;
        } else if (Is(key, {"Database", "DBQ"})) {
            fields.database = value;
        } else if (Is(key, {"UID", "User", "Username"})) {
            fields.user = value;
            fields.hasUser = true;
        } else if (ado::detail::IsPasswordKeyword(key.utf8_string())) {
            fields.password = value;
            fields.hasPassword = true;
        } else {
            fields.otherAttributes += key + "=" + QuoteOdbcValue(value) + ";";
        }
    };
    // As the connection reads it: a string without a provider is the ODBC provider's too.
    for (const auto& [key, value] : SplitOleDbString(connectString)) {
        if (Is(key, {"Extended Properties"})) {
            for (const auto& [odbcKey, odbcValue] : SplitOdbcString(value))
                applyOdbc(odbcKey, odbcValue);
        } else if (Is(key, {"Provider"})) {
            fields.provider = value;
        } else if (Is(key, {"Persist Security Info"})) {
            fields.persistSecurityInfo = value.IsSameAs("True", false);
        } else if (Is(key, {"Data Source"})) {
            fields.useDsn = true;
            fields.dsn = value;
        } else if (Is(key, {"User ID"})) {
            fields.user = value;
            fields.hasUser = true;
        } else if (Is(key, {"Password"})) {
            fields.password = value;
            fields.hasPassword = true;
        } else if (Is(key, {"Initial Catalog"})) {
            fields.database = value;
        } else if (!Is(key, {"Prompt", "Connect Timeout"})) {
            // The ODBC provider hands keywords it does not know to the driver, as written.
            applyOdbc(key, value);
        }
    }
    return fields;
}

bool CDataLinkFields::IsFileDatabase() const
{
    if (!useDsn)
        return IsFileDatabaseDriver(driver);
    for (const COdbcDataSource& source : EnumOdbcDataSources())
        if (source.name == dsn)
            return IsFileDatabaseDriver(source.driver);
    return false;
}

bool CDataLinkFields::IsOdbcBridge() const
{
    return provider.empty() || provider.Upper() == "MSDASQL" || provider.Upper().StartsWith("MSDASQL.");
}

int CDataLinkFields::GetMissingLogin() const
{
    if (!IsOdbcBridge())
        return 0;
    if (IsFileDatabase())
        return useDsn || !database.empty() ? 0 : MissingDatabase;
    int missing = 0;
    if (!hasUser && user.empty())
        missing |= MissingUser;
    if (!hasPassword && password.empty())
        missing |= MissingPassword;
    if (!useDsn && database.empty())
        missing |= MissingDatabase;
    return missing;
}
