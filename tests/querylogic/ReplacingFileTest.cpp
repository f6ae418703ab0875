// Files replaced only once their new content is complete: permissions kept, copies private
// while written, and recorded as unfinished until they take their name.
#include "ado/UnfinishedFiles.h"
#include "querycore/ReplacingFile.h"
#include "tests/support/TestDatabases.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <optional>

namespace fs = std::filesystem;
using torvane::test::FileBytes;
using torvane::test::Names;
using torvane::test::NewTempPath;
using torvane::test::WriteFile;

namespace {

fs::perms Mode(const fs::path& path)
{
    return fs::status(path).permissions() & fs::perms::mask;
}

// The permissions a new file gets from the umask.
fs::perms CreatedMode(mode_t mode)
{
    const mode_t mask = umask(0);
    umask(mask);
    return fs::perms(mode & ~mask);
}

TEST(ReplacingFile, AReplacedFileKeepsItsPermissionsAndANewOneGetsTheRequestedOnes)
{
    const fs::path folder = NewTempPath("-modes");
    fs::create_directory(folder);
    struct Case {
        const char* name;
        std::optional<fs::perms> existing; // none: a new file
        mode_t requested;
        fs::perms expected;
    } cases[] = {
        {"private.csv", fs::perms(0600), 0666, fs::perms(0600)},
        {"group.csv", fs::perms(0640), 0666, fs::perms(0640)},
        {"odd.csv", fs::perms(0604), 0666, fs::perms(0604)},
        {"open.udl", fs::perms(0644), 0600, fs::perms(0644)},
        {"new.csv", std::nullopt, 0666, CreatedMode(0666)},
        {"new.udl", std::nullopt, 0600, fs::perms(0600)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path target = folder / c.name;
        if (c.existing) {
            WriteFile(target, "old");
            fs::permissions(target, *c.existing);
        }
        ReplacingFile file(target, c.requested);
        file.Write("new");
        // The copy under way is not readable by others, whatever the old file allowed.
        EXPECT_EQ(Mode(file.PathForWriter()) & fs::perms(077), c.existing ? fs::perms::none : c.expected & fs::perms(077));
        file.Commit();
        EXPECT_EQ(FileBytes(target), "new");
        EXPECT_EQ(Mode(target), c.expected);
    }
    EXPECT_EQ(Names(folder).size(), std::size(cases));
}

TEST(ReplacingFile, ASymbolicLinkStaysAndTheFileItLeadsToGetsTheContent)
{
    const fs::path folder = NewTempPath("-links");
    fs::create_directories(folder / "elsewhere");
    WriteFile(folder / "real.csv", "old");
    WriteFile(folder / "elsewhere" / "far.csv", "old");
    fs::permissions(folder / "elsewhere" / "far.csv", fs::perms(0600));
    fs::create_symlink("real.csv", folder / "near.csv");
    fs::create_symlink(folder / "elsewhere" / "far.csv", folder / "far.csv");
    fs::create_symlink("near.csv", folder / "chain.csv");
    fs::create_symlink("elsewhere/later.csv", folder / "dangling.csv");
    const struct {
        const char* link;
        fs::path leadsTo;
    } cases[] = {
        {"near.csv", folder / "real.csv"},
        {"far.csv", folder / "elsewhere" / "far.csv"},
        {"chain.csv", folder / "real.csv"},
        {"dangling.csv", folder / "elsewhere" / "later.csv"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.link);
        const fs::path link = folder / c.link;
        const fs::path before = fs::read_symlink(link);
        ReplacingFile file(link);
        file.Write(std::string("new through ") + c.link);
        file.Commit();
        ASSERT_TRUE(fs::is_symlink(link));
        EXPECT_EQ(fs::read_symlink(link), before);
        EXPECT_EQ(FileBytes(c.leadsTo), std::string("new through ") + c.link);
    }
    EXPECT_EQ(Mode(folder / "elsewhere" / "far.csv"), fs::perms(0600));
    EXPECT_EQ(Names(folder), (std::vector<std::string>{"chain.csv", "dangling.csv", "elsewhere", "far.csv", "near.csv",
                                                       "real.csv"}));
    EXPECT_EQ(Names(folder / "elsewhere"), (std::vector<std::string>{"far.csv", "later.csv"}));
}

TEST(ReplacingFile, ANameAsLongAsTheFolderTakesIsWrittenAndReplaced)
{
    const fs::path folder = NewTempPath("-long");
    fs::create_directory(folder);
    // 255 bytes, the most a name may have, and 249 with two-byte characters where a copy's
    // name would be cut.
    const std::string names[] = {std::string(251, 'n') + ".csv", std::string(5, 'a') + [] {
        std::string e;
        for (int i = 0; i < 120; ++i)
            e += "\xC3\xA9";
        return e;
    }() + ".csv"};
    for (const std::string& name : names) {
        SCOPED_TRACE(name.size());
        for (const char* content : {"first", "second"}) {
            ReplacingFile file(folder / name);
            file.Write(content);
            file.Commit();
            EXPECT_EQ(FileBytes(folder / name), content);
        }
    }
    EXPECT_EQ(Names(folder).size(), 2u);
}

TEST(ReplacingFile, AWriterKilledOutrightLeavesNoCopyBehind)
{
    const fs::path folder = NewTempPath("-killed");
    fs::create_directory(folder);
    const int probe = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (probe < 0)
        GTEST_SKIP() << "this file system keeps no unnamed files";
    ::close(probe);
    WriteFile(folder / "kept.csv", "old");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = fork();
    if (child == 0) {
        ReplacingFile replacing(folder / "kept.csv");
        replacing.Write(std::string(3 << 20, 'x'));
        ReplacingFile created(folder / "new.csv");
        created.Write(std::string(3 << 20, 'y'));
        (void)!::write(ready[1], "r", 1);
        for (;;)
            ::pause();
    }
    ::close(ready[1]);
    char byte = 0;
    EXPECT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_EQ(Names(folder), (std::vector<std::string>{"kept.csv"}));
    EXPECT_EQ(FileBytes(folder / "kept.csv"), "old");
}

// A process that has to end at once (an abandoned command-line run) removes the copies under
// way, and only those.
TEST(ReplacingFile, CopiesUnderWayAreRemovedByAProcessThatEndsAtOnce)
{
    const fs::path folder = NewTempPath("-abandoned");
    fs::create_directory(folder);
    WriteFile(folder / "kept.csv", "old");
    const pid_t child = fork();
    if (child == 0) {
        ReplacingFile replacing(folder / "kept.csv");
        replacing.Write("half");
        ReplacingFile created(folder / "new.csv");
        created.Write("half");
        ReplacingFile done(folder / "done.csv");
        done.Write("all");
        done.Commit();
        ado::UnfinishedFiles::RemoveAllBeforeExit();
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(Names(folder), (std::vector<std::string>{"done.csv", "kept.csv"}));
    EXPECT_EQ(FileBytes(folder / "kept.csv"), "old");
    EXPECT_EQ(FileBytes(folder / "done.csv"), "all");
}

} // namespace
