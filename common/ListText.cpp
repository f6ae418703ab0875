#include "ListText.h"

#include <cstdlib>

std::vector<wxString> SplitListRowFields(const wxString& rowText)
{
    std::vector<wxString> fields;
    size_t start = 0;
    for (size_t bar = rowText.find('|'); bar != wxString::npos; bar = rowText.find('|', start)) {
        fields.push_back(rowText.Mid(start, bar - start));
        start = bar + 1;
    }
    return fields;
}

int64_t ParseListSortNumber(const wxString& text)
{
    const std::string s = text.utf8_string();
    // strtoll stops at the first character that is not part of the number and saturates
    // on overflow, as a sort key should.
    return static_cast<int64_t>(std::strtoll(s.c_str(), nullptr, 10));
}
