#include "ExecTimeText.h"

#include <fmt/format.h>

ExecTimeText FormatExecTime(uint64_t elapsedMs, bool msAccuracy)
{
    uint64_t whole = elapsedMs / 1000;
    uint64_t days = whole / 86400;
    unsigned hours = static_cast<unsigned>(whole / 3600 % 24);
    unsigned minutes = static_cast<unsigned>(whole / 60 % 60);
    unsigned seconds = static_cast<unsigned>(whole % 60);
    ExecTimeText result;
    result.text = days > 0 ? fmt::format("Exec time: {} day(s) {:02}:{:02}:{:02}", days, hours, minutes, seconds)
                           : fmt::format("Exec time: {:02}:{:02}:{:02}", hours, minutes, seconds);
    result.milliseconds = fmt::format(".{:03}", elapsedMs % 1000);
    if (msAccuracy)
        result.text += result.milliseconds;
    return result;
}

std::string ChangeExecTimeAccuracy(const std::string& paneText, bool msAccuracy, const std::string& milliseconds)
{
    if (msAccuracy)
        return paneText.empty() ? paneText : paneText + milliseconds;
    return paneText.substr(0, paneText.find('.'));
}
