// The stop signals of the command-line run: SIGINT (Ctrl+C), SIGTERM and SIGHUP. They are
// blocked in every thread from the start and taken by a thread of this class, so nothing runs
// inside a signal handler.
//
// A signal asks the run to stop the way Cancel does (the stop callback, on a thread of its own:
// cancelling can itself wait on a server that does not answer). A run that has not finished
// within the grace period after the signal is blocked in a driver call that nothing interrupts
// (a connect to a server that accepts but never answers, a fetch from a frozen server, a wait
// for a lock another process holds): it is abandoned. The abandon callback writes the run's
// last words, every unfinished file (ado/UnfinishedFiles.h) is removed and the process ends at
// once with the exit status given. A second signal abandons the run without waiting.
//
// Threads: construct and Finish on the run's thread; the callbacks run on other threads.
#pragma once

#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

class CStopSignalWatch {
public:
    // Blocks the stop signals in the calling thread and in every thread it starts later; call
    // before any other thread exists.
    static void BlockStopSignals();

    CStopSignalWatch(std::function<void()> stop, std::function<void()> abandon, std::chrono::milliseconds grace,
                     int exitStatus);
    // Finishes (below) and ends the watching thread.
    ~CStopSignalWatch();
    CStopSignalWatch(const CStopSignalWatch&) = delete;
    CStopSignalWatch& operator=(const CStopSignalWatch&) = delete;

    // The run's blocking work is over: from now on it is never abandoned. While an
    // abandonment is under way this does not return; the process ends there.
    void Finish();

private:
    void Watch();
    // Waits for a stop signal until the time given (without one, until Finish); true when one came.
    bool WaitForSignal(std::optional<std::chrono::steady_clock::time_point> until);
    // With m_mutex held and the run not finished; never returns.
    [[noreturn]] void Abandon();

    std::function<void()> m_stop;
    std::function<void()> m_abandon;
    const std::chrono::milliseconds m_grace;
    const int m_exitStatus;

    // The stop signals as a descriptor, and the descriptor Finish wakes the watching thread with.
    int m_signalFd = -1;
    int m_wakeFd = -1;
    std::mutex m_mutex;
    bool m_finished = false;
    std::thread m_thread;
};
