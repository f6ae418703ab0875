// The exports of libTamsel.so: the class factory of ProviderTypes, self-registration into the
// class registry, and whether the library can be let go.
#include "ProviderTypes.h"
#include "TamselStrings.h"

#include "platform/ComModuleExports.h"

namespace {

const ComClassRegistration& Registration()
{
    static const ComClassRegistration reg{CLSID_ProviderTypes,       tamsel::kClassDescription,
                                          kProviderTypesVersionedProgID, kProviderTypesProgID,
                                          "Apartment",               LIBID_TamselLib};
    return reg;
}

TComClassFactory<CProviderTypes, IProviderTypes> g_factory;

} // namespace

extern "C" {

__attribute__((visibility("default"))) HRESULT DllGetClassObject(const CLSID* clsid, const IID* iid, void** object)
{
    return g_factory.GetClassObject(CLSID_ProviderTypes, clsid, iid, object);
}

__attribute__((visibility("default"))) HRESULT DllCanUnloadNow()
{
    return g_factory.CanUnloadNow();
}

__attribute__((visibility("default"))) HRESULT DllRegisterServer()
{
    return RegisterModuleClass(Registration(), reinterpret_cast<const void*>(&DllRegisterServer));
}

__attribute__((visibility("default"))) HRESULT DllUnregisterServer()
{
    return UnregisterComClass(Registration());
}

} // extern "C"
