// What the list pages of the properties sheet share without their windows: the texts a page
// shows instead of records, the images of the sheet's image list, the entries of a page's name
// combo, and the way a load's failure turns into the text the page shows (never a message box).
#pragma once

#include "platform/com/ComTypes.h"
#include "platform/com/Variant.h"

#include <wx/string.h>

#include <exception>
#include <new>
#include <vector>

namespace property_texts {
inline constexpr const char* kNoData = "<No data>";
inline constexpr const char* kNotCapable = "<Provider not capable>";
inline constexpr const char* kErrorsOccurred = "<Errors occurred>";
} // namespace property_texts

// The images of the sheet's image list, by index.
enum PropertyImage : int {
    imgCross = 0,
    imgErrorDisc = 1,
    imgConnection = 2,
    imgTextLines = 3,
    imgRelationship = 4,
    imgWindowLines = 5,
    imgUser = 6,
    imgGroup = 7,
    imgKey = 8,
    imgCount = 9,
};

// How a page's load ended: a data layer error means the provider cannot supply the rowset.
enum class CPageLoadResult { Loaded, NotCapable, ErrorsOccurred };

// Runs a load and tells how it ended; nothing escapes.
template <class Load>
CPageLoadResult GuardedLoad(Load&& load) noexcept
{
    try {
        load();
        return CPageLoadResult::Loaded;
    } catch (const _com_error&) {
        return CPageLoadResult::NotCapable;
    } catch (...) {
        return CPageLoadResult::ErrorsOccurred;
    }
}

// One entry of a page's name combo; record is the index of the page's record it shows, -1 for
// the entries that stand for no record.
struct CNameComboEntry {
    wxString text;
    int image = imgCross;
    int record = -1;

    bool operator==(const CNameComboEntry&) const = default;
};

// The combo's entries: the records' own when the load succeeded and found some; "<No data>"
// (error disc) when it found none; the failure's text (cross) when it failed; the page then
// disables its combo.
std::vector<CNameComboEntry> NameComboEntries(CPageLoadResult result, std::vector<CNameComboEntry> records);

class CSchemaRow;

// A column of the row's current record as text, or fallback when the column is missing or
// cannot be read: one unreadable value never stops a page's load.
wxString GuardedText(CSchemaRow& row, const char* column, const wxString& fallback = wxString());
// The value itself; an EMPTY value when it cannot be read.
_variant_t GuardedValue(CSchemaRow& row, const char* column);
// Whether a value is the boolean true.
bool IsTrueValue(const _variant_t& value);
