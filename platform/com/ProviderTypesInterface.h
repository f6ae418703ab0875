// The interface of the provider types plugin (libTamsel.so), as its type library describes it
// to callers: the program includes this, never the plugin's own headers.
#pragma once

#include "Unknown.h"

// Shows the data types of the caller's open connection in a modal dialog; returns when it
// closes. conn: the connection object (its QueryInterface yields the data layer's
// _Connection); the caller keeps its reference. E_POINTER for a null connection, without
// error information; DISP_E_EXCEPTION with error information when the types cannot be read.
struct IProviderTypes : IDispatch {
    virtual HRESULT Display(IDispatch* conn) = 0;

protected:
    ~IProviderTypes() = default;
};

inline constexpr IID IID_IProviderTypes{0xB15C2A53, 0x2877, 0x431F, {0xAC, 0xAD, 0x4D, 0xC0, 0xBA, 0x3B, 0x02, 0x3D}};
inline constexpr CLSID CLSID_ProviderTypes{0x3B249AF7, 0x95FE, 0x444C, {0xA8, 0xB6, 0x45, 0xE9, 0x89, 0xEE, 0x29, 0xC2}};
inline constexpr GUID LIBID_TamselLib{0xE0088B55, 0x4AEA, 0x44BD, {0xBB, 0xF8, 0x52, 0xFC, 0x7F, 0xE2, 0x97, 0x96}};
inline constexpr const char* kProviderTypesProgID = "Tamsel.ProviderTypes";
inline constexpr const char* kProviderTypesVersionedProgID = "Tamsel.ProviderTypes.1";
inline constexpr const char* kProviderTypesLibrary = "libTamsel.so";
