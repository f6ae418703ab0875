#include "OdbcError.h"

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
        throw _com_error(MakeControlHResult(adErrItemNotFound),
                         "Item cannot be found in the collection corresponding to the requested name or ordinal.",
                         kAdoSource);
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

bool ValidUtf8(std::string_view s)
{
    size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        size_t extra = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : 4;
        if (extra == 4 || i + extra >= s.size() + (extra == 0 ? 1 : 0))
            return false;
        for (size_t k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 0x2)
                return false;
        i += extra + 1;
    }
    return true;
}

// Text whose UTF-8 bytes came one per 16-bit unit.
std::string FromByteUnits(const SQLWCHAR* w, size_t n)
{
    std::string bytes;
    for (size_t i = 0; i < n; ++i) {
        if (w[i] > 0xFF)
            return FromWide(w, n);
        bytes.push_back(static_cast<char>(w[i]));
    }
    return ValidUtf8(bytes) ? bytes : FromWide(w, n);
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

std::u16string ToWide(std::string_view s)
{
    std::u16string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        char32_t cp;
        size_t extra;
        if (c < 0x80) { cp = c; extra = 0; }
        else if ((c >> 5) == 0x6) { cp = c & 0x1F; extra = 1; }
        else if ((c >> 4) == 0xE) { cp = c & 0x0F; extra = 2; }
        else if ((c >> 3) == 0x1E) { cp = c & 0x07; extra = 3; }
        else { out.push_back(u'\uFFFD'); ++i; continue; }
        bool ok = true;
        for (size_t k = 1; k <= extra; ++k) {
            if (i + k >= s.size() || (static_cast<unsigned char>(s[i + k]) >> 6) != 0x2) { ok = false; break; }
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        }
        if (!ok) { out.push_back(u'\uFFFD'); ++i; continue; }
        i += extra + 1;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

std::string FromWide(const SQLWCHAR* w, size_t n)
{
    std::string out;
    out.reserve(n);
    AppendUtf8(w, n, out);
    return out;
}

void AppendUtf8(const SQLWCHAR* w, size_t n, std::string& out)
{
    for (size_t i = 0; i < n; ++i) {
        char32_t cp = w[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < n && w[i + 1] >= 0xDC00 && w[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (w[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp < 0xE000) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) out.push_back(static_cast<char>(cp));
        else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
}

} // namespace ado::detail
