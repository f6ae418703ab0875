#include "QueryWatchdog.h"

namespace ado::detail {

QueryWatchdog& QueryWatchdog::Instance()
{
    static QueryWatchdog watchdog;
    return watchdog;
}

uint64_t QueryWatchdog::Arm(std::chrono::steady_clock::time_point deadline, std::function<void()> action)
{
    std::lock_guard lock(m_mutex);
    if (!m_thread.joinable())
        m_thread = std::thread([this] { Run(); });
    uint64_t token = m_nextToken++;
    m_queue.emplace(deadline, std::make_pair(token, std::move(action)));
    m_wake.notify_one();
    return token;
}

void QueryWatchdog::Disarm(uint64_t token)
{
    std::lock_guard lock(m_mutex);
    for (auto it = m_queue.begin(); it != m_queue.end(); ++it) {
        if (it->second.first == token) {
            m_queue.erase(it);
            return;
        }
    }
}

QueryWatchdog::~QueryWatchdog()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
        m_wake.notify_one();
    }
    if (m_thread.joinable())
        m_thread.join();
}

void QueryWatchdog::Run()
{
    std::unique_lock lock(m_mutex);
    while (!m_stop) {
        if (m_queue.empty()) {
            m_wake.wait(lock);
            continue;
        }
        auto first = m_queue.begin();
        const auto deadline = first->first; // the entry may go while the lock is released
        if (deadline > std::chrono::steady_clock::now()) {
            m_wake.wait_until(lock, deadline);
            continue;
        }
        std::function<void()> action = std::move(first->second.second);
        m_queue.erase(first);
        lock.unlock();
        action();
        lock.lock();
    }
}

WatchdogScope::WatchdogScope(long seconds, std::function<void()> action)
{
    if (seconds > 0)
        m_token = QueryWatchdog::Instance().Arm(std::chrono::steady_clock::now() + std::chrono::seconds(seconds)
                                                    + std::chrono::milliseconds(250),
                                                std::move(action));
}

WatchdogScope::~WatchdogScope()
{
    if (m_token)
        QueryWatchdog::Instance().Disarm(m_token);
}

} // namespace ado::detail
