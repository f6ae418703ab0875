// The statement splitter and the semicolon mask on any batch: statements are non-empty,
// trimmed pieces of the batch, and masking a statement a second time changes nothing.
#include "FuzzCheck.h"

#include "ado/StatementSplitter.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    constexpr std::string_view blanks = " \t\r\n";
    for (const std::string& statement : ado::detail::SplitStatements(input)) {
        fuzz::Check(!statement.empty(), "statements are not empty", input);
        fuzz::Check(blanks.find(statement.front()) == std::string_view::npos
                        && blanks.find(statement.back()) == std::string_view::npos,
                    "statements are trimmed", input);
        fuzz::Check(input.find(statement) != std::string_view::npos, "statements are pieces of the batch", input);
        const std::string masked = ado::detail::MaskSemicolons(statement);
        fuzz::Check(ado::detail::MaskSemicolons(masked) == masked, "masking is done in one pass", input);
    }
    return 0;
}
