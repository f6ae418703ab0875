#include "SchemaRowsets.h"

namespace ado::detail {

RecordsetPtr OpenSchemaRowset(const ConnectionPtr&, SQLHDBC, ErrorList& errors, SchemaEnum,
                              const std::vector<_variant_t>&)
{
    ThrowAdo(adErrFeatureNotAvailable,
             "Object or provider is not capable of performing requested operation.", &errors);
}

} // namespace ado::detail
