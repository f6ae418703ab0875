// What the fuzz targets check beyond crashes and sanitizer reports: a property that does not
// hold ends the process with the property and the input, which libFuzzer then keeps as the
// finding. And how they cut an input into parts.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

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

// The parts of text between the bytes at (one part more than there are such bytes).
inline std::vector<std::string> Split(std::string_view text, char at)
{
    std::vector<std::string> parts;
    for (size_t pos = 0;;) {
        const size_t end = text.find(at, pos);
        parts.emplace_back(text.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos));
        if (end == std::string_view::npos)
            return parts;
        pos = end + 1;
    }
}

} // namespace fuzz
