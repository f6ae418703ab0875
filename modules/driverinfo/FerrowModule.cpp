// The exports of libFerrow.so: the class factory of ODBCDriverInfo, self-registration into the
// class registry, and whether the library can be let go.
#include "ODBCDriverInfo.h"
#include "FerrowStrings.h"

#include "platform/ComModuleExports.h"

namespace {

const ComClassRegistration& Registration()
{
    static const ComClassRegistration reg{CLSID_ODBCDriverInfo,       ferrow::kClassDescription,
                                          kODBCDriverInfoVersionedProgID, kODBCDriverInfoProgID,
                                          "Apartment",               LIBID_FerrowLib};
    return reg;
}

TComClassFactory<CODBCDriverInfo, IODBCDriverInfo> g_factory;

} // namespace

extern "C" {

__attribute__((visibility("default"))) HRESULT DllGetClassObject(const CLSID* clsid, const IID* iid, void** object)
{
    return g_factory.GetClassObject(CLSID_ODBCDriverInfo, clsid, iid, object);
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
