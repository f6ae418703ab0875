// Helpers of the window tests: running the event loop for a while and answering the modal
// dialogs that the code under test opens.
#pragma once

#include <gtest/gtest.h>
#include <wx/dialog.h>
#include <wx/modalhook.h>

#include <functional>
#include <string>
#include <vector>

class CMainFrame;

// Dispatches events for the given time (or until the condition holds); true when it held.
bool Pump(int milliseconds, const std::function<bool()>& until = {});
// A deadline that only catches a hang, stretched for slow builds (TestTiming.h).
int HangMs(int milliseconds);

// Answers the modal dialogs that match in place of the user: the dialog is not shown and its
// ShowModal returns what the action returns (after the action has filled in its fields).
class CDialogAnswerer : public wxModalDialogHook {
public:
    CDialogAnswerer(std::function<bool(wxDialog&)> matches, std::function<int(wxDialog&)> action);
    ~CDialogAnswerer() override;

    int Answered() const { return m_answered; }

protected:
    int Enter(wxDialog* dialog) override;
    void Exit(wxDialog*) override {}

private:
    std::function<bool(wxDialog&)> m_matches;
    std::function<int(wxDialog&)> m_action;
    int m_answered = 0;
};

// The data link dialog: answered with the connect string, or cancelled when it is empty.
class CDataLinkAnswer : public CDialogAnswerer {
public:
    explicit CDataLinkAnswer(const wxString& connect);
};

// A connect string for a SQLite database file through the ODBC bridge.
wxString SqliteConnect(const std::string& file);

// A test of the program as it starts and ends: settings of its own, starting empty, and an empty
// SQLite database file; the program is shut down after the test.
class ShellTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the program with the given arguments and the start-up action "none" unless the
    // test chose another.
    bool Start(const std::vector<wxString>& args = {}, int startup = 2);
    CMainFrame& Frame();

    std::string m_db;
};
