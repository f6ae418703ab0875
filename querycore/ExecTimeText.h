// The texts of the elapsed-time pane of a query window: "Exec time: 00:00:00.000" with
// milliseconds, "Exec time: 00:00:00" without, and a day count once a run passes 24 hours.
#pragma once

#include <cstdint>
#include <string>

struct ExecTimeText {
    std::string text;
    // The part from the decimal point on (".123"); kept to be appended again when milliseconds
    // are switched back on.
    std::string milliseconds;
};

// The text for an elapsed time in milliseconds.
ExecTimeText FormatExecTime(uint64_t elapsedMs, bool msAccuracy);

// The pane text after the milliseconds setting changes while no run is under way: switching on
// appends the last shown milliseconds (to a non-empty text); switching off cuts the text at
// its first ".".
std::string ChangeExecTimeAccuracy(const std::string& paneText, bool msAccuracy, const std::string& milliseconds);
