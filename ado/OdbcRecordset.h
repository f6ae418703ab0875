// The Recordset of the layer and its Fields: a forward-only, read-only view of the results of
// one command, read in blocks; opened synchronously or on a thread of its own.
#pragma once

#include "Execution.h"
#include "OdbcConnection.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

namespace ado::detail {

class OdbcRecordset final : public Recordset {
public:
    OdbcRecordset() = default;
    ~OdbcRecordset() override;

    void Open(const _variant_t& source, const ConnectionPtr& activeConnection, CursorTypeEnum cursorType,
              LockTypeEnum lockType, long options) override;
    void Close() override;
    void Cancel() override;
    long GetState() const override { return m_state; }

    long GetCacheSize() const override { return m_cacheSize; }
    void PutCacheSize(long rows) override;
    long GetMaxRecords() const override { return m_maxRecords; }
    void PutMaxRecords(long rows) override;
    ConnectionPtr GetActiveConnection() const override { return m_connection; }

    bool IsBOF() const override;
    bool IsEOF() const override;
    void MoveNext() override;
    RecordsetPtr NextRecordset(_variant_t* recordsAffected) override;

    FieldsPtr GetFields() const override;
    _variant_t GetCollect(long index) const override;
    bool AppendCellText(long index, std::string& out) const override;

    void Save(const std::string& destination, PersistFormatEnum format) override;

    // Runs the command on the connection; asynchronously when async is set (the result then
    // comes with ExecuteComplete). Returns the first result's records affected (-1 for rows,
    // and for an asynchronous start).
    long OpenCommand(std::shared_ptr<OdbcConnection> connection, std::string text, bool async);
    // The statement for a source and the command type of Options.
    static std::string CommandText(const std::string& source, long options);

private:
    void RequireReadable() const;
    // The column of a cell of the current row; throws unless both exist.
    size_t CurrentCell(long index) const;
    void AfterResult(const std::shared_ptr<Execution>& execution);
    void Release(bool cancel);
    ErrorList* Errors() const { return m_connection ? &m_connection->ErrorCollection() : nullptr; }

    mutable std::mutex m_mutex; // guards m_execution against Cancel and the async thread
    std::shared_ptr<OdbcConnection> m_connection;
    std::shared_ptr<Execution> m_execution;
    std::atomic<long> m_state{adStateClosed};
    long m_cacheSize = 1;
    long m_maxRecords = 0;
    FieldsPtr m_fields;
    std::thread m_async;
};

} // namespace ado::detail
