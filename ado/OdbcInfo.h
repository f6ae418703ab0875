// What a connected driver says about itself: SQLGetInfo items and SQLGetFunctions.
#pragma once

#include <sql.h>
#include <sqlext.h>

#include <string>

namespace ado::detail {

// A text item as UTF-8, through the ANSI entry point for a driver whose ANSI text is UTF-8
// (DriverTraits::utf8Ansi); empty when the driver does not answer.
std::string GetInfoText(SQLHDBC hdbc, SQLUSMALLINT infoType, bool utf8Ansi);
// Numeric items, read as the size the item is defined with; 0 when the driver does not answer.
SQLUINTEGER GetInfoUInt(SQLHDBC hdbc, SQLUSMALLINT infoType);
SQLUSMALLINT GetInfoUShort(SQLHDBC hdbc, SQLUSMALLINT infoType);
bool DriverSupports(SQLHDBC hdbc, SQLUSMALLINT function);

} // namespace ado::detail
