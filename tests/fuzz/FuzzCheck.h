// What the fuzz targets check beyond crashes and sanitizer reports: a property that does not
// hold ends the process with the property and the input, which libFuzzer then keeps as the
// finding.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace fuzz {

[[noreturn]] inline void Fail(const char* property, std::string_view input)
{
    std::fprintf(stderr, "Property does not hold: %s\nInput (%zu bytes): %.*s\n", property, input.size(),
                 static_cast<int>(input.size() > 2000 ? 2000 : input.size()), input.data());
    std::abort();
}

inline void Check(bool holds, const char* property, std::string_view input)
{
    if (!holds)
        Fail(property, input);
}

} // namespace fuzz
