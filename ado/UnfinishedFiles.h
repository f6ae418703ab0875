// Files this process is writing and has not completed: export files and their temporary
// copies. A process that has to end at once (a command-line run abandoned after a stop signal
// while a driver call cannot be interrupted) removes them first, so that nothing half-written
// stays behind. Thread-safe. A path may be recorded more than once (by a writer and by its
// caller, who renames the finished file); it stays recorded until each has forgotten it.
#pragma once

#include <sys/types.h>

#include <string>

namespace ado::UnfinishedFiles {

// Creates path exclusively (O_EXCL, so neither an existing file nor a planted link is opened)
// for writing with mode (less the umask) and records it. Returns the descriptor, or -1 with
// errno set. Once RemoveAllBeforeExit has run it never returns: the process is ending.
int Create(const std::string& path, mode_t mode);
// Records a file that another writer creates under path.
void Record(const std::string& path);
// The file is complete, renamed or removed: one record of it less.
void Forget(const std::string& path);

// Removes every recorded file. The record stays locked afterwards, so no writer creates or
// records a file any more; the caller ends the process next.
void RemoveAllBeforeExit();

} // namespace ado::UnfinishedFiles
