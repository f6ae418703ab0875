// The interface of the ODBC driver information plugin (libFerrow.so), as its type library
// describes it to callers: the program includes this, never the plugin's own headers.
#pragma once

#include "Unknown.h"

#include <cstdint>

// Opens its own ODBC connection from connectString (UTF-8, an ODBC connect string: DSN=...;
// or DRIVER={...};...), shows the driver's capabilities in a modal property sheet and closes
// the connection when the sheet closes. loadCursorLib non-zero asks for the ODBC cursor
// library on that connection. The caller keeps the string.
// S_OK after the sheet closed, and when the driver manager gave no data (a cancelled login);
// DISP_E_EXCEPTION with error information (the driver's text) when the connection fails.
struct IODBCDriverInfo : IDispatch {
    virtual HRESULT Display(const char* connectString, int32_t loadCursorLib) = 0;

protected:
    ~IODBCDriverInfo() = default;
};

inline constexpr IID IID_IODBCDriverInfo{0x1BF9D3EE, 0x3038, 0x4181, {0xB0, 0xA3, 0x83, 0x03, 0x35, 0xA9, 0x77, 0xAB}};
inline constexpr CLSID CLSID_ODBCDriverInfo{0xBCBD4328, 0x6137, 0x4E59, {0x9D, 0xD6, 0x1A, 0x8F, 0xF3, 0xD3, 0xD0, 0x99}};
inline constexpr GUID LIBID_FerrowLib{0xA0EBEB7C, 0xE994, 0x48D9, {0xAC, 0x74, 0x24, 0xC4, 0x17, 0xF2, 0xDB, 0xEE}};
inline constexpr const char* kODBCDriverInfoProgID = "Ferrow.ODBCDriverInfo";
inline constexpr const char* kODBCDriverInfoVersionedProgID = "Ferrow.ODBCDriverInfo.1";
inline constexpr const char* kODBCDriverInfoLibrary = "libFerrow.so";
