// The command line without a display (no DISPLAY or WAYLAND_DISPLAY, as on a server or in CI):
// the same option parsing and checks as with one, and the batch run (-i, -o, -d, -q) through the
// same batch splitter, data layer and save worker as a query window's Execute and Save As, with
// no window at all. Messages and the run's output go to standard error; the exit status says
// whether the run succeeded. What needs a window (opening files, the data link dialog) is
// refused with a message.
#pragma once

#include "querycore/ConnectionInfo.h"
#include "querycore/QuerySession.h"
#include "querycore/SaveOptions.h"
#include "TorvaneCommandLineInfo.h"

#include <wx/string.h>

#include <cstdio>
#include <memory>
#include <mutex>
#include <vector>

class CQueryRunState;
class CSettingsStore;

class CCommandLineBatchRun {
public:
    // Exit statuses.
    enum { kSucceeded = 0, kFailed = 1, kRefused = 2 };

    // The whole program without a display, given the arguments after the program name. The
    // stop signals are blocked already (CStopSignalWatch::BlockStopSignals).
    static int Main(const std::vector<wxString>& args);

    explicit CCommandLineBatchRun(CSettingsStore& store, std::FILE* output = stderr);

    // Connects with connectString (a data link file's string already read), runs the input
    // file batch by batch and saves every result set as batch says. kSucceeded only when every
    // batch ran and was saved without an error and the run was not stopped (SIGINT, SIGTERM,
    // SIGHUP). An input file holding a NUL character is refused before anything is sent. A
    // stop signal cancels the run; a run still blocked in a driver call shortly after is
    // abandoned (CStopSignalWatch): the process ends with kFailed, leaving no partial file.
    int Run(const wxString& connectString, const wxString& inputFile, const CommandLineBatch& batch);

private:
    bool Connect(const wxString& connectString);
    // The run's output that is new since the last call.
    void WriteNewOutput();
    // The status line that ends the run's output.
    void WriteStatus(const wxString& text);
    // The last words of a run abandoned after a stop signal, written from the signal thread:
    // the run is cancelled. Nothing is written after them.
    void WriteAbandonedEnd();

    // Runs the queued batches, each saved as options say; true when one of them failed.
    bool RunBatches(const CSaveOptions& options);
    // Ends the transaction the run kept open: commit after a clean run, rollback otherwise.
    bool EndTransaction(bool keepWork);

    CConnectionInfo m_info;
    CQuerySession m_session;
    std::FILE* m_output;
    std::shared_ptr<CQueryRunState> m_pState;
    // Guards m_output and m_nWritten between the run and the signal thread.
    std::mutex m_outputMutex;
    size_t m_nWritten = 0;
};
