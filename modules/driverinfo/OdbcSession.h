// The plugin's own ODBC connection, opened from the caller's connect string, and the source of
// the driver's answers for the information pages over it.
//
// The connection is an ODBC 2 application's (SQL_OV_ODBC2): the pages describe the driver as
// ODBC 2 names it, with the date and time types 9, 10 and 11. No window handle ever reaches
// the driver manager, so no driver shows its login dialog here.
//
// Errors: Open and the statement calls throw DriverError with the driver manager's
// diagnostics. Threads: one thread at a time.
#pragma once

#include "InfoSource.h"

#include <sql.h>

#include <string>

namespace ferrow {

enum class PromptMode {
    Never,    // SQL_DRIVER_NOPROMPT
    Complete, // SQL_DRIVER_COMPLETE: the driver may complete the string
};

// Complete when the string holds "DRIVER=" in any letter case, else Never.
PromptMode PromptModeFor(const std::string& connectString);

// The diagnostics of a handle as a DriverError: each record's message without its leading
// "[vendor]" parts, and its state, native code and those parts as origin.
DriverError MakeDriverError(SQLSMALLINT handleType, SQLHANDLE handle);

class OdbcSession final : public InfoSource {
public:
    OdbcSession() = default;
    ~OdbcSession() override;
    OdbcSession(const OdbcSession&) = delete;
    OdbcSession& operator=(const OdbcSession&) = delete;

    // Connects. useCursorLibrary loads the driver manager's cursor library on the connection.
    // false when the driver manager gave no data (the user cancelled a login); DriverError for
    // a failure.
    bool Open(const std::string& connectString, PromptMode prompt, bool useCursorLibrary);
    void Close();
    SQLHDBC Handle() const { return m_dbc; }

    bool IsConnected() const override { return m_connected; }
    std::optional<uint16_t> GetInfoWord(uint16_t infoType) override;
    std::optional<uint32_t> GetInfoDword(uint16_t infoType) override;
    std::optional<std::string> GetInfoString(uint16_t infoType, size_t bufferSize = kInfoStringBuffer) override;
    FunctionFlags GetFunctions() override;
    bool HasFunction(uint16_t functionId) override;
    std::vector<TypeInfoRow> GetTypeInfo() override;

private:
    SQLHENV m_env = SQL_NULL_HENV;
    SQLHDBC m_dbc = SQL_NULL_HDBC;
    bool m_connected = false;
};

} // namespace ferrow
