// Test helpers for windows. GUI tests run in the program's own application object, started
// with its settings, runtime folder and start-up action private to this test process.
#pragma once

#include <wx/dialog.h>
#include <wx/modalhook.h>

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class wxEvtHandler;
class wxTimer;

namespace window_test {

// True when the application came up on a display; GUI tests skip otherwise.
bool HaveDisplay();

// Handles queued events until pred() holds or the time is up; returns pred().
bool PumpUntil(const std::function<bool()>& pred, std::chrono::milliseconds timeout);
// Handles whatever is queued now, and deletes windows waiting for deletion.
void Pump();

// Opens a context menu with open() (keys sent through the display), reads whether it shows item
// id enabled, and lets it go with Escape as a person would. Nothing when no menu of owner's came
// within timeout.
std::optional<bool> ContextMenuOffers(wxEvtHandler& owner, int id, const std::function<void()>& open,
                                      std::chrono::milliseconds timeout);

// Answers modal dialogs as they appear, in order: each step is given the next modal dialog of
// its type and returns the id the dialog ends with.
class DialogScript {
public:
    DialogScript();
    ~DialogScript();

    template <class Dialog>
    void Expect(std::function<int(Dialog&)> answer)
    {
        m_steps.push_back([answer](wxDialog* dialog) -> int {
            auto* typed = dynamic_cast<Dialog*>(dialog);
            return typed ? answer(*typed) : wxID_NONE;
        });
    }
    // Dialogs answered so far.
    int Answered() const { return m_answered; }
    bool Done() const { return m_steps.empty(); }

private:
    void Poll();

    std::deque<std::function<int(wxDialog*)>> m_steps;
    std::unique_ptr<wxTimer> m_timer;
    int m_answered = 0;
};

// Answers every modal dialog (the program's own, the file, font and print dialogs) with Cancel
// before it shows, for as long as it lives, and remembers the title of each.
class CancelModalDialogs : public wxModalDialogHook {
public:
    CancelModalDialogs() { Register(); }
    ~CancelModalDialogs() override { Unregister(); }

    const std::vector<wxString>& Titles() const { return m_titles; }
    void Clear() { m_titles.clear(); }

protected:
    int Enter(wxDialog* dialog) override;
    void Exit(wxDialog*) override {}

private:
    std::vector<wxString> m_titles;
};

// What the desktop's opener (a stand-in on PATH for every test) was asked to open, in order.
std::vector<std::string> OpenedFiles();

} // namespace window_test

#define REQUIRE_DISPLAY()                                                                                   \
    do {                                                                                                    \
        if (!::window_test::HaveDisplay())                                                                  \
            GTEST_SKIP() << "no display";                                                                   \
    } while (0)
