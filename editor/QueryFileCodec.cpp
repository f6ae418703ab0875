#include "QueryFileCodec.h"

#include "querycore/Utf8.h"

QueryFileLineEnd CQueryFileCodec::DetectLineEnd(std::string_view text)
{
    size_t pos = text.find_first_of("\r\n");
    if (pos == std::string_view::npos || text[pos] == '\n')
        return QueryFileLineEnd::LF;
    if (pos + 1 < text.size() && text[pos + 1] == '\n')
        return QueryFileLineEnd::CRLF;
    return QueryFileLineEnd::CR;
}

QueryFileText CQueryFileCodec::Decode(std::string_view bytes)
{
    QueryFileText result;
    const std::string_view bom = utf8::kByteOrderMark;
    if (bytes.substr(0, bom.size()) == bom && utf8::IsValid(bytes.substr(bom.size()))) {
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
    if (encoding == QueryFileEncoding::Utf8) {
        out.assign(utf8);
        return true;
    }
    if (encoding == QueryFileEncoding::Utf8Bom) {
        out.assign(utf8::kByteOrderMark);
        out.append(utf8);
        return true;
    }
    return utf8::ToWindows1252(utf8, out);
}
