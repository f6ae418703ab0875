#include "GridGrowthFailure.h"

#include "PageFileUsage.h"

#include <sys/resource.h>

#include <charconv>
#include <fstream>
#include <optional>
#include <sstream>

namespace {

// The value (kB) of a "Name:   value kB" line, if the text has it.
std::optional<long long> Field(std::string_view text, std::string_view name)
{
    for (size_t pos = 0; pos < text.size();) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (line.size() <= name.size() || line.substr(0, name.size()) != name || line[name.size()] != ':')
            continue;
        line.remove_prefix(name.size() + 1);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
            line.remove_prefix(1);
        long long value = 0;
        if (std::from_chars(line.data(), line.data() + line.size(), value).ec == std::errc())
            return value;
        return std::nullopt;
    }
    return std::nullopt;
}

std::string ReadFile(const char* path)
{
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

wxString FormatMemoryReport(std::string_view memInfo, std::string_view selfStatus)
{
    const auto total = Field(memInfo, "MemTotal");
    const auto available = Field(memInfo, "MemAvailable");
    if (!total || !available || *total <= 0)
        return wxString();
    const long long swapFree = Field(memInfo, "SwapFree").value_or(0);
    const int load = static_cast<int>((*total - *available) * 100 / *total);
    const int pageFile = PageFileUsagePercentFromMemInfo(memInfo);
    // Virtual memory: what the address space limit leaves beside what the process maps.
    long long virtualFree = 0;
    rlimit limit{};
    const long long mapped = Field(selfStatus, "VmSize").value_or(0);
    if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        virtualFree = static_cast<long long>(limit.rlim_cur / 1024) - mapped;
    else
        virtualFree = (128LL << 30) - mapped; // the 128 TiB user address space of x86-64
    return wxString::Format("                       Memory load: %7d%%\r\n"
                            "                   Page file usage: %7d%%\r\n"
                            "         Available physical memory: %7lldK\r\n"
                            "          Available page file size: %7lldK\r\n"
                            "          Available virtual memory: %7lldK\r\n"
                            " Available extended virtual memory: %7lldK",
                            load, pageFile, *available, *available + swapFree, virtualFree, 0LL);
}

wxString BuildGridGrowthFailureText(const wxString& cause)
{
    wxString text = cause;
    text.Trim(true).Trim(false);
    if (text.empty())
        text = "An unknown error has occurred.";
    text += "\r\nSnapshot of system's physical and virtual memory usage: \r\n\r\n";
    const wxString report = FormatMemoryReport(ReadFile("/proc/meminfo"), ReadFile("/proc/self/status"));
    text += report.empty() ? wxString("Unable to get system's memory information.") : report;
    text += "\r\n\r\nIt is recommended that you save your work (if, any) before continuing.";
    return text;
}
