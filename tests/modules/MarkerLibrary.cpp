// A library that shows whether it was ever loaded: its constructor creates the file that
// TORVANE_TEST_MARKER names.
#include <cstdio>
#include <cstdlib>

namespace {

__attribute__((constructor)) void MarkLoaded()
{
    if (const char* path = std::getenv("TORVANE_TEST_MARKER"))
        if (FILE* file = std::fopen(path, "w"))
            std::fclose(file);
}

} // namespace
