// The save's file: never replaces a file, and every failure is an error that leaves no file.
#include "ado/AdoEnums.h"
#include "ado/PersistOutput.h"
#include "ado/UnfinishedFiles.h"
#include "platform/com/ComTypes.h"
#include "tests/support/TestDatabases.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace ado;
namespace fs = std::filesystem;
using torvane::test::FileBytes;

namespace {

void ExpectError(const std::function<void()>& body, long number, const std::string& fragment)
{
    try {
        body();
        ADD_FAILURE() << "no error";
    } catch (const _com_error& e) {
        EXPECT_EQ(e.Error(), MakeControlHResult(number)) << e.Description();
        EXPECT_NE(e.Description().find(fragment), std::string::npos) << e.Description();
    }
}

} // namespace

TEST(FileOutputTest, CommitsWhatWasWrittenIncludingPatches)
{
    std::string path = torvane::test::NewTempPath(".out");
    {
        FileOutput out(path);
        out.Write("hello ");
        out.Write(std::string(100000, 'x')); // more than one buffer
        out.Patch(0, "HE");
        EXPECT_EQ(out.Position(), 100006u);
        out.Commit();
    }
    std::string data = FileBytes(path);
    EXPECT_EQ(data.size(), 100006u);
    EXPECT_EQ(data.substr(0, 6), "HEllo ");
}

TEST(FileOutputTest, AnExistingFileIsNeitherReplacedNorTouched)
{
    std::string path = torvane::test::NewTempPath(".out");
    std::ofstream(path) << "precious";
    ExpectError([&] { FileOutput out(path); }, adErrOpeningFile, "already exists");
    EXPECT_EQ(FileBytes(path), "precious");

    // A symbolic link under the name counts as existing, even when it points nowhere.
    std::string link = torvane::test::NewTempPath(".lnk");
    fs::create_symlink(torvane::test::NewTempPath(".target"), link);
    ExpectError([&] { FileOutput out(link); }, adErrOpeningFile, "already exists");
}

TEST(FileOutputTest, AMissingFolderIsAnOpenError)
{
    std::string path = torvane::test::NewTempPath("") + "/no/such/folder/out.xml";
    ExpectError([&] { FileOutput out(path); }, adErrOpeningFile, path);
}

// Run as an unprivileged user (the tests may run as root, who writes anywhere): a folder the
// user cannot write to refuses the file.
TEST(FileOutputTest, AFolderWithoutWritePermissionIsAnOpenError)
{
    std::string dir = torvane::test::NewTempPath(".ro");
    fs::create_directory(dir);
    fs::permissions(dir, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                             fs::perms::others_read | fs::perms::others_exec);
    std::string path = dir + "/out.adtg";
    auto attempt = [&]() -> int {
        try {
            FileOutput out(path);
            return 1;
        } catch (const _com_error& e) {
            bool ok = e.Error() == MakeControlHResult(adErrOpeningFile) &&
                      e.Description().find("Permission denied") != std::string::npos;
            return ok ? 0 : 2;
        }
    };
    if (geteuid() != 0) {
        fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_EQ(attempt(), 0);
        fs::permissions(dir, fs::perms::owner_all);
        return;
    }
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(3);
        _exit(attempt());
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the file was created, 2: another error, 3: cannot drop privileges";
    EXPECT_FALSE(fs::exists(path));
}

// A full disk (here: the process's file size limit, which fails writes with EFBIG the way a
// full file system fails them with ENOSPC) is an error of the save, and the partial file goes.
TEST(FileOutputTest, AWriteErrorFailsAndRemovesThePartialFile)
{
    std::string path = torvane::test::NewTempPath(".out");
    struct rlimit old;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);

    ExpectError(
        [&] {
            FileOutput out(path);
            for (int i = 0; i < 100; ++i)
                out.Write(std::string(1000, 'z'));
            out.Commit();
        },
        adErrWriteFile, "File too large");

    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(fs::exists(path));
}

TEST(FileOutputTest, AnAbandonedOutputLeavesNoFile)
{
    std::string path = torvane::test::NewTempPath(".out");
    {
        FileOutput out(path);
        out.Write("partial");
    }
    EXPECT_FALSE(fs::exists(path));
}

// A process that has to end at once (an abandoned command-line run) removes the files still
// being written, and those its callers recorded, but no complete one.
TEST(FileOutputTest, UnfinishedFilesAreRemovedByAProcessThatEndsAtOnce)
{
    const fs::path folder = torvane::test::NewTempPath("-unfinished");
    fs::create_directory(folder);
    const pid_t child = fork();
    if (child == 0) {
        FileOutput writing((folder / "writing.xml").string());
        writing.Write("<half");
        {
            FileOutput complete((folder / "complete.xml").string());
            complete.Write("<all/>");
            complete.Commit();
        }
        // A caller's record outlives the writer: the complete copy waits for its rename.
        UnfinishedFiles::Record((folder / "copy.tmp").string());
        {
            FileOutput copy((folder / "copy.tmp").string());
            copy.Write("<all/>");
            copy.Commit();
        }
        UnfinishedFiles::Record((folder / "renamed.xml").string());
        std::ofstream(folder / "renamed.xml") << "<all/>";
        UnfinishedFiles::Forget((folder / "renamed.xml").string());
        UnfinishedFiles::RemoveAllBeforeExit();
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(torvane::test::Names(folder), (std::vector<std::string>{"complete.xml", "renamed.xml"}));
}
