// The plugin's one creatable object, coclass ProviderTypes: IProviderTypes::Display shows the
// provider types of the caller's connection; failures come back as DISP_E_EXCEPTION with the
// thread's error information set (ISupportErrorInfo says so for IProviderTypes).
// Apartment model: used on the thread that created it, which owns the caller's connection.
#pragma once

#include "platform/com/ProviderTypesInterface.h"

#include <atomic>

class CProviderTypes final : public IProviderTypes, public ISupportErrorInfo {
public:
    CProviderTypes();

    HRESULT QueryInterface(const IID& iid, void** object) override;
    uint32_t AddRef() override;
    uint32_t Release() override;

    HRESULT Display(IDispatch* conn) override;
    HRESULT InterfaceSupportsErrorInfo(const IID& iid) override;

    // Objects alive plus server locks: the library may be unloaded only at zero.
    static std::atomic<long> s_lockCount;

private:
    ~CProviderTypes();

    std::atomic<uint32_t> m_refs{0};
};
