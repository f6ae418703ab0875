#include "FieldValueText.h"

#include "Utf8.h"

#include <algorithm>

namespace {

bool IsByteType(ado::DataTypeEnum type)
{
    return type == ado::adBinary || type == ado::adVarBinary || type == ado::adLongVarBinary;
}

// VT_ names by base type, for values that have no string conversion; empty where the number
// names no type.
constexpr const char* kVarTypeNames[] = {
    "VT_EMPTY", "VT_NULL", "VT_I2", "VT_I4", "VT_R4", "VT_R8", "VT_CY", "VT_DATE",
    "VT_BSTR", "VT_DISPATCH", "VT_ERROR", "VT_BOOL", "VT_VARIANT", "VT_UNKNOWN", "VT_DECIMAL", "",
    "VT_I1", "VT_UI1", "VT_UI2", "VT_UI4", "VT_I8", "VT_UI8", "VT_INT", "VT_UINT",
    "VT_VOID", "VT_HRESULT", "VT_PTR", "VT_SAFEARRAY", "VT_CARRAY", "VT_USERDEFINED", "VT_LPSTR", "VT_LPWSTR",
};
constexpr const char* kHighVarTypeNames[] = {"VT_FILETIME", "VT_BLOB", "VT_STREAM", "VT_STORAGE",
                                             "VT_STREAMED_OBJECT", "VT_STORED_OBJECT", "VT_BLOB_OBJECT",
                                             "VT_CF", "VT_CLSID"};

const char* VarTypeName(VARTYPE base)
{
    if (base < std::size(kVarTypeNames))
        return kVarTypeNames[base];
    if (base >= VT_FILETIME && base < VT_FILETIME + std::size(kHighVarTypeNames))
        return kHighVarTypeNames[base - VT_FILETIME];
    return "";
}

// The display text of a value without a string conversion: "Array of " / "Pointer to " and
// the type's name, "<Unknown>" when it has none.
std::string TypeText(VARTYPE vt)
{
    std::string text;
    if (vt & VT_ARRAY)
        text += "Array of ";
    if (vt & VT_BYREF)
        text += "Pointer to ";
    if (text.empty())
        return (vt & VT_TYPEMASK) == VT_DECIMAL || !*VarTypeName(vt) ? "<Unknown>" : VarTypeName(vt);
    return text + VarTypeName(vt & VT_TYPEMASK);
}

// The display text of a byte field's value.
std::string ByteFieldText(const _variant_t& value, long actualSize)
{
    std::string_view bytes;
    if (value.vt == (VT_ARRAY | VT_UI1)) {
        auto zero = std::find(value.bytes.begin(), value.bytes.end(), uint8_t{0});
        bytes = std::string_view(reinterpret_cast<const char*>(value.bytes.data()),
                                 static_cast<size_t>(zero - value.bytes.begin()));
    }
    if (static_cast<long>(bytes.size()) + 1 != actualSize)
        return "<Binary/Raw>";
    return utf8::IsValid(bytes) ? std::string(bytes) : utf8::FromWindows1252(bytes);
}

} // namespace

std::string VariantToDisplayText(const ado::Field& field)
{
    return ByteFieldText(field.GetValue(), field.GetActualSize());
}

void FieldValueText(const ado::Field& field, std::string& text)
{
    ado::DataTypeEnum type = field.GetType();
    _variant_t value = field.GetValue();
    if (value.vt == VT_NULL || value.vt == VT_EMPTY) {
        text.clear();
    } else if (IsByteType(type)) {
        text = ByteFieldText(value, field.GetActualSize());
    } else if (type == ado::adBoolean && value.vt == VT_BOOL) {
        text.assign(1, value.num.boolVal ? '1' : '0');
    } else if (value.vt == VT_BSTR) {
        text.swap(value.str);
    } else {
        try {
            text = value.ToString();
        } catch (const _com_error&) {
            text = TypeText(value.vt);
        }
    }
}

std::string FieldValueText(const ado::Field& field)
{
    std::string text;
    FieldValueText(field, text);
    return text;
}
