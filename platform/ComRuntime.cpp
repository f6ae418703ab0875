#include "ComRuntime.h"

#include "PluginFolder.h"
#include "SettingsStore.h"

#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <mutex>

namespace {

thread_local std::optional<ErrorInfo> t_errorInfo;

std::mutex g_librariesMutex;
std::map<std::string, void*> g_libraries; // absolute path -> handle

wxString ClassKey(const std::string& name)
{
    return wxString(kClassesRoot) + "\\" + wxString::FromUTF8(name);
}

wxString ClsidKey(const CLSID& clsid)
{
    return ClassKey("CLSID\\" + clsid.ToString());
}

void SetLoaderError(const std::string& path, const std::string& reason)
{
    SetErrorInfo(ErrorInfo{GUID_NULL, path, "Cannot load " + path + ": " + reason});
}

// Opens the library (or finds it open) and looks up one export. Null, with error
// information set and hr filled, when either fails. The checks of the module folder run on
// every call, so a library that has become writable by others is refused even when loaded.
void* LoadExport(const std::string& path, const char* name, HRESULT& hr)
{
    const PluginOpen opened = OpenPluginLibrary(path, GetModuleFolder());
    if (!opened.handle) {
        SetLoaderError(path, opened.reason);
        hr = opened.hr;
        return nullptr;
    }
    {
        std::lock_guard lock(g_librariesMutex);
        // Open already: the loader counted this opening too.
        if (!g_libraries.emplace(path, opened.handle).second)
            dlclose(opened.handle);
    }
    void* fn = dlsym(opened.handle, name);
    if (!fn) {
        SetLoaderError(path, std::string("the library does not export ") + name);
        hr = CO_E_ERRORINDLL;
    }
    return fn;
}

} // namespace

void SetErrorInfo(std::optional<ErrorInfo> info)
{
    t_errorInfo = std::move(info);
}

std::optional<ErrorInfo> GetErrorInfo()
{
    return std::exchange(t_errorInfo, std::nullopt);
}

_com_error MakeComError(HRESULT hr)
{
    if (auto info = GetErrorInfo())
        return _com_error(hr, info->description, info->source, info->guid);
    return _com_error(hr);
}

HRESULT RegisterComClass(const ComClassRegistration& reg, const std::string& libraryPath)
{
    if (libraryPath.empty() || libraryPath[0] != '/')
        return E_INVALIDARG;
    CSettingsStore& store = CSettingsStore::Get();
    const wxString clsid = reg.clsid.ToString();
    const wxString description = wxString::FromUTF8(reg.description);
    const wxString clsidKey = ClsidKey(reg.clsid);
    // The CLSID key is replaced whole, so that nothing of an earlier registration stays.
    store.DeleteSection(clsidKey);
    bool ok = store.WriteProfileString(ClassKey(reg.progId), kDefaultValue, description) &&
              store.WriteProfileString(ClassKey(reg.progId), "CLSID", clsid) &&
              store.WriteProfileString(ClassKey(reg.versionIndependentProgId), kDefaultValue, description) &&
              store.WriteProfileString(ClassKey(reg.versionIndependentProgId), "CLSID", clsid) &&
              store.WriteProfileString(ClassKey(reg.versionIndependentProgId), "CurVer",
                                       wxString::FromUTF8(reg.progId)) &&
              store.WriteProfileString(clsidKey, kDefaultValue, description) &&
              store.WriteProfileString(clsidKey + "\\ProgID", kDefaultValue, wxString::FromUTF8(reg.progId)) &&
              store.WriteProfileString(clsidKey + "\\VersionIndependentProgID", kDefaultValue,
                                       wxString::FromUTF8(reg.versionIndependentProgId)) &&
              store.WriteProfileString(clsidKey + "\\Programmable", kDefaultValue, wxString()) &&
              store.WriteProfileString(clsidKey + "\\InprocServer32", kDefaultValue,
                                       wxString::FromUTF8(libraryPath)) &&
              store.WriteProfileString(clsidKey + "\\InprocServer32", "ThreadingModel",
                                       wxString::FromUTF8(reg.threadingModel)) &&
              store.WriteProfileString(clsidKey + "\\TypeLib", kDefaultValue, reg.typeLib.ToString());
    return ok ? S_OK : SELFREG_E_CLASS;
}

HRESULT UnregisterComClass(const ComClassRegistration& reg)
{
    CSettingsStore& store = CSettingsStore::Get();
    store.DeleteSection(ClassKey(reg.progId));
    store.DeleteSection(ClassKey(reg.versionIndependentProgId));
    store.DeleteSection(ClsidKey(reg.clsid));
    return S_OK;
}

HRESULT CLSIDFromProgID(const std::string& progId, CLSID& clsid)
{
    const wxString text = CSettingsStore::Get().GetProfileString(ClassKey(progId), "CLSID");
    if (text.empty() || !GUID::Parse(text.ToStdString(), clsid))
        return CO_E_CLASSSTRING;
    return S_OK;
}

std::string ProgIDFromCLSID(const CLSID& clsid)
{
    return CSettingsStore::Get().GetProfileString(ClsidKey(clsid) + "\\ProgID", kDefaultValue).utf8_string();
}

HRESULT CoCreateInstance(const CLSID& clsid, IUnknown* outer, const IID& iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    const std::string path =
        CSettingsStore::Get().GetProfileString(ClsidKey(clsid) + "\\InprocServer32", kDefaultValue).utf8_string();
    if (path.empty())
        return REGDB_E_CLASSNOTREG;
    HRESULT hr = S_OK;
    auto getClassObject = reinterpret_cast<DllGetClassObjectFn>(LoadExport(path, "DllGetClassObject", hr));
    if (!getClassObject)
        return hr;
    ComPtr<IClassFactory> factory;
    hr = getClassObject(&clsid, &IID_IClassFactory, factory.AsOut());
    if (FAILED(hr))
        return hr;
    return factory->CreateInstance(outer, iid, object);
}

void CoFreeUnusedLibraries()
{
    std::lock_guard lock(g_librariesMutex);
    for (auto it = g_libraries.begin(); it != g_libraries.end();) {
        auto canUnload = reinterpret_cast<DllCanUnloadNowFn>(dlsym(it->second, "DllCanUnloadNow"));
        if (canUnload && canUnload() == S_OK) {
            dlclose(it->second);
            it = g_libraries.erase(it);
        } else {
            ++it;
        }
    }
}

HRESULT CallServerRegistration(const std::string& path, bool registerServer)
{
    HRESULT hr = S_OK;
    auto fn = reinterpret_cast<DllRegisterServerFn>(
        LoadExport(path, registerServer ? "DllRegisterServer" : "DllUnregisterServer", hr));
    return fn ? fn() : hr;
}

std::string GetModulePath(const void* address)
{
    Dl_info info{};
    if (!dladdr(address, &info) || !info.dli_fname)
        return {};
    std::error_code ec;
    std::filesystem::path path = std::filesystem::canonical(info.dli_fname, ec);
    return ec ? std::string(info.dli_fname) : path.string();
}

std::string GetModuleFolder()
{
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return {};
    const std::filesystem::path own = exe.parent_path();
    if (own.filename() == "torvane" && own.parent_path().filename() == "lib")
        return own.string() + "/";
    std::filesystem::path folder = (own.parent_path() / "lib" / "torvane").lexically_normal();
    return folder.string() + "/";
}
