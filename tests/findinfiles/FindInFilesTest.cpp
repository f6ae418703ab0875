// Find in Files on a tree of real files: what the report says, which files it reads, where each
// hit is, and that it stops. Where the search and grep mean the same, grep's answer is the
// expected one.
#include "querycore/FindInFiles.h"
#include "querycore/FindNoCase.h"
#include "querycore/QueryFileCodec.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;
using torvane::test::FileBytes;
using torvane::test::WriteFile;

namespace {

const std::string kLongLineNeedleTail = " needle at the end";

class FindInFilesTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        char pattern[] = "/tmp/torvane-fif-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        s_root = pattern;
        const fs::path r = s_root;
        WriteFile(r / "utf8.sql", "select id from t;\nwhere valid id = 1\n-- Gr\xC3\xB6\xC3\x9F" "e und gr\xC3\xB6\xC3\x9F" "e\nidid\n");
        WriteFile(r / "crlf.sql", "id one\r\nno\r\nID;two\r\n");
        WriteFile(r / "long.sql", std::string(1 << 20, 'x') + kLongLineNeedleTail + "\nsecond id\n");
        WriteFile(r / "odd (1): name [x].sql", "-- id in odd\n");
        WriteFile(r / "UPPER.SQL", "id upper\n");
        WriteFile(r / ".hidden.sql", "id hidden\n");
        WriteFile(r / "latin1.txt", "caf\xE9 id\r\nna\xEFve\r\n");
        WriteFile(r / "nul.txt", std::string("a\0b id\nplain\n", 13));
        WriteFile(r / "cr.txt", "first\rid mid\n");
        WriteFile(r / "under.txt", "foo_id = 1\nid id id\n");
        WriteFile(r / "line\nbreak.txt", "id nl\n");
        WriteFile(r / "a.exe", "id exe\n");
        WriteFile(r / "x.c", "id c\n");
        WriteFile(r / "README", "id readme\n");
        fs::create_directories(r / "sub" / "deeper");
        WriteFile(r / "sub" / "deeper" / "d.sql", "Id deep\n");
        fs::create_directory_symlink("..", r / "sub" / "loop");
        fs::create_symlink("missing-target", r / "dangling.sql");
        fs::create_directories(r / "other");
        WriteFile(r / "other" / "o.sql", "id other\n");
    }

    static void TearDownTestSuite() { fs::remove_all(s_root); }

    static std::string R() { return s_root.string(); }

    static CFindInFilesRequest Request(const std::string& findWhat, const std::string& filesOfType)
    {
        CFindInFilesRequest request;
        request.findWhat = wxString::FromUTF8(findWhat);
        request.filesOfType = wxString::FromUTF8(filesOfType);
        request.lookIn = wxString::FromUTF8(R());
        request.lookInSubfolders = false;
        return request;
    }

    // The report's lines, the header included.
    static std::vector<std::string> Lines(const std::string& report)
    {
        std::vector<std::string> lines;
        size_t start = 0;
        for (size_t end; (end = report.find('\n', start)) != std::string::npos; start = end + 1)
            lines.push_back(report.substr(start, end - start));
        EXPECT_EQ(start, report.size()) << "the report ends with a line end";
        return lines;
    }

    // Runs the search to its end and returns its report.
    static std::string RunToEnd(CFindInFiles& search)
    {
        std::string report = search.TakeOutput().utf8_string();
        while (!search.Step()) {
        }
        report += search.TakeOutput().utf8_string();
        return report;
    }

    // The report's lines after the header.
    static std::vector<std::string> Body(const CFindInFilesRequest& request)
    {
        CFindInFiles search(request);
        std::vector<std::string> lines = Lines(RunToEnd(search));
        lines.erase(lines.begin(), lines.begin() + 8);
        return lines;
    }

    static inline fs::path s_root;
};

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

TEST_F(FindInFilesTest, ReportTable)
{
    const std::string notFound = " (Error): The file could not be located.";
    const struct {
        const char* name;
        CFindInFilesRequest request;
        std::vector<std::string> lines; // "{R}" stands for the fixture's folder
    } cases[] = {
        {"every type: hidden files and skipped types left out, x.c and README searched; one line per hit "
         "whatever control characters the line or the name holds",
         Request("id", "*.*"),
         {"{R}/README (1): id readme", "{R}/UPPER.SQL (1): id upper", "{R}/cr.txt (1): first id mid",
          "{R}/crlf.sql (1): id one", "{R}/crlf.sql (3): ID;two", "{R}/dangling.sql" + notFound,
          "{R}/latin1.txt (1): caf\xC3\xA9 id", "{R}/line break.txt (1): id nl", "{R}/long.sql (2): second id",
          "{R}/nul.txt (1): a b id", "{R}/odd (1): name [x].sql (1): -- id in odd", "{R}/under.txt (1): foo_id = 1",
          "{R}/under.txt (2): id id id", "{R}/utf8.sql (1): select id from t;", "{R}/utf8.sql (2): where valid id = 1",
          "{R}/utf8.sql (4): idid", "{R}/x.c (1): id c",
          "Total occurrences found: 16; Matching files: 12; Total files searched: 12"}},
        {"whole word and case, pattern by pattern: an underscore and a NUL are delimiters",
         [] {
             CFindInFilesRequest r = Request("id", "*.txt;*.c");
             r.matchWholeWord = true;
             r.matchCase = true;
             return r;
         }(),
         {"{R}/cr.txt (1): first id mid", "{R}/latin1.txt (1): caf\xC3\xA9 id", "{R}/line break.txt (1): id nl",
          "{R}/nul.txt (1): a b id", "{R}/under.txt (1): foo_id = 1", "{R}/under.txt (2): id id id",
          "{R}/x.c (1): id c", "Total occurrences found: 7; Matching files: 6; Total files searched: 6"}},
        {"names only: each matching file once; a named pattern searches hidden files",
         [] {
             CFindInFilesRequest r = Request("ID", "*.sql");
             r.fileNamesOnly = true;
             return r;
         }(),
         {"{R}/.hidden.sql", "{R}/UPPER.SQL", "{R}/crlf.sql", "{R}/dangling.sql" + notFound, "{R}/long.sql",
          "{R}/odd (1): name [x].sql", "{R}/utf8.sql",
          "Total occurrences found: 6; Matching files: 6; Total files searched: 6"}},
        {"relative folders resolve each against the working folder; a link back up is not entered",
         [] {
             CFindInFilesRequest r = Request("id", "*.sql");
             r.lookIn = "sub; other";
             r.workingFolder = wxString::FromUTF8(R());
             r.lookInSubfolders = true;
             return r;
         }(),
         {"{R}/sub/deeper/d.sql (1): Id deep", "{R}/other/o.sql (1): id other",
          "Total occurrences found: 2; Matching files: 2; Total files searched: 2"}},
        {"a folder that is not there is an error line and the search goes on",
         [] {
             CFindInFilesRequest r = Request("id", "*.sql");
             r.lookIn = wxString::FromUTF8(R() + "/gone;" + R() + "/other");
             return r;
         }(),
         {"{R}/gone (Error): No such file or directory", "{R}/other/o.sql (1): id other",
          "Total occurrences found: 1; Matching files: 1; Total files searched: 1"}},
        {"a line break in the text finds nothing",
         Request("id\nno", "*.sql"),
         {"{R}/dangling.sql" + notFound, "Total occurrences found: 0; Matching files: 0; Total files searched: 6"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> expected;
        for (const std::string& line : c.lines)
            expected.push_back(Replace(line, "{R}", R()));
        EXPECT_EQ(Body(c.request), expected);
    }
}

TEST_F(FindInFilesTest, FileTypesTable)
{
    const struct {
        const char* filesOfType;
        const char* skipped; // null: the default list
        std::set<std::string> names;
    } cases[] = {
        {"*.exe", nullptr, {"a.exe"}},
        {"*.", nullptr, {"README"}},
        {"?.c", nullptr, {"x.c"}},
        {"*.Sql", nullptr, {".hidden.sql", "UPPER.SQL", "crlf.sql", "long.sql", "odd (1): name [x].sql", "utf8.sql"}},
        {"u*.TXT", nullptr, {"under.txt"}},
        {" *.txt ; x.* ", nullptr, {"cr.txt", "latin1.txt", "line\nbreak.txt", "nul.txt", "under.txt", "x.c"}},
        {"*.*", nullptr, {"README", "UPPER.SQL", "cr.txt", "crlf.sql", "latin1.txt", "line\nbreak.txt", "long.sql",
                          "nul.txt", "odd (1): name [x].sql", "under.txt", "utf8.sql", "x.c"}},
        {"*.*", "*.TXT ; *.;*.sq", {"UPPER.SQL", "a.exe", "crlf.sql", "long.sql", "odd (1): name [x].sql", "utf8.sql", "x.c"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.filesOfType) + " skipping " + (c.skipped ? c.skipped : "the default"));
        CFindInFilesRequest request = Request("id", c.filesOfType);
        request.fileNamesOnly = true;
        if (c.skipped)
            request.skippedFileTypes = c.skipped;
        CFindInFiles search(request);
        RunToEnd(search);
        std::set<std::string> names;
        for (const CFindInFilesHit& hit : search.Hits())
            names.insert(fs::path(hit.path).filename().string());
        EXPECT_EQ(names, c.names);
    }
}

// grep's lines "path:n:text" for a search of the fixture's query files.
std::vector<std::string> GrepLines(const std::string& root, const std::string& flags, const std::string& word)
{
    const std::string command = "LC_ALL=C.UTF-8 grep -rnH -F " + flags + " --include='*.sql' --include='*.SQL' -e '"
                                + word + "' '" + root + "'";
    FILE* pipe = popen(command.c_str(), "r");
    EXPECT_NE(pipe, nullptr) << command;
    std::string out;
    char buffer[65536];
    for (size_t n; pipe && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    if (pipe)
        pclose(pipe);
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = out.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string line = out.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

TEST_F(FindInFilesTest, AgreesWithGrepOnTheQueryFiles)
{
    const struct {
        const char* word;
        bool matchCase;
        bool wholeWord;
        const char* grepFlags;
    } cases[] = {
        {"id", false, false, "-i"},
        {"id", true, false, ""},
        {"ID", true, false, ""},
        {"id", false, true, "-i -w"},
        {"gr\xC3\x96\xC3\x9F" "e", false, false, "-i"},
        {"needle", true, true, "-w"},
        {"xX NEEDLE", false, false, "-i"},
        {"absent", false, false, "-i"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.word) + " " + c.grepFlags);
        CFindInFilesRequest request = Request(c.word, "*.sql");
        request.matchCase = c.matchCase;
        request.matchWholeWord = c.wholeWord;
        request.lookInSubfolders = true;
        CFindInFiles search(request);
        const std::vector<std::string> report = Lines(RunToEnd(search));
        std::vector<std::string> ours;
        for (const CFindInFilesHit& hit : search.Hits()) {
            const std::string prefix = hit.path + " (" + std::to_string(hit.line) + "): ";
            const std::string& line = report.at(static_cast<size_t>(hit.reportLine));
            ASSERT_EQ(line.compare(0, prefix.size(), prefix), 0) << line.substr(0, 200);
            ours.push_back(hit.path + ":" + std::to_string(hit.line) + ":" + line.substr(prefix.size()));
        }
        std::sort(ours.begin(), ours.end());
        const std::vector<std::string> grep = GrepLines(R(), c.grepFlags, c.word);
        ASSERT_EQ(ours.size(), grep.size());
        for (size_t i = 0; i < ours.size(); ++i)
            EXPECT_EQ(ours[i].substr(0, 300), grep[i].substr(0, 300)) << "line " << i;
        EXPECT_EQ(ours, grep);
    }
}

TEST_F(FindInFilesTest, EachHitNamesItsFileLineAndOccurrence)
{
    for (const bool wholeWord : {false, true}) {
        SCOPED_TRACE(wholeWord ? "whole word" : "anywhere");
        CFindInFilesRequest request = Request("iD", "*.*;*.sql;*.exe");
        request.matchWholeWord = wholeWord;
        request.lookInSubfolders = true;
        CFindInFiles search(request);
        const std::vector<std::string> report = Lines(RunToEnd(search));
        ASSERT_FALSE(search.Hits().empty());
        for (const CFindInFilesHit& hit : search.Hits()) {
            SCOPED_TRACE(hit.path + ":" + std::to_string(hit.line));
            EXPECT_EQ(search.HitAtReportLine(hit.reportLine), &hit);
            const std::string text = CQueryFileCodec::Decode(FileBytes(hit.path)).utf8;
            size_t start = 0;
            for (long n = 1; n < hit.line; ++n)
                start = text.find('\n', start) + 1;
            const std::string line = text.substr(start, text.find('\n', start) - start);
            ASSERT_LE(static_cast<size_t>(hit.position + hit.length), line.size());
            EXPECT_TRUE(EqualsNoCase(line.substr(static_cast<size_t>(hit.position), static_cast<size_t>(hit.length)), "id"));
        }
        for (size_t i = 0; i < report.size(); ++i) {
            const CFindInFilesHit* hit = search.HitAtReportLine(static_cast<long>(i));
            const bool isHit = i >= 8 && report[i].find(" (Error): ") == std::string::npos && i + 1 < report.size();
            EXPECT_EQ(hit != nullptr, isHit) << report[i].substr(0, 100);
        }
        const CFindInFilesHit* valid = nullptr;
        const CFindInFilesHit* odd = nullptr;
        for (const CFindInFilesHit& hit : search.Hits()) {
            if (hit.path == R() + "/utf8.sql" && hit.line == 2)
                valid = &hit;
            if (hit.path == R() + "/odd (1): name [x].sql")
                odd = &hit;
        }
        ASSERT_NE(valid, nullptr);
        EXPECT_EQ(valid->position, wholeWord ? 12 : 9) << "where valid id = 1";
        ASSERT_NE(odd, nullptr);
        EXPECT_EQ(odd->line, 1);
        EXPECT_EQ(odd->position, 3);
        EXPECT_EQ(search.OccurrencesText(), wxString::Format("%zu occurrence(s) have been found", search.Hits().size()));
        EXPECT_EQ(search.StatusText(), "Find in files completed");
    }
}

TEST_F(FindInFilesTest, HeaderShowsTheRequestAsEntered)
{
    CFindInFilesRequest request = Request("Gr\xC3\xB6\xC3\x9F" "e", "*.sql; *.txt");
    request.lookIn = "sub;other";
    request.matchWholeWord = true;
    request.fileNamesOnly = true;
    EXPECT_EQ(CFindInFiles::HeaderText(request).utf8_string(),
              "             Find what: Gr\xC3\xB6\xC3\x9F" "e\n"
              "         Files of type: *.sql; *.txt\n"
              "               Look in: sub;other\n"
              " Match whole word only: Yes\n"
              "    Look in subfolders: No\n"
              "            Match case: No\n"
              "Output file names only: Yes\n\n");
}

// The fixture's megabyte line takes more than one step, so a search of every file is still under
// way after the first step that found something.
TEST_F(FindInFilesTest, OutputComesAtMostEveryIntervalAndStopEndsTheSearch)
{
    using namespace std::chrono;
    auto now = steady_clock::now();
    for (const bool stop : {false, true}) {
        SCOPED_TRACE(stop ? "stopped" : "to the end");
        CFindInFilesRequest request = Request("id", "*.*");
        request.lookInSubfolders = true;
        CFindInFiles search(request, [&now] { return now; });
        std::string report = search.TakeOutput().utf8_string();
        EXPECT_EQ(report, CFindInFiles::HeaderText(request).utf8_string());
        while (search.Hits().empty())
            ASSERT_FALSE(search.Step());
        EXPECT_EQ(search.StatusText(), "Searching " + R());
        now += kFindOutputInterval - milliseconds(1);
        EXPECT_EQ(search.TakeOutput(), "");
        now += milliseconds(1);
        const std::string batch = search.TakeOutput().utf8_string();
        EXPECT_EQ(batch.rfind(R() + "/README (1): id readme\n", 0), 0u) << batch;
        report += batch;
        EXPECT_EQ(search.TakeOutput(), "");
        if (stop)
            search.Stop();
        while (!search.Step()) {
        }
        EXPECT_TRUE(search.IsDone());
        report += search.TakeOutput().utf8_string();
        EXPECT_EQ(search.TakeOutput(), "");
        const std::vector<std::string> lines = Lines(report);
        if (stop) {
            EXPECT_EQ(lines.back(), "Canceled.");
            EXPECT_EQ(search.StatusText(), "Find in files canceled");
            EXPECT_LT(search.Hits().size(), 18u);
        } else {
            EXPECT_EQ(lines.back(), "Total occurrences found: 18; Matching files: 14; Total files searched: 14");
            EXPECT_EQ(search.StatusText(), "Find in files completed");
            EXPECT_EQ(search.Hits().size(), 18u);
        }
        EXPECT_EQ(search.Step(), true) << "a search that ended stays ended";
    }
}

} // namespace
