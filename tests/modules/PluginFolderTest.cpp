// Which plugin libraries the program loads, through the registration tool installed in a fresh
// layout (bin/ and lib/torvane/ in a temporary folder) and run as a person runs it: it registers
// a library of its module folder, and refuses, naming the path and the reason, a library that
// others can write, one in a folder that others can write, one owned by another user, one
// elsewhere and one that a link in the module folder leads elsewhere; a refused library runs
// nothing. When the loader fails, its own text comes back.
#include "tests/support/TestDatabases.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

namespace fs = std::filesystem;
using namespace torvane::test;

namespace {

struct Layout {
    fs::path root;
    fs::path modules; // root/lib/torvane
    fs::path tool;    // root/bin/torvane-regsvr
    fs::path config;
    fs::path marker;  // created by the marker library when it is loaded
};

Layout NewLayout()
{
    Layout l;
    l.root = NewTempPath("-install");
    l.modules = l.root / "lib" / "torvane";
    l.tool = l.root / "bin" / "torvane-regsvr";
    l.config = l.root / "config";
    l.marker = l.root / "loaded";
    for (const fs::path& folder : {l.modules, l.tool.parent_path(), l.config}) {
        fs::create_directories(folder);
        fs::permissions(folder, fs::perms(0755));
    }
    for (const fs::path& folder : {l.root, l.root / "lib"})
        fs::permissions(folder, fs::perms(0755));
    fs::copy_file(TORVANE_REGSVR, l.tool);
    return l;
}

struct Outcome {
    int status = -1;
    std::string errors;
    std::string settings;
};

// torvane-regsvr of the layout with args, its settings in the layout's config folder.
Outcome RunTool(const Layout& l, const std::vector<std::string>& args)
{
    const std::string errPath = (l.root / "stderr").string();
    const pid_t pid = fork();
    if (pid == 0) {
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(err, STDERR_FILENO);
        setenv("XDG_CONFIG_HOME", l.config.c_str(), 1);
        setenv("TORVANE_TEST_MARKER", l.marker.c_str(), 1);
        std::vector<char*> argv{const_cast<char*>(l.tool.c_str())};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(l.tool.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    Outcome outcome;
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    outcome.errors = FileBytes(l.root / "stderr");
    outcome.settings = FileBytes(l.config / "torvane" / "Torvane 5.0.conf");
    return outcome;
}

TEST(PluginFolderTest, OnlyLibrariesOfTheModuleFolderThatOthersCannotWriteAreLoaded)
{
    struct Case {
        const char* name;
        // Puts the library in place; returns the path given to the tool.
        std::function<fs::path(const Layout&)> prepare;
        // What the refusal names besides the path given ("" when the library registers).
        std::function<std::string(const Layout&)> reason;
        bool rootOnly = false;
    };
    auto copyInto = [](const fs::path& folder, const char* library, const char* name) {
        fs::create_directories(folder);
        fs::copy_file(library, folder / name);
        fs::permissions(folder / name, fs::perms(0644));
        return folder / name;
    };
    const Case cases[] = {
        {"a library of the module folder",
         [&](const Layout& l) { return copyInto(l.modules, TAMSEL_LIBRARY, "libTamsel.so"); },
         [](const Layout&) { return std::string(); }},
        {"a library that others can write",
         [&](const Layout& l) {
             const fs::path path = copyInto(l.modules, TAMSEL_LIBRARY, "libTamsel.so");
             fs::permissions(path, fs::perms::others_write, fs::perm_options::add);
             return path;
         },
         [](const Layout& l) {
             return (l.modules / "libTamsel.so").string() +
                    " can be written by users other than its owner (mode 0646)";
         }},
        {"a module folder that its group can write",
         [&](const Layout& l) {
             fs::permissions(l.modules, fs::perms::group_write, fs::perm_options::add);
             return copyInto(l.modules, TAMSEL_LIBRARY, "libTamsel.so");
         },
         [](const Layout& l) {
             return l.modules.string() + " can be written by users other than its owner (mode 0775)";
         }},
        {"a library owned by another user",
         [&](const Layout& l) {
             const fs::path path = copyInto(l.modules, TAMSEL_LIBRARY, "libTamsel.so");
             EXPECT_EQ(chown(path.c_str(), 65534, 65534), 0);
             return path;
         },
         [](const Layout& l) { return (l.modules / "libTamsel.so").string() + " belongs to another user (uid 65534)"; },
         true},
        {"a library elsewhere, which would mark that it ran",
         [&](const Layout& l) { return copyInto(l.root / "elsewhere", MARKER_LIBRARY, "libTamsel.so"); },
         [](const Layout& l) { return "it is not in the program's module folder " + l.modules.string(); }},
        {"a link in the module folder to a library elsewhere",
         [&](const Layout& l) {
             const fs::path target = copyInto(l.root / "elsewhere", MARKER_LIBRARY, "libTamsel.so");
             fs::create_symlink(target, l.modules / "libTamsel.so");
             return l.modules / "libTamsel.so";
         },
         [](const Layout& l) { return "it is not in the program's module folder " + l.modules.string(); }},
        {"a file the loader cannot load",
         [](const Layout& l) {
             WriteFile(l.modules / "libTamsel.so", std::string(200, 'x'));
             return l.modules / "libTamsel.so";
         },
         [](const Layout& l) { return (l.modules / "libTamsel.so").string() + ": invalid ELF header"; }},
    };
    for (const Case& c : cases) {
        if (c.rootOnly && geteuid() != 0)
            continue;
        const Layout l = NewLayout();
        const fs::path path = c.prepare(l);
        const Outcome outcome = RunTool(l, {path.string()});
        const std::string reason = c.reason(l);
        if (reason.empty()) {
            EXPECT_EQ(outcome.status, 0) << c.name << "\n" << outcome.errors;
            EXPECT_NE(outcome.settings.find("@=" + path.string()), std::string::npos) << c.name;
            continue;
        }
        EXPECT_EQ(outcome.status, 1) << c.name;
        EXPECT_EQ(outcome.errors, "torvane-regsvr: " + path.string() + ": Cannot load " + path.string() + ": " +
                                      reason + "\n")
            << c.name;
        EXPECT_EQ(outcome.settings.find("InprocServer32"), std::string::npos) << c.name << ": registered";
        EXPECT_FALSE(fs::exists(l.marker)) << c.name << ": the library ran";
    }
}

TEST(PluginFolderTest, ALibraryWithoutTheExportIsNamedWithWhatItLacks)
{
    const Layout l = NewLayout();
    const fs::path path = l.modules / "libBrokenServer.so";
    fs::copy_file(BROKEN_LIBRARY, path);
    fs::permissions(path, fs::perms(0644));
    // Loaded, but it refuses to register and has nothing to unregister with.
    Outcome outcome = RunTool(l, {path.string()});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.errors, "torvane-regsvr: " + path.string() + ": Unspecified error\n");
    outcome = RunTool(l, {"-u", path.string()});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.errors, "torvane-regsvr: " + path.string() + ": Cannot load " + path.string() +
                                  ": the library does not export DllUnregisterServer\n");
}

} // namespace
