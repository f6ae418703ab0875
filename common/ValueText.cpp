#include "ValueText.h"

#include <wx/intl.h>

#include <fmt/format.h>

#include <chrono>
#include <cmath>
#include <ctime>

namespace {

// VT_ names by base type; empty where the number names no type.
const char* const kVarTypeNames[] = {
    "VT_EMPTY", "VT_NULL", "VT_I2", "VT_I4", "VT_R4", "VT_R8", "VT_CY", "VT_DATE",
    "VT_BSTR", "VT_DISPATCH", "VT_ERROR", "VT_BOOL", "VT_VARIANT", "VT_UNKNOWN", "VT_DECIMAL", "",
    "VT_I1", "VT_UI1", "VT_UI2", "VT_UI4", "VT_I8", "VT_UI8", "VT_INT", "VT_UINT",
    "VT_VOID", "VT_HRESULT", "VT_PTR", "VT_SAFEARRAY", "VT_CARRAY", "VT_USERDEFINED", "VT_LPSTR", "VT_LPWSTR",
    "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "",
    "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "",
    "VT_FILETIME", "VT_BLOB", "VT_STREAM", "VT_STORAGE", "VT_STREAMED_OBJECT", "VT_STORED_OBJECT",
    "VT_BLOB_OBJECT", "VT_CF", "VT_CLSID",
};
constexpr VARTYPE kNameCount = sizeof(kVarTypeNames) / sizeof(kVarTypeNames[0]);
static_assert(kNameCount == 73);

// Types shown by their name rather than their value.
bool IsShownByName(VARTYPE vt)
{
    return (vt >= 9 && vt <= 13 && vt != 11) || (vt >= 16 && vt <= 31 && vt != 17) || (vt >= 64 && vt <= 72);
}

// "%e" with the exponent padded to three digits, the form the users of these texts know.
wxString FormatExponent(double value)
{
    std::string s = fmt::format("{:.6e}", value);
    auto e = s.find('e');
    if (e != std::string::npos && e + 2 <= s.size()) {
        size_t digits = s.size() - (e + 2);
        if (digits < 3)
            s.insert(e + 2, 3 - digits, '0');
    }
    return wxString::FromUTF8(s);
}

// Shortest decimal form of the scaled integer, in the locale's decimal point.
wxString FormatCurrency(const CY& cy)
{
    bool negative = cy.int64 < 0;
    uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(cy.int64) : static_cast<uint64_t>(cy.int64);
    std::string s = fmt::format("{}{}", negative ? "-" : "", magnitude / 10000);
    unsigned fraction = static_cast<unsigned>(magnitude % 10000);
    wxString text = wxString::FromUTF8(s);
    if (fraction) {
        std::string digits = fmt::format("{:04}", fraction);
        digits.erase(digits.find_last_not_of('0') + 1);
        wxString point = wxLocale::GetInfo(wxLOCALE_DECIMAL_POINT, wxLOCALE_CAT_NUMBER);
        text << (point.empty() ? wxString(".") : point) << wxString::FromUTF8(digits);
    }
    return text;
}

// The date in the locale's "%c" form; false outside the years 100 to 9999.
bool FormatDate(DATE date, wxString& text)
{
    if (!std::isfinite(date) || date < -657434.0 || date >= 2958466.0)
        return false;
    using namespace std::chrono;
    // The whole part counts days from 1899-12-30; the fraction is the time of day even for
    // negative dates.
    double whole = std::trunc(date);
    long long day = static_cast<long long>(whole);
    long long seconds = std::llround(std::fabs(date - whole) * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        ++day;
    }
    sys_days when = sys_days{year{1899} / December / 30} + days{day};
    year_month_day ymd{when};
    if (int(ymd.year()) > 9999)
        return false;
    std::tm tm{};
    tm.tm_year = int(ymd.year()) - 1900;
    tm.tm_mon = static_cast<int>(unsigned(ymd.month())) - 1;
    tm.tm_mday = static_cast<int>(unsigned(ymd.day()));
    tm.tm_hour = static_cast<int>(seconds / 3600);
    tm.tm_min = static_cast<int>(seconds / 60 % 60);
    tm.tm_sec = static_cast<int>(seconds % 60);
    tm.tm_wday = static_cast<int>(weekday{when}.c_encoding());
    tm.tm_yday = static_cast<int>((when - sys_days{ymd.year() / January / 1}).count());
    tm.tm_isdst = 0;
    char buffer[256];
    size_t n = std::strftime(buffer, sizeof buffer, "%c", &tm);
    text = wxString(buffer, n);
    return true;
}

} // namespace

void FormatVariant(const VARIANT& var, wxString& text)
{
    text = "<Unknown>";
    const VARTYPE vt = var.vt;
    switch (vt) {
    case VT_EMPTY:
    case VT_NULL:
        text.clear();
        break;
    case VT_I2:
        text = wxString::Format("%hd", var.num.iVal);
        break;
    case VT_I4:
        text = wxString::Format("%d", var.num.lVal);
        break;
    case VT_R4:
        text = FormatExponent(static_cast<double>(var.num.fltVal));
        break;
    case VT_R8:
        text = FormatExponent(var.num.dblVal);
        break;
    case VT_CY:
        text = FormatCurrency(var.num.cyVal);
        break;
    case VT_DATE:
        FormatDate(var.num.date, text);
        break;
    case VT_BSTR:
        text = wxString::FromUTF8(var.str);
        break;
    case VT_BOOL:
        text = var.num.boolVal == VARIANT_FALSE ? "0" : "1";
        return;
    case VT_UI1:
        text = wxString::Format("0x%02hX", static_cast<unsigned short>(var.num.bVal));
        break;
    default:
        if (vt < kNameCount && IsShownByName(vt))
            text = kVarTypeNames[vt];
        break;
    }

    const bool isArray = (vt & VT_ARRAY) != 0;
    const bool isRef = (vt & VT_BYREF) != 0;
    if (isArray)
        text = "Array of ";
    if (isRef) {
        if (!isArray)
            text.clear();
        text += "Pointer to ";
    }
    const VARTYPE base = vt & ~(VT_ARRAY | VT_BYREF);
    if ((isArray || isRef) && base < kNameCount)
        text += kVarTypeNames[base];
}

wxString VariantToText(const VARIANT& var)
{
    wxString text;
    FormatVariant(var, text);
    return text;
}

namespace {

struct AdoTypeText {
    long code;
    const char* text;
};

const AdoTypeText kAdoTypeTexts[] = {
    {0, "(adEmpty) No value was specified"},
    {2, "(adSmallInt) A 2-byte signed integer"},
    {3, "(adInteger) A 4-byte signed integer"},
    {4, "(adSingle) A single-precision floating point value"},
    {5, "(adDouble) A double-precision floating point value"},
    {6, "(adCurrency) A currency value (8-byte signed integer scaled by 10,000)"},
    {7, "(adDate) A Date value"},
    {8, "(adBSTR) A null-terminated character string (Unicode)"},
    {9, "(adIDispatch) A pointer to an IDispatch interface on an OLE object"},
    {10, "(adError) A 32-bit Error code"},
    {11, "(adBoolean) A Boolean value"},
    {12, "(adVariant) An OLE Automation Variant"},
    {13, "(adIUnknown) A pointer to an IUnknown interface on an OLE object"},
    {14, "(adDecimal) An exact numeric value with a fixed precision and scale"},
    {16, "(adTinyInt) A 1-byte signed integer"},
    {17, "(adUnsignedTinyInt) A 1-byte unsigned integer"},
    {18, "(adUnsignedSmallInt) A 2-byte unsigned integer"},
    {19, "(adUnsignedInt) A 4-byte unsigned integer"},
    {20, "(adBigInt) An 8-byte signed integer"},
    {21, "(adUnsignedBigInt) An 8-byte unsigned integer"},
    {64, "(adFileTime) A 64-bit value representing the number of 100-nanosecond intervals since January 1, 1601"},
    {72, "(adGUID) A globally unique identifier (GUID)"},
    {128, "(adBinary) A binary value"},
    {129, "(adChar) A String value"},
    {130, "(adWChar) A null-terminated Unicode character string"},
    {131, "(adNumeric) An exact numeric value with a fixed precision and scale"},
    {132, "(adUserDefined) A user-defined variable"},
    {133, "(adDBDate) A date value (yyyymmdd)"},
    {134, "(adDBTime) A time value (hhmmss)"},
    {135, "(adDBTimeStamp) A date-time stamp (yyyymmddhhmmss plus a fraction in billionths)"},
    {136, "(adChapter) A four-byte chapter value that identifies rows in a child rowset"},
    {138, "(adPropVariant) An Automation PROPVARIANT"},
    {139, "(adVarNumeric) A numeric value (Parameter object only)"},
    {200, "(adVarChar) A String value (Parameter object only)"},
    {201, "(adLongVarChar) A long String value (Parameter object only)"},
    {202, "(adVarWChar) A null-terminated Unicode character string (Parameter object only)"},
    {203, "(adLongVarWChar) A long null-terminated string value (Parameter object only)"},
    {204, "(adVarBinary) A binary value (Parameter object only)"},
    {205, "(adLongVarBinary) A long binary value (Parameter object only)"},
    {8192, "(AdArray) A flag value, always combined with another data type constant, that indicates an array of that other data type"},
};

} // namespace

void FormatAdoDataType(long dataType, wxString& text)
{
    for (const auto& entry : kAdoTypeTexts) {
        if (entry.code == dataType) {
            text = entry.text;
            return;
        }
    }
    text = wxString::Format("%ld <new or provider-specific>", dataType);
}

wxString GetAdoDataTypeText(long dataType)
{
    wxString text;
    FormatAdoDataType(dataType, text);
    return text;
}
