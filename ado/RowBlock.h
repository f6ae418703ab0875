// The rows of one result, fetched in blocks into column-wise bound buffers, and the values of
// their cells as variants or as text. Cells longer than their buffer are read again in full
// with SQLGetData, so nothing is cut short; where the driver cannot read a single row of a
// block that way, and a cell may be longer than its buffer, blocks are one row long.
//
// Drivers that deliver UTF-8 text have every value read as text: copying text is the
// cheapest way through the driver, a reader of text (a grid, an export) takes it as it is, and
// a variant is made from it only when asked for. Other drivers have numbers and dates bound
// in their C types.
#pragma once

#include "AdoEnums.h"
#include "DriverTraits.h"
#include "platform/com/Variant.h"

#include <sql.h>
#include <sqlext.h>

#include <string>
#include <vector>

namespace ado::detail {

// Receives every ODBC return code of the block: throws for failures, passes on warnings.
class StatementCheck {
public:
    virtual ~StatementCheck() = default;
    virtual void Check(SQLRETURN rc) = 0;
    // Raises an error of the layer's own.
    [[noreturn]] virtual void Fail(std::string description) = 0;
};

// How a column is bound and read.
enum class CellKind {
    Integer,  // SQL_C_SBIGINT
    Unsigned, // SQL_C_UBIGINT
    Bit,      // SQL_C_BIT
    Single,   // SQL_C_FLOAT
    Double,   // SQL_C_DOUBLE
    Decimal,  // SQL_C_CHAR, exact digits
    Date,     // SQL_C_TYPE_DATE
    Time,     // SQL_C_TYPE_TIME
    Timestamp,// SQL_C_TYPE_TIMESTAMP
    Guid,     // SQL_C_GUID
    Text,     // SQL_C_CHAR, UTF-8
    WideText, // SQL_C_WCHAR
    Binary,   // SQL_C_BINARY
    TypedText,// SQL_C_CHAR: the database's text, converted by the declared type when a variant is asked for
};

struct ColumnInfo {
    std::string name;
    SQLSMALLINT sqlType = 0;
    SQLULEN columnSize = 0;
    SQLSMALLINT decimalDigits = 0;
    SQLSMALLINT nullable = SQL_NULLABLE_UNKNOWN;
    bool isUnsigned = false;

    DataTypeEnum type = adEmpty;
    long definedSize = 0;
    unsigned char precision = 255;
    unsigned char numericScale = 255;
    long attributes = 0;

    CellKind kind = CellKind::Text;
    SQLSMALLINT cType = SQL_C_CHAR;
    SQLLEN width = 0;         // bytes per cell in the bound buffer
    bool mayOverflow = false; // a value may be longer than the buffer
    bool bound = true;        // false: read with SQLGetData after each fetch
    // The driver renders the server's infinities as dates (PostgreSQL date and timestamp
    // columns, where SQLGetData reaches any row of a block).
    bool infinityAsDate = false;
};

class RowBlock {
public:
    // Describes the statement's current result (numColumns > 0) and binds its columns for
    // blocks of up to preferredRows rows (fewer when rows are wide).
    void Bind(SQLHSTMT hstmt, const DriverTraits& traits, SQLSMALLINT numColumns, long preferredRows,
              StatementCheck& check);
    // Fetches the next block; false at the end of the result.
    bool Fetch(SQLHSTMT hstmt, StatementCheck& check);

    const std::vector<ColumnInfo>& Columns() const { return m_columns; }
    size_t RowsInBlock() const { return m_fetched; }
    long BlockSize() const { return static_cast<long>(m_rows); }

    bool IsNull(size_t row, size_t col) const { return m_cells[col].ind[row] == SQL_NULL_DATA; }
    _variant_t Value(size_t row, size_t col) const;
    // The value's text, appended to out: the database's own text where the value is read as
    // text, else as Value(...).ToString() gives it; binary values as their bytes. False, with
    // nothing appended, for NULL.
    bool AppendText(size_t row, size_t col, std::string& out) const;
    // Characters for text, bytes otherwise, -1 for NULL.
    long ActualSize(size_t row, size_t col) const;

private:
    struct CellArray {
        std::vector<unsigned char> data; // m_rows * width
        std::vector<SQLLEN> ind;         // m_rows
        std::vector<std::string> whole;  // full values of cells longer than the buffer
    };

    // Set in ind[] when the cell's value is in whole[] (UTF-8 for text).
    static constexpr SQLLEN kInWhole = -100;

    void ChooseBinding(ColumnInfo& c, const DriverTraits& traits, bool blockRepair);
    void ReadWhole(SQLHSTMT hstmt, size_t row, size_t col, StatementCheck& check);
    void RepairBlock(SQLHSTMT hstmt, StatementCheck& check);
    // The PostgreSQL driver renders 'infinity' and '-infinity' as dates: a timestamp as
    // 9999-12-31 23:59:59 (a real value too) or 9999-01-01 00:00:00 BC, a date as 0000-00-00
    // either way. Read again as a double, which the driver takes from the server's text, such
    // a cell tells which it is; an infinity then holds the server's text.
    void ResolveInfinities(SQLHSTMT hstmt, StatementCheck& check);
    // The cell's bytes: the bound buffer, or the whole value read separately.
    std::string_view Bytes(size_t row, size_t col) const;
    bool Truncated(const ColumnInfo& c, SQLLEN ind) const;

    std::vector<ColumnInfo> m_columns;
    std::vector<CellArray> m_cells;
    std::vector<SQLUSMALLINT> m_status;
    SQLULEN m_fetched = 0;
    size_t m_rows = 1;
    bool m_blockRepair = false; // SQLSetPos + SQLGetData reach any row of a block
    bool m_anyUnbound = false;
    bool m_anyOverflow = false;
    bool m_anyInfinityAsDate = false;
    std::u16string m_wideScratch;
};

} // namespace ado::detail
