// Reference-counted interfaces of the COM stand-in and the smart pointer that holds them.
// An object lives while its count is above zero; Release of the last reference deletes it.
// Objects are used on the thread that created them (apartment model): nothing here locks.
#pragma once

#include "ComTypes.h"

#include <cstdint>
#include <utility>

constexpr HRESULT CO_E_CLASSSTRING = static_cast<HRESULT>(0x800401F3);
constexpr HRESULT CO_E_ERRORINDLL = static_cast<HRESULT>(0x800401F9);
constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110);
constexpr HRESULT DISP_E_EXCEPTION = static_cast<HRESULT>(0x80020009);
constexpr HRESULT SELFREG_E_CLASS = static_cast<HRESULT>(0x80040201);
// The library named by a registration cannot be loaded (ERROR_MOD_NOT_FOUND).
constexpr HRESULT HRESULT_MOD_NOT_FOUND = static_cast<HRESULT>(0x8007007E);

struct IUnknown {
    virtual HRESULT QueryInterface(const IID& iid, void** object) = 0;
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;

protected:
    ~IUnknown() = default;
};

// Automation objects. Callers here bind to the dual interfaces' own methods, so no late-bound
// calls are offered.
struct IDispatch : IUnknown {
protected:
    ~IDispatch() = default;
};

struct IClassFactory : IUnknown {
    virtual HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) = 0;
    virtual HRESULT LockServer(bool lock) = 0;

protected:
    ~IClassFactory() = default;
};

struct ISupportErrorInfo : IUnknown {
    // S_OK when the interface's methods set error information on failure.
    virtual HRESULT InterfaceSupportsErrorInfo(const IID& iid) = 0;

protected:
    ~ISupportErrorInfo() = default;
};

inline constexpr IID IID_IUnknown{0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IDispatch{0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IClassFactory{0x00000001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_ISupportErrorInfo{0xDF0B3D60, 0x548F, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};
inline constexpr GUID GUID_NULL{};

// Holds one counted reference.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(T* p) : m_p(p) { if (m_p) m_p->AddRef(); }
    ComPtr(const ComPtr& o) : ComPtr(o.m_p) {}
    ComPtr(ComPtr&& o) noexcept : m_p(std::exchange(o.m_p, nullptr)) {}
    ~ComPtr() { Release(); }
    ComPtr& operator=(ComPtr o) noexcept { std::swap(m_p, o.m_p); return *this; }

    // Takes over a reference the caller already owns (as QueryInterface hands out).
    static ComPtr Attach(T* p) { ComPtr r; r.m_p = p; return r; }
    void Release() { if (T* p = std::exchange(m_p, nullptr)) p->Release(); }
    // For calls that hand out a new reference: the pointer is released first.
    void** AsOut() { Release(); return reinterpret_cast<void**>(&m_p); }

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

    // The object's interface iid, or an empty pointer and the failure.
    template <class U>
    HRESULT QueryInterface(const IID& iid, ComPtr<U>& out) const
    {
        if (!m_p)
            return E_POINTER;
        return m_p->QueryInterface(iid, out.AsOut());
    }

private:
    T* m_p = nullptr;
};
