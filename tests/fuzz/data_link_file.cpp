// The data link file reader on any bytes: it gives text or names the fault, and never fails
// otherwise. The input taken as a connect string (when it can be one: well-formed UTF-8 on one
// line, trimmed, not a comment or the section line) comes back from a file written with it in
// either encoding.
#include "FuzzCheck.h"

#include "common/TrimText.h"
#include "querycore/DataLinkFile.h"
#include "querycore/Utf8.h"

#include <cctype>
#include <cstdint>

namespace {

bool IsSectionLine(std::string_view s)
{
    constexpr std::string_view section = "[oledb]";
    if (s.size() != section.size())
        return false;
    for (size_t i = 0; i < s.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[i])) != section[i])
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    try {
        DataLinkFile::Decode(input);
    } catch (const DataLinkFile::BadContent&) {
    }

    const std::string_view connect = TrimWhitespace(input);
    if (connect.empty() || connect.front() == ';' || IsSectionLine(connect) || !utf8::IsValid(connect)
        || connect.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos)
        return 0;
    for (auto encoding : {DataLinkFile::Encoding::Utf16LE, DataLinkFile::Encoding::EightBit}) {
        try {
            fuzz::Check(DataLinkFile::Decode(DataLinkFile::Encode(connect, encoding)) == connect,
                        "a written connect string reads back", input);
        } catch (const DataLinkFile::BadContent&) {
            fuzz::Fail("a written file is text", input);
        }
    }
    return 0;
}
