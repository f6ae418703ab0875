#include "app/TorvaneCommandLineInfo.h"
#include "querycore/ExportOptions.h"

#include <gtest/gtest.h>

#include <wx/filefn.h>

#include <filesystem>
#include <initializer_list>

namespace fs = std::filesystem;

namespace {

CTorvaneCommandLineInfo Parse(std::initializer_list<const char*> args)
{
    std::vector<wxString> argv{"tvxdb50"};
    for (const char* a : args)
        argv.push_back(wxString::FromUTF8(a));
    CTorvaneCommandLineInfo info;
    ParseCommandLine(info, static_cast<int>(argv.size()), argv.data());
    return info;
}

std::string Option(const CTorvaneCommandLineInfo& info, const char* name)
{
    wxString value;
    return info.GetOption(name, value) ? value.utf8_string() : "<absent>";
}

TEST(CommandLine, FlagPrefixes)
{
    struct Case {
        const char* arg;
        bool flag;
    } cases[] = {
        {"-C", true},         {"-anything", true},  {"-", true},           {"/C", true},
        {"/f", true},         {"/F", true},         {"/q", true},          {"/Unregister", true},
        {"/unregister", true}, {"/dde", true},      {"/pt", true},         {"/tmp/out.csv", false},
        {"/home/u/q.sql", false}, {"/x", false},    {"/Q", false},         {"/", false},
        {"q.sql", false},     {"Provider=X", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsCommandLineFlag(c.arg), c.flag) << c.arg;
}

TEST(CommandLine, OptionMapAndShellCommand)
{
    auto info = Parse({"-C", "Provider=X", "-e", "/home/u/a.sql", "-q"});
    EXPECT_EQ(Option(info, "C"), "Provider=X");
    EXPECT_EQ(Option(info, "e"), "/home/u/a.sql");
    EXPECT_EQ(Option(info, "q"), "TRUE");
    EXPECT_EQ(Option(info, "E"), "<absent>");
    // The first plain parameter is the record's file name, wherever it stands.
    EXPECT_EQ(info.m_strFileName, "Provider=X");
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FileOpen);

    // A repeated option keeps its last value; a plain parameter after a value is not stored.
    info = Parse({"-f", "a.sql", "-f", "b.sql", "c.sql"});
    EXPECT_EQ(Option(info, "f"), "b.sql");
    // Options are case-sensitive.
    info = Parse({"-F", "x", "/f", "y"});
    EXPECT_EQ(Option(info, "F"), "x");
    EXPECT_EQ(Option(info, "f"), "y");

    EXPECT_EQ(Parse({}).m_nShellCommand, CCommandLineInfo::FileNew);
    EXPECT_EQ(Parse({"-C"}).m_nShellCommand, CCommandLineInfo::FileNew);
    EXPECT_EQ(Parse({"/home/u/q.sql"}).m_nShellCommand, CCommandLineInfo::FileOpen);
    EXPECT_EQ(Parse({"/home/u/q.sql"}).m_strFileName, "/home/u/q.sql");
    EXPECT_EQ(Parse({"-Unregister"}).m_nShellCommand, CCommandLineInfo::AppUnregister);
    EXPECT_EQ(Parse({"/Unregister"}).m_nShellCommand, CCommandLineInfo::AppUnregister);
    EXPECT_EQ(Parse({"-p", "a.sql"}).m_nShellCommand, CCommandLineInfo::FilePrint);
    EXPECT_EQ(Parse({"-dde"}).m_nShellCommand, CCommandLineInfo::FileDDE);
    EXPECT_TRUE(Parse({"-Embedding"}).m_bRunEmbedded);
    auto printTo = Parse({"-pt", "a.sql", "printer", "driver", "port"});
    EXPECT_EQ(printTo.m_nShellCommand, CCommandLineInfo::FilePrintTo);
    EXPECT_EQ(printTo.m_strPrinterName, "printer");
    EXPECT_EQ(printTo.m_strPortName, "port");
}

TEST(CommandLine, SplitFileList)
{
    std::vector<wxString> files;
    CTorvaneCommandLineInfo::SplitFileList("a.sql||b.sql|", files);
    CTorvaneCommandLineInfo::SplitFileList(" c.sql | TRUE |true| /d/e.sql ", files);
    EXPECT_EQ(files, (std::vector<wxString>{"a.sql", "b.sql", "c.sql", "/d/e.sql"}));
}

TEST(CommandLine, OpenRequests)
{
    // The first present option in the order -f, -F, -e, -E, -i wins.
    auto r = Parse({"-C", "Provider=X", "-F", "a.sql|b.sql", "-f", "x.sql"}).GetRequest();
    EXPECT_EQ(r.kind, CommandLineRequest::Open);
    EXPECT_EQ(r.files, (std::vector<wxString>{"x.sql"}));
    EXPECT_FALSE(r.execute);

    r = Parse({"-e", "x.sql", "-F", "a.sql|b.sql"}).GetRequest();
    EXPECT_EQ(r.files, (std::vector<wxString>{"a.sql", "b.sql"}));
    EXPECT_FALSE(r.execute);

    r = Parse({"-E", "a.sql||b.sql|", "-C", " Provider=X "}).GetRequest();
    EXPECT_EQ(r.files, (std::vector<wxString>{"a.sql", "b.sql"}));
    EXPECT_TRUE(r.execute);
    EXPECT_EQ(r.connectString, "Provider=X");
    EXPECT_TRUE(r.dataLinkFile.empty());

    // A flag without a value opens no file; with -C the program only connects.
    r = Parse({"-C", "Provider=X", "-e"}).GetRequest();
    EXPECT_EQ(r.kind, CommandLineRequest::Open);
    EXPECT_TRUE(r.files.empty());
    r = Parse({"-C", "Provider=X"}).GetRequest();
    EXPECT_EQ(r.kind, CommandLineRequest::Open);
    EXPECT_TRUE(r.files.empty());

    EXPECT_EQ(Parse({"-q"}).GetRequest().kind, CommandLineRequest::Usage);
    EXPECT_EQ(Parse({}).GetRequest().kind, CommandLineRequest::Usage);
    // A batch option without its value (it holds "TRUE") names no file: the usage text, never a
    // file called "TRUE".
    for (const auto& args : std::vector<std::vector<const char*>>{{"-i"},
                                                                  {"-i", " ", "-o", "x.csv"},
                                                                  {"-i", "-o", "x.csv"},
                                                                  {"-o", "x.csv", "-i"},
                                                                  {"-i", "true", "-o", "x.csv"},
                                                                  {"-i", "in.sql", "-o"},
                                                                  {"-i", "in.sql", "-o", "-d", ";"},
                                                                  {"-i", "in.sql", "-o", "TRUE"},
                                                                  // An empty delimiter would fuse the columns.
                                                                  {"-i", "in.sql", "-o", "x.csv", "-d", ""},
                                                                  {"-d", "", "-i", "in.sql", "-o", "x.txt"}}) {
        std::vector<wxString> argv{"tvxdb50"};
        for (const char* a : args)
            argv.push_back(a);
        CTorvaneCommandLineInfo info;
        ParseCommandLine(info, static_cast<int>(argv.size()), argv.data());
        EXPECT_EQ(info.GetRequest().kind, CommandLineRequest::Usage) << argv.back();
    }
}

TEST(CommandLine, DataLinkFileIsTakenAsGiven)
{
    auto r = Parse({"-C", "File Name=/home/User/Links/My.udl", "-f", "/home/User/q.sql"}).GetRequest();
    EXPECT_EQ(r.dataLinkFile, "/home/User/Links/My.udl");
    EXPECT_EQ(r.files, (std::vector<wxString>{"/home/User/q.sql"}));
    r = Parse({"/C", "file name= /tmp/Ä.udl "}).GetRequest();
    EXPECT_EQ(r.dataLinkFile.utf8_string(), "/tmp/Ä.udl");
}

class BatchChecks : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/cmdline.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
        m_cwd = wxGetCwd();
        wxSetWorkingDirectory(wxString::FromUTF8(m_dir.string()));
    }
    void TearDown() override
    {
        wxSetWorkingDirectory(m_cwd);
        fs::remove_all(m_dir);
    }
    CommandLineRequest Run(std::initializer_list<const char*> args) { return Parse(args).GetRequest(); }
    std::string Dir() const { return m_dir.string(); }

    fs::path m_dir;
    wxString m_cwd;
};

TEST_F(BatchChecks, Refusals)
{
    const std::string kQuoteOrLineBreak =
        "The delimiter option cannot contain a double quote (\"), a carriage return or a line feed.";
    const std::string d = Dir();
    const std::string chars = "characters:\n\t\\ / :  * ? \" < > |";
    struct Case {
        std::vector<std::string> args;
        std::string message;
        long icon;
    } cases[] = {
        {{"-i", "in.sql"}, "-o <output filename> is a required command line option.", wxICON_INFORMATION},
        {{"-i", "in.sql", "-o", "  "}, "-o <output filename> is a required command line option.", wxICON_INFORMATION},
        {{"-i", "in.sql", "-o", d + "/out"},
         "'" + d + "/out'.\nFile extension missing or invalid. Valid file extensions are .adtg, .csv, .txt, and .xml.",
         wxICON_STOP},
        {{"-i", "in.sql", "-o", d + "/out.json"},
         "'" + d + "/out.json'.\nFile extension missing or invalid. Valid file extensions are .adtg, .csv, .txt, and .xml.",
         wxICON_STOP},
        {{"-i", "in.sql", "-o", d + "/a*b.csv"},
         "'" + d + "/a*b.csv'.\nA filename cannot contain any of the following " + chars, wxICON_STOP},
        {{"-i", "in.sql", "-o", d + "/a|b.xml"},
         "'" + d + "/a|b.xml'.\nA filename cannot contain any of the following " + chars, wxICON_STOP},
        {{"-i", "in.sql", "-o", d + "/out.csv", "-d", ";,"}, "The delimiter option cannot contain mixed characters.",
         wxICON_INFORMATION},
        {{"-i", "in.sql", "-o", d + "/out.txt", "-d", "\\t;"}, "The delimiter option cannot contain mixed characters.",
         wxICON_INFORMATION},
        // Quotes and line breaks would make delimited text that no reader can take apart.
        {{"-i", "in.sql", "-o", d + "/out.csv", "-d", "\""}, kQuoteOrLineBreak, wxICON_INFORMATION},
        {{"-i", "in.sql", "-o", d + "/out.csv", "-d", "\"\""}, kQuoteOrLineBreak, wxICON_INFORMATION},
        {{"-i", "in.sql", "-o", d + "/out.txt", "-d", "\r"}, kQuoteOrLineBreak, wxICON_INFORMATION},
        {{"-i", "in.sql", "-o", d + "/out.txt", "-d", "\n\n"}, kQuoteOrLineBreak, wxICON_INFORMATION},
        {{"-i", "in.sql", "-o", d + "/out.txt", "-d", "\r\n"}, "The delimiter option cannot contain mixed characters.",
         wxICON_INFORMATION},
    };
    for (const Case& c : cases) {
        std::vector<wxString> argv{"tvxdb50"};
        for (const std::string& a : c.args)
            argv.push_back(wxString::FromUTF8(a));
        CTorvaneCommandLineInfo info;
        ParseCommandLine(info, static_cast<int>(argv.size()), argv.data());
        CommandLineRequest r = info.GetRequest();
        EXPECT_EQ(r.kind, CommandLineRequest::Refused) << c.message;
        EXPECT_EQ(r.message.utf8_string(), c.message);
        EXPECT_EQ(r.icon, c.icon) << c.message;
    }
}

TEST_F(BatchChecks, AcceptedRuns)
{
    const std::string d = Dir();
    struct Case {
        std::vector<std::string> args;
        int format;
        std::string path;
        std::string delimiter;
        bool excel;
        bool publish;
    } cases[] = {
        {{"-i", "in.sql", "-o", d + "/r.csv"}, export_options::Delimited, d + "/r.csv", ",", false, false},
        {{"-i", "in.sql", "-o", d + "/r.CSV", "-d", ";;", "-q"}, export_options::Delimited, d + "/r.CSV", ";;", true, false},
        {{"-i", "in.sql", "-o", d + "/r.txt", "-d", "\\t", "-q", "2"}, export_options::Delimited, d + "/r.txt", "\t", true, false},
        {{"-i", "in.sql", "-o", d + "/r.txt", "-d", "\\t\\t", "-q", "0"}, export_options::Delimited, d + "/r.txt", "\t\t", false, false},
        {{"-i", "in.sql", "-o", d + "/r.XML", "-q", "true", "-d", ";,"}, export_options::XML, d + "/r.XML", "", false, true},
        {{"-i", "in.sql", "-o", d + "/r.adtg", "-q", "1"}, export_options::ADTG, d + "/r.adtg", "", false, false},
        {{"-i", "in.sql", "-o", d + "/r.xml", "-q", "no"}, export_options::XML, d + "/r.xml", "", false, false},
        // Missing folders are created with every parent; a bare name lands in the current folder.
        {{"-i", "in.sql", "-o", d + "/new/deeper/r.csv"}, export_options::Delimited, d + "/new/deeper/r.csv", ",", false, false},
        {{"-o", "r.csv", "-i", "in.sql"}, export_options::Delimited, d + "/r.csv", ",", false, false},
    };
    for (const Case& c : cases) {
        std::vector<wxString> argv{"tvxdb50"};
        for (const std::string& a : c.args)
            argv.push_back(wxString::FromUTF8(a));
        CTorvaneCommandLineInfo info;
        ParseCommandLine(info, static_cast<int>(argv.size()), argv.data());
        CommandLineRequest r = info.GetRequest();
        ASSERT_EQ(r.kind, CommandLineRequest::Open) << r.message;
        ASSERT_TRUE(r.batch.has_value());
        EXPECT_EQ(r.files, (std::vector<wxString>{"in.sql"}));
        EXPECT_TRUE(r.execute);
        EXPECT_EQ(r.batch->format, c.format) << c.path;
        EXPECT_EQ(r.batch->outputPath.utf8_string(), c.path);
        EXPECT_EQ(r.batch->delimiter.utf8_string(), c.delimiter) << c.path;
        EXPECT_EQ(r.batch->openInExcel, c.excel) << c.path;
        EXPECT_EQ(r.batch->publish, c.publish) << c.path;
    }
    EXPECT_TRUE(fs::is_directory(m_dir / "new" / "deeper"));
}

TEST_F(BatchChecks, OutputFolderThatCannotBeCreated)
{
    const std::string blocker = Dir() + "/file";
    FILE* f = fopen(blocker.c_str(), "w");
    ASSERT_NE(f, nullptr);
    fclose(f);
    CommandLineRequest r = Run({"-i", "in.sql", "-o", (blocker + "/sub/r.csv").c_str()});
    EXPECT_EQ(r.kind, CommandLineRequest::Refused);
    EXPECT_EQ(r.icon, wxICON_STOP);
    EXPECT_TRUE(r.message.utf8_string().starts_with("'" + blocker + "/sub/'\n")) << r.message;
}

} // namespace

namespace {

TEST(CommandLine, StartAction)
{
    char pattern[] = "/tmp/cmdstart.XXXXXX";
    ASSERT_NE(mkstemp(pattern), -1);
    const std::string existing = pattern;
    struct Case {
        std::vector<std::string> args;
        CTorvaneCommandLineInfo::StartAction action;
    } cases[] = {
        {{}, CTorvaneCommandLineInfo::ShowUsage},
        {{"-q"}, CTorvaneCommandLineInfo::ShowUsage},
        {{"-p", existing}, CTorvaneCommandLineInfo::ShowUsage},
        {{"-Embedding"}, CTorvaneCommandLineInfo::ShowUsage},
        {{"-Unregister"}, CTorvaneCommandLineInfo::Unregister},
        {{"/Unregister", "-C", "x"}, CTorvaneCommandLineInfo::Unregister},
        {{existing}, CTorvaneCommandLineInfo::ShellCommand},
        // An existing file as the first plain parameter wins over the options.
        {{"-e", existing, "-C", "Provider=X"}, CTorvaneCommandLineInfo::ShellCommand},
        {{"-C", "Provider=X", "-e", existing}, CTorvaneCommandLineInfo::ProcessOptions},
        {{"-C", "Provider=X"}, CTorvaneCommandLineInfo::ProcessOptions},
        {{existing + ".missing"}, CTorvaneCommandLineInfo::ProcessOptions},
    };
    for (const Case& c : cases) {
        std::vector<wxString> argv{"tvxdb50"};
        for (const std::string& a : c.args)
            argv.push_back(wxString::FromUTF8(a));
        CTorvaneCommandLineInfo info;
        ParseCommandLine(info, static_cast<int>(argv.size()), argv.data());
        EXPECT_EQ(info.GetStartAction(), c.action) << (c.args.empty() ? "" : c.args[0]);
    }
    fs::remove(existing);
}

} // namespace
