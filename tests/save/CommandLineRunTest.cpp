// The program's command line end to end: the program itself runs as a subprocess, without a
// display (as on a server or in CI) and under Xvfb, against SQLite and PostgreSQL. Checked are
// its exit status, the files it writes and what it says on standard error.
#include "ado/Ado.h"
#include "querycore/DataLinkFile.h"
#include "tests/persist/AdtgReader.h"
#include "tests/persist/RowsetXmlReader.h"
#include "tests/support/TestDatabases.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestTiming.h"
#include "tests/window/WindowTestMain.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <regex>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using torvane::test::DatabaseTest;
using torvane::test::FileBytes;
using torvane::test::NewTempPath;
using torvane::test::Names;
using torvane::test::WriteFile;

namespace {

struct Outcome {
    int status = -1; // the exit status; -1 when it did not end in time (it is then killed)
    std::string errors;
};

// Where the program's standard error (and, when not a file, standard output) goes.
enum class Streams {
    File,       // a file, read into Outcome::errors
    Closed,     // as with 2>&-
    BrokenPipe, // a pipe whose reader has gone, as with 2>&1 | head -1 once head has ended
};

// Runs the program with the arguments, with or without the display of this process.
// whileRunning is called every few milliseconds with the process id until the program ends.
// Unless streams is File, errors stays empty.
Outcome RunProgram(const std::vector<std::string>& args, bool display,
                   std::chrono::seconds timeout = 60s,
                   const std::function<void(pid_t)>& whileRunning = nullptr, Streams streams = Streams::File)
{
    const std::string errPath = NewTempPath(".stderr");
    const pid_t pid = fork();
    if (pid == 0) {
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(err, STDERR_FILENO);
        const int null = open("/dev/null", O_RDWR);
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        if (streams == Streams::Closed)
            close(STDERR_FILENO);
        // As a shell starts it, whatever this process does with the signal.
        signal(SIGPIPE, SIG_DFL);
        int pipeEnds[2];
        if (streams == Streams::BrokenPipe && pipe(pipeEnds) == 0) {
            close(pipeEnds[0]);
            dup2(pipeEnds[1], STDOUT_FILENO);
            dup2(pipeEnds[1], STDERR_FILENO);
            close(pipeEnds[1]);
        }
        if (!display) {
            unsetenv("DISPLAY");
            unsetenv("WAYLAND_DISPLAY");
        }
        std::vector<char*> argv{const_cast<char*>(TORVANE_PROGRAM)};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(TORVANE_PROGRAM, argv.data());
        _exit(127);
    }
    Outcome outcome;
    const auto deadline = std::chrono::steady_clock::now() + torvane::test::Scaled(timeout);
    int status = 0;
    for (;;) {
        if (waitpid(pid, &status, WNOHANG) == pid) {
            outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
        if (whileRunning)
            whileRunning(pid);
        std::this_thread::sleep_for(10ms);
    }
    outcome.errors = FileBytes(errPath);
    return outcome;
}

const char* const kLaterFile = "_[0-9A-Fa-f]{8}_[0-9A-Fa-f]{4}_[0-9A-Fa-f]{4}_[0-9A-Fa-f]{4}_[0-9A-Fa-f]{12}";

class CommandLineRunTest : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        Exec("CREATE TABLE items (id integer, name varchar(40), price decimal(8,2))");
        Exec("INSERT INTO items VALUES (1, 'plain', 2.50)");
        Exec("INSERT INTO items VALUES (2, 'comma, and \"quotes\"', NULL)");
        Exec("INSERT INTO items VALUES (3, NULL, 10.00)");
        m_folder = NewTempPath("-cmdline");
        fs::create_directory(m_folder);
        m_input = m_folder / "in.sql";
        WriteFile(m_input, "SELECT id, name, price FROM items ORDER BY id\r\nGO\r\n"
                           "UPDATE items SET id = id WHERE id < 3\r\nGO\r\nSELECT 'second' AS what\r\n");
    }
    std::string Connect() const { return "Provider=MSDASQL;" + ConnectionString(); }
    std::string Out(const std::string& name) const { return (m_folder / "out" / name).string(); }

    fs::path m_folder;
    fs::path m_input;
};

TEST_P(CommandLineRunTest, WithoutADisplayTheBatchRunWritesItsFilesAndSaysSo)
{
    const Outcome outcome = RunProgram({"-C", Connect(), "-i", m_input.string(), "-o", Out("r.csv")}, false);
    ASSERT_EQ(outcome.status, 0) << outcome.errors;
    // The expected file: a comma between fields (no -d given), quotes where a value needs them,
    // CR LF line ends.
    // SQLite keeps the decimals as floating-point numbers.
    EXPECT_EQ(FileBytes(Out("r.csv")), std::string("id,name,price\r\n") +
                                           (IsSqlite() ? "1,plain,2.5\r\n" : "1,plain,2.50\r\n") +
                                           "2,\"comma, and \"\"quotes\"\"\",\r\n" +
                                           (IsSqlite() ? "3,,10\r\n" : "3,,10.00\r\n"));
    const std::vector<std::string> names = Names(m_folder / "out");
    ASSERT_EQ(names.size(), 2u);
    EXPECT_TRUE(std::regex_match(names[1], std::regex(std::string("r") + kLaterFile + "\\.csv"))) << names[1];
    EXPECT_EQ(FileBytes(m_folder / "out" / names[1]), "what\r\nsecond\r\n");
    EXPECT_EQ(outcome.errors, "Saved " + Out("r.csv") + " successfully.\n\n(2 row(s) affected)\n\nSaved " +
                                  Out(names[1]) + " successfully.\nQuery batch completed\n");
}

TEST_P(CommandLineRunTest, EachOutputFormat)
{
    struct Case {
        std::vector<std::string> extra;
        const char* file;
    } cases[] = {
        {{}, "r.xml"}, {{}, "R.XML"}, {{}, "r.adtg"}, {{"-d", "\\t"}, "r.txt"}, {{"-d", ";;"}, "r.csv"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        std::vector<std::string> args{"-C", Connect(), "-i", m_input.string(), "-o", Out(c.file), "-q", "0"};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const Outcome outcome = RunProgram(args, false);
        ASSERT_EQ(outcome.status, 0) << outcome.errors;
        const std::string bytes = FileBytes(Out(c.file));
        const std::string name = c.file;
        if (name == "r.xml" || name == "R.XML") {
            const auto rowset = torvane::test::ReadRowsetXml(bytes);
            ASSERT_EQ(rowset.rows.size(), 3u);
            EXPECT_EQ(rowset.rows[1][1].value_or("<null>"), "comma, and \"quotes\"");
            EXPECT_FALSE(rowset.rows[1][2].has_value());
        } else if (name == "r.adtg") {
            const auto document = torvane::test::ReadAdtg(bytes);
            ASSERT_EQ(document.rows.size(), 3u);
            EXPECT_EQ(document.rows[0][1].ToString(), "plain");
            EXPECT_TRUE(document.rows[2][1].IsNull());
        } else if (name == "r.txt") {
            EXPECT_EQ(bytes.substr(0, bytes.find("\r\n")), "id\tname\tprice");
        } else {
            EXPECT_EQ(bytes.substr(0, bytes.find("\r\n")), "id;;name;;price");
        }
    }
}

TEST_P(CommandLineRunTest, HeadersHoldingDotsAreWrittenWhole)
{
    WriteFile(m_input, "SELECT 1 AS \"x.y\", 2 AS \"..\", name AS \"items.name\" FROM items WHERE id = 1\r\n");
    const Outcome outcome = RunProgram({"-C", Connect(), "-i", m_input.string(), "-o", Out("r.csv")}, false);
    ASSERT_EQ(outcome.status, 0) << outcome.errors;
    EXPECT_EQ(FileBytes(Out("r.csv")), "x.y,..,items.name\r\n1,2,plain\r\n");
}

TEST_P(CommandLineRunTest, WithQTheRunPublishesOrMakesTheWorkbookWithoutOpeningAnything)
{
    // XML: both files linked to one stylesheet named after the first; an upper-case extension
    // gets its stylesheet beside it, never over it.
    Outcome outcome = RunProgram({"-C", Connect(), "-i", m_input.string(), "-o", Out("R.XML"), "-q"}, false);
    ASSERT_EQ(outcome.status, 0) << outcome.errors;
    std::vector<std::string> names = Names(m_folder / "out");
    ASSERT_EQ(names.size(), 3u) << outcome.errors;
    EXPECT_EQ(names[0], "R.XML");
    EXPECT_EQ(names[1], "R.xsl");
    const std::string link = "<?xml-stylesheet type=\"text/xsl\" href=\"R.xsl\"?>\r\n";
    for (const std::string& name : {names[0], names[2]}) {
        const std::string bytes = FileBytes(Out(name));
        ASSERT_EQ(bytes.substr(0, link.size()), link) << name;
        EXPECT_NO_THROW(torvane::test::ReadRowsetXml(bytes.substr(link.size()))) << name;
    }
    EXPECT_NE(FileBytes(Out("R.xsl")).find("<title>in.sql</title>"), std::string::npos);
    EXPECT_TRUE(outcome.errors.ends_with("successfully.\n\nPublished " + Out(names[2]) +
                                         " successfully.\nQuery batch completed\n"))
        << outcome.errors;

    // Delimited text: the last file of the run gets its workbook; the delimited files stay.
    fs::remove_all(m_folder / "out");
    outcome = RunProgram({"-C", Connect(), "-i", m_input.string(), "-o", Out("r.csv"), "-q", "1"}, false);
    ASSERT_EQ(outcome.status, 0) << outcome.errors;
    names = Names(m_folder / "out");
    ASSERT_EQ(names.size(), 3u) << outcome.errors;
    const std::string workbook = names[1].substr(0, names[1].size() - 4) + ".xlsx";
    EXPECT_EQ(names[2], workbook);
    EXPECT_TRUE(outcome.errors.ends_with("\n\nExported " + Out(workbook) +
                                         " to Excel successfully.\nQuery batch completed\n"))
        << outcome.errors;
}

TEST_P(CommandLineRunTest, TextThatIsNotUtf8FailsTheWorkbookAndKeepsTheDelimitedFile)
{
    if (!IsSqlite())
        GTEST_SKIP() << "PostgreSQL keeps only valid UTF-8";
    WriteFile(m_input, "SELECT CAST(x'66ff6f' AS text) AS s");
    const Outcome outcome = RunProgram({"-C", Connect(), "-i", m_input.string(), "-o", Out("r.csv"), "-q", "1"}, false);
    EXPECT_EQ(outcome.status, 1) << outcome.errors;
    EXPECT_EQ(Names(m_folder / "out"), (std::vector<std::string>{"r.csv"}));
    EXPECT_EQ(FileBytes(Out("r.csv")), "s\r\nf\xFFo\r\n");
    EXPECT_NE(outcome.errors.find("'" + Out("r.csv") + "'.\nLine 2, field 1 holds a byte sequence that is not valid "
                                                       "UTF-8. The workbook was not written."),
              std::string::npos)
        << outcome.errors;
    EXPECT_EQ(outcome.errors.find("successfully.\nQuery batch completed"), std::string::npos) << outcome.errors;
}

TEST_P(CommandLineRunTest, AFailedBatchIsTheRunsExitStatus)
{
    WriteFile(m_input, "SELECT id FROM items\nGO\nSELECT * FROM no_such_table\nGO\nSELECT 'never' AS n\n");
    const Outcome outcome = RunProgram({"-C", Connect(), "-i", m_input.string(), "-o", Out("r.csv")}, false);
    EXPECT_EQ(outcome.status, 1) << outcome.errors;
    // The batch before the error is saved; the error stops the rest.
    EXPECT_EQ(Names(m_folder / "out"), (std::vector<std::string>{"r.csv"}));
    EXPECT_TRUE(outcome.errors.starts_with("Saved " + Out("r.csv") + " successfully.\n\n<eb1>")) << outcome.errors;
    EXPECT_NE(outcome.errors.find("no_such_table"), std::string::npos) << outcome.errors;
    EXPECT_TRUE(outcome.errors.ends_with("</eb1>\nQuery batch completed with errors\n")) << outcome.errors;
}

TEST_P(CommandLineRunTest, AStopLeavesNoFileBehind)
{
    WriteFile(m_input, IsSqlite() ? "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 50000000) "
                                    "SELECT x, 'text ' || x FROM c"
                                  : "SELECT x, 'text ' || x FROM generate_series(1, 10000000) x");
    // Ctrl+C, kill, and the terminal going away.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        for (const char* file : {"stop.csv", "stop.xml"}) {
            SCOPED_TRACE(std::string(file) + " " + strsignal(signal));
            bool sent = false;
            const auto stopOnceWriting = [&](pid_t pid) {
                if (!sent && torvane::test::IsWritingIn(pid, m_folder / "out")) {
                    kill(pid, signal);
                    sent = true;
                }
            };
            const Outcome outcome =
                RunProgram({"-C", Connect(), "-i", m_input.string(), "-o", Out(file)}, false, 60s, stopOnceWriting);
            ASSERT_TRUE(sent);
            EXPECT_EQ(outcome.status, 1) << outcome.errors;
            EXPECT_TRUE(Names(m_folder / "out").empty());
            EXPECT_EQ(outcome.errors, "Query canceled by user.\nQuery batch canceled\n");
        }
    }
}

TEST_P(CommandLineRunTest, ARunKilledOutrightLeavesNoFileBehind)
{
    WriteFile(m_input, IsSqlite() ? "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 50000000) "
                                    "SELECT x, 'text ' || x FROM c"
                                  : "SELECT x, 'text ' || x FROM generate_series(1, 10000000) x");
    fs::create_directories(m_folder / "out");
    for (const char* file : {"killed.csv", "killed.xml", "kept.csv"}) {
        SCOPED_TRACE(file);
        // One run replaces a file that is there: that one must stay as it was.
        const bool replacing = std::string(file) == "kept.csv";
        if (replacing)
            WriteFile(Out(file), "old");
        bool sent = false;
        const auto killOnceWriting = [&](pid_t pid) {
            if (!sent && torvane::test::HasFileOpenIn(pid, m_folder / "out")) {
                kill(pid, SIGKILL);
                sent = true;
            }
        };
        const Outcome outcome =
            RunProgram({"-C", Connect(), "-i", m_input.string(), "-o", Out(file)}, false, 60s, killOnceWriting);
        ASSERT_TRUE(sent);
        EXPECT_EQ(outcome.status, 128 + SIGKILL);
        EXPECT_EQ(Names(m_folder / "out"), replacing ? std::vector<std::string>{"kept.csv"} : std::vector<std::string>{});
        if (replacing) {
            EXPECT_EQ(FileBytes(Out(file)), "old");
        }
    }
}

// Drivers read statement text only up to a NUL character: "DELETE FROM items<NUL> WHERE id = 1"
// would delete every row. Such a file is refused whole, before anything is sent.
TEST_P(CommandLineRunTest, SqlHoldingANulCharacterIsRefusedBeforeAnythingRuns)
{
    const std::string sql = std::string("SELECT id FROM items\r\nGO\r\nDELETE FROM items") + '\0' + " WHERE id = 1\r\n";
    WriteFile(m_input, sql);
    Outcome outcome = RunProgram({"-C", Connect(), "-i", m_input.string(), "-o", Out("r.csv")}, false);
    EXPECT_EQ(outcome.status, 1) << outcome.errors;
    EXPECT_EQ(outcome.errors, "'" + m_input.string() +
                                  "'.\nLine 3 holds a NUL character (byte 0), which SQL text cannot contain.\n"
                                  "Nothing was run.\n");
    EXPECT_TRUE(Names(m_folder / "out").empty());

    WriteFile(m_input, "SELECT count(*) AS n FROM items");
    outcome = RunProgram({"-C", Connect(), "-i", m_input.string(), "-o", Out("count.csv")}, false);
    ASSERT_EQ(outcome.status, 0) << outcome.errors;
    EXPECT_EQ(FileBytes(Out("count.csv")), "n\r\n3\r\n");
}

// A query file saved as UTF-16 (as editors of another desktop save SQL) runs as its text, in
// either byte order, with or without a byte-order mark.
TEST_P(CommandLineRunTest, Utf16InputFilesRunAsTheirText)
{
    const std::u16string sql = u"SELECT name FROM items WHERE id = 1\r\nGO\r\nSELECT '\u00E9\u20AC' AS t\r\n";
    for (const bool bigEndian : {false, true}) {
        for (const bool mark : {true, false}) {
            SCOPED_TRACE(std::string(bigEndian ? "big-endian" : "little-endian") + (mark ? " with" : " without") +
                         " a mark");
            fs::remove_all(m_folder / "out");
            WriteFile(m_input, std::string(mark ? (bigEndian ? "\xFE\xFF" : "\xFF\xFE") : "") +
                                   torvane::test::Utf16Bytes(sql, bigEndian));
            const Outcome outcome = RunProgram({"-C", Connect(), "-i", m_input.string(), "-o", Out("r.csv")}, false);
            ASSERT_EQ(outcome.status, 0) << outcome.errors;
            const std::vector<std::string> names = Names(m_folder / "out");
            ASSERT_EQ(names.size(), 2u);
            EXPECT_EQ(FileBytes(Out("r.csv")), "name\r\nplain\r\n");
            EXPECT_EQ(FileBytes(Out(names[1])), "t\r\n\xC3\xA9\xE2\x82\xAC\r\n");
        }
    }
}

// Messages that go nowhere leave the run as it would be. Started with standard error closed
// (2>&-), the program must not let a database connection (the SQLite file, the server's socket)
// take its number and receive them; a reader that has gone away (2>&1 | head -1) must not end the
// run. Every batch runs and is saved, and the exit status is the run's.
TEST_P(CommandLineRunTest, MessagesThatGoNowhereLeaveTheRunWhole)
{
    int rows = 3;
    for (const Streams streams : {Streams::Closed, Streams::BrokenPipe}) {
        SCOPED_TRACE(streams == Streams::Closed ? "closed" : "a broken pipe");
        fs::remove_all(m_folder / "out");
        ++rows;
        WriteFile(m_input, "SELECT id FROM items WHERE id < 4 ORDER BY id\nGO\nINSERT INTO items VALUES (" +
                               std::to_string(rows) + ", 'more', 4)\nGO\nSELECT count(*) AS n FROM items\nGO\n"
                               "SELECT 'last' AS what\n");
        Outcome outcome = RunProgram({"-C", Connect(), "-i", m_input.string(), "-o", Out("r.csv")}, false, 60s, nullptr,
                                     streams);
        EXPECT_EQ(outcome.status, 0);
        const std::vector<std::string> names = Names(m_folder / "out");
        ASSERT_EQ(names.size(), 3u);
        EXPECT_EQ(FileBytes(Out("r.csv")), "id\r\n1\r\n2\r\n3\r\n");
        std::vector<std::string> later{FileBytes(Out(names[1])), FileBytes(Out(names[2]))};
        std::sort(later.begin(), later.end());
        EXPECT_EQ(later, (std::vector<std::string>{"n\r\n" + std::to_string(rows) + "\r\n", "what\r\nlast\r\n"}));

        // A failed batch still fails the run.
        WriteFile(m_input, "SELECT * FROM no_such_table\n");
        outcome = RunProgram({"-C", Connect(), "-i", m_input.string(), "-o", Out("failed.csv")}, false, 60s, nullptr,
                             streams);
        EXPECT_EQ(outcome.status, 1);
        EXPECT_FALSE(fs::exists(Out("failed.csv")));
    }

    // The database is whole.
    WriteFile(m_input, "SELECT count(*) AS n FROM items");
    const Outcome outcome = RunProgram({"-C", Connect(), "-i", m_input.string(), "-o", Out("again.csv")}, false);
    ASSERT_EQ(outcome.status, 0) << outcome.errors;
    EXPECT_EQ(FileBytes(Out("again.csv")), "n\r\n5\r\n");
}

// A private file stays private when a run replaces it, whatever the format.
TEST_P(CommandLineRunTest, ReplacedOutputFilesKeepTheirMode)
{
    fs::create_directories(m_folder / "out");
    for (const char* file : {"r.csv", "r.xml", "r.adtg"}) {
        for (const fs::perms mode : {fs::perms(0600), fs::perms(0640)}) {
            SCOPED_TRACE(file);
            WriteFile(Out(file), "old");
            fs::permissions(Out(file), mode);
            const Outcome outcome = RunProgram({"-C", Connect(), "-i", m_input.string(), "-o", Out(file)}, false);
            ASSERT_EQ(outcome.status, 0) << outcome.errors;
            EXPECT_NE(FileBytes(Out(file)), "old");
            EXPECT_EQ(fs::status(Out(file)).permissions(), mode);
            for (const std::string& name : Names(m_folder / "out"))
                if (name != file)
                    fs::remove(m_folder / "out" / name);
        }
    }
}

TEST_P(CommandLineRunTest, ADataLinkFileNamedWithItsOwnLetterCase)
{
    const fs::path link = m_folder / "Links" / "My Data.UDL";
    fs::create_directories(link.parent_path());
    DataLinkFile::Write(link.string(), Connect());
    const Outcome outcome =
        RunProgram({"-C", "File Name=" + link.string(), "-i", m_input.string(), "-o", Out("r.csv")}, false);
    EXPECT_EQ(outcome.status, 0) << outcome.errors;
    EXPECT_TRUE(fs::exists(Out("r.csv")));
}

TORVANE_INSTANTIATE_FOR_DRIVERS(CommandLineRunTest);

// With a display the program opens the query window, runs it minimised, and ends by itself
// once the run succeeded. (A DSN-less PostgreSQL login without a password would ask for one in
// the window, so SQLite stands for both here.)
TEST(CommandLineWithDisplay, TheWindowRunsAndClosesTheProgram)
{
    REQUIRE_DISPLAY();
    const fs::path folder = NewTempPath("-display");
    fs::create_directory(folder);
    const std::string sqlite = torvane::test::NewSqliteConnectionString();
    torvane::test::ExecDirect(sqlite, "CREATE TABLE t (n integer)");
    const std::string connect = "Provider=MSDASQL;" + sqlite;
    const std::string input = (folder / "in.sql").string();
    WriteFile(input, "INSERT INTO t VALUES (1)\nGO\nSELECT n FROM t ORDER BY n\n");

    Outcome outcome = RunProgram({"-C", connect, "-i", input, "-o", (folder / "out" / "r.xml").string()}, true);
    ASSERT_EQ(outcome.status, 0) << outcome.errors;
    ASSERT_EQ(Names(folder / "out"), std::vector<std::string>{"r.xml"});
    EXPECT_EQ(torvane::test::ReadRowsetXml(FileBytes(folder / "out" / "r.xml")).rows.size(), 1u);

    // The same file without a display: the statement of the first run was committed once.
    outcome = RunProgram({"-C", connect, "-i", input, "-o", (folder / "count.csv").string()}, false);
    ASSERT_EQ(outcome.status, 0) << outcome.errors;
    EXPECT_EQ(FileBytes(folder / "count.csv"), "n\r\n1\r\n1\r\n");
}

TEST(CommandLineRefusals, EachEndsTheProgramWithItsMessage)
{
    const fs::path folder = NewTempPath("-refusals");
    fs::create_directory(folder);
    const std::string input = (folder / "in.sql").string();
    WriteFile(input, "SELECT 1");
    const std::string sqlite = "Provider=MSDASQL;Driver=SQLite3;Database=" + (folder / "x.db").string();
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string message; // the start of standard error
    } cases[] = {
        {{}, 2, "Usage: torvane\n"},
        {{"-q"}, 2, "Usage: torvane\n"},
        {{"-C", sqlite, "-i", input}, 2, "-o <output filename> is a required command line option.\n"},
        {{"-C", sqlite, "-i", input, "-o", (folder / "r.json").string()},
         2,
         "'" + (folder / "r.json").string() +
             "'.\nFile extension missing or invalid. Valid file extensions are .adtg, .csv, .txt, and .xml.\n"},
        {{"-C", sqlite, "-i", input, "-o", (folder / "r.csv").string(), "-d", ";,"},
         2,
         "The delimiter option cannot contain mixed characters.\n"},
        // What needs a window is refused without a display.
        {{"-C", sqlite, "-f", input}, 2, "Query windows need a display."},
        {{input}, 2, "Query windows need a display."},
        {{"-C", "Driver=SQLite3;Database=/tmp/x.db", "-i", input, "-o", (folder / "r.csv").string()},
         2,
         "The connect string names no provider"},
        // A delimiter that delimited text is parsed by, and options without their values.
        {{"-C", sqlite, "-i", input, "-o", (folder / "r.csv").string(), "-d", "\""},
         2,
         "The delimiter option cannot contain a double quote (\"), a carriage return or a line feed.\n"},
        {{"-C", sqlite, "-i", input, "-o", (folder / "r.csv").string(), "-d", "\r\r"},
         2,
         "The delimiter option cannot contain a double quote (\"), a carriage return or a line feed.\n"},
        {{"-C", sqlite, "-i", input, "-o", (folder / "r.txt").string(), "-d", "\n"},
         2,
         "The delimiter option cannot contain a double quote (\"), a carriage return or a line feed.\n"},
        // An empty delimiter would fuse the columns ("1", "" and "1.5" would read "11.5").
        {{"-C", sqlite, "-i", input, "-o", (folder / "r.csv").string(), "-d", ""}, 2, "Usage: torvane\n"},
        {{"-C", sqlite, "-o", (folder / "r.csv").string(), "-i"}, 2, "Usage: torvane\n"},
        {{"-C", sqlite, "-i", "-o", (folder / "r.csv").string()}, 2, "Usage: torvane\n"},
        {{"-C", sqlite, "-i", input, "-o"}, 2, "Usage: torvane\n"},
        {{"-C", sqlite, "-i", input, "-o", "-d", ";"}, 2, "Usage: torvane\n"},
        // Failures of the run itself.
        {{"-C", "Provider=MSDASQL;Driver=No Such Driver", "-i", input, "-o", (folder / "r.csv").string()},
         1,
         ""},
        // SQLite: a database that is not named, or not there, is not made up.
        {{"-C", "Provider=MSDASQL;Driver={SQLite3};StepAPI=1;", "-i", input, "-o", (folder / "r.csv").string()},
         1,
         "The connection names no SQLite database file."},
        {{"-C", sqlite, "-i", input, "-o", (folder / "r.csv").string()},
         1,
         "The database file '" + (folder / "x.db").string() + "' does not exist."},
        {{"-C", "Provider=MSDASQL;Driver=SQLite3;Database=\"" + (folder / "a;b.db").string() + "\"", "-i", input, "-o",
          (folder / "r.csv").string()},
         1,
         "The SQLite driver cannot open a database file whose path holds \";\": '" + (folder / "a;b.db").string() +
             "'."},
        {{"-C", sqlite, "-i", (folder / "missing.sql").string(), "-o", (folder / "r.csv").string()},
         1,
         "'" + (folder / "missing.sql").string() + "'.\nThe file could not be located.\n"},
        {{"-C", "File Name=" + (folder / "missing.udl").string(), "-i", input, "-o", (folder / "r.csv").string()},
         1,
         "'" + (folder / "missing.udl").string() + "'.\nCannot open file. File not found.\n"},
    };
    const std::vector<std::string> here = Names(fs::current_path());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.empty() ? "(none)" : c.args.back());
        const Outcome outcome = RunProgram(c.args, false);
        EXPECT_EQ(outcome.status, c.status) << outcome.errors;
        EXPECT_TRUE(outcome.errors.starts_with(c.message)) << outcome.errors;
        EXPECT_FALSE(outcome.errors.empty());
        EXPECT_EQ(Names(folder), (std::vector<std::string>{"in.sql"}));
    }
    // Nothing is made up in the current folder either (a file named "TRUE", or one named after
    // a connect string).
    EXPECT_EQ(Names(fs::current_path()), here);
}

// The usage text names the program as it is installed, the readme it points to is there, and each
// example's connection, its placeholders filled in, runs a batch here.
TEST(CommandLineUsage, NamesThisProgramAndItsExamplesRun)
{
    const Outcome usage = RunProgram({}, false);
    ASSERT_EQ(usage.status, 2);
    ASSERT_TRUE(usage.errors.starts_with("Usage: torvane\n")) << usage.errors;
    EXPECT_NE(usage.errors.find("\nExamples: torvane\n"), std::string::npos) << usage.errors;
    EXPECT_EQ(usage.errors.find('\\'), std::string::npos) << "no Windows path: " << usage.errors;
    std::smatch readme;
    ASSERT_TRUE(std::regex_search(usage.errors, readme, std::regex("More information can be found in (/.+)\\.\n$")));
    EXPECT_TRUE(fs::exists(readme[1].str())) << readme[1];

    const fs::path folder = NewTempPath("-usage");
    fs::create_directory(folder);
    const std::string input = (folder / "in.sql").string();
    WriteFile(input, "SELECT 1 AS n");
    const std::string database = (folder / "test.db").string();
    torvane::test::ExecDirect("Driver=SQLite3;Database=" + database, "CREATE TABLE t (n integer)");
    const std::string udl = (folder / "test.udl").string();
    DataLinkFile::Write(udl, "Provider=MSDASQL;Driver=SQLite3;Database=" + database);
    const char* const pg = std::getenv("TORVANE_PG_CONNECT");
    const auto pgValue = [&](const char* key) {
        std::smatch value;
        const std::string text = pg ? pg : "";
        return std::regex_search(text, value, std::regex(std::string(key) + "=([^;]*)")) ? value[1].str() : std::string();
    };
    const std::pair<std::string, std::string> fillIns[] = {
        {"</path/test.db>", database}, {"</path/test.udl>", udl},
        {"<Srvr>", pgValue("Server") + ";Port=" + pgValue("Port")}, {"<DB>", pgValue("Database")},
        {"<UID>", pgValue("Uid")}, {"<PWD>", pgValue("Pwd")},
    };
    const std::regex example("\n\t-C \"([^\"]*)\"");
    int examples = 0;
    for (auto it = std::sregex_iterator(usage.errors.begin(), usage.errors.end(), example); it != std::sregex_iterator();
         ++it) {
        std::string connect = (*it)[1];
        SCOPED_TRACE(connect);
        ++examples;
        if (connect.find("PostgreSQL") != std::string::npos && !pg)
            continue;
        for (const auto& [placeholder, value] : fillIns)
            if (const size_t at = connect.find(placeholder); at != std::string::npos)
                connect.replace(at, placeholder.size(), value);
        const std::string output = (folder / ("out" + std::to_string(examples) + ".csv")).string();
        const Outcome outcome = RunProgram({"-C", connect, "-i", input, "-o", output}, false);
        EXPECT_EQ(outcome.status, 0) << outcome.errors;
        EXPECT_EQ(FileBytes(output), "n\r\n1\r\n");
    }
    EXPECT_EQ(examples, 3);
}

// A database path with braces reaches the driver as it stands.
TEST(CommandLineDatabasePath, BracesInThePathOpenThatFile)
{
    const fs::path folder = NewTempPath("-braces");
    fs::create_directory(folder);
    const std::string database = (folder / "we{ir}d.db").string();
    torvane::test::ExecDirect("Driver=SQLite3;Database=" + database, "CREATE TABLE t (n integer)");
    torvane::test::ExecDirect("Driver=SQLite3;Database=" + database, "INSERT INTO t VALUES (42)");
    const std::string input = (folder / "in.sql").string();
    WriteFile(input, "SELECT n FROM t");
    const Outcome outcome = RunProgram({"-C", "Provider=MSDASQL;Driver=SQLite3;Database=" + database, "-i", input, "-o",
                                        (folder / "r.csv").string()},
                                       false);
    ASSERT_EQ(outcome.status, 0) << outcome.errors;
    EXPECT_EQ(FileBytes(folder / "r.csv"), "n\r\n42\r\n");
    EXPECT_EQ(Names(folder), (std::vector<std::string>{"in.sql", "r.csv", "we{ir}d.db"}));
}

// A server that accepts connections and never says a word.
class SilentServer {
public:
    SilentServer()
    {
        m_listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (bind(m_listener, reinterpret_cast<sockaddr*>(&address), length) != 0 || listen(m_listener, 8) != 0 ||
            getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            throw std::runtime_error("no listening socket");
        m_port = ntohs(address.sin_port);
    }
    ~SilentServer()
    {
        for (int fd : m_accepted)
            close(fd);
        close(m_listener);
    }
    int Port() const { return m_port; }
    // True once a client has connected.
    bool Connected()
    {
        pollfd waiting{m_listener, POLLIN, 0};
        if (poll(&waiting, 1, 0) == 1) {
            const int fd = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0)
                m_accepted.push_back(fd);
        }
        return !m_accepted.empty();
    }

private:
    int m_listener = -1;
    int m_port = 0;
    std::vector<int> m_accepted;
};

const int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Runs the program on input until ready(pid) holds, then sends signal: the run must end as
// stopped, leaving no file in out. Without the signal it would wait for a long time.
void ExpectStopEndsTheRun(const std::string& connect, const fs::path& folder, int signal,
                          const std::function<bool(pid_t)>& ready)
{
    SCOPED_TRACE(strsignal(signal));
    const fs::path input = folder / "in.sql";
    bool sent = false;
    const Outcome outcome = RunProgram({"-C", connect, "-i", input.string(), "-o", (folder / "out" / "r.xml").string()},
                                       false, 60s, [&](pid_t pid) {
                                           if (!sent && ready(pid)) {
                                               kill(pid, signal);
                                               sent = true;
                                           }
                                       });
    ASSERT_TRUE(sent);
    EXPECT_EQ(outcome.status, 1) << outcome.errors;
    EXPECT_TRUE(outcome.errors.ends_with("Query canceled by user.\nQuery batch canceled\n")) << outcome.errors;
    EXPECT_TRUE(Names(folder / "out").empty());
}

TEST(CommandLineStop, EndsAConnectToAServerThatNeverAnswers)
{
    const fs::path folder = NewTempPath("-silent");
    fs::create_directories(folder / "out");
    WriteFile(folder / "in.sql", "SELECT 1 AS n");
    for (const int signal : kStopSignals) {
        SilentServer server;
        const std::string connect = "Provider=MSDASQL;Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=" +
                                    std::to_string(server.Port()) + ";Database=postgres;Uid=torvane;Pwd=x;";
        ExpectStopEndsTheRun(connect, folder, signal, [&](pid_t) { return server.Connected(); });
    }
}

// True when every thread of process pid sleeps: the process waits for something outside it.
bool EveryThreadSleeps(pid_t pid)
{
    std::error_code error;
    bool any = false;
    for (const auto& task : fs::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
        // The state follows the thread's name, which stands in parentheses and may hold any
        // character.
        const std::string stat = FileBytes(task.path() / "stat");
        const size_t name = stat.rfind(')');
        if (name == std::string::npos || name + 2 >= stat.size() || stat[name + 2] != 'S')
            return false;
        any = true;
    }
    return any;
}

// The process id of the server process that serves the other connection to this test's
// scratch database.
std::string OtherBackendPid()
{
    auto cn = ado::Connection::Create();
    cn->Open(torvane::test::PostgresConnectionString());
    auto rs = cn->Execute("SELECT pid FROM pg_stat_activity WHERE datname = current_database() "
                          "AND pid <> pg_backend_pid() AND backend_type = 'client backend'",
                          nullptr, ado::adCmdText);
    std::string pid = rs->IsEOF() ? std::string() : rs->GetCollect(0L).ToString();
    cn->Close();
    return pid;
}

TEST(CommandLineStop, EndsARunWhoseServerFrozeMidFetch)
{
    if (!torvane::test::PostgresConfigured())
        GTEST_SKIP() << "no PostgreSQL";
    const fs::path folder = NewTempPath("-frozen");
    fs::create_directories(folder / "out");
    WriteFile(folder / "in.sql", "SELECT x, repeat('y', 200) AS filler FROM generate_series(1, 5000000) x");
    const std::string connect = "Provider=MSDASQL;" + torvane::test::PostgresConnectionString();
    for (const int signal : kStopSignals) {
        pid_t frozen = 0;
        bool waitedBefore = false;
        ExpectStopEndsTheRun(connect, folder, signal, [&](pid_t pid) {
            if (frozen == 0 && torvane::test::HasFileOpenIn(pid, folder / "out")) {
                // The file is being written: the server stops answering.
                const std::string backend = OtherBackendPid();
                if (!backend.empty() && kill(static_cast<pid_t>(std::stol(backend)), SIGSTOP) == 0)
                    frozen = static_cast<pid_t>(std::stol(backend));
            }
            // The program goes on with the rows it has had, then waits for the server: every
            // thread of it asleep, seen twice in a row.
            const bool waiting = frozen != 0 && EveryThreadSleeps(pid);
            const bool ready = waiting && waitedBefore;
            waitedBefore = waiting;
            return ready;
        });
        if (frozen != 0)
            kill(frozen, SIGCONT);
    }
}

TEST(CommandLineStop, EndsARunWaitingForASqliteLock)
{
    const fs::path folder = NewTempPath("-locked");
    fs::create_directories(folder / "out");
    WriteFile(folder / "in.sql", "SELECT n FROM t");
    const std::string sqlite = torvane::test::NewSqliteConnectionString();
    torvane::test::ExecDirect(sqlite, "CREATE TABLE t (n integer)");
    const size_t named = sqlite.find("Database=") + 9;
    const std::string database = sqlite.substr(named, sqlite.size() - named - 1);
    // Another connection holds the file locked; readers wait for it.
    auto holder = ado::Connection::Create();
    holder->Open(sqlite);
    holder->Execute("BEGIN EXCLUSIVE");
    holder->Execute("INSERT INTO t VALUES (1)");
    for (const int signal : kStopSignals) {
        ExpectStopEndsTheRun("Provider=MSDASQL;" + sqlite, folder, signal, [&](pid_t pid) {
            // Once the program (not the test's own child before it starts the program) has the
            // database open, it is waiting for the lock.
            std::error_code error;
            const fs::path proc = "/proc/" + std::to_string(pid);
            if (fs::read_symlink(proc / "exe", error) != fs::canonical(TORVANE_PROGRAM, error))
                return false;
            for (const auto& fd : fs::directory_iterator(proc / "fd", error))
                if (fs::read_symlink(fd.path(), error) == database)
                    return true;
            return false;
        });
    }
    holder->Execute("COMMIT");
}

} // namespace
