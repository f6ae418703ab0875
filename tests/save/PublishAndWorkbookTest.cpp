// Publishing XML with the program's stylesheet and the workbook export, on real SQLite and
// PostgreSQL databases through the save worker and the export/publish step, without a window:
// the files a run leaves, the page rendered from the published XML and the workbook read back.
#include "common/FileException.h"
#include "querycore/ExportResultsWorker.h"
#include "querycore/QueryRunState.h"
#include "querycore/SaveWorker.h"
#include "querycore/WorkbookExport.h"
#include "querycore/XmlPublishing.h"
#include "tests/common/WxStringPrinter.h"
#include "tests/persist/RowsetXmlReader.h"
#include "tests/save/SaveRunTest.h"
#include "tests/save/WorkbookReader.h"
#include "tests/support/TestDatabases.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestTiming.h"

#include <gtest/gtest.h>
#include <libxml/HTMLparser.h>
#include <libxml/tree.h>
#include <wx/event.h>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <future>
#include <regex>
#include <thread>

namespace fs = std::filesystem;
using torvane::test::DatabaseTest;
using torvane::test::DetachedRunState;
using torvane::test::SaveRunTest;
using torvane::test::FileBytes;
using torvane::test::NewTempPath;
using torvane::test::Names;
using torvane::test::ReadWorkbook;
using torvane::test::Workbook;
using torvane::test::WriteFile;

namespace {

using namespace std::chrono_literals;
using Rows = std::vector<std::vector<std::string>>;

struct Page {
    std::string title;
    Rows rows; // the text of each table row's cells, header row first
};

// The HTML page as a browser's parser reads it.
Page ReadPage(const std::string& path)
{
    Page page;
    std::unique_ptr<xmlDoc, void (*)(xmlDocPtr)> doc(
        htmlReadFile(path.c_str(), "UTF-8", HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET), xmlFreeDoc);
    if (!doc)
        throw std::runtime_error(path + " is not HTML");
    const auto text = [](xmlNodePtr n) {
        xmlChar* content = xmlNodeGetContent(n);
        std::string s(content ? reinterpret_cast<const char*>(content) : "");
        xmlFree(content);
        return s;
    };
    std::function<void(xmlNodePtr)> walk = [&](xmlNodePtr n) {
        for (; n; n = n->next) {
            if (n->type != XML_ELEMENT_NODE)
                continue;
            const std::string name = reinterpret_cast<const char*>(n->name);
            if (name == "title")
                page.title = text(n);
            if (name == "tr")
                page.rows.emplace_back();
            if (name == "td" || name == "th")
                page.rows.back().push_back(text(n));
            else
                walk(n->children);
        }
    };
    walk(xmlDocGetRootElement(doc.get()));
    return page;
}

const std::string kLink = "<?xml-stylesheet type=\"text/xsl\" href=\"r.xsl\"?>\r\n";

class PublishAndWorkbookTest : public SaveRunTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        Exec("CREATE TABLE pets (id integer, name varchar(40))");
        Exec("INSERT INTO pets VALUES (1, 'cat & <dog>')");
        Exec("INSERT INTO pets VALUES (2, NULL)");
        Exec(IsSqlite() ? "INSERT INTO pets VALUES (3, 'two' || char(10) || 'lines, \"quoted\"')"
                        : "INSERT INTO pets VALUES (3, 'two' || chr(10) || 'lines, \"quoted\"')");
        OpenRun("-publish");
    }
    int Step(const CSaveOptions& options, bool open)
    {
        CExportBlock block;
        block.state = m_state;
        block.options = options;
        block.open = open;
        return RunExportStep(block);
    }
    CExportStepFiles Files() const
    {
        return m_state->ExportStep();
    }
    // The name of the file the run wrote besides r.<extension>.
    std::string Later(const std::string& extension) const
    {
        for (const std::string& name : Names(m_folder))
            if (name.rfind("r_", 0) == 0 && name.size() > extension.size() &&
                name.compare(name.size() - extension.size(), extension.size(), extension) == 0)
                return name;
        return std::string();
    }

    const Rows kPets{{"id", "name"}, {"1", "cat & <dog>"}, {"2", ""}, {"3", "two\nlines, \"quoted\""}};
};

TEST_P(PublishAndWorkbookTest, PublishingLinksEveryXmlFileToOneStylesheetAndTheLastIsRendered)
{
    CSaveOptions options;
    options.format = export_options::XML;
    options.path = (m_folder / "r.xml").string();
    options.publish = true;
    options.publishTitle = export_options::PublishTitle("Q&A <1> \xC3\xA4.sql");
    ASSERT_EQ(Run("SELECT id, name FROM pets ORDER BY id", options), 0) << Output();
    ASSERT_EQ(Run("SELECT 'x' AS s, 5 AS n", options), 0) << Output();

    // One stylesheet, named after the first file; both files linked to it, their data unchanged.
    const std::string later = Later(".xml");
    ASSERT_FALSE(later.empty());
    EXPECT_EQ(Names(m_folder), (std::vector<std::string>{"r.xml", "r.xsl", later}));
    for (const std::string& name : {std::string("r.xml"), later}) {
        const std::string bytes = FileBytes(m_folder / name);
        ASSERT_EQ(bytes.substr(0, kLink.size()), kLink) << name;
        EXPECT_NO_THROW(torvane::test::ReadRowsetXml(bytes.substr(kLink.size()))) << name;
    }
    EXPECT_NE(FileBytes(m_folder / "r.xsl").find("<title>Q&amp;A _1_ _.sql</title>"), std::string::npos);
    EXPECT_EQ(Output(), "Saved " + wxString::FromUTF8(options.path) + " successfully.\n\nSaved " +
                            wxString::FromUTF8((m_folder / later).string()) + " successfully.");

    // The step renders the last file for the browser, and leaves it to the window to open.
    ASSERT_EQ(Step(options, true), 0) << Output();
    const CExportStepFiles files = Files();
    EXPECT_TRUE(files.publishFile.empty());
    ASSERT_TRUE(fs::exists(files.openFile)) << files.openFile;
    EXPECT_EQ(files.openedText, "Published " + (m_folder / later).string() + " successfully.");
    const Page last = ReadPage(files.openFile);
    EXPECT_EQ(last.title, "Q&A _1_ _.sql");
    EXPECT_EQ(last.rows, (Rows{{"s", "n"}, {"x", "5"}}));
    fs::remove(files.openFile);

    // Every value of the first file, a NULL as an empty cell.
    const std::string page = (m_folder / "first.html").string();
    RenderPublishedHtml((m_folder / "r.xml").string(), (m_folder / "r.xsl").string(), page);
    EXPECT_EQ(ReadPage(page).rows, kPets);
}

TEST_P(PublishAndWorkbookTest, TheLastDelimitedFileBecomesAWorkbookOfTextCells)
{
    CSaveOptions options;
    options.format = export_options::Delimited;
    options.path = (m_folder / "r.csv").string();
    options.delimiter = ",";
    options.exportToExcel = true;
    ASSERT_EQ(Run("SELECT 1 AS a; SELECT id, name FROM pets ORDER BY id", options), 0) << Output();
    const std::string later = Later(".csv");
    ASSERT_EQ(Files().excelFile, (m_folder / later).string());
    ASSERT_EQ(Files().columnCount, 2);

    // Without a display the step only writes the workbook, and says so.
    ASSERT_EQ(Step(options, false), 0) << Output();
    const std::string workbook = later.substr(0, later.size() - 4) + ".xlsx";
    EXPECT_TRUE(Output().EndsWith("\n\nExported " + wxString::FromUTF8((m_folder / workbook).string()) +
                                  " to Excel successfully."))
        << Output();
    EXPECT_TRUE(Files().excelFile.empty());
    EXPECT_TRUE(Files().openFile.empty());
    // The delimited files stay; only the last one has a workbook.
    EXPECT_EQ(Names(m_folder), (std::vector<std::string>{"r.csv", later, workbook}));
    EXPECT_TRUE(fs::exists(m_folder / later));

    const Workbook book = ReadWorkbook((m_folder / workbook).string());
    EXPECT_EQ(book.rows, kPets);
    EXPECT_TRUE(book.allTextCells);
    EXPECT_EQ(book.frozenRows, 1);
    // The base name (38 characters) cut to 30, made an identifier.
    EXPECT_EQ(book.sheetName, later.substr(0, 30));
    ASSERT_EQ(book.columnWidths.size(), 2u);
    EXPECT_LT(book.columnWidths[0], book.columnWidths[1]);
}

TEST_P(PublishAndWorkbookTest, APublishingFailureKeepsTheSavedFileAndItsCount)
{
    // The stylesheet's copy cannot take its name: a folder is in the way.
    fs::create_directory(m_folder / "r.xsl");
    CSaveOptions options;
    options.format = export_options::XML;
    options.path = (m_folder / "r.xml").string();
    options.publish = true;
    EXPECT_EQ(Run("SELECT id FROM pets", options), 1);
    EXPECT_TRUE(Output().StartsWith("Saved " + wxString::FromUTF8(options.path) + " successfully.\n\n<eb1>"))
        << Output();
    EXPECT_TRUE(Output().Contains(wxString::FromUTF8((m_folder / "r.xsl").string()))) << Output();
    // The next result set goes beside the first instead of over it.
    fs::remove(m_folder / "r.xsl");
    EXPECT_EQ(Run("SELECT 2 AS n", options), 0) << Output();
    EXPECT_NO_THROW(torvane::test::ReadRowsetXml(FileBytes(m_folder / "r.xml")));
    EXPECT_FALSE(Later(".xml").empty());
}

TORVANE_INSTANTIATE_FOR_DRIVERS(PublishAndWorkbookTest);

// ---- without a database ----

class WorkbookFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_folder = NewTempPath("-workbook");
        fs::create_directory(m_folder);
    }
    std::string Export(const std::string& name, const std::string& bytes, const std::string& delimiter,
                       std::string& error)
    {
        const std::string path = (m_folder / name).string();
        WriteFile(path, bytes);
        std::string workbook;
        if (!ExportToExcel(path, true, delimiter, error, -1, workbook))
            return std::string();
        return workbook;
    }
    fs::path m_folder;
};

TEST_F(WorkbookFileTest, FieldsAreSplitAsTheDelimitedExportWroteThem)
{
    std::string error;
    // A repeated delimiter with its placeholders, quoted fields with the delimiter, doubled
    // quotes and a line break, and no line end after the last line.
    const std::string workbook = Export("q.txt",
                                        "a||b||c\r\n\"x||y\"||<NULL>||\"say \"\"hi\"\"\"\r\n"
                                        "1||\"line\r\nnext\"||3\r\n\r\nlast",
                                        "||", error);
    ASSERT_FALSE(workbook.empty()) << error;
    EXPECT_EQ(workbook, (m_folder / "q.xlsx").string());
    const Workbook book = ReadWorkbook(workbook);
    EXPECT_EQ(book.rows, (Rows{{"a", "b", "c"}, {"x||y", "<NULL>", "say \"hi\""}, {"1", "line\r\nnext", "3"}, {"", "", ""}, {"last", "", ""}}));
    EXPECT_EQ(book.sheetName, "q");
    EXPECT_TRUE(book.allTextCells);

    // With no delimiter a line is one field.
    const Workbook whole = ReadWorkbook(Export("w.csv", "a,b\r\nc", "", error));
    EXPECT_EQ(whole.rows, (Rows{{"a,b"}, {"c"}}));
}

TEST_F(WorkbookFileTest, TextThatXmlOrTheSheetWouldChangeReadsBackAsWritten)
{
    // Each field in a column of its own, so a failure names it.
    const std::vector<std::string> texts = {
        "a & b < c > d",   "\"quoted\" 'single'", " leading", "trailing\t", "bell\x07 and\x1f unit",
        "cr\rlf\ncrlf\r\n", "_x0041_ stays",      "__x41_ x_", "caf\xC3\xA9 \xF0\x9F\x98\x80", "]]>",
        "not XML: \xEF\xBF\xBE \xEF\xBF\xBF", "_x0041\r and _x0042\xEF\xBF\xBF",
    };
    std::string line;
    for (const std::string& text : texts)
        line += "\"" + std::regex_replace(text, std::regex("\""), "\"\"") + "\",";
    line.pop_back();
    std::string error;
    const std::string workbook = Export("t.csv", "h\r\n" + line + "\r\n", ",", error);
    ASSERT_FALSE(workbook.empty()) << error;
    const Workbook book = ReadWorkbook(workbook);
    ASSERT_EQ(book.rows.size(), 2u);
    for (size_t c = 0; c < texts.size(); ++c)
        EXPECT_EQ(book.rows[1][c], texts[c]) << "column " << c;
    EXPECT_EQ(book.dimension, "A1:L2");
    EXPECT_TRUE(book.allTextCells);
}

TEST_F(WorkbookFileTest, ALargeSheetIsPackedWholeWithGapsAndEmptyRowsInPlace)
{
    // Several megabytes of sheet markup: packed in many pieces, every value must come back.
    constexpr int kRows = 40001;
    std::string bytes = "n,text,gap,last\r\n";
    Rows expected = {{"n", "text", "gap", "last"}};
    for (int i = 1; i <= kRows; ++i) {
        if (i % 1000 == 0) {
            bytes += ",,,\r\n";
            expected.push_back({"", "", "", ""});
            continue;
        }
        const std::string n = std::to_string(i);
        const std::string text = "row " + n + " <&> " + std::string(static_cast<size_t>(i % 37), 'x');
        const std::string last = i % 3 ? n : std::string();
        bytes += n + "," + text + ",," + last + "\r\n";
        expected.push_back({n, text, "", last});
    }
    std::string error;
    const std::string workbook = Export("big.csv", bytes, ",", error);
    ASSERT_FALSE(workbook.empty()) << error;
    const Workbook book = ReadWorkbook(workbook);
    EXPECT_EQ(book.dimension, "A1:D" + std::to_string(kRows + 1));
    ASSERT_EQ(book.rows.size(), expected.size());
    for (size_t r = 0; r < expected.size(); ++r)
        ASSERT_EQ(book.rows[r], expected[r]) << "row " << r + 1;
}

TEST_F(WorkbookFileTest, DataBeyondAWorksheetsLimitsFailsWithoutAWorkbook)
{
    struct Case {
        const char* name;
        std::string bytes;
        const char* message;
    };
    std::string manyLines;
    for (long i = 0; i <= workbook_export::kMaxRows; ++i)
        manyLines += "x\n";
    const Case cases[] = {
        {"rows.csv", manyLines, "The data has more lines than a worksheet has rows (1,048,576)."},
        {"cols.csv", std::string(16384, ',') + "\r\n", "Line 1 has 16385 fields; a worksheet holds at most 16,384 columns."},
        {"cell.csv", "a,b\r\nc," + std::string(32768, 'x') + "\r\n",
         "Line 2, field 2 has 32768 characters; a worksheet cell holds at most 32,767."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        EXPECT_TRUE(Export(c.name, c.bytes, ",", error).empty());
        EXPECT_EQ(error, "'" + (m_folder / c.name).string() + "'.\n" + c.message + " The workbook was not written.");
    }
    // Only the delimited files: no workbook and no temporary file.
    EXPECT_EQ(Names(m_folder), (std::vector<std::string>{"cell.csv", "cols.csv", "rows.csv"}));

    // At the limits themselves the workbook is written: 16,384 columns, 32,767 characters.
    std::string error;
    EXPECT_FALSE(Export("wide.csv", std::string(16383, ',') + "\r\n" + std::string(32767, 'y'), ",", error).empty())
        << error;
}

TEST_F(WorkbookFileTest, TextThatIsNotUtf8FailsNamingItsLineAndFieldWithoutAWorkbook)
{
    const std::pair<const char*, std::string> cases[] = {
        {"stray byte", "f\xFFo"},
        {"cut short", "caf\xC3"},
        {"overlong", "\xC0\xAF"},
        {"surrogate", "\xED\xA0\x80"},
    };
    for (const auto& [what, text] : cases) {
        SCOPED_TRACE(what);
        std::string error;
        EXPECT_TRUE(Export("bad.csv", "h1,h2\r\nok,fine\r\nok," + text + "\r\n", ",", error).empty());
        EXPECT_EQ(error, "'" + (m_folder / "bad.csv").string() +
                             "'.\nLine 3, field 2 holds a byte sequence that is not valid UTF-8. The workbook was "
                             "not written.");
    }
    EXPECT_EQ(Names(m_folder), (std::vector<std::string>{"bad.csv"}));
}

TEST_F(WorkbookFileTest, AWorkbookThatIsASymbolicLinkStaysOneAndItsFileGetsTheSheet)
{
    fs::create_directory(m_folder / "elsewhere");
    WriteFile(m_folder / "elsewhere" / "real.xlsx", "old");
    fs::create_symlink("elsewhere/real.xlsx", m_folder / "l.xlsx");
    std::string error;
    EXPECT_EQ(Export("l.csv", "a,b\r\n", ",", error), (m_folder / "l.xlsx").string()) << error;
    EXPECT_TRUE(fs::is_symlink(m_folder / "l.xlsx"));
    EXPECT_EQ(ReadWorkbook((m_folder / "elsewhere" / "real.xlsx").string()).rows, (Rows{{"a", "b"}}));
    EXPECT_EQ(Names(m_folder / "elsewhere"), std::vector<std::string>{"real.xlsx"});
}

TEST_F(WorkbookFileTest, ACellOfMillionsOfBytesOverManyLinesIsReadInOnePass)
{
    // 8 MB in one quoted field, 16 bytes a line: read again from the field's start at every
    // line, this would take hours.
    std::string cell;
    while (cell.size() < (8u << 20))
        cell += "0123456789abcd\r\n";
    const std::string path = (m_folder / "long.csv").string();
    WriteFile(path, "h\r\n\"" + cell + "\"\r\n");
    std::atomic<int> stop{0};
    auto exported = std::async(std::launch::async, [&] {
        std::string error, workbook;
        ExportToExcel(path, true, ",", error, -1, workbook, &stop);
        return error;
    });
    const bool ended = exported.wait_for(torvane::test::Scaled(60s)) == std::future_status::ready;
    stop = 1;
    ASSERT_TRUE(ended);
    EXPECT_EQ(exported.get(), "'" + path + "'.\nLine 2, field 1 has " + std::to_string(cell.size()) +
                                  " characters; a worksheet cell holds at most 32,767. The workbook was not written.");
}

TEST_F(WorkbookFileTest, AStopEndsTheExportInsideAnEndlessRecord)
{
    // The file is a pipe that delivers one quoted field without end until the export gives up.
    const fs::path path = m_folder / "endless.csv";
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    std::atomic<int> stop{0};
    std::thread feeder([&] {
        // The export closes the pipe when it stops: the write then fails instead of ending the process.
        sigset_t pipeSignal;
        sigemptyset(&pipeSignal);
        sigaddset(&pipeSignal, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
        const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
        ASSERT_EQ(::write(fd, "h\r\n\"", 4), 4);
        std::string lines;
        while (lines.size() < (64u << 10))
            lines += "more of the field\r\n";
        size_t written = 0;
        for (;;) {
            const ssize_t n = ::write(fd, lines.data(), lines.size());
            if (n < 0)
                break;
            written += static_cast<size_t>(n);
            if (written > (16u << 20))
                stop = 1;
        }
        ::close(fd);
    });
    std::string error = "not set";
    std::string workbook;
    EXPECT_FALSE(ExportToExcel(path.string(), true, ",", error, -1, workbook, &stop));
    feeder.join();
    EXPECT_EQ(error, "");
    EXPECT_EQ(Names(m_folder), (std::vector<std::string>{"endless.csv"}));
}

TEST(WorkbookNames, SheetAndFileNames)
{
    const std::pair<std::string, std::string> sheets[] = {
        {"report", "report"},
        {std::string(31, 'a'), std::string(31, 'a')},
        {std::string(40, 'b'), std::string(30, 'b')},
        {"sales [2024]", "sales_2024"},
        {"\xC3\xA4rger-1", "_rger_1"},
        {"[]", ""},
    };
    for (const auto& [base, sheet] : sheets)
        EXPECT_EQ(workbook_export::SheetNameFor(base), sheet) << base;
    EXPECT_EQ(workbook_export::WorkbookPathFor("/a/b.csv"), "/a/b.xlsx");
    EXPECT_EQ(workbook_export::WorkbookPathFor("/a.d/b"), "/a.d/b.xlsx");
    EXPECT_EQ(workbook_export::CellLength("a\xC3\xA4\xF0\x9F\x98\x80"), 4);
}

TEST(XmlPublishingFiles, TheStylesheetGoesBesideTheXmlFileAndIsLinkedSafely)
{
    EXPECT_EQ(xml_publishing::StylesheetPathFor("/f/r.xml"), "/f/r.xsl");
    // An upper-case extension is replaced too, so the copy never takes the data file's name;
    // a folder named like a file keeps its name.
    EXPECT_EQ(xml_publishing::StylesheetPathFor("/f/OUT.XML"), "/f/OUT.xsl");
    EXPECT_EQ(xml_publishing::StylesheetPathFor("/f/x.xml.d/r.xml"), "/f/x.xml.d/r.xsl");
    EXPECT_THROW(xml_publishing::StylesheetPathFor("/f/r.txt"), std::string);
    EXPECT_THROW(xml_publishing::StylesheetPathFor("/f/.xml"), std::string);

    EXPECT_EQ(xml_publishing::StylesheetLinkLine("/f/my file&\"x\"?>.xsl"),
              "<?xml-stylesheet type=\"text/xsl\" href=\"my%20file%26%22x%22%3F%3E.xsl\"?>\r\n");

    const fs::path folder = NewTempPath("-link");
    fs::create_directory(folder);
    // A file larger than the copy's blocks comes through byte for byte.
    std::string big;
    for (int i = 0; big.size() < 3u << 20; ++i)
        big += "<z:row n='" + std::to_string(i) + "'/>\n";
    WriteFile(folder / "big.xml", big);
    InsertXmlStylesheetLink((folder / "big.xml").string(), (folder / "big.xsl").string());
    EXPECT_EQ(FileBytes(folder / "big.xml"),
              "<?xml-stylesheet type=\"text/xsl\" href=\"big.xsl\"?>\r\n" + big);
    EXPECT_EQ(Names(folder), (std::vector<std::string>{"big.xml"}));

    // A missing stylesheet to copy is a file error naming it.
    try {
        PublishXmlWithXsl((folder / "big.xml").string(), "t", (folder / "none.xsl").string());
        ADD_FAILURE() << "no error";
    } catch (...) {
        EXPECT_EQ(GetSaveErrorText(nullptr, std::current_exception()),
                  "'" + wxString::FromUTF8((folder / "none.xsl").string()) + "'.\nThe file could not be located.");
    }
}

} // namespace
