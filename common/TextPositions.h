// Editor positions and text positions. The editor counts bytes of UTF-8; every position the
// program stores, shows or compares (error tags, Go To, "Ln %d, Col %d", find hits) counts
// characters, with one per line break (CR LF counts once). All conversions go through here.
#pragma once

#include <cstddef>
#include <string_view>

class wxStyledTextCtrl;

class CTextPositions {
public:
    // Characters before a byte offset. An offset inside a character or between the CR and LF of
    // one line break counts that character as reached.
    static long ByteToChar(std::string_view utf8, long bytePos);
    // The byte offset where a character begins; past the end gives the text's length.
    static long CharToByte(std::string_view utf8, long charPos);
    // Characters of utf8[from, to), for counting on from an earlier position: a LF whose CR
    // lies just before from belongs to the character counted before.
    static long CountChars(std::string_view utf8, size_t from, size_t to);

    static long ByteToChar(const wxStyledTextCtrl& ctrl, long bytePos);
    static long CharToByte(const wxStyledTextCtrl& ctrl, long charPos);

    // The character column (from 0) of an editor position within its line.
    static long ColumnOf(const wxStyledTextCtrl& ctrl, long bytePos);
    // The editor position of a character column (from 0) of a line, kept within the line's text.
    static long PositionOfColumn(const wxStyledTextCtrl& ctrl, int line, long column);
    // Characters of a line's text, without its line break.
    static long LineLength(const wxStyledTextCtrl& ctrl, int line);
};
