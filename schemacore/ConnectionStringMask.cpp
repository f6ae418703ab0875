#include "ConnectionStringMask.h"

namespace {

bool IsPasswordKey(wxString key)
{
    key.Trim(true).Trim(false);
    return key.IsSameAs("Password", false) || key.IsSameAs("PWD", false);
}

// The inner text back in its quotes or braces, the closing character doubled inside.
wxString Enclose(const wxString& inner, wxUniChar open, wxUniChar close)
{
    wxString doubled = inner;
    doubled.Replace(wxString(close), wxString(close) + wxString(close));
    return wxString(open) + doubled + wxString(close);
}

} // namespace

wxString MaskConnectionPasswords(const wxString& text)
{
    wxString result;
    const size_t n = text.length();
    size_t i = 0;
    while (i < n) {
        // The key: up to "=" ("==" stands for an "=" inside it), or a pair without one.
        const size_t start = i;
        wxString key;
        while (i < n && text[i] != ';') {
            if (text[i] == '=') {
                if (i + 1 < n && text[i + 1] == '=') {
                    key += '=';
                    i += 2;
                    continue;
                }
                break;
            }
            key += text[i++];
        }
        if (i >= n || text[i] == ';') {
            result += text.Mid(start, i - start);
            if (i < n) {
                result += ';';
                ++i;
            }
            continue;
        }
        result += text.Mid(start, i - start + 1);
        ++i;
        while (i < n && text[i] == ' ')
            result += text[i++];
        const bool password = IsPasswordKey(key);
        const size_t valueStart = i;
        if (i < n && (text[i] == '"' || text[i] == '\'' || text[i] == '{')) {
            const wxUniChar open = text[i];
            const wxUniChar close = open == '{' ? wxUniChar('}') : open;
            wxString inner;
            size_t j = i + 1;
            while (j < n) {
                if (text[j] == close) {
                    if (j + 1 < n && text[j + 1] == close) {
                        inner += close;
                        j += 2;
                        continue;
                    }
                    break;
                }
                inner += text[j++];
            }
            const bool terminated = j < n;
            const size_t afterQuote = terminated ? j + 1 : n;
            size_t end = afterQuote;
            while (end < n && text[end] != ';')
                ++end;
            if (password) {
                result += kPasswordMask;
            } else {
                const wxString masked = MaskConnectionPasswords(inner);
                if (terminated && masked != inner)
                    result += Enclose(masked, open, close) + text.Mid(afterQuote, end - afterQuote);
                else
                    result += text.Mid(valueStart, end - valueStart);
            }
            i = end;
        } else {
            size_t end = i;
            while (end < n && text[end] != ';')
                ++end;
            result += password ? wxString(kPasswordMask) : text.Mid(i, end - i);
            i = end;
        }
        if (i < n) {
            result += ';';
            ++i;
        }
    }
    return result;
}
