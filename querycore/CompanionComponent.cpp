#include "CompanionComponent.h"

#include "platform/ComRuntime.h"

#include <sys/stat.h>

#include <thread>

std::string FindComponentLibrary(const std::string& folder, const std::string& libraryName)
{
    if (folder.empty() || folder[0] != '/' || libraryName.empty() || libraryName.find('/') != std::string::npos)
        return {};
    std::string path = folder;
    if (path.back() != '/')
        path += '/';
    path += libraryName;
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    return path;
}

bool RegisterServerDll(const std::string& path)
{
    const HRESULT hr = CallServerRegistration(path, true);
    // Why a library was refused is for the user; other failures only mean "not registered".
    if (hr != E_ACCESSDENIED)
        GetErrorInfo();
    return SUCCEEDED(hr);
}

bool IsComponentRegistered(const std::string& progId, const std::string& libraryName, const std::string& folder)
{
    SetErrorInfo(std::nullopt);
    CLSID clsid;
    if (SUCCEEDED(CLSIDFromProgID(progId, clsid)))
        return true;
    const std::string path = FindComponentLibrary(folder, libraryName);
    return !path.empty() && RegisterServerDll(path);
}

void* CreateComponentObject(const CLSID& clsid, const IID& iid, const std::string& libraryName,
                            const std::string& folder, std::chrono::milliseconds pause)
{
    void* object = nullptr;
    HRESULT hr = CoCreateInstance(clsid, nullptr, iid, &object);
    // A refused library is reported, not quietly replaced by the folder's own: the user learns
    // that the registration points at something the program will not run.
    if (FAILED(hr) && hr != E_ACCESSDENIED) {
        // Kept for the caller unless a new attempt gives its own.
        std::optional<ErrorInfo> info = GetErrorInfo();
        const std::string path = FindComponentLibrary(folder, libraryName);
        if (!path.empty() && RegisterServerDll(path)) {
            std::this_thread::sleep_for(pause);
            hr = CoCreateInstance(clsid, nullptr, iid, &object);
        } else {
            SetErrorInfo(std::move(info));
        }
    }
    if (FAILED(hr))
        throw MakeComError(hr);
    return object;
}
