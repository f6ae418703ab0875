// Values of cells as the data layer hands them on: the variant of a value a database delivers
// as text, of an integer column, of a date's parts, and the text of a variant. Nothing here
// rounds: a value its variant type cannot hold exactly stays text.
#pragma once

#include "AdoEnums.h"
#include "DateParts.h"
#include "platform/com/Variant.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace ado::detail {

// The variant of a date, time or timestamp: VT_DATE where it gives back the parts to the
// microsecond, as its readers (exports above all) decode it, else text (the database's own
// where there is one). Far from 1899 a double holds fewer digits of the time of day, and no
// double holds a fraction finer than a microsecond.
_variant_t DateVariant(DataTypeEnum type, const DateParts& parts, std::string_view text);

// ISO text of parts: "YYYY-MM-DD", "hh:mm:ss[.f]" or both with a blank between, by the type.
std::string DateText(DataTypeEnum type, const DateParts& parts);

// The variant of an integer column: the column's own VT_ where the value fits, else the
// 64-bit type, so no value is cut.
_variant_t IntegerVariant(DataTypeEnum type, int64_t value);

// A value read as text: the declared type's variant where the text is exactly a value of that
// type; false when it stays text (a dynamically typed database keeps any value in any column,
// values such as 'infinity' have no variant of their type, and digits a type cannot hold are
// kept rather than rounded).
bool ConvertText(std::string_view text, DataTypeEnum type, _variant_t& out);

// Appends what ToString gives, without a temporary string for the common types.
void AppendVariantText(const _variant_t& value, std::string& out);

} // namespace ado::detail
