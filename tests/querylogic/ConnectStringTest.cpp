#include "querycore/ConnectStringUtil.h"

#include "FileSizeLimit.h"
#include "platform/com/ComTypes.h"
#include "platform/MessageBox.h"
#include "querycore/DataLinkFile.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;
using torvane::test::FileBytes;
using torvane::test::Utf16Bytes;

namespace {

TEST(ConnectStringUtil, ExtractDriverLogin)
{
    struct Case {
        const char* connectString;
        const char* login;
    } cases[] = {
        {"PROVIDER=MSDASQL;Persist Security Info=False;Extended Properties=\"DRIVER={SQLite3};\"", "SQLite3"},
        {"Provider=MSDASQL.1;Extended Properties=\"driver={PostgreSQL Unicode};SERVER=h;PWD=secret\"",
         "PostgreSQL Unicode"},
        // Without braces the name ends at the first ";" (or "}"), never taking what follows.
        {"DRIVER=SQLite3;Database=x;PWD={p}", "SQLite3"},
        {"Driver=SQLite3}x;PWD=p", "SQLite3"},
        {"DRIVER= SQLite3 ", "SQLite3"},
        // A string the connection cannot read names no driver.
        {"DRIVER={SQLite3;PWD=p", ""},
        // A driver name in quotes is that name; a "DRIVER={" inside another value is none.
        {"Provider=MSDASQL;Driver=\"SQLite3\";PWD=p", "SQLite3"},
        {"Provider=MSDASQL;PWD=\"DRIVER={x}\"", ""},
        // A string naming no driver gives nothing to remember, so its password is never stored.
        {"DSN=pg;UID=u;PWD=secret", ""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExtractDriverLogin(c.connectString), c.login) << c.connectString;
}

TEST(ConnectStringUtil, BuildsTheDriverStringThatLoginExtractionReadsBack)
{
    std::string s = BuildMsdasqlConnectString("PostgreSQL Unicode");
    EXPECT_EQ(s, "PROVIDER=MSDASQL;Persist Security Info=False;Extended Properties=\"DRIVER={PostgreSQL Unicode};\"");
    EXPECT_TRUE(IsDsnLessConnectString(s));
    EXPECT_TRUE(HasProviderKeyword(s));
    EXPECT_EQ(ExtractDriverLogin(s), "PostgreSQL Unicode");
    EXPECT_FALSE(IsDsnLessConnectString("Provider=MSDASQL;DSN=x"));
    EXPECT_TRUE(IsDsnLessConnectString("driver={x}"));
    EXPECT_FALSE(HasProviderKeyword("DSN=x;UID=y"));
    EXPECT_TRUE(HasProviderKeyword("provider=MSDASQL"));
    EXPECT_TRUE(HasProviderKeyword(" Provider = MSDASQL"));
    // Read as the connection reads it: these words inside a value are no provider or driver.
    EXPECT_FALSE(HasProviderKeyword("DSN=x;PWD=\"PROVIDER=y\""));
    EXPECT_FALSE(IsDsnLessConnectString("DSN=x;PWD={DRIVER={y}}}"));
    EXPECT_TRUE(IsDsnLessConnectString("Provider=MSDASQL;Extended Properties='Driver = {x};'"));
}

TEST(ConnectStringUtil, RetryConnectString)
{
    struct Case {
        const char* first;
        const char* retry;
    } cases[] = {
        {"Provider=MSDASQL;DSN=x", "Provider=MSDASQL;DSN=x;Persist Security Info=True"},
        {"Provider=MSDASQL;Persist Security Info=False;DSN=x", "Provider=MSDASQL;Persist Security Info=True;DSN=x"},
        {"Provider=MSDASQL;Persist Security Info=True", "Provider=MSDASQL;Persist Security Info=True"},
        // Other letter cases are not the words the rule looks for.
        {"Provider=MSDASQL;persist security info=false",
         "Provider=MSDASQL;persist security info=false;Persist Security Info=True"},
        {"Persist Security Info=False;Provider=MSDASQL",
         "Persist Security Info=True;Provider=MSDASQL;Persist Security Info=True"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MakeRetryConnectString(c.first), c.retry) << c.first;
    EXPECT_FALSE(RetryWithPromptProperty("Provider=MSOLAP;Data Source=x"));
    EXPECT_TRUE(RetryWithPromptProperty("provider=msolap"));
    EXPECT_TRUE(IsCancelledPromptText("x\nOperation was canceled.\ny"));
    EXPECT_TRUE(IsCancelledPromptText("Operation Canceled"));
    EXPECT_FALSE(IsCancelledPromptText("operation canceled"));
}

class DataLinkFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/udltest.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
    }
    void TearDown() override { fs::remove_all(m_dir); }
    fs::path m_dir;
};

// The bytes of a file as the system's data link service writes it.
std::string SystemUtf16File(const std::u16string& connectString)
{
    std::u16string text = u"[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n" + connectString + u"\r\n";
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

TEST_F(DataLinkFileTest, WritesTheSystemsUtf16Format)
{
    const std::string cs = "Provider=MSDASQL.1;Persist Security Info=False;Data Source=pg";
    fs::path p = m_dir / "a.udl";
    DataLinkFile::Write(p, cs);
    EXPECT_EQ(FileBytes(p), SystemUtf16File(u"Provider=MSDASQL.1;Persist Security Info=False;Data Source=pg"));
    EXPECT_EQ(DataLinkFile::Read(p), cs);
}

TEST_F(DataLinkFileTest, RoundTripsInBothEncodings)
{
    const std::string strings[] = {
        "Provider=MSDASQL;Extended Properties=\"DRIVER={SQLite3};Database=/tmp/ä ö/x.db;\"",
        "Provider=MSDASQL;Extended Properties=\"DRIVER={PostgreSQL Unicode};SERVER=127.0.0.1;UID=日本;\"",
        "Provider=MSDASQL;Data Source=emoji \xF0\x9F\x98\x80",
    };
    for (auto encoding : {DataLinkFile::Encoding::Utf16LE, DataLinkFile::Encoding::EightBit}) {
        for (const std::string& cs : strings) {
            fs::path p = m_dir / "round.udl";
            DataLinkFile::Write(p, cs, encoding);
            EXPECT_EQ(DataLinkFile::Read(p), cs);
            EXPECT_EQ(DataLinkFile::LoadConnectString(p), cs);
        }
    }
    // Replacing an existing file leaves nothing else in the folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1);
}

TEST(DataLinkFile, DecodesFilesOfOtherMakes)
{
    struct Case {
        const char* name;
        std::string bytes;
        const char* connectString;
    } cases[] = {
        {"UTF-16 beyond ASCII",
         SystemUtf16File(u"Provider=MSDASQL.1;Extended Properties=\"Driver={SQLite3};Database=/tmp/\u00DCn\u00EF.db\""),
         "Provider=MSDASQL.1;Extended Properties=\"Driver={SQLite3};Database=/tmp/\xC3\x9Cn\xC3\xAF.db\""},
        {"8-bit with CR LF", "[oledb]\r\n; Everything after this line is an OLE DB initstring\r\nProvider=X;A=1\r\n",
         "Provider=X;A=1"},
        {"8-bit with LF and no final line end", "[oledb]\n; comment\nProvider=X", "Provider=X"},
        {"Windows-1252 bytes", "[oledb]\r\n;c\r\nProvider=X;Data Source=caf\xE9 \x80\r\n",
         "Provider=X;Data Source=caf\xC3\xA9 \xE2\x82\xAC"},
        {"UTF-8 with its mark", "\xEF\xBB\xBF[OLEDB]\r\n;c\r\nProvider=\xC3\xA4\r\n", "Provider=\xC3\xA4"},
        {"blank lines and blanks around", "\r\n[oledb]\r\n\r\n; c\r\n   Provider=X  \r\nignored\r\n", "Provider=X"},
        {"no section line", "Provider=X\r\n", "Provider=X"},
        {"only the header", "[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n", ""},
        {"empty", "", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DataLinkFile::Decode(c.bytes), c.connectString) << c.name;
}

const std::u16string kUdlText = u"[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n"
                                u"Provider=MSDASQL.1;Data Source=\u00DCn\u0100\U0001F600\r\n";
const char* const kUdlConnect = "Provider=MSDASQL.1;Data Source=\xC3\x9Cn\xC4\x80\xF0\x9F\x98\x80";

TEST(DataLinkFile, RecognisesUtf16OfEitherOrderWithOrWithoutAMark)
{
    const struct {
        const char* name;
        std::string bytes;
        std::string connect;
    } cases[] = {
        {"little-endian without a mark", Utf16Bytes(kUdlText, false), kUdlConnect},
        {"big-endian with its mark", "\xFE\xFF" + Utf16Bytes(kUdlText, true), kUdlConnect},
        {"big-endian without a mark", Utf16Bytes(kUdlText, true), kUdlConnect},
        {"only a connect string, mostly Chinese", Utf16Bytes(u"Provider=X;A=\u4E2D\u6587\u4E2D\u6587", false),
         "Provider=X;A=\xE4\xB8\xAD\xE6\x96\x87\xE4\xB8\xAD\xE6\x96\x87"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DataLinkFile::Decode(c.bytes), c.connect) << c.name;
}

// Content that is no text says what is wrong with it and where, instead of reading as a file
// without a connect string.
TEST_F(DataLinkFileTest, ContentThatIsNoTextNamesItsFault)
{
    const std::string udl8 = "[oledb]\r\n; c\r\nProvider=X;Data Source=a";
    const struct {
        const char* name;
        std::string bytes;
        const char* fault;
    } cases[] = {
        {"invalid bytes after a UTF-8 mark", "\xEF\xBB\xBF" + udl8 + "\xE9\r\n",
         "The file begins with a UTF-8 byte order mark, but byte 42 is not UTF-8."},
        {"half a UTF-16 character", "\xFF\xFE" + Utf16Bytes(u"[oledb]\r\nProvider=X", false) + "A",
         "The file is UTF-16 (little-endian) text, but it ends in half a character (an odd number of bytes)."},
        {"an unpaired surrogate", "\xFE\xFF" + Utf16Bytes(u"Provider=X;A=", true) + std::string("\xD8\x00", 2) + Utf16Bytes(u"b", true),
         "The file is UTF-16 (big-endian) text, but the character at byte 29 is half of a surrogate pair."},
        {"a NUL in UTF-16", Utf16Bytes(std::u16string(u"Provider=X;A=") + u'\0' + u"b", false),
         "The file is UTF-16 (little-endian) text, but it holds a NUL character at byte 27."},
        {"a NUL in 8-bit text", udl8 + std::string("\0", 1) + "x\r\n",
         "The file holds a NUL byte at byte 39 and is neither UTF-16 nor 8-bit text."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            DataLinkFile::Decode(c.bytes);
            ADD_FAILURE() << "decoded";
        } catch (const DataLinkFile::BadContent& e) {
            EXPECT_EQ(std::string(e.what()), c.fault);
        }
        // Reading the file names the file and the fault.
        fs::path p = m_dir / "bad.udl";
        {
            std::ofstream out(p, std::ios::binary);
            out << c.bytes;
        }
        try {
            DataLinkFile::Read(p);
            ADD_FAILURE() << "read";
        } catch (const _com_error& e) {
            EXPECT_EQ(e.Description(), "'" + p.string() + "'.\n" + c.fault);
        }
    }
}

TEST_F(DataLinkFileTest, MissingFilesAndStringsWithoutAProvider)
{
    fs::path missing = m_dir / "missing.udl";
    try {
        DataLinkFile::Read(missing);
        FAIL() << "no exception";
    } catch (const DataLinkFile::NotFound& e) {
        EXPECT_EQ(std::string(e.what()), "'" + missing.string() + "'.\nCannot open file. File not found.");
    }
    fs::path noProvider = m_dir / "dsn.udl";
    DataLinkFile::Write(noProvider, "DSN=x;UID=y");
    EXPECT_EQ(DataLinkFile::Read(noProvider), "DSN=x;UID=y");
    EXPECT_EQ(DataLinkFile::LoadConnectString(noProvider), "");
    EXPECT_THROW(DataLinkFile::Read(m_dir), _com_error);
}

TEST_F(DataLinkFileTest, CommandLineFilesReportWhatStopsThem)
{
    fs::path good = m_dir / "good.udl";
    DataLinkFile::Write(good, "Provider=MSDASQL;Data Source=caf\xC3\xA9", DataLinkFile::Encoding::EightBit);
    fs::path noProvider = m_dir / "dsn.udl";
    DataLinkFile::Write(noProvider, "DSN=x");
    fs::path missing = m_dir / "missing.udl";
    fs::path broken = m_dir / "broken.udl";
    {
        std::ofstream out(broken, std::ios::binary);
        out << "\xEF\xBB\xBFProvider=MSDASQL;Data Source=caf\xE9\r\n";
    }
    const struct {
        fs::path path;
        const char* connect;
        bool reported;
        std::string shown; // the stop message, when there is one
    } cases[] = {
        {broken, "", true, "HRESULT: 0x80004005; Error: Unspecified error\nSource: ; Description: '" + broken.string() +
                               "'.\nThe file begins with a UTF-8 byte order mark, but byte 36 is not UTF-8."},
        {good, "Provider=MSDASQL;Data Source=caf\xC3\xA9", false, ""},
        {noProvider, "", false, ""},
        {missing, "", true, "'" + missing.string() + "'.\nCannot open file. File not found."},
        {m_dir, "", true, "HRESULT: 0x80004005; Error: Unspecified error\nSource: ; Description: '" + m_dir.string() +
                              "'.\nIs a directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.string());
        CMessageScript script;
        bool reported = !c.reported;
        EXPECT_EQ(DataLinkFile::ConnectFromCommandLine(wxString::FromUTF8(c.path.string()), &reported),
                  wxString::FromUTF8(c.connect));
        EXPECT_EQ(reported, c.reported);
        const std::vector<TVShownMessage> shown = script.Shown();
        ASSERT_EQ(shown.size(), c.shown.empty() ? 0u : 1u);
        if (!c.shown.empty()) {
            EXPECT_EQ(shown[0].text, wxString::FromUTF8(c.shown));
            EXPECT_EQ(shown[0].style, wxOK | wxICON_STOP);
        }
    }
}

TEST_F(DataLinkFileTest, AWriteThatFailsLeavesTheOldFile)
{
    fs::path p = m_dir / "keep.udl";
    DataLinkFile::Write(p, "Provider=Old");
    {
        FileSizeLimit full(16);
        EXPECT_THROW(DataLinkFile::Write(p, "Provider=New"), fs::filesystem_error);
    }
    EXPECT_EQ(DataLinkFile::Read(p), "Provider=Old");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1);
    EXPECT_THROW(DataLinkFile::Write(m_dir / "no such folder" / "x.udl", "Provider=X"), fs::filesystem_error);
}

} // namespace
