// The save worker of Execute and Save As on real SQLite and PostgreSQL databases, without a
// window: the files of a run and their names, what the run reports, and what is left on disk
// when a save fails or is stopped.
#include "common/FileException.h"
#include "common/IdentifierText.h"
#include "querycore/SaveWorker.h"
#include "tests/common/WxStringPrinter.h"
#include "tests/persist/AdtgReader.h"
#include "tests/persist/RowsetXmlReader.h"
#include "tests/querylogic/FileSizeLimit.h"
#include "tests/save/SaveRunTest.h"
#include "tests/support/TestDatabases.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestTiming.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <wx/event.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <regex>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using torvane::test::DatabaseTest;
using torvane::test::DetachedRunState;
using torvane::test::SaveRunTest;
using torvane::test::Driver;
using torvane::test::FileBytes;
using torvane::test::NewTempPath;
using torvane::test::Names;
using torvane::test::WriteFile;

namespace {

struct Format {
    int format;
    const char* extension;
};

// The values of a saved file as text rows (header first for delimited text), whatever the format.
std::vector<std::vector<std::string>> ReadBack(const Format& format, const fs::path& path)
{
    std::vector<std::vector<std::string>> rows;
    const std::string bytes = FileBytes(path);
    if (format.format == export_options::XML) {
        const torvane::test::XmlRowset rowset = torvane::test::ReadRowsetXml(bytes);
        std::vector<std::string> header;
        for (const auto& column : rowset.columns)
            header.push_back(column.columnName);
        rows.push_back(header);
        for (const auto& row : rowset.rows) {
            rows.emplace_back();
            for (const auto& value : row)
                rows.back().push_back(value.value_or("<null>"));
        }
    } else if (format.format == export_options::ADTG) {
        const torvane::test::AdtgDocument document = torvane::test::ReadAdtg(bytes);
        std::vector<std::string> header;
        for (const auto& column : document.columns)
            header.push_back(column.name.value_or(""));
        rows.push_back(header);
        for (const auto& row : document.rows) {
            rows.emplace_back();
            for (const _variant_t& value : row)
                rows.back().push_back(value.IsNull() ? "<null>" : value.ToString());
        }
    } else {
        std::string line;
        for (size_t at = 0; at < bytes.size();) {
            const size_t end = bytes.find("\r\n", at);
            line = bytes.substr(at, end - at);
            at = end == std::string::npos ? bytes.size() : end + 2;
            rows.emplace_back();
            size_t from = 0;
            for (size_t comma = line.find(','); ; comma = line.find(',', from)) {
                rows.back().push_back(line.substr(from, comma - from));
                if (comma == std::string::npos)
                    break;
                from = comma + 1;
            }
        }
    }
    return rows;
}

class SaveWorkerTest : public SaveRunTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        Exec("CREATE TABLE pets (id integer, name varchar(20))");
        Exec("INSERT INTO pets VALUES (1, 'cat')");
        Exec("INSERT INTO pets VALUES (2, 'dog')");
        OpenRun("-save");
    }

    CSaveOptions Options(const Format& format, const std::string& name = "r")
    {
        CSaveOptions options;
        options.format = format.format;
        options.path = (m_folder / (name + format.extension)).string();
        options.delimiter = ",";
        return options;
    }

    int Saved() const
    {
        return m_state->SavedResultSets();
    }

    // A query whose rows keep coming for a long while.
    std::string LongQuery() const
    {
        return IsSqlite() ? "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 5000000) "
                            "SELECT x, 'some text to write ' || x AS t FROM c"
                          : "SELECT x, 'some text to write ' || x AS t FROM generate_series(1, 5000000) x";
    }
};

const Format kFormats[] = {{export_options::ADTG, ".adtg"}, {export_options::Delimited, ".csv"},
                           {export_options::XML, ".xml"}};

TEST_P(SaveWorkerTest, EveryResultSetOfTheRunGoesToAFileOfItsOwn)
{
    for (const Format& format : kFormats) {
        SCOPED_TRACE(format.extension);
        m_state = DetachedRunState();
        fs::remove_all(m_folder);
        fs::create_directory(m_folder);
        const CSaveOptions options = Options(format);

        // Rows, a row count and rows in one batch, then rows in the next batch of the run.
        ASSERT_EQ(Run("SELECT id, name FROM pets ORDER BY id; UPDATE pets SET id = id; SELECT 'x' AS s", options), 0)
            << Output();
        ASSERT_EQ(Run("SELECT 3 AS n", options), 0) << Output();
        EXPECT_EQ(Saved(), 3);

        const std::vector<std::string> names = Names(m_folder);
        ASSERT_EQ(names.size(), 3u);
        EXPECT_EQ(names.front(), std::string("r") + format.extension);
        const std::regex later(std::string("r_[0-9A-Fa-f]{8}_[0-9A-Fa-f]{4}_[0-9A-Fa-f]{4}_[0-9A-Fa-f]{4}_[0-9A-Fa-f]{12}\\") +
                               format.extension);
        EXPECT_TRUE(std::regex_match(names[1], later)) << names[1];
        EXPECT_TRUE(std::regex_match(names[2], later)) << names[2];

        // Each file is reported where its result set came, between the row count and the others.
        const wxString output = Output();
        wxString expected = "Saved " + wxString::FromUTF8(options.path) + " successfully.\n\n(2 row(s) affected)";
        EXPECT_TRUE(output.StartsWith(expected)) << output;
        const auto reportedAt = [&](const std::string& name) {
            return output.Find("Saved " + wxString::FromUTF8((m_folder / name).string()) + " successfully.");
        };
        const int first = reportedAt(names[1]), second = reportedAt(names[2]);
        ASSERT_NE(first, wxNOT_FOUND) << output;
        ASSERT_NE(second, wxNOT_FOUND) << output;

        EXPECT_EQ(ReadBack(format, options.path),
                  (std::vector<std::vector<std::string>>{{"id", "name"}, {"1", "cat"}, {"2", "dog"}}));
        // The file reported earlier holds the earlier result set.
        EXPECT_EQ(ReadBack(format, m_folder / names[first < second ? 1 : 2]),
                  (std::vector<std::vector<std::string>>{{"s"}, {"x"}}));
        EXPECT_EQ(ReadBack(format, m_folder / names[first < second ? 2 : 1]),
                  (std::vector<std::vector<std::string>>{{"n"}, {"3"}}));
    }
}

TEST_P(SaveWorkerTest, StatementsWithoutRowsWriteNoFileAndEmptyResultsOnlyTheirHeader)
{
    const CSaveOptions options = Options(kFormats[1]);
    ASSERT_EQ(Run("UPDATE pets SET name = name WHERE id = 1", options), 0);
    EXPECT_EQ(Output(), "(1 row(s) affected)");
    EXPECT_TRUE(Names(m_folder).empty());

    ASSERT_EQ(Run("SELECT id, name FROM pets WHERE id > 10", options), 0);
    EXPECT_EQ(FileBytes(options.path), "id,name\r\n");
    EXPECT_EQ(Saved(), 1);
}

TEST_P(SaveWorkerTest, AnExistingFileIsReplacedOnlyByACompleteOne)
{
    // The rows fail part of the way through: SQLite's integer overflow when the row is read,
    // PostgreSQL's division by zero when the statement runs.
    const std::string failing =
        IsSqlite() ? "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 3000) "
                     "SELECT x, CASE WHEN x = 2500 THEN abs(-9223372036854775807 - 1) END AS y FROM c"
                   : "SELECT x, 1 / (x - 2500) AS y FROM generate_series(1, 3000) x";
    for (const Format& format : kFormats) {
        SCOPED_TRACE(format.extension);
        m_state = DetachedRunState();
        const CSaveOptions options = Options(format, "kept");
        WriteFile(options.path, "old");

        EXPECT_EQ(Run(failing, options), 1);
        EXPECT_FALSE(Output().Contains("successfully")) << Output();
        EXPECT_TRUE(Output().StartsWith("<eb1>")) << Output();
        EXPECT_EQ(FileBytes(options.path), "old");

        EXPECT_EQ(Run("SELECT id FROM pets WHERE id = 2", options), 0) << Output();
        EXPECT_EQ(ReadBack(format, options.path), (std::vector<std::vector<std::string>>{{"id"}, {"2"}}));
    }
    // Nothing but the finished files: no temporary file stays behind.
    EXPECT_EQ(Names(m_folder), (std::vector<std::string>{"kept.adtg", "kept.csv", "kept.xml"}));
}

TEST_P(SaveWorkerTest, EveryFormatWritesThroughASymbolicLinkAndTakesALongName)
{
    const fs::path elsewhere = NewTempPath("-elsewhere");
    fs::create_directory(elsewhere);
    for (const Format& format : kFormats) {
        SCOPED_TRACE(format.extension);
        m_state = DetachedRunState();
        // The link stays; the file it leads to gets the rows, replaced in its own folder.
        const fs::path real = elsewhere / (std::string("real") + format.extension);
        WriteFile(real, "old");
        CSaveOptions options = Options(format, "link");
        fs::create_symlink(real, options.path);
        EXPECT_EQ(Run("SELECT id FROM pets WHERE id = 2", options), 0) << Output();
        EXPECT_TRUE(fs::is_symlink(options.path));
        EXPECT_EQ(ReadBack(format, real), (std::vector<std::vector<std::string>>{{"id"}, {"2"}}));

        // A name of 249 bytes, which the folder takes.
        m_state = DetachedRunState();
        options.path = (m_folder / (std::string(249 - std::strlen(format.extension), 'n') + format.extension)).string();
        EXPECT_EQ(Run("SELECT id FROM pets WHERE id = 2", options), 0) << Output();
        EXPECT_EQ(ReadBack(format, options.path), (std::vector<std::vector<std::string>>{{"id"}, {"2"}}));
    }
    EXPECT_EQ(Names(elsewhere), (std::vector<std::string>{"real.adtg", "real.csv", "real.xml"}));
    EXPECT_EQ(Names(m_folder).size(), 6u);
}

TEST_P(SaveWorkerTest, AWriteErrorIsAnErrorOfTheRunNeverASuccess)
{
    Exec(IsSqlite() ? "CREATE TABLE wide AS WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 20000) "
                      "SELECT x, printf('%0200d', x) AS t FROM c"
                    : "CREATE TABLE wide AS SELECT x, lpad(x::text, 200, '0') AS t FROM generate_series(1, 20000) x");
    struct Case {
        Format format;
        const char* expected; // in the error text
    } cases[] = {
        {kFormats[0], "The disk is full."},
        {kFormats[1], "The disk is full."},
        {kFormats[2], "The disk is full."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format.extension);
        m_state = DetachedRunState();
        const CSaveOptions options = Options(c.format, "full");
        int error;
        {
            // Writes beyond 256 KiB fail as on a full disk.
            FileSizeLimit limit(256 * 1024);
            error = Run("SELECT x, t FROM wide", options);
        }
        EXPECT_EQ(error, 1);
        EXPECT_TRUE(Output().Contains(c.expected)) << Output();
        EXPECT_FALSE(Output().Contains("successfully")) << Output();
        EXPECT_EQ(Saved(), 0);
        EXPECT_TRUE(Names(m_folder).empty());
    }

    // A folder that is not there.
    m_state = DetachedRunState();
    CSaveOptions options = Options(kFormats[1]);
    options.path = (m_folder / "missing" / "r.csv").string();
    EXPECT_EQ(Run("SELECT id FROM pets", options), 1);
    EXPECT_TRUE(Output().StartsWith("<eb1>'" + wxString::FromUTF8(options.path) + "'.\r")) << Output();
    EXPECT_FALSE(Output().Contains("successfully"));
}

TEST_P(SaveWorkerTest, AStopDuringASaveLeavesNoFileAndNoError)
{
    for (const Format& format : kFormats) {
        SCOPED_TRACE(format.extension);
        m_state = DetachedRunState();
        m_state->SetRunningConnection(m_connection);
        const CSaveOptions options = Options(format, "stopped");
        auto run = std::async(std::launch::async, [&] { return Run(LongQuery(), options); });
        // Stopped once the file being written holds bytes, as the cancel thread does it.
        const auto deadline = std::chrono::steady_clock::now() + torvane::test::Scaled(20s);
        while (!torvane::test::IsWritingIn(getpid(), m_folder) && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(5ms);
        m_state->RequestStop();
        m_state->CancelRunningStatement();
        ASSERT_EQ(run.wait_for(30s), std::future_status::ready);
        EXPECT_EQ(run.get(), 0) << Output();
        EXPECT_FALSE(Output().Contains("successfully")) << Output();
        EXPECT_TRUE(Names(m_folder).empty());
    }
}

TORVANE_INSTANTIATE_FOR_DRIVERS(SaveWorkerTest);

TEST(SaveErrorText, EachKindOfFailureHasItsText)
{
    const auto text = [](auto thrown) {
        try {
            throw thrown;
        } catch (...) {
            return GetSaveErrorText(nullptr, std::current_exception());
        }
    };
    EXPECT_EQ(text(std::filesystem::filesystem_error("write", "/x/r.csv", std::make_error_code(std::errc::no_space_on_device))),
              "'/x/r.csv'.\nThe disk is full.");
    EXPECT_EQ(text(std::filesystem::filesystem_error("create", "/x/r.csv", std::make_error_code(std::errc::permission_denied))),
              "'/x/r.csv'.\nThe file could not be accessed.");
    EXPECT_EQ(text(CFileException(CFileException::badPath, ENOTDIR, "/x/r.csv")),
              "'/x/r.csv'.\nAll or part of the path is invalid.");
    EXPECT_EQ(text(std::bad_alloc()), "Out-of-Memory.");
    EXPECT_EQ(text(std::string("thrown text")), "thrown text");
    EXPECT_EQ(text(42), "Errors occurred.");
    // The data layer's own errors keep their description; the provider's come from Errors.
    const wxString layer = text(_com_error(MakeControlHResult(ado::adErrWriteFile), "Write to file failed: 'r'.", "ADODB.Recordset"));
    EXPECT_TRUE(layer.StartsWith("HRESULT: 0x800a0bbc")) << layer;
    EXPECT_TRUE(layer.Contains("Write to file failed: 'r'.")) << layer;
}

} // namespace
