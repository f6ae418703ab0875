#include "OdbcInfo.h"

#include "Unicode.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace ado::detail {

namespace {

template <typename T>
T GetInfoNumber(SQLHDBC hdbc, SQLUSMALLINT infoType)
{
    T value = 0;
    if (!SQL_SUCCEEDED(SQLGetInfoW(hdbc, infoType, &value, sizeof value, nullptr)))
        return 0;
    return value;
}

// A text item in units of the entry point's text (char for the ANSI one, char16_t for the
// wide one, which share their signature).
template <typename Unit>
std::basic_string<Unit> InfoText(decltype(&SQLGetInfoW) getInfo, SQLHDBC hdbc, SQLUSMALLINT infoType)
{
    std::vector<Unit> buffer(1024);
    for (int attempt = 0; attempt < 2; ++attempt) {
        SQLSMALLINT bytes = 0;
        SQLRETURN rc = getInfo(hdbc, infoType, buffer.data(), static_cast<SQLSMALLINT>(buffer.size() * sizeof(Unit)),
                               &bytes);
        if (!SQL_SUCCEEDED(rc))
            return {};
        size_t units = static_cast<size_t>(std::max<SQLSMALLINT>(bytes, 0)) / sizeof(Unit);
        if (units < buffer.size())
            return std::basic_string<Unit>(buffer.data(), units);
        // Keyword lists can be long: ask again with room for the whole text.
        buffer.assign(std::min<size_t>(units + 1, std::numeric_limits<SQLSMALLINT>::max() / sizeof(Unit)), 0);
    }
    return std::basic_string<Unit>(buffer.data(), buffer.size() - 1);
}

} // namespace

std::string GetInfoText(SQLHDBC hdbc, SQLUSMALLINT infoType, bool utf8Ansi)
{
    if (utf8Ansi)
        return InfoText<char>(SQLGetInfo, hdbc, infoType);
    return FromWide(InfoText<char16_t>(SQLGetInfoW, hdbc, infoType));
}

SQLUINTEGER GetInfoUInt(SQLHDBC hdbc, SQLUSMALLINT infoType)
{
    return GetInfoNumber<SQLUINTEGER>(hdbc, infoType);
}

SQLUSMALLINT GetInfoUShort(SQLHDBC hdbc, SQLUSMALLINT infoType)
{
    return GetInfoNumber<SQLUSMALLINT>(hdbc, infoType);
}

bool DriverSupports(SQLHDBC hdbc, SQLUSMALLINT function)
{
    SQLUSMALLINT supported = SQL_FALSE;
    if (!SQL_SUCCEEDED(SQLGetFunctions(hdbc, function, &supported)))
        return false;
    return supported == SQL_TRUE;
}

} // namespace ado::detail
