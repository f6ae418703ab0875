#include "SchemaReader.h"

#include "OdbcInfo.h"

#include <algorithm>

namespace ado::detail::schema {

bool IsGiven(const _variant_t& v)
{
    return v.vt != VT_EMPTY && v.vt != VT_NULL && v.vt != VT_ERROR;
}

std::string Upper(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::set<std::string> ParseTypeList(const std::string& list)
{
    std::set<std::string> types;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(',', start);
        if (end == std::string::npos)
            end = list.size();
        std::string item = list.substr(start, end - start);
        auto notTrim = [](char c) { return c != ' ' && c != '\'' && c != '\t'; };
        auto first = std::find_if(item.begin(), item.end(), notTrim);
        auto last = std::find_if(item.rbegin(), item.rend(), notTrim).base();
        if (first < last)
            types.insert(Upper(std::string(first, last)));
        start = end + 1;
    }
    return types;
}

void SchemaReader::Expect(size_t count)
{
    for (size_t i = count; i < m_restrictions.size(); ++i)
        if (IsGiven(m_restrictions[i]))
            ThrowAdo(adErrInvalidArgument, kBadArgumentsText, &m_errors);
}

void SchemaReader::RequireFunction(SQLUSMALLINT function)
{
    if (!DriverSupports(m_hdbc, function))
        NotSupported();
}

const _variant_t& SchemaReader::R(size_t i) const
{
    static const _variant_t empty;
    return i < m_restrictions.size() ? m_restrictions[i] : empty;
}

OptText SchemaReader::Text(size_t i) const
{
    const _variant_t& v = R(i);
    if (!IsGiven(v))
        return std::nullopt;
    try {
        return v.ToString();
    } catch (const _com_error&) {
        ThrowAdo(adErrInvalidArgument, kBadArgumentsText, &m_errors);
    }
}

std::vector<TableId> SchemaReader::ListTables(const OptText& catalog, const OptText& schema)
{
    CatalogStatement st(m_hdbc, m_traits, m_errors);
    CatalogArg schemaArg(Pattern(schema)), types(std::string("'TABLE'"));
    st.Check(st.Call(SQLTables, SQLTablesW, CatalogArg(), schemaArg, CatalogArg(), types));
    std::vector<TableId> tables;
    while (st.Fetch()) {
        Row r = st.ReadRow(3);
        if (catalog && m_facts.catalogs && r[0] != catalog)
            continue;
        if (schema && m_facts.schemas && r[1] != schema)
            continue;
        tables.push_back({m_facts.catalogs ? r[0] : std::nullopt, m_facts.schemas ? r[1] : std::nullopt, r[2]});
    }
    return tables;
}

std::vector<TableId> SchemaReader::TablesToAsk(size_t nameIndex)
{
    if (OptText name = Text(nameIndex))
        return {{CatalogText(0), SchemaText(1), std::move(name)}};
    return ListTables(CatalogText(0), SchemaText(1));
}

bool SchemaReader::HasInformationSchemaView(const char* view)
{
    CatalogStatement st(m_hdbc, m_traits, m_errors);
    // Some drivers list the objects of system schemas only when asked for system types.
    CatalogArg schema(Pattern(std::string("information_schema"))), table(Pattern(std::string(view))),
        types(std::string("'TABLE','VIEW','SYSTEM TABLE','SYSTEM VIEW'"));
    if (!SQL_SUCCEEDED(st.Call(SQLTables, SQLTablesW, CatalogArg(), schema, table, types)))
        return false;
    // A driver that ignores the schema argument reports a user table of that name with
    // another schema (or none), which must not count.
    while (st.Fetch()) {
        Row r = st.ReadRow(3);
        if (r[1] && strcasecmp(r[1]->c_str(), "information_schema") == 0 && r[2] &&
            strcasecmp(r[2]->c_str(), view) == 0)
            return true;
    }
    return false;
}

RecordsetPtr SchemaReader::QueryView(const char* view, std::vector<MemoryColumn> columns,
                                     const std::vector<ViewColumn>& select,
                                     const std::vector<const char*>& restrictionColumns, const char* orderBy)
{
    Expect(restrictionColumns.size());
    std::string sql = "SELECT ";
    for (size_t i = 0; i < select.size(); ++i) {
        if (i)
            sql += ", ";
        sql += select[i].name ? select[i].name : "NULL";
    }
    sql += std::string(" FROM information_schema.") + view;
    std::vector<std::string> parameters;
    for (size_t i = 0; i < restrictionColumns.size(); ++i) {
        if (auto value = Text(i)) {
            sql += parameters.empty() ? " WHERE " : " AND ";
            sql += std::string(restrictionColumns[i]) + " = ?";
            parameters.push_back(*value);
        }
    }
    sql += std::string(" ORDER BY ") + orderBy;

    CatalogStatement st(m_hdbc, m_traits, m_errors);
    st.ExecuteQuery(sql, parameters);
    RowsetBuilder b = Builder(std::move(columns));
    while (st.Fetch()) {
        Row r = st.ReadRow(static_cast<SQLUSMALLINT>(select.size()));
        std::vector<_variant_t> row;
        for (size_t i = 0; i < select.size(); ++i)
            row.push_back(select[i].name ? select[i].convert(r[i]) : Null());
        b.Add(std::move(row));
    }
    return b.Done();
}

} // namespace ado::detail::schema
