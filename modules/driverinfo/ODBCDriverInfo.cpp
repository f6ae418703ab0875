#include "ODBCDriverInfo.h"

#include "DriverInfoSheet.h"
#include "FerrowStrings.h"
#include "OdbcSession.h"

#include "platform/ComRuntime.h"

#include <wx/utils.h>

#include <optional>

std::atomic<long> CODBCDriverInfo::s_lockCount{0};

namespace {

HRESULT RaiseError(const std::string& description)
{
    std::string source = ProgIDFromCLSID(CLSID_ODBCDriverInfo);
    if (source.empty())
        source = kODBCDriverInfoVersionedProgID;
    SetErrorInfo(ErrorInfo{GUID_NULL, source, description.empty() ? ferrow::kErrorsOccurred : description});
    return DISP_E_EXCEPTION;
}

} // namespace

CODBCDriverInfo::CODBCDriverInfo()
{
    ++s_lockCount;
}

CODBCDriverInfo::~CODBCDriverInfo()
{
    --s_lockCount;
}

HRESULT CODBCDriverInfo::QueryInterface(const IID& iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IODBCDriverInfo)
        *object = static_cast<IODBCDriverInfo*>(this);
    else if (iid == IID_ISupportErrorInfo)
        *object = static_cast<ISupportErrorInfo*>(this);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

uint32_t CODBCDriverInfo::AddRef()
{
    return ++m_refs;
}

uint32_t CODBCDriverInfo::Release()
{
    const uint32_t refs = --m_refs;
    if (refs == 0)
        delete this;
    return refs;
}

HRESULT CODBCDriverInfo::InterfaceSupportsErrorInfo(const IID& iid)
{
    return iid == IID_IODBCDriverInfo ? S_OK : S_FALSE;
}

HRESULT CODBCDriverInfo::Display(const char* connectString, int32_t loadCursorLib)
{
    try {
        std::optional<wxBusyCursor> wait(std::in_place);
        const std::string text = connectString ? connectString : "";
        ferrow::OdbcSession session;
        if (!session.Open(text, ferrow::PromptModeFor(text), loadCursorLib != 0))
            return S_OK;
        {
            // No owner: the sheet disables every other window of the program while it is up.
            ferrow::CMyPropertySheet sheet(nullptr, session, loadCursorLib != 0);
            wait.reset();
            sheet.ShowModal();
        }
        session.Close();
        return S_OK;
    } catch (const ferrow::DriverError& e) {
        return RaiseError(e.Description());
    } catch (...) {
        return RaiseError(ferrow::kErrorsOccurred);
    }
}
