// The Data Types page: the driver's native types from SQLGetTypeInfo, the details of one type
// and the SQL types it converts to, and the four report tables over all types.
//
// Errors: FetchInfo and WriteReport throw DriverError when the type information cannot be read
// (including "Driver is not capable of performing requested operation." for a driver without
// SQLGetTypeInfo).
#pragma once

#include "InfoPageModel.h"

#include <optional>
#include <vector>

namespace ferrow {

// What the page shows for one type.
struct TypeDetails {
    std::string sqlType;
    std::string precision;
    std::string literals; // "prefix,suffix"
    std::string createParams;
    std::string nullable;
    std::string caseSensitive;
    std::string searchable;
    std::string unsignedText;
    std::string money;
    std::string autoIncrement;
    std::string minimumScale;
    std::string maximumScale;
    std::vector<std::string> conversions; // "<none>" alone when there are none
};

class DataTypesModel final : public InfoPageModel {
public:
    // "SQL_CHAR" ... for the 19 ODBC 2 SQL types; nullptr for any other code.
    static const char* SqlTypeName(int dataType);
    // The SQL_CONVERT_... information type of an ODBC 2 SQL type.
    static std::optional<uint16_t> ConversionInfoType(int dataType);
    // The names of the conversion targets in mask, in their fixed order; "<none>" for 0.
    static std::vector<std::string> ConversionNames(uint32_t mask);

    void FetchInfo(InfoSource& source) override;
    void WriteReport(InfoSource& source, std::string& out) override;

    // The details of the first type of that name (exact match); nullopt when there is none.
    std::optional<TypeDetails> Details(InfoSource& source, const std::string& typeName) const;

    std::vector<TypeInfoRow> types; // in the driver's order
};

} // namespace ferrow
