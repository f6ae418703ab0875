// Helpers of the plugin window tests: finding the modal window a command opened, stepping
// through a modal loop on a timer, and screenshots for people to look at.
#pragma once

#include <gtest/gtest.h>

#include <wx/dialog.h>
#include <wx/modalhook.h>
#include <wx/timer.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace window_test {

// The shown modal dialog that match accepts, among the top-level windows.
wxDialog* ShownModalDialog(const std::function<bool(wxDialog&)>& match);

// Saves what the window shows on screen to the artifacts folder as name (a PNG).
void SaveScreenshot(wxWindow& window, const wxString& name);

// Remembers the modal dialog that opened last and is still up.
class ModalDialogWatch : public wxModalDialogHook {
public:
    ModalDialogWatch() { Register(); }
    ~ModalDialogWatch() override { Unregister(); }
    wxDialog* Current() const { return m_open.empty() ? nullptr : m_open.back(); }
    void Forget(wxDialog* dialog) { Exit(dialog); }

protected:
    int Enter(wxDialog* dialog) override
    {
        m_open.push_back(dialog);
        return wxID_NONE;
    }
    void Exit(wxDialog* dialog) override { m_open.erase(std::remove(m_open.begin(), m_open.end(), dialog), m_open.end()); }

private:
    std::vector<wxDialog*> m_open;
};

// The steps that answer the file chooser a Save As opened: the first notes the name it proposes
// and sets path (the native chooser is no top-level window of the toolkit's list, so the hook
// sees it open); the second presses OK once the chooser has taken the path, in its own time.
std::function<bool()> ProposeFileStep(ModalDialogWatch& hook, const wxString& path, wxString& proposedName);
std::function<bool()> ConfirmFileStep(ModalDialogWatch& hook, const wxString& path);

// Runs the steps, each once the one before it has done its work, on a timer while the modal
// windows the command opens are up. A step returns true when it is done; one that does not
// come about in time fails the test and closes the modal windows.
class Steps {
public:
    static constexpr std::chrono::seconds kStepTimeout{30};

    Steps(ModalDialogWatch& hook, std::vector<std::function<bool()>> steps) : m_hook(hook), m_steps(std::move(steps))
    {
        m_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
            if (m_next < m_steps.size() && !m_running) {
                m_running = true;
                if (m_steps[m_next]()) {
                    ++m_next;
                    m_since = std::chrono::steady_clock::now();
                } else if (std::chrono::steady_clock::now() - m_since > kStepTimeout) {
                    ADD_FAILURE() << "step " << m_next + 1 << " did not come about";
                    m_next = m_steps.size();
                    // Ends the modal windows the steps were waiting in, so the test goes on.
                    while (wxDialog* open = m_hook.Current())
                        open->EndModal(wxID_CANCEL), m_hook.Forget(open);
                }
                m_running = false;
            }
        });
        m_timer.Start(50);
    }
    ~Steps() { m_timer.Stop(); }
    bool Done() const { return m_next == m_steps.size(); }

private:
    ModalDialogWatch& m_hook;
    std::vector<std::function<bool()>> m_steps;
    std::chrono::steady_clock::time_point m_since = std::chrono::steady_clock::now();
    size_t m_next = 0;
    bool m_running = false;
    wxTimer m_timer;
};

} // namespace window_test
