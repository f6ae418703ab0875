#include "StopSignalWatch.h"

#include "ado/UnfinishedFiles.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <optional>
#include <unistd.h>

namespace {

sigset_t StopSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    return set;
}

// How often the watching thread looks whether the run finished.
constexpr std::chrono::milliseconds kPoll{100};

} // namespace

void CStopSignalWatch::BlockStopSignals()
{
    const sigset_t set = StopSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

CStopSignalWatch::CStopSignalWatch(std::function<void()> stop, std::function<void()> abandon,
                                   std::chrono::milliseconds grace, int exitStatus)
    : m_stop(std::move(stop)), m_abandon(std::move(abandon)), m_grace(grace), m_exitStatus(exitStatus),
      m_thread([this] { Watch(); })
{
}

CStopSignalWatch::~CStopSignalWatch()
{
    Finish();
    m_thread.join();
}

void CStopSignalWatch::Finish()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_finished = true;
}

void CStopSignalWatch::Watch()
{
    using Clock = std::chrono::steady_clock;
    const sigset_t set = StopSignals();
    std::optional<Clock::time_point> abandonAt;
    for (;;) {
        std::chrono::nanoseconds wait = kPoll;
        if (abandonAt)
            wait = std::clamp<std::chrono::nanoseconds>(*abandonAt - Clock::now(), std::chrono::nanoseconds(0), kPoll);
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(wait);
        const timespec timeout{static_cast<time_t>(seconds.count()), static_cast<long>((wait - seconds).count())};
        const bool signalled = sigtimedwait(&set, nullptr, &timeout) > 0;

        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_finished)
            return;
        if (signalled && abandonAt) {
            Abandon();
        } else if (signalled) {
            abandonAt = Clock::now() + m_grace;
            // Cancelling may wait on the server; the grace period runs meanwhile. The thread
            // is left to itself: the run ends with or without it.
            std::thread(m_stop).detach();
        } else if (abandonAt && Clock::now() >= *abandonAt) {
            Abandon();
        }
    }
}

void CStopSignalWatch::Abandon()
{
    // m_mutex stays held: a run that gets to Finish now waits there for the end.
    m_abandon();
    ado::UnfinishedFiles::RemoveAllBeforeExit();
    std::fflush(nullptr);
    _exit(m_exitStatus);
}
