#include "StopSignalWatch.h"

#include "ado/UnfinishedFiles.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdint>
#include <ctime>
#include <optional>

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
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

// Without a signal descriptor (the process is out of descriptors) the thread looks this often.
constexpr std::chrono::milliseconds kPoll{100};

} // namespace

void CStopSignalWatch::BlockStopSignals()
{
    const sigset_t set = StopSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

CStopSignalWatch::CStopSignalWatch(std::function<void()> stop, std::function<void()> abandon,
                                   std::chrono::milliseconds grace, int exitStatus)
    : m_stop(std::move(stop)), m_abandon(std::move(abandon)), m_grace(grace), m_exitStatus(exitStatus)
{
    const sigset_t set = StopSignals();
    m_signalFd = signalfd(-1, &set, SFD_CLOEXEC);
    m_wakeFd = eventfd(0, EFD_CLOEXEC);
    m_thread = std::thread([this] { Watch(); });
}

CStopSignalWatch::~CStopSignalWatch()
{
    Finish();
    m_thread.join();
    for (int fd : {m_signalFd, m_wakeFd})
        if (fd >= 0)
            close(fd);
}

void CStopSignalWatch::Finish()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_finished = true;
    }
    // The watching thread ends now rather than at its next look.
    if (m_wakeFd >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = write(m_wakeFd, &one, sizeof one);
    }
}

bool CStopSignalWatch::WaitForSignal(std::optional<std::chrono::steady_clock::time_point> until)
{
    using namespace std::chrono;
    milliseconds wait = milliseconds(-1);
    if (until)
        wait = std::max(ceil<milliseconds>(*until - steady_clock::now()), milliseconds(0));
    if (m_signalFd < 0 || m_wakeFd < 0)
        wait = wait < milliseconds(0) ? kPoll : std::min(wait, kPoll);
    pollfd fds[2] = {{m_signalFd, POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
    const int ready = poll(fds, 2, static_cast<int>(wait.count()));
    if (m_signalFd < 0) {
        const sigset_t set = StopSignals();
        const timespec now{0, 0};
        return sigtimedwait(&set, nullptr, &now) > 0;
    }
    signalfd_siginfo info;
    return ready > 0 && (fds[0].revents & POLLIN) && read(m_signalFd, &info, sizeof info) == sizeof info;
}

void CStopSignalWatch::Watch()
{
    using Clock = std::chrono::steady_clock;
    std::optional<Clock::time_point> abandonAt;
    for (;;) {
        const bool signalled = WaitForSignal(abandonAt);

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
