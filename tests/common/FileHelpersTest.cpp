#include "common/FileException.h"
#include "common/FileHelpers.h"

#include "WxStringPrinter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class FileHelpersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/torvane-common-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_dir = pattern;
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::permissions(m_dir, fs::perms::owner_all, fs::perm_options::add, ec);
        for (auto& entry : fs::recursive_directory_iterator(m_dir, ec))
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(m_dir, ec);
    }

    wxString Path(const std::string& name) const { return wxString::FromUTF8((m_dir / name).string()); }
    void Write(const std::string& name, const std::string& content) const
    {
        std::ofstream(m_dir / name, std::ios::binary) << content;
    }
    std::string Read(const std::string& name) const
    {
        std::ifstream in(m_dir / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static bool IsRoot() { return ::geteuid() == 0; }

    fs::path m_dir;
};

TEST_F(FileHelpersTest, ReadFileToStringKeepsEveryByte)
{
    const std::string content("line 1\r\nz\xE9ro\0end\n", 17);
    Write("q.sql", content);
    EXPECT_EQ(ReadFileToString(Path("q.sql")), content);
    Write("empty.sql", "");
    EXPECT_EQ(ReadFileToString(Path("empty.sql")), "");
}

TEST_F(FileHelpersTest, ReadFileToStringThrowsTheFileException)
{
    const struct {
        std::string name;
        int cause;
    } cases[] = {
        {"missing.sql", CFileException::fileNotFound},
        {"missing-folder/q.sql", CFileException::fileNotFound},
        {".", CFileException::accessDenied}, // a folder cannot be read as a file
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            ReadFileToString(Path(c.name));
            ADD_FAILURE() << "no exception";
        } catch (const CFileException& e) {
            EXPECT_EQ(e.m_cause, c.cause);
            EXPECT_EQ(e.m_strFileName, Path(c.name));
            EXPECT_NE(e.m_lOsError, 0);
        }
    }
}

TEST_F(FileHelpersTest, RenameMovesFilesAndFolders)
{
    Write("a.sql", "A");
    wxString message = "stale";
    ASSERT_TRUE(RenameFileWithMessage(Path("a.sql"), Path("b.sql"), message));
    EXPECT_EQ(message, "");
    EXPECT_EQ(Read("b.sql"), "A");
    EXPECT_FALSE(fs::exists(m_dir / "a.sql"));

    fs::create_directory(m_dir / "old");
    ASSERT_TRUE(RenameFileWithMessage(Path("old"), Path("new"), message));
    EXPECT_TRUE(fs::is_directory(m_dir / "new"));
}

TEST_F(FileHelpersTest, RenameNeverReplacesAnExistingTarget)
{
    Write("a.sql", "A");
    Write("b.sql", "B");
    fs::create_directory(m_dir / "d1");
    fs::create_directory(m_dir / "d2");
    const struct {
        std::string from;
        std::string to;
    } cases[] = {{"a.sql", "b.sql"}, {"d1", "d2"}, {"a.sql", "d2"}, {"a.sql", "a.sql"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.from + " -> " + c.to);
        wxString message;
        EXPECT_FALSE(RenameFileWithMessage(Path(c.from), Path(c.to), message));
        EXPECT_EQ(message, "File or directory specified by '" + Path(c.to) +
                               "' already exists or could not be created.");
    }
    EXPECT_EQ(Read("a.sql"), "A");
    EXPECT_EQ(Read("b.sql"), "B");
    EXPECT_TRUE(fs::is_directory(m_dir / "d1"));
}

TEST_F(FileHelpersTest, RenameReportsAMissingSource)
{
    wxString message;
    EXPECT_FALSE(RenameFileWithMessage(Path("missing.sql"), Path("b.sql"), message));
    EXPECT_EQ(message, "File or path specified by '" + Path("missing.sql") + "' not found.");
}

TEST_F(FileHelpersTest, RenameReportsAFolderMovedIntoItself)
{
    fs::create_directory(m_dir / "d");
    wxString message;
    EXPECT_FALSE(RenameFileWithMessage(Path("d"), Path("d/sub"), message));
    EXPECT_EQ(message, "'" + Path("d/sub") + "'.\nName contains invalid characters.");
}

TEST_F(FileHelpersTest, CreateDirectoryPathCreatesEveryMissingParent)
{
    wxString message = "stale";
    ASSERT_TRUE(CreateDirectoryPath(Path("a/b/c"), message));
    EXPECT_EQ(message, "");
    EXPECT_TRUE(fs::is_directory(m_dir / "a/b/c"));
    EXPECT_TRUE(CreateDirectoryPath(Path("a/b/c/"), message)) << message;
    EXPECT_TRUE(CreateDirectoryPath(Path("x//y"), message)) << message;
    EXPECT_TRUE(fs::is_directory(m_dir / "x/y"));
}

TEST_F(FileHelpersTest, CreateDirectoryPathLeavesTheCurrentDirectoryAlone)
{
    // A folder that exists but cannot be entered still exists.
    fs::create_directory(m_dir / "locked");
    fs::permissions(m_dir / "locked", fs::perms::owner_read | fs::perms::owner_write);
    const fs::path before = fs::current_path();
    wxString message;
    EXPECT_TRUE(CreateDirectoryPath(Path("locked"), message)) << message;
    EXPECT_TRUE(CreateDirectoryPath(Path("fresh/one"), message)) << message;
    EXPECT_EQ(fs::current_path(), before);
}

TEST_F(FileHelpersTest, CreateDirectoryPathReportsTheSystemError)
{
    Write("file", "x");
    wxString message;
    EXPECT_FALSE(CreateDirectoryPath(Path("file/sub"), message));
    EXPECT_EQ(message, "'" + Path("file/sub") + "'\nHRESULT: 0x80070014; Error: Not a directory");
    EXPECT_FALSE(CreateDirectoryPath(Path("file"), message));
    EXPECT_EQ(message, "'" + Path("file") + "'\nHRESULT: 0x80070014; Error: Not a directory");

    if (!IsRoot()) {
        fs::create_directory(m_dir / "readonly");
        fs::permissions(m_dir / "readonly", fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(CreateDirectoryPath(Path("readonly/sub"), message));
        EXPECT_EQ(message, "'" + Path("readonly/sub") + "'\nHRESULT: 0x8007000d; Error: Permission denied");
    }
}

TEST(PathNames, SplitAtTheLastSlash)
{
    const struct {
        const char* path;
        const char* directory;
        const char* name;
        const char* extension;
    } cases[] = {
        {"/home/u/file.sql", "/home/u/", "file", "sql"},
        {"file.tar.gz", "", "file.tar", "gz"},
        {"/home/u/.bashrc", "/home/u/", ".bashrc", ""},
        {"/home/u/dir/", "/home/u/dir/", "", ""},
        {"/a.b/c", "/a.b/", "c", ""},
        {"/file", "/", "file", ""},
        {"C:\\x\\y.sql", "", "C:\\x\\y", "sql"}, // a backslash is an ordinary character here
        {"", "", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        wxString directory = "stale", name = "stale", extension = "stale";
        SplitPathName(c.path, directory, name, extension);
        EXPECT_EQ(directory, c.directory);
        EXPECT_EQ(name, c.name);
        EXPECT_EQ(extension, c.extension);
        EXPECT_EQ(GetPathDirectory(c.path), c.directory);
    }
    EXPECT_EQ(GetPathFileName("/x/y.sql"), "y.sql");
    EXPECT_EQ(GetPathFileName("y.sql"), "y.sql");
    EXPECT_EQ(GetPathFileName("/x/"), "");
    EXPECT_EQ(GetPathFileName("/tmp/Driver={SQLite3}"), "Driver={SQLite3}");
}

} // namespace
