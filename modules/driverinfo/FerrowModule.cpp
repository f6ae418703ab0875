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

} // namespace

TORVANE_EXPORT_COM_CLASS(CODBCDriverInfo, IODBCDriverInfo, CLSID_ODBCDriverInfo, Registration)
