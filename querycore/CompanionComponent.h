// Creating a companion component (a plugin library's COM object) for a query window command:
// the registration check that registers the library from the program's own plugin folder when
// its ProgID is unknown, and the creation that registers and retries once when it fails.
// No window: the commands show the outcome. Threads: the UI thread (the components are
// apartment objects that show modal windows).
#pragma once

#include "platform/com/Unknown.h"

#include <chrono>
#include <string>

// The library's full path in folder ("/"-terminated), when a regular file of that name is
// there; empty otherwise. Only this folder is searched, never the current directory.
std::string FindComponentLibrary(const std::string& folder, const std::string& libraryName);

// Loads the library and calls its DllRegisterServer; true when that succeeded. A library that
// cannot be loaded or lacks the export counts as not registered; when it was refused (see
// CoCreateInstance), the thread's error information says why.
bool RegisterServerDll(const std::string& path);

// True when the ProgID is registered, or when the library lies in folder and registers itself.
// False otherwise, with the thread's error information saying why when the library was there
// but refused, and none else.
bool IsComponentRegistered(const std::string& progId, const std::string& libraryName, const std::string& folder);

// The component's interface iid, created by its CLSID. When creation fails and the library is
// in folder and registers again, waits `pause` and tries once more; not when the registered
// library was refused (E_ACCESSDENIED, see CoCreateInstance). Throws _com_error with the
// thread's error information when it still fails.
// The interface pointer comes with one reference for the caller.
void* CreateComponentObject(const CLSID& clsid, const IID& iid, const std::string& libraryName,
                            const std::string& folder, std::chrono::milliseconds pause);
// T: the interface that iid names.
template <class T>
ComPtr<T> CreateComponent(const CLSID& clsid, const IID& iid, const std::string& libraryName,
                          const std::string& folder, std::chrono::milliseconds pause)
{
    return ComPtr<T>::Attach(static_cast<T*>(CreateComponentObject(clsid, iid, libraryName, folder, pause)));
}
