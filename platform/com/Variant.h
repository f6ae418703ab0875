// A variant that keeps its VT_ tag, standing in for VARIANT / _variant_t at the data layer's
// boundary. Strings are UTF-8; binary values are VT_ARRAY | VT_UI1.
#pragma once

#include "ComTypes.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum VARENUM : VARTYPE {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_CY = 6,
    VT_DATE = 7,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_UNKNOWN = 13,
    VT_DECIMAL = 14,
    VT_I1 = 16,
    VT_UI1 = 17,
    VT_UI2 = 18,
    VT_UI4 = 19,
    VT_I8 = 20,
    VT_UI8 = 21,
    VT_INT = 22,
    VT_UINT = 23,
    VT_VOID = 24,
    VT_HRESULT = 25,
    VT_LPSTR = 30,
    VT_LPWSTR = 31,
    VT_FILETIME = 64,
    VT_CLSID = 72,
    VT_VECTOR = 0x1000,
    VT_ARRAY = 0x2000,
    VT_BYREF = 0x4000,
    VT_TYPEMASK = 0x0FFF,
};

typedef int16_t VARIANT_BOOL;
constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;

// Days since 1899-12-30, the fraction being the time of day.
typedef double DATE;

// 96-bit scaled integer: value = (negative ? -1 : 1) * (Hi32:Lo64) / 10^scale.
struct DECIMAL {
    uint8_t scale = 0;
    bool negative = false;
    uint32_t Hi32 = 0;
    uint64_t Lo64 = 0;
    bool operator==(const DECIMAL&) const = default;

    std::string ToString() const;
    // Parses "[-|+]digits[.digits]" exactly: false when the text is not a number or its value
    // needs more than 96 bits or 28 decimal places (zeros at the end of the fraction aside), so
    // that no caller takes a rounded value for the one written.
    static bool Parse(std::string_view text, DECIMAL& out);
    double ToDouble() const;
};

// Currency: a 64-bit integer scaled by 10,000.
struct CY {
    int64_t int64 = 0;
    bool operator==(const CY&) const = default;
};

class _variant_t {
public:
    _variant_t() = default;
    _variant_t(int16_t v) : vt(VT_I2) { num.iVal = v; }
    _variant_t(int32_t v) : vt(VT_I4) { num.lVal = v; }
    _variant_t(long v) : vt(VT_I4) { num.lVal = static_cast<int32_t>(v); }
    _variant_t(int64_t v, VARTYPE t) : vt(t) { num.llVal = v; }
    _variant_t(float v) : vt(VT_R4) { num.fltVal = v; }
    _variant_t(double v, VARTYPE t = VT_R8) : vt(t) { num.dblVal = v; }
    _variant_t(bool v) : vt(VT_BOOL) { num.boolVal = v ? VARIANT_TRUE : VARIANT_FALSE; }
    _variant_t(const char* s) : vt(VT_BSTR), str(s ? s : "") {}
    _variant_t(std::string s) : vt(VT_BSTR), str(std::move(s)) {}
    _variant_t(std::string_view s) : vt(VT_BSTR), str(s) {}
    _variant_t(const DECIMAL& d) : vt(VT_DECIMAL) { num.decVal = d; }
    _variant_t(const CY& c) : vt(VT_CY) { num.cyVal = c; }

    static _variant_t Null() { _variant_t v; v.vt = VT_NULL; return v; }
    static _variant_t I8(int64_t v) { return _variant_t(v, VT_I8); }
    static _variant_t UI8(uint64_t v) { _variant_t r; r.vt = VT_UI8; r.num.ullVal = v; return r; }
    static _variant_t Date(DATE d) { return _variant_t(d, VT_DATE); }
    static _variant_t Error(SCODE s) { _variant_t r; r.vt = VT_ERROR; r.num.scode = s; return r; }
    static _variant_t Bytes(std::vector<uint8_t> b)
    {
        _variant_t r;
        r.vt = VT_ARRAY | VT_UI1;
        r.bytes = std::move(b);
        return r;
    }
    static _variant_t OfType(VARTYPE t) { _variant_t r; r.vt = t; return r; }

    bool IsNull() const { return vt == VT_NULL; }
    bool IsEmpty() const { return vt == VT_EMPTY; }

    // Conversions with the usual automation coercions; they throw _com_error
    // (DISP_E_TYPEMISMATCH / DISP_E_OVERFLOW) when the value does not convert.
    int32_t ToLong() const;
    int64_t ToInt64() const;
    double ToDouble() const;
    bool ToBool() const;
    std::string ToString() const;

    bool operator==(const _variant_t& o) const;

    VARTYPE vt = VT_EMPTY;
    union Num {
        int8_t cVal;
        uint8_t bVal;
        int16_t iVal;
        uint16_t uiVal;
        int32_t lVal;
        uint32_t ulVal;
        int64_t llVal;
        uint64_t ullVal;
        float fltVal;
        double dblVal;
        DATE date;
        VARIANT_BOOL boolVal;
        SCODE scode;
        CY cyVal;
        DECIMAL decVal;
        Num() : decVal() {}
    } num;
    std::string str;            // VT_BSTR
    std::vector<uint8_t> bytes; // VT_ARRAY | VT_UI1
};

typedef _variant_t VARIANT;

// The text forms ToString gives dates and floating-point numbers, appended to out, for callers
// that format many values into one buffer. Numbers have 15 significant digits (7 for a single),
// or more where fewer would not read back as the same number.
void AppendDateText(DATE value, std::string& out);
void AppendDoubleText(double value, std::string& out);
void AppendFloatText(float value, std::string& out);
