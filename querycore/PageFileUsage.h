// How much of the system's memory (RAM plus swap) is in use. Callers treat 99 or more as
// exhausted memory and refuse to start work that needs more.
#pragma once

#include <string_view>

// The share of memory plus swap in use, in whole percent (truncated), from /proc/meminfo;
// -1 when it cannot be read.
int GetPageFileUsagePercent();

// The same from the text of a meminfo file: (MemTotal + SwapTotal - MemAvailable - SwapFree)
// * 100 / (MemTotal + SwapTotal); -1 when MemTotal or MemAvailable is missing or the total is 0.
// A missing swap line counts as no swap.
int PageFileUsagePercentFromMemInfo(std::string_view memInfo);

// The message shown instead of starting such work.
inline constexpr const char* kPageFileUsageMessage =
    "Page file usage exceeds 99%. It is recommended that you save your\r\nwork (if, any), free some "
    "memory and/or retstart the application.";
