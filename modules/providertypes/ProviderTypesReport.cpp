#include "ProviderTypesReport.h"

#include "common/IdentifierText.h"
#include "common/ValueText.h"
#include "querycore/ReportFile.h"

#include <fmt/format.h>

#include <climits>

namespace {

// Runs one read; a failure leaves its target as it was.
template <class Fn>
void Guarded(Fn&& fn)
{
    try {
        fn();
    } catch (const std::exception&) {
    }
}

_variant_t FieldValue(const ado::Fields& fields, const char* name)
{
    return fields.GetItem(std::string(name))->GetValue();
}

ProviderTypeInfo ReadRow(const ado::Fields& fields, wxString& key)
{
    ProviderTypeInfo info;
    for (const TypeDetailSpec& spec : GetTypeDetailSpecs()) {
        Guarded([&] {
            info[spec.detail] = spec.detail == TypeDetail::Literal
                                    ? ConvertLiteralDetail(FieldValue(fields, "LITERAL_PREFIX"),
                                                           FieldValue(fields, "LITERAL_SUFFIX"))
                                    : ConvertTypeDetail(spec.detail, FieldValue(fields, spec.column));
        });
    }
    key.clear();
    Guarded([&] { key = VariantToText(FieldValue(fields, "TYPE_NAME")); });
    return info;
}

wxString PropertyText(ado::Connection& connection, const char* name, bool asString)
{
    wxString text;
    Guarded([&] {
        const _variant_t value = connection.GetProperties()->GetItem(std::string(name))->GetValue();
        text = asString ? wxString::FromUTF8(value.ToString()) : VariantToText(value);
    });
    return text;
}

wxString UpperAscii(const wxString& text)
{
    wxString upper = text;
    for (auto it = upper.begin(); it != upper.end(); ++it) {
        const wxUniChar c = *it;
        if (c >= 'a' && c <= 'z')
            *it = wxUniChar(c.GetValue() - 'a' + 'A');
    }
    return upper;
}

} // namespace

void LoadProviderTypes(ado::Connection& connection, ProviderTypeMap& map)
{
    ado::RecordsetPtr rs = connection.OpenSchema(ado::adSchemaProviderTypes);
    if (rs->IsBOF())
        return;
    const ado::FieldsPtr fields = rs->GetFields();
    while (!rs->IsEOF()) {
        wxString key;
        ProviderTypeInfo info = ReadRow(*fields, key);
        map.emplace(key, std::move(info));
        rs->MoveNext();
    }
}

ProviderTypesHeader ReadReportHeader(ado::Connection& connection)
{
    ProviderTypesHeader h;
    h.providerName = PropertyText(connection, "Provider Name", true);
    h.providerVersion = PropertyText(connection, "Provider Version", true);
    h.driverName = PropertyText(connection, "Driver Name", true);
    h.driverVersion = PropertyText(connection, "Driver Version", false);
    h.dbmsName = UpperAscii(PropertyText(connection, "DBMS Name", false));
    h.dbmsVersion = PropertyText(connection, "DBMS Version", false);
    Guarded([&] { h.adoVersion = wxString::FromUTF8(connection.GetVersion()); });
    return h;
}

wxString MakeReportIdentifier(const ProviderTypesHeader& header)
{
    wxString provider = header.providerName;
    provider.Trim(true).Trim(false);
    wxString dbms = header.dbmsName;
    dbms.Trim(true).Trim(false);
    const int dot = provider.Find('.');
    return (dot == wxNOT_FOUND ? wxString() : provider.Left(dot)) + "_" + dbms;
}

wxString GetDefaultFileName(const wxString& identifier)
{
    const wxString name = "[" + MakeIdentifierName(identifier) + "_Types]";
    // Every character is a letter, digit, "_" or bracket, so only the length can make the
    // name unusable.
    if (name.utf8_str().length() + 4 <= NAME_MAX)
        return name;
    return "[" + MakeUniqueName() + "_Types]";
}

std::string FormatProviderTypesReport(const ProviderTypesHeader& h, const ProviderTypeMap& map)
{
    auto u = [](const wxString& s) { return s.utf8_string(); };
    std::string out = "Provider Types\n--------------\n";
    out += fmt::format(" Provider Name: {} {}\n", u(h.providerName), u(h.providerVersion));
    out += fmt::format("   Driver Name: {} {}\n", u(h.driverName), u(h.driverVersion));
    out += fmt::format("     DBMS Name: {} {}\n", u(h.dbmsName), u(h.dbmsVersion));
    out += fmt::format("   ADO Version: {}\n\n", u(h.adoVersion));
    for (const auto& [name, info] : map) {
        const std::string typeName = u(name);
        out += typeName + "\n" + std::string(typeName.size(), '-') + "\n";
        for (const TypeDetailSpec& spec : GetTypeDetailSpecs())
            out += fmt::format("{}: {}\n", spec.reportLabel, u(info[spec.detail]));
        out += "\n";
    }
    return out;
}

void WriteProviderTypesReport(const wxString& path, const ProviderTypesHeader& header, const ProviderTypeMap& map)
{
    WriteTextReport(path, FormatProviderTypesReport(header, map));
}
