// Display texts of values and data type codes, as shown in grids, property lists and reports.
// Each text comes as a worker that fills a string and a wrapper that returns one.
#pragma once

#include "platform/com/Variant.h"

#include <wx/string.h>

// The display text of a value: numbers and strings as values, other types by their VT_ name
// ("Array of " / "Pointer to " for arrays and references), "<Unknown>" when nothing applies.
void FormatVariant(const VARIANT& var, wxString& text);
wxString VariantToText(const VARIANT& var);

// "(adBigInt) An 8-byte signed integer"; "%d <new or provider-specific>" for other codes.
void FormatAdoDataType(long dataType, wxString& text);
wxString GetAdoDataTypeText(long dataType);
