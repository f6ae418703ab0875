#include "MemoryRecordset.h"

#include "OdbcError.h"
#include "RecordsetPersistence.h"
#include "Unicode.h"

#include <strings.h>

#include <algorithm>

namespace ado {

namespace {

constexpr const char* kRecordsetSource = "ADODB.Recordset";
constexpr const char* kFieldsSource = "ADODB.Fields";
constexpr const char* kFieldSource = "ADODB.Field";

[[noreturn]] void ThrowClosed()
{
    detail::ThrowAdo(adErrObjectClosed, detail::kClosedText, nullptr, kRecordsetSource);
}

[[noreturn]] void ThrowNoCurrentRecord(const char* source)
{
    detail::ThrowAdo(adErrNoCurrentRecord, detail::kNoCurrentRecordText, nullptr, source);
}

[[noreturn]] void ThrowItemNotFound()
{
    detail::ThrowAdo(adErrItemNotFound, detail::kNotFoundText, nullptr, kFieldsSource);
}

bool IsFixedLength(DataTypeEnum type)
{
    switch (type) {
    case adVarChar: case adLongVarChar: case adVarWChar: case adLongVarWChar: case adBSTR:
    case adVarBinary: case adLongVarBinary: case adVarNumeric: case adVariant:
        return false;
    default:
        return true;
    }
}

bool IsLong(DataTypeEnum type)
{
    return type == adLongVarChar || type == adLongVarWChar || type == adLongVarBinary;
}

// Byte size of the fixed-size types, as DefinedSize reports it.
long FixedSize(DataTypeEnum type)
{
    switch (type) {
    case adTinyInt: case adUnsignedTinyInt: return 1;
    case adSmallInt: case adUnsignedSmallInt: case adBoolean: return 2;
    case adInteger: case adUnsignedInt: case adSingle: case adError: return 4;
    case adBigInt: case adUnsignedBigInt: case adDouble: case adCurrency: case adDate:
    case adFileTime: return 8;
    case adDBDate: return 6;
    case adDBTime: return 6;
    case adDBTimeStamp: return 16;
    case adGUID: case adVariant: return 16;
    case adDecimal: case adNumeric: return 19;
    default: return 0;
    }
}

unsigned char NumericPrecision(DataTypeEnum type)
{
    switch (type) {
    case adTinyInt: case adUnsignedTinyInt: return 3;
    case adSmallInt: case adUnsignedSmallInt: return 5;
    case adInteger: case adUnsignedInt: return 10;
    case adBigInt: return 19;
    case adUnsignedBigInt: return 20;
    case adSingle: return 7;
    case adDouble: return 15;
    case adCurrency: return 19;
    case adDecimal: case adNumeric: return 28;
    default: return 255;
    }
}

} // namespace

MemoryColumn MemoryColumn::Of(std::string name, DataTypeEnum type, long definedSize, bool nullable)
{
    MemoryColumn c;
    c.name = std::move(name);
    c.type = type;
    c.definedSize = IsFixedLength(type) && FixedSize(type) > 0 ? FixedSize(type) : definedSize;
    c.precision = NumericPrecision(type);
    c.numericScale = c.precision == 255 ? 255 : 0;
    if (IsFixedLength(type))
        c.attributes |= adFldFixed;
    if (IsLong(type))
        c.attributes |= adFldLong;
    if (nullable)
        c.attributes |= adFldIsNullable | adFldMayBeNull;
    return c;
}

struct MemoryRecordset::State {
    std::vector<MemoryColumn> columns;
    std::vector<std::vector<_variant_t>> rows;
    ConnectionPtr connection;
    size_t position = 0;
    bool open = true;
    long cacheSize = 1;
    long maxRecords = 0;

    size_t VisibleRows() const
    {
        return maxRecords > 0 ? std::min(rows.size(), static_cast<size_t>(maxRecords)) : rows.size();
    }
    void RequireOpen() const
    {
        if (!open)
            ThrowClosed();
    }
    bool AtEOF() const { return position >= VisibleRows(); }
    const _variant_t& Current(size_t column) const
    {
        RequireOpen();
        if (AtEOF())
            ThrowNoCurrentRecord(kFieldSource);
        return rows[position][column];
    }
};

namespace {

class MemoryField final : public Field {
public:
    MemoryField(std::shared_ptr<MemoryRecordset::State> state, size_t index)
        : m_state(std::move(state)), m_index(index)
    {
    }

    std::string GetName() const override { return Column().name; }
    DataTypeEnum GetType() const override { return Column().type; }
    long GetDefinedSize() const override { return Column().definedSize; }
    unsigned char GetPrecision() const override { return Column().precision; }
    unsigned char GetNumericScale() const override { return Column().numericScale; }
    long GetAttributes() const override { return Column().attributes; }

    long GetActualSize() const override
    {
        const _variant_t& v = m_state->Current(m_index);
        switch (v.vt) {
        case VT_NULL: case VT_EMPTY: return -1;
        case VT_BSTR: return static_cast<long>(detail::ToWide(v.str).size());
        case VT_ARRAY | VT_UI1: return static_cast<long>(v.bytes.size());
        default: return Column().definedSize;
        }
    }

    _variant_t GetValue() const override { return m_state->Current(m_index); }

private:
    const MemoryColumn& Column() const
    {
        m_state->RequireOpen();
        return m_state->columns[m_index];
    }

    std::shared_ptr<MemoryRecordset::State> m_state;
    size_t m_index;
};

class MemoryFields final : public Fields {
public:
    explicit MemoryFields(std::shared_ptr<MemoryRecordset::State> state) : m_state(std::move(state)) {}

    long GetCount() const override
    {
        m_state->RequireOpen();
        return static_cast<long>(m_state->columns.size());
    }

    FieldPtr GetItem(long index) const override
    {
        m_state->RequireOpen();
        if (index < 0 || static_cast<size_t>(index) >= m_state->columns.size())
            ThrowItemNotFound();
        return std::make_shared<MemoryField>(m_state, static_cast<size_t>(index));
    }

    FieldPtr GetItem(const std::string& name) const override
    {
        m_state->RequireOpen();
        for (size_t i = 0; i < m_state->columns.size(); ++i)
            if (strcasecmp(m_state->columns[i].name.c_str(), name.c_str()) == 0)
                return std::make_shared<MemoryField>(m_state, i);
        ThrowItemNotFound();
    }

private:
    std::shared_ptr<MemoryRecordset::State> m_state;
};

} // namespace

std::shared_ptr<MemoryRecordset> MemoryRecordset::Create(std::vector<MemoryColumn> columns,
                                                         ConnectionPtr activeConnection)
{
    auto state = std::make_shared<State>();
    state->columns = std::move(columns);
    state->connection = std::move(activeConnection);
    return std::make_shared<MemoryRecordset>(std::move(state));
}

MemoryRecordset::MemoryRecordset(std::shared_ptr<State> state) : m_state(std::move(state)) {}

MemoryRecordset::~MemoryRecordset() = default;

void MemoryRecordset::AddRow(std::vector<_variant_t> values)
{
    if (values.size() != m_state->columns.size())
        detail::ThrowAdo(adErrInvalidArgument, detail::kBadArgumentsText, nullptr, kRecordsetSource);
    m_state->rows.push_back(std::move(values));
}

long MemoryRecordset::GetRecordCount() const
{
    return static_cast<long>(m_state->VisibleRows());
}

void MemoryRecordset::Open(const _variant_t&, const ConnectionPtr&, CursorTypeEnum, LockTypeEnum, long)
{
    if (m_state->open)
        detail::ThrowAdo(adErrObjectOpen, detail::kOpenText, nullptr, kRecordsetSource);
    // Its rows were built by the layer; there is no command to run again.
    detail::ThrowAdo(adErrFeatureNotAvailable, detail::kNotCapableText, nullptr, kRecordsetSource);
}

void MemoryRecordset::Close()
{
    m_state->RequireOpen();
    m_state->open = false;
    m_state->rows.clear();
    m_state->position = 0;
}

long MemoryRecordset::GetState() const
{
    return m_state->open ? adStateOpen : adStateClosed;
}

long MemoryRecordset::GetCacheSize() const
{
    return m_state->cacheSize;
}

void MemoryRecordset::PutCacheSize(long rows)
{
    if (rows <= 0)
        detail::ThrowAdo(adErrInvalidArgument, detail::kBadArgumentsText, nullptr, kRecordsetSource);
    m_state->cacheSize = rows;
}

long MemoryRecordset::GetMaxRecords() const
{
    return m_state->maxRecords;
}

void MemoryRecordset::PutMaxRecords(long rows)
{
    if (rows < 0)
        detail::ThrowAdo(adErrInvalidArgument, detail::kBadArgumentsText, nullptr, kRecordsetSource);
    m_state->maxRecords = rows;
}

ConnectionPtr MemoryRecordset::GetActiveConnection() const
{
    return m_state->connection;
}

bool MemoryRecordset::IsBOF() const
{
    m_state->RequireOpen();
    // Forward-only: the cursor never stands before the first row unless there is none.
    return m_state->VisibleRows() == 0;
}

bool MemoryRecordset::IsEOF() const
{
    m_state->RequireOpen();
    return m_state->AtEOF();
}

void MemoryRecordset::MoveNext()
{
    m_state->RequireOpen();
    if (m_state->AtEOF())
        ThrowNoCurrentRecord(kRecordsetSource);
    ++m_state->position;
}

RecordsetPtr MemoryRecordset::NextRecordset(_variant_t* recordsAffected)
{
    m_state->RequireOpen();
    Close();
    if (recordsAffected)
        *recordsAffected = _variant_t(-1L);
    return nullptr;
}

FieldsPtr MemoryRecordset::GetFields() const
{
    m_state->RequireOpen();
    return std::make_shared<MemoryFields>(m_state);
}

_variant_t MemoryRecordset::GetCollect(long index) const
{
    return GetFields()->GetItem(index)->GetValue();
}

const _variant_t& MemoryRecordset::GetValueRef(long index) const
{
    m_state->RequireOpen();
    if (index < 0 || static_cast<size_t>(index) >= m_state->columns.size())
        ThrowItemNotFound();
    return m_state->Current(static_cast<size_t>(index));
}

void MemoryRecordset::Save(const std::string& destination, PersistFormatEnum format)
{
    PersistRecordset(*this, destination, format);
}

} // namespace ado
