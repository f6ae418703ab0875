#include "GuiSupport.h"

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/stopwatch.h>
#include <wx/textdlg.h>
#include <wx/toplevel.h>
#include <wx/utils.h>

#include <memory>

bool Pump(int milliseconds, const std::function<bool()>& until)
{
    std::unique_ptr<wxGUIEventLoop> own;
    std::unique_ptr<wxEventLoopActivator> activator;
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    if (!loop) {
        own = std::make_unique<wxGUIEventLoop>();
        activator = std::make_unique<wxEventLoopActivator>(own.get());
        loop = own.get();
    }
    wxStopWatch watch;
    for (;;) {
        while (loop->Pending())
            loop->Dispatch();
        wxTheApp->ProcessPendingEvents();
        wxTheApp->ProcessIdle();
        if (until && until())
            return true;
        if (watch.Time() >= milliseconds)
            return !until;
        wxMilliSleep(5);
    }
}

CDialogAnswerer::CDialogAnswerer(std::function<bool(wxDialog&)> matches, std::function<void(wxDialog&)> action)
    : m_matches(std::move(matches)), m_action(std::move(action))
{
    Start(20);
}

CDialogAnswerer::~CDialogAnswerer()
{
    Stop();
}

void CDialogAnswerer::Notify()
{
    if (m_busy)
        return;
    for (wxWindow* window : wxTopLevelWindows) {
        auto* dialog = dynamic_cast<wxDialog*>(window);
        if (!dialog || !dialog->IsModal() || !m_matches(*dialog))
            continue;
        m_busy = true;
        ++m_answered;
        m_action(*dialog);
        m_busy = false;
        return;
    }
}

CDataLinkAnswer::CDataLinkAnswer(const wxString& connect)
    : CDialogAnswerer([](wxDialog& dialog) { return dialog.GetName() == "DataLinkDialog"; },
                      [connect](wxDialog& dialog) {
                          if (connect.empty()) {
                              dialog.EndModal(wxID_CANCEL);
                              return;
                          }
                          static_cast<wxTextEntryDialog&>(dialog).SetValue(connect);
                          wxCommandEvent ok(wxEVT_BUTTON, wxID_OK);
                          ok.SetEventObject(&dialog);
                          dialog.ProcessWindowEvent(ok);
                      })
{
}

wxString SqliteConnect(const std::string& file)
{
    return "Provider=MSDASQL;Driver=SQLite3;Database=" + wxString::FromUTF8(file);
}
