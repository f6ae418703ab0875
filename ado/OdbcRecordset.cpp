#include "OdbcRecordset.h"

#include <strings.h>

#include <optional>

namespace ado::detail {

namespace {

constexpr const char* kClosedText = "Operation is not allowed when the object is closed.";
constexpr const char* kNoCurrentRecord =
    "Either BOF or EOF is True, or the current record has been deleted. Requested operation requires a current record.";
constexpr const char* kExecutingText = "Operation cannot be performed while executing asynchronously.";
constexpr const char* kNotFound = "Item cannot be found in the collection corresponding to the requested name or ordinal.";
constexpr const char* kBadArgument =
    "Arguments are of the wrong type, are out of acceptable range, or are in conflict with one another.";

// Rows fetched per call at least: the cache size of the object model is 1 by default, which
// would make every row a round trip through the driver manager.
constexpr long kMinBlockRows = 100;

// A field of one result; it refuses to read once its recordset has moved to another result.
class OdbcField final : public Field {
public:
    OdbcField(std::shared_ptr<Execution> execution, size_t index)
        : m_execution(std::move(execution)), m_generation(m_execution->Generation()), m_index(index),
          m_column(m_execution->Block().Columns()[index])
    {
    }

    std::string GetName() const override { return m_column.name; }
    DataTypeEnum GetType() const override { return m_column.type; }
    long GetDefinedSize() const override { return m_column.definedSize; }
    unsigned char GetPrecision() const override { return m_column.precision; }
    unsigned char GetNumericScale() const override { return m_column.numericScale; }
    long GetAttributes() const override { return m_column.attributes; }
    long GetActualSize() const override
    {
        RequireCurrent();
        return m_execution->Block().ActualSize(m_execution->CurrentRow(), m_index);
    }
    _variant_t GetValue() const override
    {
        RequireCurrent();
        return m_execution->Block().Value(m_execution->CurrentRow(), m_index);
    }

private:
    void RequireCurrent() const
    {
        if (m_execution->Generation() != m_generation || m_execution->IsClosed())
            ThrowAdo(adErrObjectClosed, kClosedText);
        if (m_execution->AtEnd())
            ThrowAdo(adErrNoCurrentRecord, kNoCurrentRecord);
    }

    std::shared_ptr<Execution> m_execution;
    int m_generation;
    size_t m_index;
    ColumnInfo m_column;
};

class OdbcFields final : public Fields {
public:
    OdbcFields() = default;
    explicit OdbcFields(const std::shared_ptr<Execution>& execution)
    {
        for (size_t i = 0; i < execution->Block().Columns().size(); ++i)
            m_items.push_back(std::make_shared<OdbcField>(execution, i));
    }
    long GetCount() const override { return static_cast<long>(m_items.size()); }
    FieldPtr GetItem(long index) const override
    {
        if (index < 0 || index >= GetCount())
            ThrowAdo(adErrItemNotFound, kNotFound);
        return m_items[static_cast<size_t>(index)];
    }
    FieldPtr GetItem(const std::string& name) const override
    {
        for (const auto& f : m_items)
            if (strcasecmp(f->GetName().c_str(), name.c_str()) == 0)
                return f;
        ThrowAdo(adErrItemNotFound, kNotFound);
    }

private:
    std::vector<FieldPtr> m_items;
};

} // namespace

OdbcRecordset::~OdbcRecordset()
{
    Release(true);
    if (m_async.joinable()) {
        if (m_async.get_id() == std::this_thread::get_id())
            m_async.detach();
        else
            m_async.join();
    }
}

std::string OdbcRecordset::CommandText(const std::string& source, long options)
{
    long type = options == adOptionUnspecified ? static_cast<long>(adCmdText) : options & (adCmdText | adCmdTable | adCmdStoredProc | adCmdUnknown | adCmdFile | adCmdTableDirect);
    if (type & (adCmdTable | adCmdTableDirect))
        return "SELECT * FROM " + source;
    if (type & adCmdStoredProc)
        return "{call " + source + "}";
    return source;
}

void OdbcRecordset::Open(const _variant_t& source, const ConnectionPtr& activeConnection, CursorTypeEnum, LockTypeEnum,
                         long options)
{
    auto connection = std::dynamic_pointer_cast<OdbcConnection>(activeConnection);
    if (!connection || !connection->IsOpen())
        ThrowAdo(adErrInvalidConnection,
                 "The connection cannot be used to perform this operation. It is either closed or invalid in this context.",
                 connection ? &connection->ErrorCollection() : nullptr);
    if (source.vt != VT_BSTR)
        ThrowAdo(adErrInvalidArgument, kBadArgument, &connection->ErrorCollection());
    bool async = options != adOptionUnspecified && (options & adAsyncExecute);
    OpenCommand(connection, CommandText(source.str, options), async);
}

long OdbcRecordset::OpenCommand(std::shared_ptr<OdbcConnection> connection, std::string text, bool async)
{
    if (m_state != adStateClosed)
        ThrowAdo(adErrObjectOpen, "Operation is not allowed when the object is open.", &connection->ErrorCollection());
    // A command whose current result has no rows may still hold further results.
    Release(false);
    if (m_async.joinable())
        m_async.join();

    auto execution = std::make_shared<Execution>(connection, std::move(text), m_maxRecords,
                                                 std::max(m_cacheSize, kMinBlockRows), connection->GetCommandTimeout());
    connection->Register(execution);
    {
        std::lock_guard lock(m_mutex);
        m_connection = connection;
        m_execution = execution;
        m_fields = std::make_shared<OdbcFields>();
    }

    if (async) {
        m_state = adStateOpen | adStateExecuting;
        auto self = std::static_pointer_cast<OdbcRecordset>(shared_from_this());
        m_async = std::thread([self, execution, connection] {
            long recordsAffected = -1;
            std::optional<ErrorRecord> error;
            try {
                execution->Start();
                recordsAffected = execution->RecordsAffected();
            } catch (const _com_error& e) {
                auto records = connection->ErrorCollection().Snapshot();
                error = records.empty() ? ErrorRecord{e.Description(), "", 0, e.Source(), e.Error()} : records.front();
            } catch (const std::exception& e) {
                error = ErrorRecord{e.what(), "", 0, kProviderSource, E_FAIL};
                connection->ErrorCollection().Set({*error});
            }
            {
                std::lock_guard lock(self->m_mutex);
                if (self->m_execution == execution) {
                    if (error) {
                        self->m_execution.reset();
                        self->m_state = adStateClosed;
                    } else {
                        self->AfterResult(execution);
                    }
                }
            }
            if (error)
                execution->Close();
            connection->FireExecuteComplete(recordsAffected, error ? &*error : nullptr, self.get());
        });
        return -1;
    }

    m_state = adStateExecuting;
    try {
        execution->Start();
    } catch (...) {
        std::lock_guard lock(m_mutex);
        m_execution.reset();
        m_state = adStateClosed;
        throw;
    }
    std::lock_guard lock(m_mutex);
    AfterResult(execution);
    return execution->RecordsAffected();
}

void OdbcRecordset::AfterResult(const std::shared_ptr<Execution>& execution)
{
    if (execution->HasRows()) {
        m_fields = std::make_shared<OdbcFields>(execution);
        m_state = adStateOpen;
    } else {
        m_fields = std::make_shared<OdbcFields>();
        m_state = adStateClosed;
    }
}

void OdbcRecordset::Release(bool cancel)
{
    std::shared_ptr<Execution> execution;
    {
        std::lock_guard lock(m_mutex);
        execution = std::move(m_execution);
        m_execution.reset();
        m_fields = std::make_shared<OdbcFields>();
        m_state = adStateClosed;
    }
    if (!execution)
        return;
    if (cancel)
        execution->Cancel();
    execution->Close();
}

void OdbcRecordset::Close()
{
    bool pending;
    {
        std::lock_guard lock(m_mutex);
        pending = m_execution != nullptr;
    }
    if (!pending && m_state == adStateClosed)
        ThrowAdo(adErrObjectClosed, kClosedText, Errors());
    bool executing = (m_state & adStateExecuting) != 0;
    Release(executing);
    if (m_async.joinable() && m_async.get_id() != std::this_thread::get_id())
        m_async.join();
}

void OdbcRecordset::Cancel()
{
    std::shared_ptr<Execution> execution;
    {
        std::lock_guard lock(m_mutex);
        execution = m_execution;
    }
    if (execution)
        execution->Cancel();
}

void OdbcRecordset::PutCacheSize(long rows)
{
    if (rows <= 0)
        ThrowAdo(adErrInvalidArgument, kBadArgument, Errors());
    m_cacheSize = rows;
}

void OdbcRecordset::PutMaxRecords(long rows)
{
    if (rows < 0)
        ThrowAdo(adErrInvalidArgument, kBadArgument, Errors());
    if (m_state != adStateClosed)
        ThrowAdo(adErrObjectOpen, "Operation is not allowed when the object is open.", Errors());
    m_maxRecords = rows;
}

void OdbcRecordset::RequireReadable() const
{
    long state = m_state;
    if (state & adStateExecuting)
        ThrowAdo(adErrStillExecuting, kExecutingText, Errors());
    if (state == adStateClosed)
        ThrowAdo(adErrObjectClosed, kClosedText, Errors());
}

bool OdbcRecordset::IsBOF() const
{
    RequireReadable();
    return m_execution->IsEmptyResult();
}

bool OdbcRecordset::IsEOF() const
{
    RequireReadable();
    return m_execution->AtEnd();
}

void OdbcRecordset::MoveNext()
{
    RequireReadable();
    if (m_execution->AtEnd())
        ThrowAdo(adErrNoCurrentRecord, kNoCurrentRecord, Errors());
    m_execution->MoveNext();
}

RecordsetPtr OdbcRecordset::NextRecordset(_variant_t* recordsAffected)
{
    std::shared_ptr<Execution> execution;
    {
        std::lock_guard lock(m_mutex);
        execution = m_execution;
    }
    if (m_state & adStateExecuting)
        ThrowAdo(adErrStillExecuting, kExecutingText, Errors());
    if (!execution)
        ThrowAdo(adErrObjectClosed, kClosedText, Errors());
    if (recordsAffected)
        *recordsAffected = _variant_t(static_cast<int32_t>(-1));
    m_state = adStateOpen | adStateExecuting;
    bool more = false;
    try {
        more = execution->NextResult();
    } catch (...) {
        Release(false);
        throw;
    }
    if (!more) {
        Release(false);
        return nullptr;
    }
    {
        std::lock_guard lock(m_mutex);
        AfterResult(execution);
    }
    if (recordsAffected)
        *recordsAffected = _variant_t(static_cast<int32_t>(execution->RecordsAffected()));
    return shared_from_this();
}

FieldsPtr OdbcRecordset::GetFields() const
{
    std::lock_guard lock(m_mutex);
    return m_fields ? m_fields : std::make_shared<OdbcFields>();
}

_variant_t OdbcRecordset::GetCollect(long index) const
{
    RequireReadable();
    const RowBlock& block = m_execution->Block();
    if (index < 0 || static_cast<size_t>(index) >= block.Columns().size())
        ThrowAdo(adErrItemNotFound, kNotFound, Errors());
    if (m_execution->AtEnd())
        ThrowAdo(adErrNoCurrentRecord, kNoCurrentRecord, Errors());
    return block.Value(m_execution->CurrentRow(), static_cast<size_t>(index));
}

bool OdbcRecordset::AppendCellText(long index, std::string& out) const
{
    RequireReadable();
    const RowBlock& block = m_execution->Block();
    if (index < 0 || static_cast<size_t>(index) >= block.Columns().size())
        ThrowAdo(adErrItemNotFound, kNotFound, Errors());
    if (m_execution->AtEnd())
        ThrowAdo(adErrNoCurrentRecord, kNoCurrentRecord, Errors());
    return block.AppendText(m_execution->CurrentRow(), static_cast<size_t>(index), out);
}

void OdbcRecordset::Save(const std::string&, PersistFormatEnum)
{
    ThrowAdo(adErrFeatureNotAvailable, "Saving a Recordset (ADTG or XML) is not yet available.", Errors());
}

} // namespace ado::detail

namespace ado {

RecordsetPtr Recordset::Create()
{
    return std::make_shared<detail::OdbcRecordset>();
}

} // namespace ado
