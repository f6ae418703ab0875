// Texts behind the list helpers: row fields and the keys the column sorter compares.
#pragma once

#include <wx/string.h>

#include <cstdint>
#include <vector>

// The fields of a row text, each terminated by "|"; text after the last "|" is no field.
std::vector<wxString> SplitListRowFields(const wxString& rowText);

// The number at the start of a text (blanks, a sign, decimal digits); 0 when there is none.
// 64 bits wide, so large counts and bit masks sort by their value.
int64_t ParseListSortNumber(const wxString& text);
