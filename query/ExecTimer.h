// The elapsed time of a query window's run: a one-second timer that shows "Exec time: ..." in
// the window's elapsed-time pane, with or without milliseconds, and on each tick lets the run
// refresh its panes and output.
#pragma once

#include <wx/string.h>
#include <wx/timer.h>

#include <functional>

class CQueryWindowSettings;
struct CRunViewState;
class wxStatusBar;

class CExecTimer : public wxTimer {
public:
    static constexpr int kElapsedTimePane = 2;
    static constexpr int kTimerId = 1;

    // The times go into the view state and the status bar's pane; the milliseconds setting is
    // the window's. onTick runs on every tick of the running timer.
    CExecTimer(CRunViewState& view, CQueryWindowSettings& settings, wxStatusBar* bar, std::function<void()> onTick);

    // StartExecTimer: the start time, the timer, and the pane at zero.
    void StartExecTimer();
    // KillTimer: the timer stops; the pane keeps its text.
    void KillExecTimer();
    // The current elapsed time in the pane.
    void FormatExecTime();
    // A given text in the pane.
    void FormatExecTime(const wxString& text);
    // The milliseconds setting changed: the pane is resized to the new form; while the timer runs
    // the time is shown anew, otherwise the shown text gains or loses its milliseconds.
    void SetExecTimeAccuracy(bool on);

    void Notify() override;

private:
    void ShowInPane();

    CRunViewState& m_view;
    CQueryWindowSettings& m_settings;
    wxStatusBar* m_pBar;
    std::function<void()> m_onTick;
};
