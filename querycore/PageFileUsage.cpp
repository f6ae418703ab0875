#include "PageFileUsage.h"

#include <charconv>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

namespace {

// The value in kB of a "Name:   1234 kB" line of meminfo.
std::optional<unsigned long long> MemInfoValue(std::string_view memInfo, std::string_view name)
{
    size_t pos = 0;
    while (pos < memInfo.size()) {
        size_t end = memInfo.find('\n', pos);
        if (end == std::string_view::npos)
            end = memInfo.size();
        std::string_view line = memInfo.substr(pos, end - pos);
        if (line.size() > name.size() && line.substr(0, name.size()) == name && line[name.size()] == ':') {
            std::string_view rest = line.substr(name.size() + 1);
            size_t digits = rest.find_first_not_of(" \t");
            if (digits == std::string_view::npos)
                return std::nullopt;
            unsigned long long value = 0;
            auto [ptr, ec] = std::from_chars(rest.data() + digits, rest.data() + rest.size(), value);
            if (ec != std::errc())
                return std::nullopt;
            return value;
        }
        pos = end + 1;
    }
    return std::nullopt;
}

} // namespace

int PageFileUsagePercentFromMemInfo(std::string_view memInfo)
{
    auto memTotal = MemInfoValue(memInfo, "MemTotal");
    auto memAvailable = MemInfoValue(memInfo, "MemAvailable");
    if (!memTotal || !memAvailable)
        return -1;
    unsigned long long swapTotal = MemInfoValue(memInfo, "SwapTotal").value_or(0);
    unsigned long long swapFree = MemInfoValue(memInfo, "SwapFree").value_or(0);
    double total = static_cast<double>(*memTotal) + static_cast<double>(swapTotal);
    double available = static_cast<double>(*memAvailable) + static_cast<double>(swapFree);
    if (total <= 0)
        return -1;
    double used = total > available ? total - available : 0;
    return static_cast<int>(used * 100 / total);
}

int GetPageFileUsagePercent()
{
    std::ifstream in("/proc/meminfo");
    if (!in)
        return -1;
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad())
        return -1;
    return PageFileUsagePercentFromMemInfo(text.str());
}
