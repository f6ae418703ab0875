// "&ODBC Driver Information...": the driver information component shows what the ODBC driver of
// the window's connection can do, on a connection of its own.
// "&Types...": the provider types component shows the data types of the window's connection.
// Each component is created anew each time, its library registered first when needed.
#include "ChildFrame.h"
#include "CompanionCommands.h"

#include "ado/ConnectionObject.h"
#include "common/ErrorText.h"
#include "platform/ComRuntime.h"
#include "platform/MessageBox.h"
#include "platform/com/ODBCDriverInfoInterface.h"
#include "platform/com/ProviderTypesInterface.h"
#include "querycore/CompanionComponent.h"
#include "querycore/DriverInfoConnectString.h"

#include <wx/utils.h>

namespace {

const char* const kDriverInfoNotRegistered =
    "ODBC Driver Info Component (libFerrow.so) not registered. Please re-run setup and then try again.";
const char* const kProviderTypesNotRegistered =
    "Provider Info Component (libTamsel.so) not registered. Please re-run setup and then try again.";
const char* const kErrorsOccurred = "Errors occurred.";

// A library registered again is given this long before the second attempt to create.
constexpr std::chrono::milliseconds kRegistrationPause{1000};

// Creates the component, its library registered first when needed, and has show display it;
// every failure ends in a message box over the window.
template <class Interface, class Show>
void ShowCompanion(wxWindow* parent, const char* progId, const char* library, const CLSID& clsid, const IID& iid,
                   const char* notRegistered, Show show)
{
    try {
        ComPtr<Interface> component;
        {
            wxBusyCursor wait;
            const std::string folder = GetModuleFolder();
            if (!IsComponentRegistered(progId, library, folder)) {
                wxString text = notRegistered;
                if (const std::optional<ErrorInfo> refusal = GetErrorInfo())
                    text += "\n\n" + wxString::FromUTF8(refusal->description);
                TVMessageBox(text, wxOK | wxICON_STOP, parent);
                return;
            }
            component = CreateComponent<Interface>(clsid, iid, library, folder, kRegistrationPause);
        }
        const HRESULT hr = show(*component.Get());
        if (FAILED(hr))
            throw MakeComError(hr);
    } catch (const _com_error& e) {
        TVMessageBox(GetComErrorText(e), wxOK | wxICON_STOP, parent);
    } catch (const std::exception&) {
        TVMessageBox(kErrorsOccurred, wxOK | wxICON_STOP, parent);
    }
    CoFreeUnusedLibraries();
}

} // namespace

void CChildFrame::BindCompanionCommands()
{
    Bind(wxEVT_MENU, &CChildFrame::OnOdbcDriverInfo, this, ID_ODBC_DRIVER_INFO);
    Bind(wxEVT_MENU, &CChildFrame::OnProviderTypes, this, ID_PROVIDER_TYPES);
    // The driver information is about ODBC drivers: the connection must go through the bridge.
    Bind(
        wxEVT_UPDATE_UI, [this](wxUpdateUIEvent& event) { event.Enable(m_connection.m_bOdbcProvider != 0); },
        ID_ODBC_DRIVER_INFO);
    // The provider's commands want an open connection that no run is using.
    Bind(
        wxEVT_UPDATE_UI,
        [this](wxUpdateUIEvent& event) { event.Enable(IsConnectionOpen() && !IsExecuting()); }, ID_PROVIDER_TYPES);
}

void CChildFrame::OnOdbcDriverInfo(wxCommandEvent&)
{
    ShowCompanion<IODBCDriverInfo>(this, kODBCDriverInfoProgID, kODBCDriverInfoLibrary, CLSID_ODBCDriverInfo,
                                   IID_IODBCDriverInfo, kDriverInfoNotRegistered, [this](IODBCDriverInfo& component) {
                                       const std::string current = m_connection.m_pConnection
                                                                       ? m_connection.m_pConnection->GetConnectionString()
                                                                       : std::string();
                                       const std::string connect =
                                           MakeDriverInfoConnectString(current, m_strConnectString.utf8_string());
                                       return component.Display(connect.c_str(), 0);
                                   });
}

void CChildFrame::OnProviderTypes(wxCommandEvent&)
{
    ShowCompanion<IProviderTypes>(this, kProviderTypesProgID, kProviderTypesLibrary, CLSID_ProviderTypes,
                                  IID_IProviderTypes, kProviderTypesNotRegistered, [this](IProviderTypes& component) {
                                      ComPtr<ado::_Connection> connection =
                                          ado::MakeConnectionObject(m_connection.m_pConnection);
                                      return component.Display(connection.Get());
                                  });
}
