#include "DataLinkFields.h"

#include "OdbcCatalog.h"

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

std::vector<std::pair<wxString, wxString>> SplitOdbcString(const wxString& odbc)
{
    std::vector<std::pair<wxString, wxString>> pairs;
    size_t i = 0;
    const size_t n = odbc.length();
    while (i < n) {
        const size_t eq = odbc.find('=', i);
        const size_t semi = odbc.find(';', i);
        if (eq == wxString::npos || (semi != wxString::npos && semi < eq)) {
            // A fragment without "=": skipped up to the next ";".
            if (semi == wxString::npos)
                break;
            i = semi + 1;
            continue;
        }
        const wxString key = Trimmed(odbc.substr(i, eq - i));
        size_t j = eq + 1;
        while (j < n && odbc[j] == ' ')
            ++j;
        wxString value;
        if (j < n && odbc[j] == '{') {
            ++j;
            while (j < n) {
                if (odbc[j] == '}') {
                    if (j + 1 < n && odbc[j + 1] == '}') {
                        value += '}';
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                value += odbc[j++];
            }
            const size_t next = odbc.find(';', j);
            i = next == wxString::npos ? n : next + 1;
        } else {
            const size_t next = odbc.find(';', j);
            value = Trimmed(odbc.substr(j, next == wxString::npos ? wxString::npos : next - j));
            i = next == wxString::npos ? n : next + 1;
        }
        if (!key.empty())
            pairs.emplace_back(key, value);
    }
    return pairs;
}

std::vector<std::pair<wxString, wxString>> SplitOleDbString(const wxString& connectString)
{
    std::vector<std::pair<wxString, wxString>> pairs;
    size_t i = 0;
    const size_t n = connectString.length();
    while (i < n) {
        const size_t eq = connectString.find('=', i);
        const size_t semi = connectString.find(';', i);
        if (eq == wxString::npos || (semi != wxString::npos && semi < eq)) {
            if (semi == wxString::npos)
                break;
            i = semi + 1;
            continue;
        }
        const wxString key = Trimmed(connectString.substr(i, eq - i));
        size_t j = eq + 1;
        while (j < n && connectString[j] == ' ')
            ++j;
        wxString value;
        if (j < n && (connectString[j] == '"' || connectString[j] == '\'')) {
            const wxUniChar quote = connectString[j++];
            while (j < n) {
                if (connectString[j] == quote) {
                    if (j + 1 < n && connectString[j + 1] == quote) {
                        value += quote;
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                value += connectString[j++];
            }
            const size_t next = connectString.find(';', j);
            i = next == wxString::npos ? n : next + 1;
        } else {
            const size_t next = connectString.find(';', j);
            value = Trimmed(connectString.substr(j, next == wxString::npos ? wxString::npos : next - j));
            i = next == wxString::npos ? n : next + 1;
        }
        if (!key.empty())
            pairs.emplace_back(key, value);
    }
    return pairs;
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
        if (!Is(key, {"PWD", "Password"}))
            AppendAttribute(saved.otherAttributes, key, value);
    return saved.BuildConnectString();
}

CDataLinkFields CDataLinkFields::Parse(const wxString& connectString)
{
    CDataLinkFields fields;
    wxString odbc;
    const auto outer = SplitOleDbString(connectString);
    bool oleDb = false;
    for (const auto& [key, value] : outer)
        if (Is(key, {"Provider", "Extended Properties"}))
            oleDb = true;
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
        } else if (Is(key, {"PWD", "Password"})) {
            fields.password = value;
            fields.hasPassword = true;
        } else {
            fields.otherAttributes += key + "=" + QuoteOdbcValue(value) + ";";
        }
    };
    if (!oleDb) {
        for (const auto& [key, value] : SplitOdbcString(connectString))
            applyOdbc(key, value);
        return fields;
    }
    for (const auto& [key, value] : outer) {
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
