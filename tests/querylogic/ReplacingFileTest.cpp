// Files replaced only once their new content is complete: permissions kept, copies private
// while written, and recorded as unfinished until they take their name.
#include "ado/UnfinishedFiles.h"
#include "querycore/ReplacingFile.h"
#include "tests/support/TestDatabases.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

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
        for (const std::string& name : Names(folder)) {
            if (!name.ends_with(".tmp"))
                continue;
            EXPECT_EQ(Mode(folder / name) & fs::perms(077), c.existing ? fs::perms::none : c.expected & fs::perms(077));
        }
        file.Commit();
        EXPECT_EQ(FileBytes(target), "new");
        EXPECT_EQ(Mode(target), c.expected);
    }
    EXPECT_EQ(Names(folder).size(), std::size(cases));
}

TEST(ReplacingFile, MoveOverGivesACompleteFileThePermissionsOfTheOneItReplaces)
{
    const fs::path folder = NewTempPath("-move");
    fs::create_directory(folder);
    WriteFile(folder / "r.xml", "old");
    fs::permissions(folder / "r.xml", fs::perms(0600));
    WriteFile(folder / "complete", "new");
    fs::permissions(folder / "complete", fs::perms(0644));
    ReplacingFile::MoveOver(folder / "complete", folder / "r.xml");
    EXPECT_EQ(FileBytes(folder / "r.xml"), "new");
    EXPECT_EQ(Mode(folder / "r.xml"), fs::perms(0600));
    EXPECT_EQ(Names(folder), std::vector<std::string>{"r.xml"});

    // Nothing to replace: the file keeps its own permissions.
    WriteFile(folder / "complete", "newer");
    fs::permissions(folder / "complete", fs::perms(0640));
    ReplacingFile::MoveOver(folder / "complete", folder / "s.xml");
    EXPECT_EQ(Mode(folder / "s.xml"), fs::perms(0640));
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
