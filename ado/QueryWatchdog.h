// Enforces command time-outs on drivers that do not: one thread for the process calls the
// registered action of each statement whose deadline has passed.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

namespace ado::detail {

class QueryWatchdog {
public:
    static QueryWatchdog& Instance();

    // Calls action on the watchdog's thread once the deadline has passed, unless disarmed
    // first. Returns the token for Disarm.
    uint64_t Arm(std::chrono::steady_clock::time_point deadline, std::function<void()> action);
    // After Disarm returns the action is not called any more, though a call already under way
    // may still be finishing; actions must hold only what outlives that.
    void Disarm(uint64_t token);

    ~QueryWatchdog();

private:
    QueryWatchdog() = default;
    void Run();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::multimap<std::chrono::steady_clock::time_point, std::pair<uint64_t, std::function<void()>>> m_queue;
    uint64_t m_nextToken = 1;
    bool m_stop = false;
    std::thread m_thread;
};

// Arms the watchdog for a scope when seconds > 0.
class WatchdogScope {
public:
    WatchdogScope(long seconds, std::function<void()> action);
    ~WatchdogScope();
    WatchdogScope(const WatchdogScope&) = delete;
    WatchdogScope& operator=(const WatchdogScope&) = delete;

private:
    uint64_t m_token = 0;
};

} // namespace ado::detail
