// The plugin's one creatable object, coclass ODBCDriverInfo: IODBCDriverInfo::Display opens its
// own ODBC connection from the caller's connect string and shows the driver information sheet
// on it; failures come back as DISP_E_EXCEPTION with the thread's error information set
// (ISupportErrorInfo says so for IODBCDriverInfo). The object keeps no state between calls.
// Apartment model: used on the thread that created it (the UI thread).
#pragma once

#include "platform/com/ODBCDriverInfoInterface.h"

#include <atomic>

class CODBCDriverInfo final : public IODBCDriverInfo, public ISupportErrorInfo {
public:
    CODBCDriverInfo();

    HRESULT QueryInterface(const IID& iid, void** object) override;
    uint32_t AddRef() override;
    uint32_t Release() override;

    HRESULT Display(const char* connectString, int32_t loadCursorLib) override;
    HRESULT InterfaceSupportsErrorInfo(const IID& iid) override;

    // Objects alive plus server locks: the library may be unloaded only at zero.
    static std::atomic<long> s_lockCount;

private:
    ~CODBCDriverInfo();

    std::atomic<uint32_t> m_refs{0};
};
