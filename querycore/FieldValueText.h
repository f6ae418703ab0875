// The text of a field's value in the current row, as results grids, text output and delimited
// exports show it: empty for NULL, "0"/"1" for a Boolean, the display text of a byte type, the
// value's standard string conversion for everything else.
#pragma once

#include "ado/Ado.h"

#include <string>

// Fills text (reusing its storage) with the field's value text.
void FieldValueText(const ado::Field& field, std::string& text);
std::string FieldValueText(const ado::Field& field);

// The text of a field of a byte type (adBinary, adVarBinary, adLongVarBinary): its bytes when
// they are a zero-terminated text of ActualSize - 1 characters, otherwise "<Binary/Raw>".
std::string VariantToDisplayText(const ado::Field& field);
