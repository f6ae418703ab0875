// The columns and values of the schema rowsets: column makers, catalog function values (text
// and integers that may be NULL) as variants of the rowsets' types, and the ODBC SQL types as
// the rowsets describe them. Pure functions; no errors are thrown.
#pragma once

#include "MemoryRecordset.h"

#include <sql.h>
#include <sqlext.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ado::detail::schema {

using OptText = std::optional<std::string>;
using OptInt = std::optional<int64_t>;
using Row = std::vector<OptText>;

MemoryColumn NameCol(const char* name);
MemoryColumn TextCol(const char* name);
MemoryColumn LongTextCol(const char* name);
MemoryColumn Col(const char* name, DataTypeEnum type);

// NULL for a missing value or one outside the type's range.
_variant_t Null();
_variant_t Str(const OptText& text);
// The same, taking the text over.
_variant_t MoveStr(OptText&& text);
_variant_t UInt16(OptInt v);
_variant_t UInt32(OptInt v);
_variant_t Int16(OptInt v);
_variant_t Int32(OptInt v);
_variant_t UInt64(OptInt v);
_variant_t Bool(std::optional<bool> v);

// ODBC NULLABLE (SQL_NO_NULLS, SQL_NULLABLE, SQL_NULLABLE_UNKNOWN) as a boolean.
std::optional<bool> Nullable(OptInt v);
// "YES" / "NO" in any letter case; nothing for anything else.
std::optional<bool> YesNo(const OptText& text);

bool IsLong(int64_t t);
bool IsVariableLength(int64_t t);

// The type indicator the bridge reports for an ODBC SQL type in the schema rowsets' DATA_TYPE.
DataTypeEnum DbType(int64_t t, bool isUnsigned);

// DATA_TYPE and the size columns that depend on the kind of type.
struct TypeDetails {
    _variant_t dataType, maxLength, octetLength, precision, scale, datetimePrecision;
};
TypeDetails Describe(OptInt sqlType, OptInt columnSize, OptInt decimalDigits, OptInt octetLength);

} // namespace ado::detail::schema
