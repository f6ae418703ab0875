#include "ProviderTypes.h"

#include "ProviderTypesDlg.h"
#include "TamselStrings.h"

#include "common/ErrorText.h"
#include "platform/ComRuntime.h"

std::atomic<long> CProviderTypes::s_lockCount{0};

namespace {

HRESULT RaiseError(const wxString& description)
{
    std::string source = ProgIDFromCLSID(CLSID_ProviderTypes);
    if (source.empty())
        source = kProviderTypesVersionedProgID;
    SetErrorInfo(ErrorInfo{GUID_NULL, source, description.utf8_string()});
    return DISP_E_EXCEPTION;
}

} // namespace

CProviderTypes::CProviderTypes()
{
    ++s_lockCount;
}

CProviderTypes::~CProviderTypes()
{
    --s_lockCount;
}

HRESULT CProviderTypes::QueryInterface(const IID& iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IProviderTypes)
        *object = static_cast<IProviderTypes*>(this);
    else if (iid == IID_ISupportErrorInfo)
        *object = static_cast<ISupportErrorInfo*>(this);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

uint32_t CProviderTypes::AddRef()
{
    return ++m_refs;
}

uint32_t CProviderTypes::Release()
{
    const uint32_t refs = --m_refs;
    if (refs == 0)
        delete this;
    return refs;
}

HRESULT CProviderTypes::InterfaceSupportsErrorInfo(const IID& iid)
{
    return iid == IID_IProviderTypes ? S_OK : S_FALSE;
}

HRESULT CProviderTypes::Display(IDispatch* conn)
{
    if (!conn)
        return E_POINTER;
    try {
        CProviderTypesDlg dlg;
        dlg.SetConnection(conn);
        // Errors left by the caller's earlier work must not describe a failure here.
        ComPtr<ado::_Connection> connection;
        if (SUCCEEDED(conn->QueryInterface(ado::IID__Connection, connection.AsOut())))
            if (ado::ConnectionPtr c = connection->GetConnection())
                c->GetErrors()->Clear();
        const HRESULT hr = dlg.LoadProviderTypes();
        if (FAILED(hr))
            throw _com_error(hr);
        dlg.DoModal();
        return hr;
    } catch (const _com_error& e) {
        wxString description;
        try {
            ComPtr<ado::_Connection> connection;
            if (SUCCEEDED(conn->QueryInterface(ado::IID__Connection, connection.AsOut())))
                FormatAdoErrors(connection->GetConnection().get(), false, description);
            connection.Release();
        } catch (const std::exception&) {
            description.clear();
        }
        if (description.empty())
            FormatComError(e, description);
        return RaiseError(description);
    } catch (...) {
        return RaiseError(tamsel::kErrorsOccurred);
    }
}
