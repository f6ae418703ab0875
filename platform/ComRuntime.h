// The COM runtime of the stand-in: per-thread error information, the class registry kept in the
// "Classes" part of the settings store, creation of objects from plugin libraries, and the
// calls that make a library register itself.
//
// Plugin libraries are shared objects exporting the C functions DllGetClassObject,
// DllCanUnloadNow, DllRegisterServer and DllUnregisterServer (ComServerExports below). A
// registration names the library by its absolute path; nothing is ever loaded by a bare name,
// so no folder on a search path can plant a library, and a library is loaded only from the
// program's module folder, and only while others cannot write it (PluginFolder.h): the
// registry in the user's settings file does not decide what code the program runs.
//
// Threads: error information belongs to the calling thread. The registry and the table of
// loaded libraries may be used from any thread.
#pragma once

#include "com/ComTypes.h"
#include "com/Unknown.h"

#include <optional>
#include <string>

struct ErrorInfo {
    GUID guid;
    std::string source;
    std::string description;
};

// Replaces the calling thread's error information (nullopt clears it).
void SetErrorInfo(std::optional<ErrorInfo> info);
// Takes the calling thread's error information: a second call returns nothing.
std::optional<ErrorInfo> GetErrorInfo();
// The exception for a failed call: the HRESULT with the thread's error information, taken.
_com_error MakeComError(HRESULT hr);

// What a class writes into the registry.
struct ComClassRegistration {
    CLSID clsid;
    std::string description;      // "ProviderTypes Class"
    std::string progId;           // versioned: "Tamsel.ProviderTypes.1"
    std::string versionIndependentProgId; // "Tamsel.ProviderTypes"
    std::string threadingModel;   // "Apartment"
    GUID typeLib;
};

// Registry keys, as sections of the settings store ("@" holds a key's default value).
inline constexpr const char* kClassesRoot = "Classes";
inline constexpr const char* kDefaultValue = "@";

// Writes the ProgID keys and the CLSID key (replaced whole) for a class served by the library
// at libraryPath, which must be absolute. SELFREG_E_CLASS when the store cannot be written.
HRESULT RegisterComClass(const ComClassRegistration& reg, const std::string& libraryPath);
// Removes what RegisterComClass wrote; S_OK also when nothing was there.
HRESULT UnregisterComClass(const ComClassRegistration& reg);

// The CLSID registered for a ProgID; CO_E_CLASSSTRING when there is none.
HRESULT CLSIDFromProgID(const std::string& progId, CLSID& clsid);
// The versioned ProgID registered for a CLSID; empty when there is none.
std::string ProgIDFromCLSID(const CLSID& clsid);

// Loads the library registered for the class (once per process) and asks its class factory
// for a new object's interface iid. REGDB_E_CLASSNOTREG when the class has no registered
// library; E_ACCESSDENIED when the library is refused (elsewhere than in the module folder, or
// writable by others), HRESULT_MOD_NOT_FOUND when it cannot be loaded and CO_E_ERRORINDLL when
// it lacks DllGetClassObject, each with error information naming the library and the reason
// (the loader's own text when dlopen fails).
HRESULT CoCreateInstance(const CLSID& clsid, IUnknown* outer, const IID& iid, void** object);
// Asks every loaded library whether it can be unloaded, and lets go of those that can.
void CoFreeUnusedLibraries();

// Loads the library at path (absolute, in the module folder) and calls its DllRegisterServer or
// DllUnregisterServer. E_ACCESSDENIED, HRESULT_MOD_NOT_FOUND or CO_E_ERRORINDLL, with error
// information as for CoCreateInstance, when it cannot.
HRESULT CallServerRegistration(const std::string& path, bool registerServer);

// The absolute path of the loaded library (or program) that holds address.
std::string GetModulePath(const void* address);
// Where the program keeps its plugin libraries: lib/torvane beside the program's own folder
// (build/app/torvane -> build/lib/torvane), or the program's own folder when it is installed
// there (PREFIX/lib/torvane/torvane, linked from PREFIX/bin). With "/".
std::string GetModuleFolder();

// The exports of a plugin library.
extern "C" {
typedef HRESULT (*DllGetClassObjectFn)(const CLSID* clsid, const IID* iid, void** object);
typedef HRESULT (*DllCanUnloadNowFn)();
typedef HRESULT (*DllRegisterServerFn)();
}
