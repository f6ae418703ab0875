// Helpers shared by the data layer's tests.
#pragma once

#include "ado/Ado.h"
#include "tests/support/TestDatabases.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

namespace adotest {

// The HRESULT a call throws, S_OK when it does not throw.
template <class F>
HRESULT ErrorOf(F&& f)
{
    try {
        f();
    } catch (const _com_error& e) {
        return e.Error();
    }
    return S_OK;
}

inline HRESULT AdoError(long number) { return MakeControlHResult(number); }

inline ado::ConnectionPtr Connect(const std::string& connectionString)
{
    auto cn = ado::Connection::Create();
    cn->Open(connectionString);
    return cn;
}

// One result of a command: rows as text (NULL as "<null>"), or a row count.
struct Result {
    bool rows = false;
    long recordsAffected = -1;
    std::vector<std::string> names;
    std::vector<std::vector<std::string>> cells;
};

inline std::vector<std::string> RowTexts(const ado::RecordsetPtr& rs)
{
    std::vector<std::string> row;
    long n = rs->GetFields()->GetCount();
    for (long i = 0; i < n; ++i) {
        _variant_t v = rs->GetCollect(i);
        row.push_back(v.IsNull() ? "<null>" : v.vt == (VT_ARRAY | VT_UI1) ? std::string(v.bytes.begin(), v.bytes.end()) : v.ToString());
    }
    return row;
}

// Runs a batch through Connection::Execute and reads every result.
inline std::vector<Result> RunAll(const ado::ConnectionPtr& cn, const std::string& sql)
{
    std::vector<Result> out;
    _variant_t affected;
    ado::RecordsetPtr rs = cn->Execute(sql, &affected);
    while (rs) {
        Result r;
        r.recordsAffected = affected.ToLong();
        if (rs->GetState() == ado::adStateOpen) {
            r.rows = true;
            auto fields = rs->GetFields();
            for (long i = 0; i < fields->GetCount(); ++i)
                r.names.push_back(fields->GetItem(i)->GetName());
            while (!rs->IsEOF()) {
                r.cells.push_back(RowTexts(rs));
                rs->MoveNext();
            }
        }
        out.push_back(std::move(r));
        rs = rs->NextRecordset(&affected);
    }
    return out;
}

inline std::string Scalar(const ado::ConnectionPtr& cn, const std::string& sql)
{
    auto results = RunAll(cn, sql);
    for (const auto& r : results)
        if (r.rows && !r.cells.empty())
            return r.cells.front().front();
    return "<no rows>";
}

// Records the connection's events.
class EventLog : public ado::ConnectionEvents {
public:
    struct Completion {
        long recordsAffected;
        std::string error;
        ado::EventStatusEnum status;
        ado::Recordset* recordset;
        long stateDuringEvent;
    };

    void InfoMessage(ado::Error* error, ado::EventStatusEnum*, ado::Connection* connection) override
    {
        std::lock_guard lock(m_mutex);
        std::vector<std::string> texts;
        auto errors = connection->GetErrors();
        for (long i = 0; i < errors->GetCount(); ++i)
            texts.push_back(errors->GetItem(i)->GetDescription());
        m_infos.push_back(texts);
        m_firstInfo.push_back(error ? error->GetDescription() : std::string());
    }

    void ExecuteComplete(long recordsAffected, ado::Error* error, ado::EventStatusEnum* status,
                         ado::Recordset* recordset, ado::Connection*) override
    {
        std::lock_guard lock(m_mutex);
        m_completions.push_back({recordsAffected, error ? error->GetDescription() : std::string(), *status, recordset,
                                 recordset ? recordset->GetState() : -1});
        m_changed.notify_all();
    }

    // Waits until n completions arrived.
    bool WaitForCompletions(size_t n, std::chrono::milliseconds timeout = std::chrono::seconds(20))
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, timeout, [&] { return m_completions.size() >= n; });
    }

    std::vector<Completion> Completions()
    {
        std::lock_guard lock(m_mutex);
        return m_completions;
    }
    std::vector<std::vector<std::string>> Infos()
    {
        std::lock_guard lock(m_mutex);
        return m_infos;
    }
    std::vector<std::string> FirstInfos()
    {
        std::lock_guard lock(m_mutex);
        return m_firstInfo;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Completion> m_completions;
    std::vector<std::vector<std::string>> m_infos;
    std::vector<std::string> m_firstInfo;
};

} // namespace adotest
