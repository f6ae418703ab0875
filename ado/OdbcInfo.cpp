#include "OdbcInfo.h"

#include "Unicode.h"

#include <algorithm>
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

} // namespace

std::string GetInfoText(SQLHDBC hdbc, SQLUSMALLINT infoType)
{
    std::vector<SQLWCHAR> buffer(1024);
    for (int attempt = 0; attempt < 2; ++attempt) {
        SQLSMALLINT bytes = 0;
        SQLRETURN rc = SQLGetInfoW(hdbc, infoType, buffer.data(),
                                   static_cast<SQLSMALLINT>(buffer.size() * sizeof(SQLWCHAR)), &bytes);
        if (!SQL_SUCCEEDED(rc))
            return {};
        size_t chars = static_cast<size_t>(std::max<SQLSMALLINT>(bytes, 0)) / sizeof(SQLWCHAR);
        if (chars < buffer.size())
            return FromWide(buffer.data(), chars);
        // Keyword lists can be long: ask again with room for the whole text.
        buffer.assign(std::min<size_t>(chars + 1, 16383), 0);
    }
    return FromWide(buffer.data(), buffer.size() - 1);
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
