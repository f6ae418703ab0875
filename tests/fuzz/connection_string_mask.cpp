// The password mask of the properties sheet against the connection itself: for every text the
// connection reads, the masked text reads the same except that each password the connection
// would hand on (the bridge's own and the ODBC attributes') is the mask.
#include "FuzzCheck.h"

#include "ado/ConnectionString.h"
#include "schemacore/ConnectionStringMask.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace {

using namespace ado::detail;

std::optional<ConnectRequest> Read(std::string_view text)
{
    try {
        return TranslateConnectionString(text);
    } catch (const ConnectionStringError&) {
        return std::nullopt;
    }
}

// The ODBC attributes that are not passwords, in order.
std::vector<ConnectionAttribute> Others(const AttributeList& list)
{
    std::vector<ConnectionAttribute> out;
    for (const auto& a : list.Items())
        if (!IsPasswordKeyword(a.key))
            out.push_back(a);
    return out;
}

bool Same(const std::vector<ConnectionAttribute>& a, const std::vector<ConnectionAttribute>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].key != b[i].key || a[i].value != b[i].value)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string masked = MaskConnectionPasswords(input);
    const std::optional<ConnectRequest> original = Read(input);
    // A text the connection refuses sends nothing.
    if (!original)
        return 0;
    // Seven characters of mask for each value may take a text past the length limit.
    if (masked.size() > kMaxConnectionStringLength)
        return 0;
    const std::optional<ConnectRequest> shown = Read(masked);
    if (!shown)
        fuzz::Fail("the masked text reads as the connection reads it", input);
    fuzz::Check(shown->password.empty() || shown->password == kPasswordMask, "no password survives the mask", input);
    for (const auto& a : shown->odbc.Items())
        if (IsPasswordKeyword(a.key))
            fuzz::Check(a.value == kPasswordMask, "no ODBC password survives the mask", input);
    fuzz::Check(Same(Others(shown->odbc), Others(original->odbc)), "the attributes other than passwords stay as written",
                input);
    fuzz::Check(shown->provider == original->provider && shown->userId == original->userId
                    && shown->dataSource == original->dataSource && shown->initialCatalog == original->initialCatalog,
                "the bridge's own keywords other than the password stay", input);
    return 0;
}
