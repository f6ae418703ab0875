// Errors collection and error raising shared by every part of the data layer.
#pragma once

#include "Ado.h"

#include <sql.h>
#include <sqlext.h>

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace ado::detail {

struct ErrorRecord {
    std::string description;
    std::string sqlState;
    long nativeError = 0;
    std::string source;
    long number = 0; // HRESULT
};

class ErrorRecordItem final : public Error {
public:
    explicit ErrorRecordItem(ErrorRecord r) : m_r(std::move(r)) {}
    std::string GetDescription() const override { return m_r.description; }
    std::string GetSQLState() const override { return m_r.sqlState; }
    long GetNativeError() const override { return m_r.nativeError; }
    std::string GetSource() const override { return m_r.source; }
    long GetNumber() const override { return m_r.number; }

private:
    ErrorRecord m_r;
};

// The connection's Errors collection; replaced as a whole by each failing call.
class ErrorList final : public Errors {
public:
    long GetCount() const override;
    ErrorPtr GetItem(long index) const override;
    void Clear() override;

    void Set(std::vector<ErrorRecord> records);
    std::vector<ErrorRecord> Snapshot() const;

private:
    mutable std::mutex m_mutex;
    std::vector<ErrorRecord> m_records;
};

// The layer's source name for errors it raises itself, and the prefix the bridge puts on
// driver messages.
inline constexpr const char* kAdoSource = "ADODB.Connection";
inline constexpr const char* kProviderSource = "Microsoft OLE DB Provider for ODBC Drivers";

// Reads every diagnostic record of an ODBC handle. bytesInWideUnits is for a driver that puts
// the UTF-8 bytes of its messages one per 16-bit unit (see DriverTraits).
std::vector<ErrorRecord> ReadDiagnostics(SQLSMALLINT handleType, SQLHANDLE handle, HRESULT hr = E_FAIL,
                                         bool bytesInWideUnits = false);

// Fills errors (when given) from the handle's diagnostics and throws _com_error with the first
// record's description, or with fallback when the driver left none.
[[noreturn]] void ThrowOdbc(SQLSMALLINT handleType, SQLHANDLE handle, ErrorList* errors,
                            std::string_view fallback = "Errors occurred.", bool bytesInWideUnits = false);

// The object model's own descriptions of its common errors.
inline constexpr const char* kBadArgumentsText =
    "Arguments are of the wrong type, are out of acceptable range, or are in conflict with one another.";
inline constexpr const char* kClosedText =
    "Operation is not allowed when the object is closed.";
inline constexpr const char* kOpenText =
    "Operation is not allowed when the object is open.";
inline constexpr const char* kNotFoundText =
    "Item cannot be found in the collection corresponding to the requested name or ordinal.";
inline constexpr const char* kNotCapableText =
    "Object or provider is not capable of performing requested operation.";
inline constexpr const char* kNoCurrentRecordText =
    "Either BOF or EOF is True, or the current record has been deleted. Requested operation requires a current record.";

// Raises one of the layer's own errors (number from ErrorValueEnum), recorded in errors.
[[noreturn]] void ThrowAdo(long number, std::string description, ErrorList* errors = nullptr,
                           std::string source = kAdoSource);

} // namespace ado::detail
