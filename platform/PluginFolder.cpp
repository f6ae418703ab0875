#include "PluginFolder.h"

#include "com/Unknown.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>

#include <fmt/format.h>

namespace {

PluginOpen Refused(std::string reason)
{
    return {nullptr, E_ACCESSDENIED, std::move(reason)};
}

PluginOpen NotLoaded(std::string reason)
{
    return {nullptr, HRESULT_MOD_NOT_FOUND, std::move(reason)};
}

std::optional<std::string> RealPath(const std::string& path)
{
    char resolved[PATH_MAX];
    if (!::realpath(path.c_str(), resolved))
        return std::nullopt;
    return std::string(resolved);
}

// Why others could change what lies at path (a resolved path), or empty. writableWhenSticky:
// a folder above the module folder, where a sticky bit keeps others from renaming our entries.
std::string OthersCanChange(const std::string& path, const struct stat& st, bool writableWhenSticky)
{
    if (st.st_uid != 0 && st.st_uid != ::geteuid())
        return fmt::format("{} belongs to another user (uid {})", path, st.st_uid);
    const bool othersWrite = (st.st_mode & (S_IWGRP | S_IWOTH)) != 0;
    if (othersWrite && !(writableWhenSticky && (st.st_mode & S_ISVTX)))
        return fmt::format("{} can be written by users other than its owner (mode {:04o})", path,
                           st.st_mode & 07777);
    return {};
}

std::string FolderProblem(const std::string& folder)
{
    std::filesystem::path at(folder);
    for (bool moduleFolder = true;; moduleFolder = false) {
        struct stat st {};
        if (::stat(at.c_str(), &st) != 0)
            return fmt::format("{}: {}", at.string(), std::strerror(errno));
        std::string problem = OthersCanChange(at.string(), st, !moduleFolder);
        if (!problem.empty() || at == at.root_path())
            return problem;
        at = at.parent_path();
    }
}

} // namespace

PluginOpen OpenPluginLibrary(const std::string& path, const std::string& folder)
{
    if (path.empty() || path[0] != '/')
        return Refused("the registered path is not absolute");
    if (folder.empty())
        return Refused("the program's module folder is unknown");
    const std::optional<std::string> moduleFolder = RealPath(folder);
    if (!moduleFolder)
        return Refused("the program's module folder " + folder + " cannot be found");
    const std::string notThere = "it is not in the program's module folder " + *moduleFolder;
    const std::optional<std::string> real = RealPath(path);
    if (!real) {
        const int error = errno;
        // A library missing from the module folder is one that cannot be loaded; anywhere
        // else the place itself is refused.
        const std::optional<std::string> parent = RealPath(std::filesystem::path(path).parent_path());
        return parent == moduleFolder ? NotLoaded(std::strerror(error)) : Refused(notThere);
    }
    if (std::filesystem::path(*real).parent_path() != *moduleFolder)
        return Refused(notThere);
    struct stat st {};
    if (::stat(real->c_str(), &st) != 0)
        return NotLoaded(std::strerror(errno));
    if (!S_ISREG(st.st_mode))
        return Refused(*real + " is not a regular file");
    std::string problem = OthersCanChange(*real, st, false);
    if (problem.empty())
        problem = FolderProblem(*moduleFolder);
    if (!problem.empty())
        return Refused(problem);
    // Never unmapped: windows and event handlers of the library may outlive its last object
    // in the toolkit's tables.
    void* handle = ::dlopen(real->c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle) {
        const char* reason = ::dlerror();
        return NotLoaded(reason ? reason : "unknown reason");
    }
    return {handle, S_OK, {}};
}
