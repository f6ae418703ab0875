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

} // namespace

TORVANE_EXPORT_COM_CLASS(CProviderTypes, IProviderTypes, CLSID_ProviderTypes, Registration)
