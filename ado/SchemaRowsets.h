// Schema rowsets: the ODBC catalog functions (and information_schema where needed) read into
// in-memory recordsets that carry the column names, types and codes of the object model's
// schema rowsets. The ODBC statement is closed before returning, so the caller's connection
// is free for its next statement.
#pragma once

#include "Ado.h"
#include "DriverTraits.h"
#include "OdbcError.h"

namespace ado::detail {

// Restrictions are positional; VT_EMPTY means "no restriction". Throws _com_error (and fills
// errors) on failure, with adErrFeatureNotAvailable for a rowset the database cannot supply.
RecordsetPtr OpenSchemaRowset(const ConnectionPtr& connection, SQLHDBC hdbc, const DriverTraits& traits,
                              ErrorList& errors, SchemaEnum schema, const std::vector<_variant_t>& restrictions);

} // namespace ado::detail
