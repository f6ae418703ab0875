// What every plugin library exports alike: one class factory for its one object and the four
// exported functions (DllGetClassObject, DllCanUnloadNow, DllRegisterServer,
// DllUnregisterServer), which TORVANE_EXPORT_COM_CLASS defines for the library's class. Any
// thread; the factory is static and lives as long as the library.
#pragma once

#include "ComRuntime.h"

#include <atomic>

// Object is the plugin's coclass: it derives from Interface and counts LockServer in a static
// s_lockCount.
template <class Object, class Interface>
class TComClassFactory final : public IClassFactory {
public:
    HRESULT QueryInterface(const IID& iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *object = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    uint32_t AddRef() override { return 2; }
    uint32_t Release() override { return 1; }

    HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        ComPtr<Interface> created(new Object);
        return created->QueryInterface(iid, object);
    }
    HRESULT LockServer(bool lock) override
    {
        lock ? ++Object::s_lockCount : --Object::s_lockCount;
        return S_OK;
    }

    // DllGetClassObject for the one class the library serves.
    HRESULT GetClassObject(const CLSID& served, const CLSID* clsid, const IID* iid, void** object)
    {
        if (!clsid || !iid || !object)
            return E_POINTER;
        *object = nullptr;
        if (*clsid != served)
            return CLASS_E_CLASSNOTAVAILABLE;
        return QueryInterface(*iid, object);
    }
    static HRESULT CanUnloadNow() { return Object::s_lockCount == 0 ? S_OK : S_FALSE; }
};

// DllRegisterServer: registers the class with the path of the library that holds anchor (an
// address inside it, such as the export itself).
inline HRESULT RegisterModuleClass(const ComClassRegistration& reg, const void* anchor)
{
    const std::string path = GetModulePath(anchor);
    if (path.empty())
        return SELFREG_E_CLASS;
    return RegisterComClass(reg, path);
}

// Defines the library's factory and its four exports for Object (implementing Interface), the
// class clsid, registered as registration() describes it. Use once per library, at file scope.
#define TORVANE_EXPORT_COM_CLASS(Object, Interface, clsid, registration)                                    \
    namespace {                                                                                             \
    TComClassFactory<Object, Interface> g_factory;                                                          \
    }                                                                                                       \
    extern "C" __attribute__((visibility("default"))) HRESULT DllGetClassObject(const CLSID* requested,     \
                                                                                const IID* iid, void** object) \
    {                                                                                                       \
        return g_factory.GetClassObject(clsid, requested, iid, object);                                     \
    }                                                                                                       \
    extern "C" __attribute__((visibility("default"))) HRESULT DllCanUnloadNow()                             \
    {                                                                                                       \
        return g_factory.CanUnloadNow();                                                                    \
    }                                                                                                       \
    extern "C" __attribute__((visibility("default"))) HRESULT DllRegisterServer()                           \
    {                                                                                                       \
        return RegisterModuleClass(registration(), reinterpret_cast<const void*>(&DllRegisterServer));      \
    }                                                                                                       \
    extern "C" __attribute__((visibility("default"))) HRESULT DllUnregisterServer()                         \
    {                                                                                                       \
        return UnregisterComClass(registration());                                                          \
    }
