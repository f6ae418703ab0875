#include "ComTypes.h"

#include <fmt/format.h>

#include <cctype>
#include <random>

std::string GUID::ToString() const
{
    return fmt::format("{{{:08X}-{:04X}-{:04X}-{:02X}{:02X}-{:02X}{:02X}{:02X}{:02X}{:02X}{:02X}}}", Data1,
                       Data2, Data3, Data4[0], Data4[1], Data4[2], Data4[3], Data4[4], Data4[5], Data4[6],
                       Data4[7]);
}

namespace {

bool ParseHex(const std::string& text, size_t pos, size_t digits, uint64_t& out)
{
    out = 0;
    for (size_t i = 0; i < digits; ++i) {
        char c = text[pos + i];
        int v;
        if (c >= '0' && c <= '9') v = c - '0';
        else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
        else return false;
        out = (out << 4) | static_cast<uint64_t>(v);
    }
    return true;
}

} // namespace

bool GUID::Parse(const std::string& input, GUID& out)
{
    std::string text = input;
    if (text.size() == 38) {
        if (text.front() != '{' || text.back() != '}')
            return false;
        text = text.substr(1, 36);
    }
    if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-')
        return false;
    GUID g;
    uint64_t v;
    if (!ParseHex(text, 0, 8, v)) return false;
    g.Data1 = static_cast<uint32_t>(v);
    if (!ParseHex(text, 9, 4, v)) return false;
    g.Data2 = static_cast<uint16_t>(v);
    if (!ParseHex(text, 14, 4, v)) return false;
    g.Data3 = static_cast<uint16_t>(v);
    static constexpr size_t kBytePos[8] = {19, 21, 24, 26, 28, 30, 32, 34};
    for (size_t i = 0; i < 8; ++i) {
        if (!ParseHex(text, kBytePos[i], 2, v)) return false;
        g.Data4[i] = static_cast<uint8_t>(v);
    }
    out = g;
    return true;
}

GUID GUID::Create()
{
    // One generator per thread, seeded from the system's entropy source.
    thread_local std::mt19937_64 engine([] {
        std::random_device rd;
        std::seed_seq seq{rd(), rd(), rd(), rd(), rd(), rd(), rd(), rd()};
        return std::mt19937_64(seq);
    }());
    uint64_t a = engine();
    uint64_t b = engine();
    GUID g;
    g.Data1 = static_cast<uint32_t>(a >> 32);
    g.Data2 = static_cast<uint16_t>(a >> 16);
    g.Data3 = static_cast<uint16_t>((a & 0x0FFF) | 0x4000); // version 4
    for (int i = 0; i < 8; ++i)
        g.Data4[i] = static_cast<uint8_t>(b >> (56 - 8 * i));
    g.Data4[0] = static_cast<uint8_t>((g.Data4[0] & 0x3F) | 0x80); // RFC 4122 variant
    return g;
}

std::string HResultMessage(HRESULT hr)
{
    switch (hr) {
    case S_OK: return "The operation completed successfully.";
    case S_FALSE: return "Incorrect function.";
    case E_NOTIMPL: return "Not implemented";
    case E_NOINTERFACE: return "No such interface supported";
    case E_POINTER: return "Invalid pointer";
    case E_ABORT: return "Operation aborted";
    case E_FAIL: return "Unspecified error";
    case E_UNEXPECTED: return "Catastrophic failure";
    case E_ACCESSDENIED: return "Access is denied.";
    case E_OUTOFMEMORY: return "Not enough memory resources are available to complete this operation.";
    case E_INVALIDARG: return "The parameter is incorrect.";
    case CLASS_E_CLASSNOTAVAILABLE: return "ClassFactory cannot supply requested class";
    case REGDB_E_CLASSNOTREG: return "Class not registered";
    case DISP_E_TYPEMISMATCH: return "Type mismatch.";
    case DISP_E_OVERFLOW: return "Out of present range.";
    default: return fmt::format("Unknown error 0x{:08X}", static_cast<uint32_t>(hr));
    }
}
