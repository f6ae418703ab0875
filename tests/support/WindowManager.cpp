#include "WindowManager.h"

#include "TestTiming.h"

#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

extern char** environ;

namespace torvane::test {

using namespace std::chrono_literals;

CWindowManager::CWindowManager()
{
    char pattern[] = "/tmp/torvane-wm-XXXXXX";
    if (!getenv("DISPLAY") || !mkdtemp(pattern))
        return;
    m_folder = pattern;
    // Openbox runs its start-up command once it manages the display.
    const std::string ready = m_folder + "/ready";
    const std::string startup = "touch " + ready;
    std::vector<char*> argv{const_cast<char*>("openbox"), const_cast<char*>("--sm-disable"),
                            const_cast<char*>("--startup"), const_cast<char*>(startup.c_str()), nullptr};
    if (posix_spawnp(&m_pid, "openbox", nullptr, nullptr, argv.data(), environ) != 0) {
        m_pid = -1;
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + Scaled(10s);
    while (!std::filesystem::exists(ready) && std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            return;
        }
        std::this_thread::sleep_for(20ms);
    }
    m_ready = std::filesystem::exists(ready);
}

CWindowManager::~CWindowManager()
{
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        int status = 0;
        waitpid(m_pid, &status, 0);
    }
    if (!m_folder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
}

} // namespace torvane::test
