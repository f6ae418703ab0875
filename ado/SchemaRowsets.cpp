#include "SchemaRowsets.h"

#include "SchemaReader.h"

namespace ado::detail {

RecordsetPtr OpenSchemaRowset(const ConnectionPtr& connection, SQLHDBC hdbc, const DriverTraits& traits,
                              ErrorList& errors, SchemaEnum schema, const std::vector<_variant_t>& restrictions)
{
    schema::SchemaReader reader(connection, hdbc, traits, errors, restrictions);
    switch (schema) {
    case adSchemaCatalogs: return reader.Catalogs();
    case adSchemaTables: return reader.Tables();
    case adSchemaColumns: return reader.Columns();
    case adSchemaPrimaryKeys: return reader.PrimaryKeys();
    case adSchemaForeignKeys: return reader.ForeignKeys();
    case adSchemaIndexes: return reader.Indexes();
    case adSchemaProcedures: return reader.Procedures();
    case adSchemaProcedureParameters: return reader.ProcedureColumns(true);
    case adSchemaProcedureColumns: return reader.ProcedureColumns(false);
    case adSchemaTablePrivileges: return reader.TablePrivileges();
    case adSchemaColumnPrivileges: return reader.ColumnPrivileges();
    case adSchemaTableConstraints: return reader.TableConstraints();
    case adSchemaCheckConstraints: return reader.CheckConstraints();
    case adSchemaProviderTypes: return reader.ProviderTypes();
    case adSchemaDBInfoKeywords: return reader.Keywords();
    case adSchemaDBInfoLiterals: return reader.Literals();
    default: ThrowAdo(adErrFeatureNotAvailable, kNotCapableText, &errors);
    }
}

} // namespace ado::detail
