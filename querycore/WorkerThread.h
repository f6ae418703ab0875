// A worker thread of a query window. It is never killed: the window asks it to stop (stop flag,
// Cancel on its statement) and waits a bounded time; a thread still running after that is let
// go and finishes on the shared state it holds, never on the window.
#pragma once

#include <chrono>
#include <functional>
#include <memory>

// Thread priorities in the scale the query window's options use.
enum : int {
    THREAD_PRIORITY_IDLE = -15,
    THREAD_PRIORITY_LOWEST = -2,
    THREAD_PRIORITY_BELOW_NORMAL = -1,
    THREAD_PRIORITY_NORMAL = 0,
    THREAD_PRIORITY_ABOVE_NORMAL = 1,
    THREAD_PRIORITY_HIGHEST = 2,
    THREAD_PRIORITY_TIME_CRITICAL = 15,
};

class CWorkerThread {
public:
    // Starts body on a new thread at the given priority. The body reports its own failures; an
    // exception that still leaves it goes to the unexpected-error log.
    static std::unique_ptr<CWorkerThread> Begin(std::function<void()> body,
                                                int priority = THREAD_PRIORITY_NORMAL);

    // Lets a still running thread go (as Wait with no time left).
    ~CWorkerThread();
    CWorkerThread(const CWorkerThread&) = delete;
    CWorkerThread& operator=(const CWorkerThread&) = delete;

    bool IsRunning() const;

    // Best effort: lowering always works, raising above normal needs the privilege to do so.
    void SetThreadPriority(int priority);
    int GetThreadPriority() const;

    // Waits at most until the deadline for the body to return. True when it returned (the thread
    // is then joined); false when it still runs (the thread is then detached).
    bool WaitUntil(std::chrono::steady_clock::time_point deadline);
    bool Wait(std::chrono::milliseconds timeout)
    {
        return WaitUntil(std::chrono::steady_clock::now() + timeout);
    }

    // Nice value for a priority of the scale above.
    static int NiceForPriority(int priority);

private:
    struct Control;
    CWorkerThread() = default;

    std::shared_ptr<Control> m_control;
};
