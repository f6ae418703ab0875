#include "OdbcError.h"

#include "Unicode.h"

#include <fmt/format.h>

namespace ado::detail {

long ErrorList::GetCount() const
{
    std::lock_guard lock(m_mutex);
    return static_cast<long>(m_records.size());
}

ErrorPtr ErrorList::GetItem(long index) const
{
    std::lock_guard lock(m_mutex);
    if (index < 0 || index >= static_cast<long>(m_records.size()))
        throw _com_error(MakeControlHResult(adErrItemNotFound), kNotFoundText, kAdoSource);
    return std::make_shared<ErrorRecordItem>(m_records[static_cast<size_t>(index)]);
}

void ErrorList::Clear()
{
    std::lock_guard lock(m_mutex);
    m_records.clear();
}

void ErrorList::Set(std::vector<ErrorRecord> records)
{
    std::lock_guard lock(m_mutex);
    m_records = std::move(records);
}

std::vector<ErrorRecord> ErrorList::Snapshot() const
{
    std::lock_guard lock(m_mutex);
    return m_records;
}

namespace {

// Text whose UTF-8 bytes came one per 16-bit unit.
std::string FromByteUnits(const SQLWCHAR* w, size_t n)
{
    std::string bytes;
    for (size_t i = 0; i < n; ++i) {
        if (w[i] > 0xFF)
            return FromWide(w, n);
        bytes.push_back(static_cast<char>(w[i]));
    }
    return IsValidUtf8(bytes) ? bytes : FromWide(w, n);
}

} // namespace

std::vector<ErrorRecord> ReadDiagnostics(SQLSMALLINT handleType, SQLHANDLE handle, HRESULT hr, bool bytesInWideUnits)
{
    std::vector<ErrorRecord> out;
    if (!handle)
        return out;
    for (SQLSMALLINT i = 1;; ++i) {
        SQLWCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT len = 0;
        std::vector<SQLWCHAR> msg(1024);
        SQLRETURN rc = SQLGetDiagRecW(handleType, handle, i, state, &native, msg.data(),
                                      static_cast<SQLSMALLINT>(msg.size()), &len);
        if (rc == SQL_SUCCESS_WITH_INFO && len >= static_cast<SQLSMALLINT>(msg.size())) {
            msg.resize(static_cast<size_t>(len) + 1);
            rc = SQLGetDiagRecW(handleType, handle, i, state, &native, msg.data(),
                                static_cast<SQLSMALLINT>(msg.size()), &len);
        }
        if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO)
            break;
        ErrorRecord r;
        size_t n = std::min<size_t>(static_cast<size_t>(std::max<SQLSMALLINT>(len, 0)), msg.size() - 1);
        r.description = bytesInWideUnits ? FromByteUnits(msg.data(), n) : FromWide(msg.data(), n);
        r.sqlState = FromWide(state, 5);
        r.nativeError = native;
        r.source = kProviderSource;
        r.number = hr;
        out.push_back(std::move(r));
    }
    return out;
}

void ThrowOdbc(SQLSMALLINT handleType, SQLHANDLE handle, ErrorList* errors, std::string_view fallback, bool bytesInWideUnits)
{
    auto records = ReadDiagnostics(handleType, handle, E_FAIL, bytesInWideUnits);
    if (records.empty()) {
        ErrorRecord r;
        r.description = std::string(fallback);
        r.source = kProviderSource;
        r.number = E_FAIL;
        records.push_back(std::move(r));
    }
    std::string description = records.front().description;
    std::string source = records.front().source;
    if (errors)
        errors->Set(records);
    throw _com_error(E_FAIL, description, source);
}

void ThrowAdo(long number, std::string description, ErrorList* errors, std::string source)
{
    HRESULT hr = MakeControlHResult(number);
    if (errors) {
        ErrorRecord r;
        r.description = description;
        r.source = source;
        r.number = hr;
        errors->Set({r});
    }
    throw _com_error(hr, std::move(description), std::move(source));
}

} // namespace ado::detail
