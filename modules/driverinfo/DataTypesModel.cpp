#include "DataTypesModel.h"

#include <sqlext.h>

#include <fmt/format.h>

namespace ferrow {

namespace {

struct SqlType {
    int dataType;
    const char* name;
    uint16_t conversionInfo;
    uint32_t conversionBit;
};

const SqlType kSqlTypes[] = {
    {SQL_CHAR, "SQL_CHAR", SQL_CONVERT_CHAR, SQL_CVT_CHAR},
    {SQL_NUMERIC, "SQL_NUMERIC", SQL_CONVERT_NUMERIC, SQL_CVT_NUMERIC},
    {SQL_DECIMAL, "SQL_DECIMAL", SQL_CONVERT_DECIMAL, SQL_CVT_DECIMAL},
    {SQL_INTEGER, "SQL_INTEGER", SQL_CONVERT_INTEGER, SQL_CVT_INTEGER},
    {SQL_SMALLINT, "SQL_SMALLINT", SQL_CONVERT_SMALLINT, SQL_CVT_SMALLINT},
    {SQL_FLOAT, "SQL_FLOAT", SQL_CONVERT_FLOAT, SQL_CVT_FLOAT},
    {SQL_REAL, "SQL_REAL", SQL_CONVERT_REAL, SQL_CVT_REAL},
    {SQL_DOUBLE, "SQL_DOUBLE", SQL_CONVERT_DOUBLE, SQL_CVT_DOUBLE},
    {SQL_DATE, "SQL_DATE", SQL_CONVERT_DATE, SQL_CVT_DATE},
    {SQL_TIME, "SQL_TIME", SQL_CONVERT_TIME, SQL_CVT_TIME},
    {SQL_TIMESTAMP, "SQL_TIMESTAMP", SQL_CONVERT_TIMESTAMP, SQL_CVT_TIMESTAMP},
    {SQL_VARCHAR, "SQL_VARCHAR", SQL_CONVERT_VARCHAR, SQL_CVT_VARCHAR},
    {SQL_LONGVARCHAR, "SQL_LONGVARCHAR", SQL_CONVERT_LONGVARCHAR, SQL_CVT_LONGVARCHAR},
    {SQL_BINARY, "SQL_BINARY", SQL_CONVERT_BINARY, SQL_CVT_BINARY},
    {SQL_VARBINARY, "SQL_VARBINARY", SQL_CONVERT_VARBINARY, SQL_CVT_VARBINARY},
    {SQL_LONGVARBINARY, "SQL_LONGVARBINARY", SQL_CONVERT_LONGVARBINARY, SQL_CVT_LONGVARBINARY},
    {SQL_BIGINT, "SQL_BIGINT", SQL_CONVERT_BIGINT, SQL_CVT_BIGINT},
    {SQL_TINYINT, "SQL_TINYINT", SQL_CONVERT_TINYINT, SQL_CVT_TINYINT},
    {SQL_BIT, "SQL_BIT", SQL_CONVERT_BIT, SQL_CVT_BIT},
};

// The order in which conversion targets are listed.
const char* const kTargetOrder[] = {"SQL_BIGINT",    "SQL_BINARY",   "SQL_BIT",           "SQL_CHAR",
                                    "SQL_DATE",      "SQL_DECIMAL",  "SQL_DOUBLE",        "SQL_FLOAT",
                                    "SQL_INTEGER",   "SQL_LONGVARBINARY", "SQL_LONGVARCHAR", "SQL_NUMERIC",
                                    "SQL_REAL",      "SQL_SMALLINT", "SQL_TIME",          "SQL_TIMESTAMP",
                                    "SQL_TINYINT",   "SQL_VARBINARY", "SQL_VARCHAR"};

const SqlType* FindType(int dataType)
{
    for (const SqlType& t : kSqlTypes)
        if (t.dataType == dataType)
            return &t;
    return nullptr;
}

const SqlType& TypeNamed(const char* name)
{
    for (const SqlType& t : kSqlTypes)
        if (std::string_view(t.name) == name)
            return t;
    return kSqlTypes[0];
}

std::string Number(const std::optional<int32_t>& value)
{
    return !value || *value == -1 ? std::string(kNotApplicable) : fmt::format("{}", *value);
}

// A code the lists do not know is shown as its number, so that no earlier type's text stays.
std::string Coded(const std::optional<int>& value, std::initializer_list<std::pair<int, const char*>> codes,
                  const char* null)
{
    if (!value)
        return null;
    for (const auto& [code, text] : codes)
        if (code == *value)
            return text;
    return fmt::format("{}", *value);
}

std::string YesNo(const std::optional<int>& value)
{
    return value ? (*value ? "Yes" : "No") : "";
}

std::string Tristate(const std::optional<int>& value)
{
    return !value ? std::string(kNotApplicable) : *value ? "Yes" : "No";
}

std::string PadTo(std::string text, size_t width)
{
    if (text.size() < width)
        text.append(width - text.size(), ' ');
    return text;
}

} // namespace

const char* DataTypesModel::SqlTypeName(int dataType)
{
    const SqlType* t = FindType(dataType);
    return t ? t->name : nullptr;
}

std::optional<uint16_t> DataTypesModel::ConversionInfoType(int dataType)
{
    const SqlType* t = FindType(dataType);
    return t ? std::optional<uint16_t>(t->conversionInfo) : std::nullopt;
}

std::vector<std::string> DataTypesModel::ConversionNames(uint32_t mask)
{
    std::vector<std::string> names;
    for (const char* target : kTargetOrder)
        if (mask & TypeNamed(target).conversionBit)
            names.push_back(target);
    if (names.empty())
        names.push_back(kNone);
    return names;
}

void DataTypesModel::FetchInfo(InfoSource& source)
{
    if (!source.IsConnected())
        return;
    types.clear();
    types = source.GetTypeInfo();
}

std::optional<TypeDetails> DataTypesModel::Details(InfoSource& source, const std::string& typeName) const
{
    const TypeInfoRow* row = nullptr;
    for (const TypeInfoRow& t : types)
        if (t.typeName == typeName) {
            row = &t;
            break;
        }
    if (!row)
        return std::nullopt;
    TypeDetails d;
    if (const SqlType* t = FindType(row->dataType)) {
        d.sqlType = t->name;
        d.conversions = ConversionNames(GetInfoMask(source, t->conversionInfo));
    } else {
        d.sqlType = "<new or driver-specific>";
        d.conversions = ConversionNames(0);
    }
    d.precision = Number(row->precision);
    const std::string prefix = row->literalPrefix.value_or("");
    const std::string suffix = row->literalSuffix.value_or("");
    d.literals = (prefix.empty() ? kNotApplicable : prefix) + "," + (suffix.empty() ? kNotApplicable : suffix);
    d.createParams = row->createParams.value_or("").empty() ? kNone : *row->createParams;
    d.nullable = Coded(row->nullable, {{0, "No"}, {1, "Yes"}, {2, "Unknown"}}, "Unknown");
    d.caseSensitive = YesNo(row->caseSensitive);
    d.searchable = Coded(row->searchable,
                         {{0, "No"}, {1, "Only with LIKE"}, {2, "with all except LIKE"}, {3, "Yes"}}, "");
    d.unsignedText = Tristate(row->unsignedAttribute);
    d.money = YesNo(row->money);
    d.autoIncrement = Tristate(row->autoIncrement);
    d.minimumScale = Number(row->minimumScale);
    d.maximumScale = Number(row->maximumScale);
    return d;
}

void DataTypesModel::WriteReport(InfoSource& source, std::string& out)
{
    if (!source.IsConnected())
        return;
    // Read before anything is written, so that a failure leaves no half section.
    const std::vector<TypeInfoRow> rows = source.GetTypeInfo();
    auto lead = [](const TypeInfoRow& r) { return PadTo(r.typeName, 20); };
    std::string text = "Data Types\n----------\n\n";

    text += "Native type         SQL Type          Precision   Min Scale  Max Scale\n"
            "-----------         --------          ---------   ---------  ---------\n";
    for (const TypeInfoRow& r : rows) {
        const char* name = SqlTypeName(r.dataType);
        text += lead(r) + (name ? PadTo(name, 18) : "<unknown type>    ");
        text += r.precision ? fmt::format("{:<11} ", *r.precision) : "<n/a>       ";
        text += r.minimumScale ? fmt::format("{:<5}      ", *r.minimumScale) : "<n/a>      ";
        text += r.maximumScale ? fmt::format("{:<5}\n", *r.maximumScale) : "<n/a>      \n";
    }
    text += "\n";

    text += "Native type         Nullable  Unsigned  Auto Inc  Money  Case Sensitive\n"
            "-----------         --------  --------  --------  -----  --------------\n";
    auto flag = [](const std::optional<int>& v) {
        return !v ? "<n/a>     " : *v ? "Yes       " : "No        ";
    };
    for (const TypeInfoRow& r : rows) {
        text += lead(r);
        text += r.nullable == 0 ? "No        " : r.nullable == 1 ? "Yes       " : "Unknown   ";
        text += flag(r.unsignedAttribute);
        text += flag(r.autoIncrement);
        text += !r.money ? "       " : *r.money ? "Yes    " : "No     ";
        text += !r.caseSensitive ? "\n" : *r.caseSensitive ? "Yes\n" : "No\n";
    }
    text += "\n";

    text += "Native type         Lit. Prefix,Suffix  Create Params    Searchable\n"
            "-----------         ------------------  -------------    ----------\n";
    for (const TypeInfoRow& r : rows) {
        text += lead(r);
        text += PadTo(r.literalPrefix.value_or(kNotApplicable) + "," + r.literalSuffix.value_or(kNotApplicable), 20);
        text += r.createParams ? PadTo(*r.createParams, 17) : "<none>           ";
        // Every row ends its line, whatever the driver answered.
        text += Coded(r.searchable, {{0, "No"}, {1, "Only with LIKE"}, {2, "with all except LIKE"}, {3, "Yes"}}, "") +
                "\n";
    }
    text += "\n";

    text += "Native type         Convert() Conversions\n"
            "-----------         ---------------------\n";
    for (const TypeInfoRow& r : rows) {
        std::string line = lead(r);
        const SqlType* t = FindType(r.dataType);
        const uint32_t mask = t ? GetInfoMask(source, t->conversionInfo) : 0;
        if (mask == 0) {
            line += kNone;
        } else {
            bool first = false;
            for (const char* target : kTargetOrder) {
                if (!(mask & TypeNamed(target).conversionBit))
                    continue;
                if (line.size() + std::string_view(target).size() < 76) {
                    if (first)
                        line += ",";
                    line += target;
                } else {
                    text += line + "\n";
                    line = std::string(20, ' ') + target;
                }
                first = true;
            }
        }
        text += line + "\n\n";
    }
    text += "\n";
    out += text;
}

} // namespace ferrow
