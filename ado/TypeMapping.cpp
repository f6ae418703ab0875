#include "TypeMapping.h"

#include <algorithm>
#include <climits>

namespace ado::detail {

DataTypeEnum AdoTypeOfSqlType(SQLSMALLINT sqlType, bool isUnsigned)
{
    switch (sqlType) {
    case SQL_CHAR: return adChar;
    case SQL_VARCHAR: return adVarChar;
    case SQL_LONGVARCHAR: return adLongVarChar;
    case SQL_WCHAR: return adWChar;
    case SQL_WVARCHAR: return adVarWChar;
    case SQL_WLONGVARCHAR: return adLongVarWChar;
    case SQL_DECIMAL:
    case SQL_NUMERIC: return adNumeric;
    case SQL_SMALLINT: return isUnsigned ? adUnsignedSmallInt : adSmallInt;
    case SQL_INTEGER: return isUnsigned ? adUnsignedInt : adInteger;
    case SQL_REAL: return adSingle;
    case SQL_FLOAT:
    case SQL_DOUBLE: return adDouble;
    case SQL_BIT: return adBoolean;
    case SQL_TINYINT: return isUnsigned ? adUnsignedTinyInt : adTinyInt;
    case SQL_BIGINT: return isUnsigned ? adUnsignedBigInt : adBigInt;
    case SQL_BINARY: return adBinary;
    case SQL_VARBINARY: return adVarBinary;
    case SQL_LONGVARBINARY: return adLongVarBinary;
    case SQL_TYPE_DATE:
    case SQL_DATE: return adDBDate;
    case SQL_TYPE_TIME:
    case SQL_TIME: return adDBTime;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP: return adDBTimeStamp;
    case SQL_GUID: return adGUID;
    default: return adVarWChar;
    }
}

bool IsLongSqlType(SQLSMALLINT sqlType)
{
    return sqlType == SQL_LONGVARCHAR || sqlType == SQL_WLONGVARCHAR || sqlType == SQL_LONGVARBINARY;
}

FieldShape ShapeOfColumn(SQLSMALLINT sqlType, DataTypeEnum type, SQLULEN columnSize, SQLSMALLINT decimalDigits,
                         SQLSMALLINT nullable)
{
    FieldShape s;
    auto clampPrecision = [](SQLULEN v) { return static_cast<unsigned char>(std::min<SQLULEN>(v, 255)); };
    bool fixed = true;
    switch (type) {
    case adTinyInt:
    case adUnsignedTinyInt: s.definedSize = 1; s.precision = 3; break;
    case adSmallInt:
    case adUnsignedSmallInt: s.definedSize = 2; s.precision = 5; break;
    case adInteger:
    case adUnsignedInt: s.definedSize = 4; s.precision = 10; break;
    case adBigInt: s.definedSize = 8; s.precision = 19; break;
    case adUnsignedBigInt: s.definedSize = 8; s.precision = 20; break;
    case adSingle: s.definedSize = 4; s.precision = 7; break;
    case adDouble: s.definedSize = 8; s.precision = 15; break;
    case adBoolean: s.definedSize = 2; break;
    case adCurrency: s.definedSize = 8; s.precision = 19; break;
    case adNumeric:
        s.definedSize = 19;
        s.precision = clampPrecision(columnSize);
        s.numericScale = static_cast<unsigned char>(std::clamp<int>(decimalDigits, 0, 255));
        break;
    case adDBDate: s.definedSize = 6; s.precision = 10; break;
    case adDBTime: s.definedSize = 6; s.precision = 8; break;
    case adDBTimeStamp:
        s.definedSize = 16;
        s.precision = clampPrecision(columnSize ? columnSize : 19);
        s.numericScale = static_cast<unsigned char>(std::clamp<int>(decimalDigits, 0, 9));
        break;
    case adGUID: s.definedSize = 16; break;
    default:
        // Text and binary: the declared length; unbounded columns report the largest size.
        s.definedSize = (columnSize == 0 || columnSize > static_cast<SQLULEN>(INT_MAX)) ? INT_MAX : static_cast<long>(columnSize);
        fixed = sqlType == SQL_CHAR || sqlType == SQL_WCHAR || sqlType == SQL_BINARY;
        break;
    }
    s.attributes = adFldUnknownUpdatable;
    if (fixed)
        s.attributes |= adFldFixed;
    if (IsLongSqlType(sqlType))
        s.attributes |= adFldLong;
    if (nullable == SQL_NULLABLE)
        s.attributes |= adFldIsNullable | adFldMayBeNull;
    else if (nullable == SQL_NULLABLE_UNKNOWN)
        s.attributes |= adFldMayBeNull;
    return s;
}

} // namespace ado::detail
