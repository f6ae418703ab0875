// torvane-regsvr: registers plugin libraries in the class registry of the current user's
// settings store, or with -u removes them. Used by the build's run script and by install.
#include "platform/ComRuntime.h"

#include <wx/init.h>

#include <cstdio>
#include <filesystem>
#include <string>

int main(int argc, char** argv)
{
    wxInitializer init;
    if (!init.IsOk()) {
        std::fprintf(stderr, "torvane-regsvr: cannot initialise\n");
        return 2;
    }
    bool unregister = false;
    int failures = 0;
    int libraries = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-u") {
            unregister = true;
            continue;
        }
        ++libraries;
        std::error_code ec;
        const std::string path = std::filesystem::absolute(arg, ec).lexically_normal().string();
        const HRESULT hr = CallServerRegistration(path, !unregister);
        if (FAILED(hr)) {
            ++failures;
            const auto info = GetErrorInfo();
            std::fprintf(stderr, "torvane-regsvr: %s: %s\n", path.c_str(),
                         info ? info->description.c_str() : HResultMessage(hr).c_str());
        }
    }
    if (libraries == 0) {
        std::fprintf(stderr, "usage: torvane-regsvr [-u] library...\n");
        return 2;
    }
    return failures == 0 ? 0 : 1;
}
