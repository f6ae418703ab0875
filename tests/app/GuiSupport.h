// Helpers of the window tests: running the event loop for a while and answering the modal
// dialogs that the code under test opens.
#pragma once

#include <wx/dialog.h>
#include <wx/timer.h>

#include <functional>
#include <string>

// Dispatches events for the given time (or until the condition holds); true when it held.
bool Pump(int milliseconds, const std::function<bool()>& until = {});

// Answers the next modal dialog that matches: a timer looks for it while the dialog's own loop
// runs, then performs the action (which must end the dialog).
class CDialogAnswerer : public wxTimer {
public:
    CDialogAnswerer(std::function<bool(wxDialog&)> matches, std::function<void(wxDialog&)> action);
    ~CDialogAnswerer() override;

    int Answered() const { return m_answered; }
    void Notify() override;

private:
    std::function<bool(wxDialog&)> m_matches;
    std::function<void(wxDialog&)> m_action;
    int m_answered = 0;
    bool m_busy = false;
};

// The data link dialog: answered with the connect string, or cancelled when it is empty.
class CDataLinkAnswer : public CDialogAnswerer {
public:
    explicit CDataLinkAnswer(const wxString& connect);
};

// A connect string for a SQLite database file through the ODBC bridge.
wxString SqliteConnect(const std::string& file);
