#include "CommandLineBatchRun.h"
#include "TorvaneApp.h"

#include <wx/init.h>

#include <cstdlib>

namespace {

bool HaveDisplay()
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return true;
    }
    return false;
}

// The class library without its windows, for a start without a display.
class CConsoleApp : public wxAppConsole {
public:
    int OnRun() override { return 0; }
};

} // namespace

wxIMPLEMENT_APP_NO_MAIN(CTorvaneApp);

int main(int argc, char** argv)
{
    if (HaveDisplay())
        return wxEntry(argc, argv);
    // The window application object is never made here: wxTheApp, which presumes one, is not used.
    auto* app = new CConsoleApp;
    wxAppConsole::SetInstance(app);
    wxInitializer initializer(argc, argv);
    if (!initializer.IsOk())
        return CCommandLineBatchRun::kFailed;
    std::vector<wxString> args;
    for (int i = 1; i < app->argc; ++i)
        args.push_back(app->argv[i]);
    return CCommandLineBatchRun::Main(args);
}
