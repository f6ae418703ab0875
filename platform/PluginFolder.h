// Which plugin libraries the program may load: only those in its own module folder
// (GetModuleFolder), and only while no one but root and the current user can change what the
// loader would map: the library, the module folder and every folder above it. A folder above may
// be writable by others only when it is sticky (as /tmp), so that they cannot rename what is in it.
// Symbolic links are followed first, so a link in the module folder to a library elsewhere is
// refused too.
//
// Threads: any. Errors: none thrown; a refusal or failure comes back as its reason.
#pragma once

#include "com/ComTypes.h"

#include <string>

struct PluginOpen {
    void* handle = nullptr; // the library, opened with RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE
    HRESULT hr = S_OK;      // E_ACCESSDENIED refused; HRESULT_MOD_NOT_FOUND cannot be loaded
    std::string reason;     // why, when handle is null: the refusal, the system's or the loader's text
};

// Checks path (absolute) against the module folder ("/"-terminated or not) and opens it.
PluginOpen OpenPluginLibrary(const std::string& path, const std::string& folder);
