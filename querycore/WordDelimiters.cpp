#include "WordDelimiters.h"

#include <cctype>

bool IsWordDelimiter(wxUniChar c)
{
    const wxUint32 code = c.GetValue();
    if (code == 0 || code == ' ' || code == '\t' || code == '\r' || code == '\n')
        return true;
    return code < 128 && std::ispunct(static_cast<int>(code));
}

bool IsWholeWordAt(long position, const wxString& text, long length)
{
    const long size = static_cast<long>(text.length());
    if (position < 0 || length < 0 || position + length > size)
        return false;
    if (position == 0 && length == size)
        return true;
    if (position > 0 && !IsWordDelimiter(text[static_cast<size_t>(position - 1)]))
        return false;
    return position + length == size || IsWordDelimiter(text[static_cast<size_t>(position + length)]);
}
