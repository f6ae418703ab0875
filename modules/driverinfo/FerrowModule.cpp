// The exports of libFerrow.so: the class factory of ODBCDriverInfo, self-registration into the
// class registry, and whether the library can be let go.
#include "ODBCDriverInfo.h"
#include "FerrowStrings.h"

#include "platform/ComRuntime.h"

namespace {

const ComClassRegistration& Registration()
{
    static const ComClassRegistration reg{CLSID_ODBCDriverInfo,       ferrow::kClassDescription,
                                          kODBCDriverInfoVersionedProgID, kODBCDriverInfoProgID,
                                          "Apartment",               LIBID_FerrowLib};
    return reg;
}

class CODBCDriverInfoFactory final : public IClassFactory {
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
        ComPtr<IODBCDriverInfo> created(new CODBCDriverInfo);
        return created->QueryInterface(iid, object);
    }
    HRESULT LockServer(bool lock) override
    {
        lock ? ++CODBCDriverInfo::s_lockCount : --CODBCDriverInfo::s_lockCount;
        return S_OK;
    }
};

CODBCDriverInfoFactory g_factory;

} // namespace

extern "C" {

__attribute__((visibility("default"))) HRESULT DllGetClassObject(const CLSID* clsid, const IID* iid, void** object)
{
    if (!clsid || !iid || !object)
        return E_POINTER;
    *object = nullptr;
    if (*clsid != CLSID_ODBCDriverInfo)
        return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(*iid, object);
}

__attribute__((visibility("default"))) HRESULT DllCanUnloadNow()
{
    return CODBCDriverInfo::s_lockCount == 0 ? S_OK : S_FALSE;
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
