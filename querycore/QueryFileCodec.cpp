#include "QueryFileCodec.h"

#include "Utf8.h"

#include <optional>

QueryFileLineEnd CQueryFileCodec::DetectLineEnd(std::string_view text)
{
    size_t pos = text.find_first_of("\r\n");
    if (pos == std::string_view::npos || text[pos] == '\n')
        return QueryFileLineEnd::LF;
    if (pos + 1 < text.size() && text[pos + 1] == '\n')
        return QueryFileLineEnd::CRLF;
    return QueryFileLineEnd::CR;
}

namespace {

// The UTF-16 forms of a query file: the marked ones first, as they are tried first.
struct Utf16Form {
    QueryFileEncoding encoding;
    utf8::Utf16Order order;
    std::string_view bom;
};
constexpr Utf16Form kUtf16Forms[] = {
    {QueryFileEncoding::Utf16LEBom, utf8::Utf16Order::LittleEndian, "\xFF\xFE"},
    {QueryFileEncoding::Utf16BEBom, utf8::Utf16Order::BigEndian, "\xFE\xFF"},
    {QueryFileEncoding::Utf16LE, utf8::Utf16Order::LittleEndian, ""},
    {QueryFileEncoding::Utf16BE, utf8::Utf16Order::BigEndian, ""},
};

// The text of UTF-16 bytes: with a byte-order mark, or without one when the zero bytes tell the
// order and the text holds no NUL character (8-bit text with a stray zero byte stays 8-bit, and
// is refused for it).
std::optional<QueryFileText> DecodeUtf16(std::string_view bytes)
{
    const std::optional<utf8::Utf16Order> unmarkedOrder = utf8::Utf16OrderOfZeros(bytes);
    for (const Utf16Form& form : kUtf16Forms) {
        const bool marked = !form.bom.empty();
        if (marked ? bytes.substr(0, form.bom.size()) != form.bom : unmarkedOrder != form.order)
            continue;
        QueryFileText result;
        size_t badAt = 0;
        if (!utf8::FromUtf16(bytes.substr(form.bom.size()), form.order, result.utf8, badAt))
            continue;
        if (!marked && result.utf8.find('\0') != std::string::npos)
            return std::nullopt;
        result.encoding = form.encoding;
        return result;
    }
    return std::nullopt;
}

} // namespace

QueryFileText CQueryFileCodec::Decode(std::string_view bytes)
{
    QueryFileText result;
    const std::string_view bom = utf8::kByteOrderMark;
    if (std::optional<QueryFileText> utf16 = DecodeUtf16(bytes)) {
        result = std::move(*utf16);
    } else if (bytes.substr(0, bom.size()) == bom && utf8::IsValid(bytes.substr(bom.size()))) {
        result.encoding = QueryFileEncoding::Utf8Bom;
        result.utf8.assign(bytes.substr(bom.size()));
    } else if (utf8::IsValid(bytes)) {
        result.encoding = QueryFileEncoding::Utf8;
        result.utf8.assign(bytes);
    } else {
        result.encoding = QueryFileEncoding::Windows1252;
        result.utf8 = utf8::FromWindows1252(bytes);
    }
    result.lineEnd = DetectLineEnd(result.utf8);
    return result;
}

bool CQueryFileCodec::Encode(std::string_view utf8, QueryFileEncoding encoding, std::string& out)
{
    switch (encoding) {
    case QueryFileEncoding::Utf8:
        out.assign(utf8);
        return true;
    case QueryFileEncoding::Utf8Bom:
        out.assign(utf8::kByteOrderMark);
        out.append(utf8);
        return true;
    case QueryFileEncoding::Windows1252:
        return utf8::ToWindows1252(utf8, out);
    default:
        break;
    }
    for (const Utf16Form& form : kUtf16Forms) {
        if (form.encoding == encoding) {
            out.assign(form.bom);
            out += utf8::ToUtf16(utf8, form.order);
            return true;
        }
    }
    return false;
}
