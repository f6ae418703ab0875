#include "TextPositions.h"

#include "ado/Unicode.h"

#include <wx/stc/stc.h>

#include <algorithm>

namespace {

// True when utf8[i] begins a character: not a continuation byte, nor the LF of a CR LF.
bool StartsCharacter(std::string_view utf8, size_t i)
{
    if (ado::detail::IsUtf8Continuation(utf8[i]))
        return false;
    return !(utf8[i] == '\n' && i > 0 && utf8[i - 1] == '\r');
}

// The whole text of the control without copying it.
std::string_view TextOf(const wxStyledTextCtrl& ctrl)
{
    auto& c = const_cast<wxStyledTextCtrl&>(ctrl);
    const char* p = c.GetCharacterPointer();
    return p ? std::string_view(p, static_cast<size_t>(c.GetTextLength())) : std::string_view();
}

std::string_view LineText(const wxStyledTextCtrl& ctrl, int line)
{
    std::string_view all = TextOf(ctrl);
    long start = ctrl.PositionFromLine(line);
    long end = ctrl.GetLineEndPosition(line);
    if (start < 0 || end < start || static_cast<size_t>(end) > all.size())
        return {};
    return all.substr(static_cast<size_t>(start), static_cast<size_t>(end - start));
}

} // namespace

long CTextPositions::CountChars(std::string_view utf8, size_t from, size_t to)
{
    long chars = 0;
    for (size_t i = from; i < to; ++i)
        if (StartsCharacter(utf8, i))
            ++chars;
    return chars;
}

long CTextPositions::ByteToChar(std::string_view utf8, long bytePos)
{
    return CountChars(utf8, 0, std::min(static_cast<size_t>(std::max(bytePos, 0L)), utf8.size()));
}

long CTextPositions::CharToByte(std::string_view utf8, long charPos)
{
    if (charPos <= 0)
        return 0;
    long chars = 0;
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (!StartsCharacter(utf8, i))
            continue;
        if (chars == charPos)
            return static_cast<long>(i);
        ++chars;
    }
    return static_cast<long>(utf8.size());
}

long CTextPositions::ByteToChar(const wxStyledTextCtrl& ctrl, long bytePos)
{
    return ByteToChar(TextOf(ctrl), bytePos);
}

long CTextPositions::CharToByte(const wxStyledTextCtrl& ctrl, long charPos)
{
    return CharToByte(TextOf(ctrl), charPos);
}

long CTextPositions::ColumnOf(const wxStyledTextCtrl& ctrl, long bytePos)
{
    int line = ctrl.LineFromPosition(bytePos);
    long start = ctrl.PositionFromLine(line);
    return ByteToChar(TextOf(ctrl).substr(static_cast<size_t>(start)), bytePos - start);
}

long CTextPositions::PositionOfColumn(const wxStyledTextCtrl& ctrl, int line, long column)
{
    return ctrl.PositionFromLine(line) + CharToByte(LineText(ctrl, line), column);
}

long CTextPositions::LineLength(const wxStyledTextCtrl& ctrl, int line)
{
    std::string_view text = LineText(ctrl, line);
    return ByteToChar(text, static_cast<long>(text.size()));
}
