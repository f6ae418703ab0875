// The text reported when making room for more rows in a results grid fails (memory, as a
// rule): the cause, a snapshot of the system's memory, and the advice to save.
#pragma once

#include <wx/string.h>

#include <string_view>

// cause: the error's own text ("An unknown error has occurred." when empty); it is trimmed and
// followed by the memory report of this system, or "Unable to get system's memory information.".
wxString BuildGridGrowthFailureText(const wxString& cause);

// The memory report from the texts of /proc/meminfo and /proc/self/status, sizes in kilobytes;
// empty when the figures are missing.
wxString FormatMemoryReport(std::string_view memInfo, std::string_view selfStatus);
