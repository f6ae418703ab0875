#include "WorkerThread.h"

#include "common/UnexpectedError.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

struct CWorkerThread::Control {
    std::thread thread;
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    bool started = false;
    pid_t tid = 0;
    std::atomic<int> priority{THREAD_PRIORITY_NORMAL};
};

namespace {

void ApplyPriority(pid_t tid, int priority)
{
    // Linux keeps a nice value per thread; a refused raise leaves the thread as it was.
    setpriority(PRIO_PROCESS, static_cast<id_t>(tid), CWorkerThread::NiceForPriority(priority));
}

} // namespace

int CWorkerThread::NiceForPriority(int priority)
{
    if (priority >= THREAD_PRIORITY_TIME_CRITICAL)
        return -20;
    if (priority <= THREAD_PRIORITY_IDLE)
        return 19;
    const int nice = -5 * priority;
    return nice < -20 ? -20 : (nice > 19 ? 19 : nice);
}

std::unique_ptr<CWorkerThread> CWorkerThread::Begin(std::function<void()> body, int priority)
{
    std::unique_ptr<CWorkerThread> worker(new CWorkerThread);
    auto control = std::make_shared<Control>();
    control->priority = priority;
    worker->m_control = control;
    control->thread = std::thread([control, body = std::move(body)] {
        {
            std::lock_guard<std::mutex> lock(control->mutex);
            control->tid = static_cast<pid_t>(syscall(SYS_gettid));
            control->started = true;
            ApplyPriority(control->tid, control->priority);
        }
        try {
            body();
        } catch (...) {
            // Bodies report their own failures; one that escapes is a fault, seen in the log.
            LogUnexpectedError("worker thread", std::current_exception());
        }
        std::lock_guard<std::mutex> lock(control->mutex);
        control->done = true;
        control->ended.notify_all();
    });
    return worker;
}

CWorkerThread::~CWorkerThread()
{
    WaitUntil(std::chrono::steady_clock::now());
}

bool CWorkerThread::IsRunning() const
{
    std::lock_guard<std::mutex> lock(m_control->mutex);
    return !m_control->done;
}

void CWorkerThread::SetThreadPriority(int priority)
{
    std::lock_guard<std::mutex> lock(m_control->mutex);
    m_control->priority = priority;
    if (m_control->started && !m_control->done)
        ApplyPriority(m_control->tid, priority);
}

int CWorkerThread::GetThreadPriority() const
{
    return m_control->priority;
}

bool CWorkerThread::WaitUntil(std::chrono::steady_clock::time_point deadline)
{
    bool done;
    {
        std::unique_lock<std::mutex> lock(m_control->mutex);
        done = m_control->ended.wait_until(lock, deadline, [this] { return m_control->done; });
    }
    if (m_control->thread.joinable()) {
        if (done)
            m_control->thread.join();
        else
            m_control->thread.detach();
    }
    return done;
}
