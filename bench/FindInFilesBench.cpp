// Find in Files benchmark: searches a tree of SQL-like text files for a rare word and for a word
// on about one line in twenty, matching case and ignoring it, and prints the time and peak memory
// of the search beside grep's on the same tree (grep -rnF, grep -rniF), as ratios to grep.
// The search runs in a child process of this program, stepped to its end as a window steps it,
// its report written to a file as grep's is (grep stops at the first hit when writing to
// /dev/null).
//
// Environment: TORVANE_BENCH_FIND_MB, the size of the tree in megabytes (default 500, in 10,000
// files of equal size); the file count shrinks with it, down to one file per 50 KB.
#include "BenchSupport.h"
#include "querycore/FindInFiles.h"

#include <fmt/format.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr const char* kRareWord = "zanzibar";
constexpr const char* kCommonWord = "select";

// The child: searches folder for word and writes the report to standard output.
int Search(const std::string& folder, const std::string& word, bool matchCase)
{
    CFindInFilesRequest request;
    request.findWhat = wxString::FromUTF8(word);
    request.filesOfType = "*.*";
    request.lookIn = wxString::FromUTF8(folder);
    request.matchCase = matchCase;
    CFindInFiles search(request);
    bool done = false;
    while (!done) {
        done = search.Step();
        const std::string out = search.TakeOutput().utf8_string();
        fwrite(out.data(), 1, out.size(), stdout);
    }
    return 0;
}

// Files of lines like a query log: the common word on every twentieth line in one of three
// spellings, the rare word on one line of the whole tree.
void MakeTree(const std::filesystem::path& root, long megabytes)
{
    const long files = std::max(1L, std::min(10000L, megabytes * 20));
    const long fileBytes = megabytes * 1024 * 1024 / files;
    const char* words[] = {"from", "where", "orders", "customer_id", "amount", "group", "by", "having", "join",
                           "on", "total", "count", "sum", "line", "status", "null", "and", "or", "insert", "values"};
    const char* spellings[] = {"select", "Select", "SELECT"};
    unsigned long seed = 12345;
    auto next = [&seed] { return (seed = seed * 6364136223846793005UL + 1442695040888963407UL) >> 33; };
    long lineNo = 0;
    for (long f = 0; f < files; ++f) {
        const auto folder = root / fmt::format("d{:03}", f / 100);
        std::filesystem::create_directories(folder);
        std::string text;
        text.reserve(static_cast<size_t>(fileBytes) + 128);
        while (static_cast<long>(text.size()) < fileBytes) {
            if (++lineNo % 20 == 0)
                text += spellings[next() % 3], text += ' ';
            if (f == files / 2 && text.empty())
                text += std::string(kRareWord) + ' ';
            for (int w = 0; w < 12; ++w)
                text += words[next() % 20], text += ' ';
            text += "\r\n";
        }
        std::ofstream(folder / fmt::format("q{:05}.sql", f), std::ios::binary) << text;
    }
}

} // namespace

int main(int argc, char** argv)
try {
    if (argc == 5 && std::string(argv[1]) == "--search")
        return Search(argv[2], argv[3], std::string(argv[4]) == "case");

    const char* mbText = std::getenv("TORVANE_BENCH_FIND_MB");
    const long megabytes = std::max(1L, mbText ? std::atol(mbText) : 500L);
    const auto dir = std::filesystem::temp_directory_path() / fmt::format("torvane-bench-fif-{}", getpid());
    const auto tree = dir / "tree";
    const std::string out = (dir / "report.txt").string();
    MakeTree(tree, megabytes);
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();

    fmt::print("\nFind in Files over {} MB of .sql files (best of 3 runs; peak = resident set)\n\n", megabytes);
    fmt::print("{:<10} {:<12} {:<26} {:>9} {:>9} {:>10} {:>13}\n", "word", "case", "searcher", "seconds", "peak MB",
               "lines", "time vs grep");
    for (const char* word : {kRareWord, kCommonWord}) {
        for (const bool matchCase : {true, false}) {
            const std::string grepFlags = matchCase ? "-rnF" : "-rniF";
            const Measure grep = Best({"grep", grepFlags, "-e", word, tree.string()}, out);
            const long grepLines = [&] {
                std::ifstream in(out);
                return static_cast<long>(std::count(std::istreambuf_iterator<char>(in), {}, '\n'));
            }();
            const Measure ours = Best({self, "--search", tree.string(), word, matchCase ? "case" : "nocase"}, out);
            std::ifstream in(out);
            // The report's header (8 lines) and totals line are not hits.
            const long ourLines = static_cast<long>(std::count(std::istreambuf_iterator<char>(in), {}, '\n')) - 9;
            const char* caseText = matchCase ? "match case" : "any case";
            fmt::print("{:<10} {:<12} {:<26} {:>9.3f} {:>9.1f} {:>10} {:>13.2f}\n", word, caseText, "grep " + grepFlags,
                       grep.seconds, grep.peakKb / 1024.0, grepLines, 1.0);
            fmt::print("{:<10} {:<12} {:<26} {:>9.3f} {:>9.1f} {:>10} {:>13.2f}\n", word, caseText, "Find in Files",
                       ours.seconds, ours.peakKb / 1024.0, ourLines, ours.seconds / grep.seconds);
        }
    }
    std::filesystem::remove_all(dir);
    return 0;
} catch (const std::exception& e) {
    fmt::print(stderr, "bench_find_in_files: {}\n", e.what());
    return 1;
}
