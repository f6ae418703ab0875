#include "GuiSupport.h"

#include "TempEnvironment.h"

#include "app/TorvaneApp.h"
#include "common/SettingsTable.h"
#include "platform/SettingsStore.h"
#include "query/DataLinkDlg.h"
#include "tests/support/TestTiming.h"

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/stopwatch.h>

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
        // The next event, or a few milliseconds: what changes without an event (a worker's
        // progress, the database) is looked at again then.
        loop->DispatchTimeout(5);
    }
}

int HangMs(int milliseconds)
{
    return static_cast<int>(torvane::test::Scaled(std::chrono::milliseconds(milliseconds)).count());
}

CDialogAnswerer::CDialogAnswerer(std::function<bool(wxDialog&)> matches, std::function<int(wxDialog&)> action)
    : m_matches(std::move(matches)), m_action(std::move(action))
{
    Register();
}

CDialogAnswerer::~CDialogAnswerer()
{
    Unregister();
}

int CDialogAnswerer::Enter(wxDialog* dialog)
{
    if (!dialog || !m_matches(*dialog))
        return wxID_NONE;
    ++m_answered;
    return m_action(*dialog);
}

CDataLinkAnswer::CDataLinkAnswer(const wxString& connect)
    : CDialogAnswerer([](wxDialog& dialog) { return dynamic_cast<CDataLinkDlg*>(&dialog) != nullptr; },
                      [connect](wxDialog& dialog) {
                          if (connect.empty())
                              return static_cast<int>(wxID_CANCEL);
                          static_cast<CDataLinkDlg&>(dialog).SetFields(CDataLinkFields::Parse(connect));
                          return static_cast<int>(wxID_OK);
                      })
{
}

wxString SqliteConnect(const std::string& file)
{
    return "Provider=MSDASQL;Driver=SQLite3;Database=" + wxString::FromUTF8(file);
}

extern CTempEnvironment* g_env;

void ShellTest::SetUp()
{
    CSettingsStore::Get().DeleteAll();
    TheApp().SetStartupServices(startup::Services::Default());
    TheApp().SetCommandLine({});
    static int counter = 0;
    m_db = g_env->Path("db-" + std::to_string(++counter) + ".sqlite");
    // An empty file is an empty database; the data layer creates none.
    WriteWholeFile(m_db, "");
}

void ShellTest::TearDown()
{
    TheApp().ShutDown();
    Pump(50);
}

bool ShellTest::Start(const std::vector<wxString>& args, int startup)
{
    settings::WriteInt(settings::Startup, startup);
    TheApp().SetCommandLine(args);
    bool ok = TheApp().InitInstance();
    Pump(100);
    return ok;
}

CMainFrame& ShellTest::Frame()
{
    return *TheApp().GetMainFrame();
}
