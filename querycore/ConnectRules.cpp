#include "ConnectRules.h"

int ClampLoginTimeout(int seconds)
{
    return seconds < 0 || seconds > 99999 ? 0 : seconds;
}

int ClampQueryTimeout(int seconds)
{
    return seconds < 0 || seconds > 99999 ? 0 : seconds;
}

int ClampCacheSize(int rows)
{
    return rows < 1 || rows > 999999 ? 100 : rows;
}
