#include "CommandLineBatchRun.h"
#include "StopSignalWatch.h"
#include "TorvaneApp.h"

#include <wx/init.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

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

// A descriptor among 0-2 that the caller left closed (2>&-) would be handed to the next file or
// socket opened, and what is meant for standard error would be written into it (into a
// database connection, say): each is opened on /dev/null first.
void OpenStandardDescriptors()
{
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // The lowest free number, which is fd.
        const int opened = open("/dev/null", O_RDWR);
        if (opened > 2)
            close(opened);
    }
}

void IgnoreSignal(int) {}

// A reader of standard error or output that has gone away (torvane ... 2>&1 | head -1) must not
// end a run that still has batches to run and files to write: a write there then only fails.
// A handler that does nothing rather than SIG_IGN, because an ignored signal stays ignored in
// the programs this one starts, and a caught one does not.
void SurviveClosedPipes()
{
    struct sigaction action {};
    action.sa_handler = IgnoreSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGPIPE, &action, nullptr);
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
    OpenStandardDescriptors();
    SurviveClosedPipes();
    if (HaveDisplay())
        return wxEntry(argc, argv);
    // Before any thread exists, so that every thread leaves the stop signals to the run.
    CStopSignalWatch::BlockStopSignals();
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
