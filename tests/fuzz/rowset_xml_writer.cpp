// The XML persistence writer on text columns and values taken from the input: byte 3 ends the
// column names, after it rows are split at byte 2 and values at byte 1 (an empty value is NULL).
// Checked: the writer refuses a name or value exactly when it holds text XML 1.0 cannot carry
// (not valid UTF-8, or a character outside XML's), and otherwise writes a document that a
// reader of the format parses back to the same names and values.
#include "FuzzCheck.h"

#include "ado/AdoEnums.h"
#include "ado/PersistOutput.h"
#include "ado/RowsetXmlWriter.h"
#include "ado/Unicode.h"
#include "platform/com/ComTypes.h"
#include "tests/persist/RowsetXmlReader.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool IsXmlText(std::string_view text)
{
    for (size_t pos = 0; pos < text.size();) {
        char32_t c = 0;
        if (!ado::detail::DecodeUtf8(text, pos, c))
            return false;
        const bool allowed = c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
                             (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
        if (!allowed)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t end = input.find('\x03');
    if (end == std::string_view::npos)
        return 0;
    std::vector<ado::XmlColumn> columns;
    bool writable = true;
    for (const std::string& name : fuzz::Split(input.substr(0, end), '\x01')) {
        columns.push_back({name, ado::adVarWChar, 0, 0, 0, 0});
        writable = writable && IsXmlText(name);
    }
    std::vector<std::vector<std::optional<std::string>>> rows;
    for (const std::string& line : fuzz::Split(input.substr(end + 1), '\x02')) {
        std::vector<std::string> values = fuzz::Split(line, '\x01');
        values.resize(columns.size());
        rows.emplace_back();
        for (const std::string& v : values) {
            rows.back().push_back(v.empty() ? std::nullopt : std::optional<std::string>(v));
            writable = writable && IsXmlText(v);
        }
    }

    ado::StringOutput out;
    try {
        ado::RowsetXmlWriter writer(out, columns);
        writer.WriteSchema();
        long number = 0;
        for (const auto& row : rows) {
            std::vector<_variant_t> values;
            for (const auto& v : row)
                values.push_back(v ? _variant_t(*v) : _variant_t::Null());
            writer.WriteRow(values, ++number);
        }
        writer.Finish();
    } catch (const _com_error&) {
        fuzz::Check(!writable, "only text XML cannot carry is refused", input);
        return 0;
    }
    fuzz::Check(writable, "text XML cannot carry is refused", input);
    torvane::test::XmlRowset back;
    try {
        back = torvane::test::ReadRowsetXml(out.Data());
    } catch (const std::runtime_error&) {
        fuzz::Fail("the document is well-formed and in the format", input);
    }
    fuzz::Check(back.columns.size() == columns.size(), "every column is in the schema", input);
    for (size_t i = 0; i < columns.size(); ++i)
        fuzz::Check(back.columns[i].columnName == columns[i].name, "column names read back", input);
    fuzz::Check(back.rows == rows, "values read back", input);
    return 0;
}
