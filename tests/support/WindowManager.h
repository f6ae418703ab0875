// A window manager on the test display for as long as the object lives, for tests of what the
// desktop does with the program's windows: the focus given to a window that opens or closes, the
// title bars and borders put around windows. It manages every window of the display, so the tests
// that start one run alone (RUN_SERIAL). Test thread only.
#pragma once

#include <sys/types.h>

#include <string>

namespace torvane::test {

class CWindowManager {
public:
    // Starts openbox on $DISPLAY and waits until it has set itself up. Running() is false when
    // it is not installed or did not come up.
    CWindowManager();
    // Ends it, by its process id, and waits for it to go.
    ~CWindowManager();
    CWindowManager(const CWindowManager&) = delete;
    CWindowManager& operator=(const CWindowManager&) = delete;

    bool Running() const { return m_ready; }

private:
    pid_t m_pid = -1;
    bool m_ready = false;
    std::string m_folder;
};

} // namespace torvane::test
