// One OpenSchema call: the driver's facts, the restrictions, and a reader per schema rowset
// (SchemaObjectRowsets.cpp: catalogs, tables, columns, keys, indexes, procedures, privileges
// and constraints; SchemaProviderRowsets.cpp: provider types, keywords and literals). The
// readers throw _com_error (and fill errors) for bad restrictions and failed catalog calls.
#pragma once

#include "CatalogStatement.h"
#include "DriverTraits.h"
#include "OdbcError.h"
#include "SchemaValues.h"

#include <strings.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace ado::detail::schema {

// How a restriction compares with a column.
enum class Match { Text, Number, Boolean, TypeList };

// True for a restriction or value that is given: not empty, NULL or missing.
bool IsGiven(const _variant_t& v);
// ASCII letters in upper case.
std::string Upper(std::string s);
// "'TABLE','VIEW'" (the form ODBC takes for SQLTables) or "TABLE, VIEW" as a set of types.
std::set<std::string> ParseTypeList(const std::string& list);

// Collects a rowset's rows, keeping those that match every restriction exactly: the catalog
// functions take some arguments as patterns, and some drivers match loosely.
class RowsetBuilder {
public:
    RowsetBuilder(const ConnectionPtr& connection, std::vector<MemoryColumn> columns, ErrorList& errors)
        : m_recordset(MemoryRecordset::Create(std::move(columns), connection)), m_errors(errors)
    {
    }

    void Restrict(size_t column, const _variant_t& value, Match match = Match::Text)
    {
        if (!IsGiven(value))
            return;
        Filter f{column, value, match, {}};
        try {
            if (match == Match::Number)
                f.value = _variant_t::I8(value.ToInt64());
            else if (match == Match::Boolean)
                f.value = _variant_t(value.ToBool());
            else if (match == Match::TypeList)
                f.types = ParseTypeList(value.ToString());
            else
                f.value = _variant_t(value.ToString());
        } catch (const _com_error&) {
            ThrowAdo(adErrInvalidArgument, kBadArgumentsText, &m_errors);
        }
        m_filters.push_back(std::move(f));
    }

    void Add(std::vector<_variant_t> row)
    {
        for (const auto& f : m_filters)
            if (!Matches(f, row[f.column]))
                return;
        m_recordset->AddRow(std::move(row));
    }

    RecordsetPtr Done() { return m_recordset; }

private:
    struct Filter {
        size_t column;
        _variant_t value;
        Match match;
        std::set<std::string> types;
    };

    static bool Matches(const Filter& f, const _variant_t& v)
    {
        if (!IsGiven(v))
            return false;
        switch (f.match) {
        case Match::Number: return v.ToInt64() == f.value.num.llVal;
        case Match::Boolean: return v.ToBool() == (f.value.num.boolVal != VARIANT_FALSE);
        case Match::TypeList: return f.types.count(Upper(v.ToString())) > 0;
        case Match::Text: break;
        }
        return v.ToString() == f.value.str;
    }

    std::shared_ptr<MemoryRecordset> m_recordset;
    ErrorList& m_errors;
    std::vector<Filter> m_filters;
};

struct TableId {
    OptText catalog, schema, name;
};

// One OpenSchema call: the driver's facts, the restrictions, and a reader per rowset.
class SchemaReader {
public:
    SchemaReader(const ConnectionPtr& connection, SQLHDBC hdbc, const DriverTraits& traits, ErrorList& errors,
                 const std::vector<_variant_t>& restrictions)
        : m_connection(connection), m_hdbc(hdbc), m_traits(traits), m_errors(errors), m_restrictions(restrictions),
          m_facts(ReadDriverFacts(hdbc, traits))
    {
    }

    RecordsetPtr Catalogs();
    RecordsetPtr Tables();
    RecordsetPtr Columns();
    RecordsetPtr PrimaryKeys();
    RecordsetPtr ForeignKeys();
    RecordsetPtr Indexes();
    RecordsetPtr Procedures();
    RecordsetPtr ProcedureColumns(bool parameters);
    RecordsetPtr TablePrivileges();
    RecordsetPtr ColumnPrivileges();
    RecordsetPtr TableConstraints();
    RecordsetPtr CheckConstraints();
    RecordsetPtr ProviderTypes();
    RecordsetPtr Keywords();
    RecordsetPtr Literals();

private:
    [[noreturn]] void NotSupported() { ThrowAdo(adErrFeatureNotAvailable, kNotCapableText, &m_errors); }
    void Expect(size_t count);
    void RequireFunction(SQLUSMALLINT function);
    const _variant_t& R(size_t i) const;
    OptText Text(size_t i) const;
    // Catalog and schema arguments are dropped for a driver without catalogs or schemas; such a
    // driver reports NULL in those columns, whatever the restriction said.
    OptText CatalogText(size_t i) const { return m_facts.catalogs ? Text(i) : std::nullopt; }
    OptText SchemaText(size_t i) const { return m_facts.schemas ? Text(i) : std::nullopt; }
    OptText Pattern(const OptText& name) const
    {
        return name ? OptText(EscapePattern(*name, m_facts.searchEscape)) : std::nullopt;
    }
    _variant_t CatalogValue(const OptText& v) const { return m_facts.catalogs ? Str(v) : Null(); }
    _variant_t SchemaValue(const OptText& v) const { return m_facts.schemas ? Str(v) : Null(); }
    void RestrictCatalog(RowsetBuilder& b, size_t column, size_t i) const
    {
        if (m_facts.catalogs)
            b.Restrict(column, R(i));
    }
    void RestrictSchema(RowsetBuilder& b, size_t column, size_t i) const
    {
        if (m_facts.schemas)
            b.Restrict(column, R(i));
    }
    RowsetBuilder Builder(std::vector<MemoryColumn> columns)
    {
        return RowsetBuilder(m_connection, std::move(columns), m_errors);
    }
    bool IsSQLite() const { return strcasecmp(m_facts.dbmsName.c_str(), "SQLite") == 0; }
    bool HasInformationSchemaView(const char* view);
    std::vector<TableId> ListTables(const OptText& catalog, const OptText& schema);
    // The tables to ask one at a time, for catalog functions that need a table name: the one
    // restriction nameIndex names (in the catalog and schema of restrictions 0 and 1), or
    // every user table there.
    std::vector<TableId> TablesToAsk(size_t nameIndex);

    // Runs a query on an information_schema view, one condition per given restriction.
    struct ViewColumn {
        const char* name;                                         // nullptr: always NULL
        std::function<_variant_t(const OptText&)> convert = Str; // text of the view's column
    };
    RecordsetPtr QueryView(const char* view, std::vector<MemoryColumn> columns,
                           const std::vector<ViewColumn>& select,
                           const std::vector<const char*>& restrictionColumns, const char* orderBy);

    ConnectionPtr m_connection;
    SQLHDBC m_hdbc;
    const DriverTraits& m_traits;
    ErrorList& m_errors;
    const std::vector<_variant_t>& m_restrictions;
    DriverFacts m_facts;
};

} // namespace ado::detail::schema
