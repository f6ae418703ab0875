// Query files on disk and the text the editor holds. The editor works in UTF-8; a file is read as
// UTF-16 when it begins with a UTF-16 byte order mark or its zero bytes show the byte order (as
// editors of another desktop save SQL), as UTF-8 when its bytes are valid UTF-8 and as
// Windows-1252 otherwise, and the encoding and the line end it came with are remembered so that
// saving writes the same kind of file back. The conversions themselves are Utf8.h's; Find in
// Files reads the files it searches through the same decoding.
#pragma once

#include <string>
#include <string_view>

enum class QueryFileEncoding {
    Utf8,        // no byte-order mark
    Utf8Bom,     // begins with EF BB BF, which the editor never shows
    Windows1252,
    Utf16LE,    // without a byte-order mark
    Utf16LEBom, // begins with FF FE
    Utf16BE,    // without a byte-order mark
    Utf16BEBom, // begins with FE FF
};

enum class QueryFileLineEnd { LF, CRLF, CR };

struct QueryFileText {
    std::string utf8; // the text as the editor holds it; line ends exactly as in the file
    QueryFileEncoding encoding = QueryFileEncoding::Utf8;
    QueryFileLineEnd lineEnd = QueryFileLineEnd::LF;
};

class CQueryFileCodec {
public:
    // Never fails: bytes that are no text come out as Windows-1252 characters, a NUL byte as a
    // NUL character, which the callers refuse (BatchSplitter::LineOfNulCharacter).
    static QueryFileText Decode(std::string_view bytes);

    // The file bytes of an editor text. Returns false, leaving out untouched, when the text holds
    // a character that the encoding cannot represent (only Windows-1252 can refuse).
    static bool Encode(std::string_view utf8, QueryFileEncoding encoding, std::string& out);

    // The line end of the first line break; LF for a text without one.
    static QueryFileLineEnd DetectLineEnd(std::string_view text);
};
