// What the command-line benchmarks share: running a program while measuring its wall time and
// peak memory, the best of three runs, and a row of the printed table.
#pragma once

#include <string>
#include <vector>

struct Measure {
    double seconds = 0;
    long peakKb = 0;
};

struct Row {
    std::string driver, tool;
    long rows;
    Measure m;
};

// Runs a program without a display, its standard input from inPath and its standard output into
// outPath; wall time and peak resident memory. Its standard error is shown only when it fails
// (thrown as std::runtime_error).
Measure Run(const std::vector<std::string>& args, const std::string& outPath = "/dev/null",
            const std::string& inPath = "/dev/null");

// The best time of three runs, with the largest peak memory seen.
Measure Best(const std::vector<std::string>& args, const std::string& outPath = "/dev/null",
             const std::string& inPath = "/dev/null");
