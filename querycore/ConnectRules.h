// Bounds of the values a query window reads from the profile when it connects: values outside
// them fall back, the login and query time-outs to 0 (none) and the cache size to 100 rows.
#pragma once

int ClampLoginTimeout(int seconds);
int ClampQueryTimeout(int seconds);
int ClampCacheSize(int rows);
