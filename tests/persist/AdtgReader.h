// Reader of ADTG TableGrams for the tests: parses a flat (one recordset, unchanged rows)
// TableGram strictly by the format's grammar and gives back its meta information and rows.
// Any deviation (wrong token, size that disagrees with the content, trailing bytes) throws
// std::runtime_error naming the offset.
#pragma once

#include "platform/com/Variant.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace torvane::test {

struct AdtgProperty {
    uint32_t id = 0;
    enum class Kind { Boolean, Integer, String } kind = Kind::Integer;
    bool boolean = false;
    int32_t integer = 0;
    std::string text;
};

struct AdtgPropertySet {
    GUID id;
    std::vector<AdtgProperty> properties;
};

struct AdtgTableInfo {
    uint16_t ordinal = 0;
    std::string originalName;
    std::string updateName;
    uint16_t columnCount = 0;
    std::vector<uint16_t> keyColumns;
};

struct AdtgColumnInfo {
    uint32_t presence = 0;
    uint16_t ordinal = 0;
    std::optional<std::string> name;
    std::optional<uint16_t> baseTableOrdinal;
    std::optional<uint16_t> baseColumnOrdinal;
    std::optional<std::string> baseColumnName;
    uint16_t type = 0;
    uint32_t maxLength = 0;
    uint32_t precision = 0;
    int32_t scale = 0;
    uint32_t flags = 0;
    std::optional<std::string> baseCatalog;
    std::optional<std::string> baseSchema;
    std::optional<bool> autoIncrement;
    bool visible = false;
};

struct AdtgDocument {
    uint8_t versionMajor = 0, versionMinor = 0, byteOrder = 0, unicode = 0;
    GUID handler;
    uint8_t updateType = 0;
    uint16_t asyncOption = 0;
    GUID resultId;
    uint8_t cursorModel = 0;
    uint16_t visibleColumns = 0, totalColumns = 0, computedColumns = 0, tableCount = 0;
    uint32_t rowCount = 0;
    std::vector<AdtgPropertySet> resultProperties;
    std::vector<AdtgPropertySet> contextProperties;
    std::vector<AdtgTableInfo> tables;
    std::vector<AdtgColumnInfo> columns;
    // Values by column type: integers as VT_I1..VT_UI8, floats VT_R4/VT_R8, currency VT_CY,
    // VT_DATE, VT_BOOL, VT_DECIMAL; text (non-Unicode and Unicode) as UTF-8 VT_BSTR; binary as
    // bytes; GUIDs as their braced text; DBDATE, DBTIME and DBTIMESTAMP as ISO text
    // ("YYYY-MM-DD", "hh:mm:ss", "YYYY-MM-DDThh:mm:ss[.fffffffff]"); NULL as VT_NULL.
    std::vector<std::vector<_variant_t>> rows;
};

AdtgDocument ReadAdtg(const std::string& bytes);

// Bytes from a hexadecimal dump in the layout the format's examples use: lines of an offset
// followed by up to sixteen two-digit bytes (the text column, if any, is ignored). Returns the
// bytes from offset first to offset last inclusive.
std::string BytesFromDump(const std::string& dump, size_t first, size_t last);

} // namespace torvane::test
