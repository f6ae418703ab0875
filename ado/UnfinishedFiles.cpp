#include "UnfinishedFiles.h"

#include <fcntl.h>
#include <unistd.h>

#include <map>
#include <mutex>

namespace ado::UnfinishedFiles {

namespace {

std::mutex& Lock()
{
    static std::mutex mutex;
    return mutex;
}

// Path -> number of records.
std::map<std::string, int>& Files()
{
    static std::map<std::string, int> files;
    return files;
}

} // namespace

int Create(const std::string& path, mode_t mode)
{
    std::lock_guard<std::mutex> lock(Lock());
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0)
        ++Files()[path];
    return fd;
}

void Record(const std::string& path)
{
    std::lock_guard<std::mutex> lock(Lock());
    ++Files()[path];
}

void Forget(const std::string& path)
{
    std::lock_guard<std::mutex> lock(Lock());
    auto it = Files().find(path);
    if (it != Files().end() && --it->second <= 0)
        Files().erase(it);
}

void RemoveAllBeforeExit()
{
    // Never unlocked: a writer that comes next waits until the process ends.
    Lock().lock();
    for (const auto& [path, count] : Files())
        ::unlink(path.c_str());
    Files().clear();
}

} // namespace ado::UnfinishedFiles
