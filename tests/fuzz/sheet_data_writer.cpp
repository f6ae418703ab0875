// The worksheet row writer on fields taken from the input (rows split at byte 2, fields at byte
// 1). Checked: a row is refused exactly when one of its fields is not valid UTF-8, and then
// nothing of it is written; the rows written are well-formed XML whose cells, once the sheet's
// own escapes are undone, hold exactly the fields' texts.
#include "FuzzCheck.h"

#include "querycore/SheetDataWriter.h"
#include "querycore/Utf8.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <xlsxwriter.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

// The cell's text with "_xHHHH_" read as the character it stands for.
std::string Unescaped(std::string_view raw)
{
    std::string text;
    for (size_t i = 0; i < raw.size(); ++i) {
        if (i + 7 <= raw.size() && raw[i] == '_' && raw[i + 1] == 'x' && IsHex(raw[i + 2]) && IsHex(raw[i + 3]) &&
            IsHex(raw[i + 4]) && IsHex(raw[i + 5]) && raw[i + 6] == '_') {
            utf8::Append(text, static_cast<char32_t>(std::strtoul(std::string(raw.substr(i + 2, 4)).c_str(), nullptr, 16)));
            i += 6;
            continue;
        }
        text += raw[i];
    }
    return text;
}

// The texts of the <t> elements in document order.
void CollectTexts(xmlNodePtr node, std::vector<std::string>& texts)
{
    for (; node; node = node->next) {
        if (node->type != XML_ELEMENT_NODE)
            continue;
        if (std::string_view(reinterpret_cast<const char*>(node->name)) == "t") {
            xmlChar* content = xmlNodeGetContent(node);
            texts.push_back(Unescaped(content ? reinterpret_cast<const char*>(content) : ""));
            xmlFree(content);
            continue;
        }
        CollectTexts(node->children, texts);
    }
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // A worksheet as the writer finds it in a constant-memory workbook: its row file and an
    // empty used range. The cells' format has the index the writer puts in each cell.
    char* bytes = nullptr;
    size_t length = 0;
    std::unique_ptr<std::FILE, FileCloser> rowFile(open_memstream(&bytes, &length));
    lxw_worksheet sheet{};
    sheet.optimize_tmpfile = rowFile.get();
    sheet.dim_rowmin = LXW_ROW_MAX;
    sheet.dim_colmin = LXW_COL_MAX;
    lxw_format format{};
    format.xf_index = 1;

    std::vector<std::string> expected;
    {
        SheetDataWriter writer(&sheet, &format);
        lxw_row_t row = 0;
        for (const std::string& line : fuzz::Split(input, '\x02')) {
            const std::vector<std::string> fields = fuzz::Split(line, '\x01');
            size_t firstInvalid = fields.size();
            for (size_t i = 0; i < fields.size() && firstInvalid == fields.size(); ++i)
                if (!utf8::IsValid(fields[i]))
                    firstInvalid = i;
            const std::optional<size_t> refused = writer.WriteRow(row, fields, fields.size());
            fuzz::Check(refused.value_or(fields.size()) == firstInvalid, "a row is refused for its first field that is not UTF-8",
                        input);
            if (refused)
                continue;
            for (const std::string& field : fields)
                if (!field.empty())
                    expected.push_back(field);
            ++row;
        }
        writer.Finish();
    }
    std::fflush(rowFile.get());
    const std::string document = "<sheetData>" + std::string(bytes, length) + "</sheetData>";
    rowFile.reset();
    std::free(bytes);

    using Doc = std::unique_ptr<xmlDoc, void (*)(xmlDocPtr)>;
    const Doc doc(xmlReadMemory(document.data(), static_cast<int>(document.size()), nullptr, "UTF-8",
                                XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_HUGE),
                  xmlFreeDoc);
    if (!doc)
        fuzz::Fail("the rows are well-formed XML", input);
    std::vector<std::string> texts;
    CollectTexts(xmlDocGetRootElement(doc.get()), texts);
    fuzz::Check(texts == expected, "the cells read back as the fields written", input);
    return 0;
}
