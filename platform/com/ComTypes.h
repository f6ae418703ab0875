// The small COM layer the program and its plugins share: result codes, GUIDs and the
// exception that carries a failed call's HRESULT, description and source.
#pragma once

#include <cstdint>
#include <string>
#include <stdexcept>

typedef int32_t HRESULT;
typedef int32_t SCODE;
typedef uint16_t VARTYPE;

constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003);
constexpr HRESULT E_ABORT = static_cast<HRESULT>(0x80004004);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFF);
constexpr HRESULT E_ACCESSDENIED = static_cast<HRESULT>(0x80070005);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = static_cast<HRESULT>(0x80040111);
constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154);
constexpr HRESULT DISP_E_TYPEMISMATCH = static_cast<HRESULT>(0x80020005);
constexpr HRESULT DISP_E_OVERFLOW = static_cast<HRESULT>(0x8002000A);

// Builds the HRESULT of an automation error number (FACILITY_CONTROL), as ADO reports its own errors.
constexpr HRESULT MakeControlHResult(long number)
{
    return static_cast<HRESULT>(0x800A0000u | (static_cast<uint32_t>(number) & 0xFFFFu));
}

struct GUID {
    uint32_t Data1 = 0;
    uint16_t Data2 = 0;
    uint16_t Data3 = 0;
    uint8_t Data4[8] = {};

    bool operator==(const GUID&) const = default;

    // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
    std::string ToString() const;
    // Accepts the braced or unbraced form; returns false for anything else.
    static bool Parse(const std::string& text, GUID& out);
    // A fresh random (version 4) GUID.
    static GUID Create();
};
typedef GUID CLSID;
typedef GUID IID;

// The text the system gives for a well-known HRESULT ("Unspecified error", ...), or
// "Unknown error 0x%08lX" for the rest.
std::string HResultMessage(HRESULT hr);

class _com_error : public std::exception {
public:
    explicit _com_error(HRESULT hr, std::string description = {}, std::string source = {},
                        GUID guid = {})
        : m_hr(hr), m_description(std::move(description)), m_source(std::move(source)), m_guid(guid)
    {
        m_what = m_description.empty() ? ErrorMessage() : m_description;
    }

    HRESULT Error() const noexcept { return m_hr; }
    // Empty when the failing call left no error information.
    const std::string& Description() const noexcept { return m_description; }
    const std::string& Source() const noexcept { return m_source; }
    const GUID& GUIDValue() const noexcept { return m_guid; }
    // The system's text for the HRESULT.
    std::string ErrorMessage() const { return HResultMessage(m_hr); }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    HRESULT m_hr;
    std::string m_description;
    std::string m_source;
    GUID m_guid;
    std::string m_what;
};
