// ODBC SQL data types as the object model describes them: DataTypeEnum, defined size,
// precision, scale and field attributes, as the ODBC bridge maps them.
#pragma once

#include "AdoEnums.h"

#include <sql.h>
#include <sqlext.h>

namespace ado::detail {

// The DataTypeEnum of an ODBC SQL type; unknown types are read as text (adVarWChar).
DataTypeEnum AdoTypeOfSqlType(SQLSMALLINT sqlType, bool isUnsigned);

// True for the types whose values are read in pieces (adFldLong).
bool IsLongSqlType(SQLSMALLINT sqlType);

struct FieldShape {
    long definedSize = 0;
    unsigned char precision = 255;
    unsigned char numericScale = 255;
    long attributes = 0;
};

// The shape of a column from its description (SQLDescribeCol); nullable is
// SQL_NULLABLE, SQL_NO_NULLS or SQL_NULLABLE_UNKNOWN.
FieldShape ShapeOfColumn(SQLSMALLINT sqlType, DataTypeEnum type, SQLULEN columnSize, SQLSMALLINT decimalDigits,
                         SQLSMALLINT nullable);

} // namespace ado::detail
