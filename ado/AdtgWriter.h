// Writer of the Advanced Data TableGram (ADTG), the binary recordset format that the
// object model saves with adPersistADTG: header, handler options, the meta information
// (result descriptor, recordset context, table and column descriptors), one row operation per
// row and the done token. All numbers are little-endian; column values are laid out by the
// column's data type as the format's ColumnData rules say.
//
// Usage: WriteHeader, WriteHandlerOptions, WriteResultDescriptor, WriteRecordsetContext, the
// table descriptors, one WriteColumnDescriptor per column in ordinal order, WriteRow per row,
// Finish.
#pragma once

#include "AdoEnums.h"
#include "PersistOutput.h"
#include "platform/com/Variant.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ado {

namespace adtg {

// Tokens that open each part of a TableGram.
enum Token : uint8_t {
    kTokenHeader = 0x01,
    kTokenHandlerOptions = 0x02,
    kTokenResultDescriptor = 0x03,
    kTokenTableDescriptor = 0x05,
    kTokenColumnDescriptor = 0x06,
    kTokenOriginalRow = 0x07,
    kTokenDone = 0x0F,
    kTokenRecordsetContext = 0x10,
};

// Bits of the column descriptor's presence map, one per optional field.
enum ColumnPresence : uint32_t {
    kHasFriendlyName = 0x800000,
    kHasBaseTableOrdinal = 0x400000,
    kHasBaseColumnOrdinal = 0x200000,
    kHasBaseColumnName = 0x100000,
    kHasBaseCatalogName = 0x020000,
    kHasBaseSchemaName = 0x010000,
    kHasAutoIncrement = 0x000100,
};

// Handler options: how the receiver should load the rows.
enum AsyncOption : uint16_t { kAsyncSynch = 1, kAsyncBlocking = 2, kAsyncNonBlocking = 3 };

// Class identifier of the object that holds the recordsets of a TableGram (handler options).
inline constexpr GUID kRecordsetHandler = {0x3FF292B6, 0xB204, 0x11CF, {0x8D, 0x23, 0x00, 0xAA, 0x00, 0x5F, 0xFE, 0x58}};
// The value a result descriptor's GUID is initialised to; receivers ignore it.
inline constexpr GUID kResultDescriptorId = {0xF663ADD2, 0xEB02, 0x11CF, {0xB0, 0xE3, 0x00, 0xAA, 0x00, 0x3F, 0x00, 0x0F}};
// Property sets of result descriptors and recordset contexts.
inline constexpr GUID kPropsetRowset = {0xC8B522BE, 0x5CF3, 0x11CE, {0xAD, 0xE5, 0x00, 0xAA, 0x00, 0x44, 0x77, 0x3D}};
inline constexpr GUID kPropsetAdc = {0xB68E3CC1, 0x6DEB, 0x11D0, {0x8D, 0xF6, 0x00, 0xAA, 0x00, 0x5F, 0xFE, 0x58}};

struct Property {
    enum class Kind { Boolean, Integer, String };
    uint32_t id = 0;
    Kind kind = Kind::Integer;
    bool boolean = false;
    int32_t integer = 0;
    std::string text; // UTF-8

    static Property Bool(uint32_t id, bool v) { Property p; p.id = id; p.kind = Kind::Boolean; p.boolean = v; return p; }
    static Property Int(uint32_t id, int32_t v) { Property p; p.id = id; p.kind = Kind::Integer; p.integer = v; return p; }
    static Property Text(uint32_t id, std::string v) { Property p; p.id = id; p.kind = Kind::String; p.text = std::move(v); return p; }
};

struct PropertySet {
    GUID id;
    std::vector<Property> properties;
};

struct ResultDescriptor {
    GUID id = kResultDescriptorId;
    uint8_t cursorModel = 0; // snapshot
    uint16_t visibleColumns = 0;
    uint16_t totalColumns = 0;
    uint16_t computedColumns = 0;
    uint16_t tableCount = 0;
    uint32_t rowCount = 0;
    // Finish replaces rowCount by the number of rows written (for a writer that does not know
    // the count before the rows stream past).
    bool countRows = false;
    // None: the optional property sets are left out.
    std::vector<PropertySet> propertySets;
};

struct TableDescriptor {
    uint16_t ordinal = 1;
    std::string originalName;
    std::string updateName;
    uint16_t columnCount = 0;
    std::vector<uint16_t> keyColumns; // base-table column ordinals, ascending
};

struct BaseColumn {
    uint16_t tableOrdinal = 1;
    uint16_t columnOrdinal = 1;
    std::string name;
};

struct Column {
    uint16_t ordinal = 1;
    std::optional<std::string> name;
    std::optional<BaseColumn> baseColumn;
    // The wire type; DataTypeEnum values are the wire's DBTYPE values. Supported: adSmallInt,
    // adInteger, adSingle, adDouble, adCurrency, adDate, adBSTR, adBoolean, adDecimal,
    // adTinyInt, adUnsignedTinyInt, adUnsignedSmallInt, adUnsignedInt, adBigInt,
    // adUnsignedBigInt, adGUID, adBinary, adChar, adWChar, adDBDate, adDBTime, adDBTimeStamp.
    DataTypeEnum type = adWChar;
    uint32_t maxLength = 0;      // 0xFFFFFFFF: no maximum
    uint32_t precision = 0;
    int32_t scale = 0;
    uint32_t flags = 0;          // the column flags, which are FieldAttributeEnum's bits
    std::optional<std::string> baseCatalog;
    std::optional<std::string> baseSchema;
    std::optional<bool> autoIncrement;
    bool visible = true;
};

inline constexpr uint32_t kNoMaxLength = 0xFFFFFFFF;

} // namespace adtg

class AdtgWriter {
public:
    explicit AdtgWriter(PersistOutput& out) : m_out(out) {}

    // Version 0.0, little-endian, non-Unicode character data (Unicode text travels as adWChar).
    void WriteHeader();
    void WriteHandlerOptions(adtg::AsyncOption async = adtg::kAsyncSynch);
    void WriteResultDescriptor(const adtg::ResultDescriptor& descriptor);
    void WriteRecordsetContext(const std::vector<adtg::PropertySet>& propertySets = {});
    void WriteTableDescriptor(const adtg::TableDescriptor& table);
    void WriteColumnDescriptor(const adtg::Column& column);

    // One unchanged row of the parent recordset: values in column order, VT_NULL (or
    // VT_EMPTY) for NULL. A value the column cannot hold exactly throws _com_error
    // adErrDataConversion naming rowNumber and the column.
    void WriteRow(const std::vector<_variant_t>& values, long rowNumber);

    // The done token; fills in the row count when the result descriptor asked for it.
    void Finish();

    uint32_t RowsWritten() const { return m_rows; }

private:
    PersistOutput& m_out;
    std::vector<adtg::Column> m_columns;
    size_t m_nullableColumns = 0;
    std::string m_row;
    uint32_t m_rows = 0;
    std::optional<uint64_t> m_rowCountPosition;
};

} // namespace ado
