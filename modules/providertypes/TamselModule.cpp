// The exports of libTamsel.so: the class factory of ProviderTypes, self-registration into the
// class registry, and whether the library can be let go.
#include "ProviderTypes.h"
#include "TamselStrings.h"

#include "platform/ComRuntime.h"

namespace {

const ComClassRegistration& Registration()
{
    static const ComClassRegistration reg{CLSID_ProviderTypes,       tamsel::kClassDescription,
                                          kProviderTypesVersionedProgID, kProviderTypesProgID,
                                          "Apartment",               LIBID_TamselLib};
    return reg;
}

class CProviderTypesFactory final : public IClassFactory {
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
    // The factory is static: it lives as long as the library.
    uint32_t AddRef() override { return 2; }
    uint32_t Release() override { return 1; }

    HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        ComPtr<IProviderTypes> created(new CProviderTypes);
        return created->QueryInterface(iid, object);
    }
    HRESULT LockServer(bool lock) override
    {
        lock ? ++CProviderTypes::s_lockCount : --CProviderTypes::s_lockCount;
        return S_OK;
    }
};

CProviderTypesFactory g_factory;

} // namespace

extern "C" {

__attribute__((visibility("default"))) HRESULT DllGetClassObject(const CLSID* clsid, const IID* iid, void** object)
{
    if (!clsid || !iid || !object)
        return E_POINTER;
    *object = nullptr;
    if (*clsid != CLSID_ProviderTypes)
        return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(*iid, object);
}

__attribute__((visibility("default"))) HRESULT DllCanUnloadNow()
{
    return CProviderTypes::s_lockCount == 0 ? S_OK : S_FALSE;
}

__attribute__((visibility("default"))) HRESULT DllRegisterServer()
{
    const std::string path = GetModulePath(reinterpret_cast<const void*>(&DllRegisterServer));
    if (path.empty())
        return SELFREG_E_CLASS;
    return RegisterComClass(Registration(), path);
}

__attribute__((visibility("default"))) HRESULT DllUnregisterServer()
{
    return UnregisterComClass(Registration());
}

} // extern "C"
