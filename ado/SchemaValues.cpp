#include "SchemaValues.h"

#include <strings.h>

namespace ado::detail::schema {

namespace {

bool IsNarrowChar(int64_t t) { return t == SQL_CHAR || t == SQL_VARCHAR || t == SQL_LONGVARCHAR; }
bool IsWideChar(int64_t t) { return t == SQL_WCHAR || t == SQL_WVARCHAR || t == SQL_WLONGVARCHAR; }
bool IsBinary(int64_t t) { return t == SQL_BINARY || t == SQL_VARBINARY || t == SQL_LONGVARBINARY; }
bool IsCharOrBinary(int64_t t) { return IsNarrowChar(t) || IsWideChar(t) || IsBinary(t); }
bool IsExactDecimal(int64_t t) { return t == SQL_DECIMAL || t == SQL_NUMERIC; }
bool IsNumeric(int64_t t)
{
    switch (t) {
    case SQL_TINYINT: case SQL_SMALLINT: case SQL_INTEGER: case SQL_BIGINT: case SQL_DECIMAL:
    case SQL_NUMERIC: case SQL_REAL: case SQL_FLOAT: case SQL_DOUBLE:
        return true;
    default:
        return false;
    }
}
bool IsDateTime(int64_t t)
{
    return t == SQL_TYPE_DATE || t == SQL_TYPE_TIME || t == SQL_TYPE_TIMESTAMP || t == SQL_DATE ||
           t == SQL_TIME || t == SQL_TIMESTAMP || (t >= SQL_INTERVAL_YEAR && t <= SQL_INTERVAL_MINUTE_TO_SECOND);
}

_variant_t DataTypeValue(OptInt sqlType, bool isUnsigned = false)
{
    return sqlType ? UInt16(DbType(*sqlType, isUnsigned)) : Null();
}

} // namespace

MemoryColumn NameCol(const char* name) { return MemoryColumn::Of(name, adVarWChar, 128); }
MemoryColumn TextCol(const char* name) { return MemoryColumn::Of(name, adVarWChar, 255); }
MemoryColumn LongTextCol(const char* name) { return MemoryColumn::Of(name, adLongVarWChar, 1073741823); }
MemoryColumn Col(const char* name, DataTypeEnum type) { return MemoryColumn::Of(name, type); }

_variant_t Null() { return _variant_t::Null(); }
_variant_t Str(const OptText& text) { return text ? _variant_t(*text) : Null(); }

_variant_t MoveStr(OptText&& text) { return text ? _variant_t(std::move(*text)) : Null(); }

_variant_t UInt16(OptInt v)
{
    if (!v || *v < 0 || *v > 0xFFFF)
        return Null();
    _variant_t r = _variant_t::OfType(VT_UI2);
    r.num.uiVal = static_cast<uint16_t>(*v);
    return r;
}

_variant_t UInt32(OptInt v)
{
    if (!v || *v < 0 || *v > 0xFFFFFFFFLL)
        return Null();
    _variant_t r = _variant_t::OfType(VT_UI4);
    r.num.ulVal = static_cast<uint32_t>(*v);
    return r;
}

_variant_t Int16(OptInt v)
{
    if (!v || *v < INT16_MIN || *v > INT16_MAX)
        return Null();
    return _variant_t(static_cast<int16_t>(*v));
}

_variant_t Int32(OptInt v)
{
    if (!v || *v < INT32_MIN || *v > INT32_MAX)
        return Null();
    return _variant_t(static_cast<int32_t>(*v));
}

_variant_t UInt64(OptInt v)
{
    if (!v || *v < 0)
        return Null();
    return _variant_t::UI8(static_cast<uint64_t>(*v));
}

_variant_t Bool(std::optional<bool> v) { return v ? _variant_t(*v) : Null(); }

// ODBC NULLABLE (SQL_NO_NULLS, SQL_NULLABLE, SQL_NULLABLE_UNKNOWN) as a boolean.
std::optional<bool> Nullable(OptInt v)
{
    if (v == SQL_NULLABLE)
        return true;
    if (v == SQL_NO_NULLS)
        return false;
    return std::nullopt;
}

std::optional<bool> YesNo(const OptText& text)
{
    if (!text)
        return std::nullopt;
    if (strcasecmp(text->c_str(), "YES") == 0)
        return true;
    if (strcasecmp(text->c_str(), "NO") == 0)
        return false;
    return std::nullopt;
}

bool IsLong(int64_t t) { return t == SQL_LONGVARCHAR || t == SQL_WLONGVARCHAR || t == SQL_LONGVARBINARY; }
bool IsVariableLength(int64_t t)
{
    return IsLong(t) || t == SQL_VARCHAR || t == SQL_WVARCHAR || t == SQL_VARBINARY;
}

// The type indicator the bridge reports for an ODBC SQL type in the schema rowsets' DATA_TYPE.
DataTypeEnum DbType(int64_t t, bool isUnsigned)
{
    switch (t) {
    case SQL_CHAR: case SQL_VARCHAR: case SQL_LONGVARCHAR: return adChar;
    case SQL_WCHAR: case SQL_WVARCHAR: case SQL_WLONGVARCHAR: return adWChar;
    case SQL_BINARY: case SQL_VARBINARY: case SQL_LONGVARBINARY: return adBinary;
    case SQL_DECIMAL: case SQL_NUMERIC: return adNumeric;
    case SQL_TINYINT: return isUnsigned ? adUnsignedTinyInt : adTinyInt;
    case SQL_SMALLINT: return isUnsigned ? adUnsignedSmallInt : adSmallInt;
    case SQL_INTEGER: return isUnsigned ? adUnsignedInt : adInteger;
    case SQL_BIGINT: return isUnsigned ? adUnsignedBigInt : adBigInt;
    case SQL_REAL: return adSingle;
    case SQL_FLOAT: case SQL_DOUBLE: return adDouble;
    case SQL_BIT: return adBoolean;
    case SQL_TYPE_DATE: case SQL_DATE: return adDBDate;
    case SQL_TYPE_TIME: case SQL_TIME: return adDBTime;
    case SQL_TYPE_TIMESTAMP: case SQL_TIMESTAMP: return adDBTimeStamp;
    case SQL_GUID: return adGUID;
    default: return adWChar; // intervals and driver-specific types travel as text
    }
}

TypeDetails Describe(OptInt sqlType, OptInt columnSize, OptInt decimalDigits, OptInt octetLength)
{
    TypeDetails d;
    d.dataType = DataTypeValue(sqlType);
    d.maxLength = d.octetLength = d.precision = d.scale = d.datetimePrecision = Null();
    if (!sqlType)
        return d;
    int64_t t = *sqlType;
    if (IsCharOrBinary(t)) {
        d.maxLength = UInt32(columnSize);
        d.octetLength = UInt32(octetLength ? octetLength : IsBinary(t) ? columnSize : std::nullopt);
    }
    if (IsNumeric(t))
        d.precision = UInt16(columnSize);
    if (IsExactDecimal(t))
        d.scale = Int16(decimalDigits);
    if (IsDateTime(t))
        d.datetimePrecision = UInt32(decimalDigits);
    return d;
}

} // namespace ado::detail::schema
