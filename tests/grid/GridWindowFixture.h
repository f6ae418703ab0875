// What the tests of query windows with results grids share: a query window on each test
// database, runs through its Execute command as F5 starts them, and what its status bar and
// results pane show of them.
#pragma once

#include "app/MainFrame.h"
#include "common/CommandIds.h"
#include "editor/QryView.h"
#include "editor/TorvaneDoc.h"
#include "platform/MessageBox.h"
#include "query/BatchExecution.h"
#include "query/ChildFrame.h"
#include "query/ExportDialogs.h"
#include "query/MSHFlexGrid.h"
#include "query/ResultView.h"
#include "querycore/DataLinkFields.h"
#include "tests/support/TestDatabases.h"
#include "tests/support/TestTiming.h"
#include "tests/window/QueryWindowTest.h"
#include "tests/window/WindowTestMain.h"

#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/clipbrd.h>
#include <wx/combobox.h>
#include <wx/modalhook.h>
#include <wx/stc/stc.h>

namespace grid_test {

using namespace std::chrono_literals;
using namespace torvane::test;
using window_test::Main;
using window_test::Pump;
using window_test::PumpUntil;


inline wxString AdoForm(const std::string& odbc)
{
    return CDataLinkFields::Parse(wxString::FromUTF8(odbc)).BuildConnectString();
}

// The command is enabled where the window sends it, as its menu item shows.
inline bool IsEnabled(wxWindow& window, int id)
{
    wxUpdateUIEvent event(id);
    event.SetEventObject(&window);
    window.ProcessWindowEvent(event);
    return event.GetEnabled();
}

inline void Command(wxWindow& target, int id)
{
    wxCommandEvent event(wxEVT_MENU, id);
    event.SetEventObject(&target);
    target.ProcessWindowEvent(event);
    Pump();
}

inline void PressKey(wxWindow& target, int code, bool shift = false)
{
    wxKeyEvent event(wxEVT_KEY_DOWN);
    event.m_keyCode = code;
    event.m_shiftDown = shift;
    event.SetEventObject(&target);
    target.ProcessWindowEvent(event);
    Pump();
}

// What the display's clipboard holds as text.
inline std::string ClipboardText()
{
    std::string text;
    if (wxTheClipboard->Open()) {
        wxTextDataObject data;
        if (wxTheClipboard->GetData(data))
            text = data.GetText().utf8_string();
        wxTheClipboard->Close();
    }
    return text;
}

// A status bar pane of the window: 0 the message, 2 the elapsed time, 3 the result set shown.
inline wxString Pane(const CChildFrame& frame, int pane)
{
    return frame.GetQueryStatusBar()->GetStatusText(pane);
}

// The run's messages as the Messages command shows them; the results pane then goes back to
// what it showed.
inline wxString ShownMessages(CChildFrame& frame)
{
    const bool shown = Pane(frame, 3) == "Messages";
    if (!shown)
        Command(frame, ID_MESSAGES_MODE);
    const wxString text = frame.GetResultView()->GetText();
    if (!shown)
        Command(frame, ID_MESSAGES_MODE);
    return text;
}

// Puts the text in the window's editor and executes it, as F5 does.
inline void StartRun(CChildFrame& frame, const std::string& sql)
{
    frame.GetQueryView()->GetEditCtrl()->SetText(wxString::FromUTF8(sql));
    Command(frame, ID_QUERY_EXECUTE);
}

// Waits for the end of the window's run; false when it went on past the deadline.
inline bool WaitForRunEnd(CChildFrame& frame)
{
    const bool ended = PumpUntil([&frame] { return !frame.IsExecuting(); }, Scaled(60s));
    Pump();
    return ended;
}

// Asks the window to repaint and waits until it has painted.
inline bool WaitForPaint(wxWindow& window)
{
    struct Watch {
        bool painted = false;
        void OnPaint(wxPaintEvent& event)
        {
            event.Skip();
            painted = true;
        }
    } watch;
    window.Bind(wxEVT_PAINT, &Watch::OnPaint, &watch);
    window.Refresh();
    const bool painted = PumpUntil([&watch] { return watch.painted; }, Scaled(30s));
    window.Unbind(wxEVT_PAINT, &Watch::OnPaint, &watch);
    return painted;
}

// Gives the main window the size and waits until it has it and the part of it has painted since.
inline bool ResizeMainWindow(const wxSize& size, wxWindow& part)
{
    Main().SetSize(size);
    return PumpUntil([&size] { return Main().GetSize() == size; }, Scaled(10s)) && WaitForPaint(part);
}

// A SELECT of count rows (n, n * 2) from a recursive query both databases understand.
inline std::string CountingQuery(int count)
{
    return "WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r WHERE n < " + std::to_string(count) +
           ") SELECT n, n * 2 AS twice FROM r";
}

class GridWindowTest : public DatabaseTest {
protected:
    void SetUp() override
    {
        REQUIRE_DISPLAY();
        DatabaseTest::SetUp();
        if (HasFatalFailure() || IsSkipped())
            return;
        CMessageScript quiet;
        CTorvaneDoc* doc = Main().NewQueryWindow(AdoForm(ConnectionString()));
        ASSERT_TRUE(doc);
        m_frame = QueryFrameOf(doc);
        ASSERT_TRUE(m_frame);
        m_frame->Raise();
        Pump();
    }
    void TearDown() override
    {
        if (!window_test::HaveDisplay())
            return;
        CMessageScript quiet{wxID_NO, wxID_NO, wxID_NO};
        for (CChildFrame* frame : std::vector<CChildFrame*>(Main().GetQueryWindows()))
            frame->Close(true);
        PumpUntil([] { return Main().GetConnectionCount() == 0; }, Scaled(5s));
        Pump();
    }

    // Runs the text to its end; the test fails unless the run completed without errors.
    void RunToEnd(const std::string& sql) { RunToEnd(*m_frame, sql); }
    static void RunToEnd(CChildFrame& frame, const std::string& sql)
    {
        StartRun(frame, sql);
        ASSERT_TRUE(WaitForRunEnd(frame)) << "the run did not end";
        ASSERT_EQ(grid_test::Pane(frame, 0), "Query batch completed") << ShownMessages(frame);
    }
    // Executes a query whose rows never end and waits until they come into its grid: the run
    // goes on until it is cancelled.
    void StartEndlessRun()
    {
        StartRun(*m_frame, "WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r) SELECT n FROM r");
        ASSERT_TRUE(PumpUntil(
            [this] {
                const CMSHFlexGrid* grid = m_frame->GetResultGrid(1);
                return grid && grid->IsShown() && grid->GetRows() > 1;
            },
            Scaled(30s)))
            << "no rows came";
        ASSERT_TRUE(m_frame->IsExecuting());
    }
    // Alt+Break's command, then the end of the run.
    void CancelRun()
    {
        Command(*m_frame, ID_QUERY_CANCEL);
        ASSERT_TRUE(WaitForRunEnd(*m_frame)) << "the cancel did not end the run";
    }
    wxString Pane(int pane) const { return grid_test::Pane(*m_frame, pane); }
    CResultView& View() { return *m_frame->GetResultView(); }

    CChildFrame* m_frame = nullptr;
};


// Confirms the grid export dialog with a file, a delimiter and the names option, as its OK button
// does, for every export dialog that opens while it lives.
class ExportAnswer : public wxModalDialogHook {
public:
    ExportAnswer(const wxString& path, const wxString& delimiter, bool names)
        : m_path(path), m_delimiter(delimiter), m_names(names)
    {
        Register();
    }
    ~ExportAnswer() override { Unregister(); }
    const std::vector<wxString>& Titles() const { return m_titles; }

protected:
    int Enter(wxDialog* dialog) override
    {
        auto* export_ = dynamic_cast<CExportDlg*>(dialog);
        if (!export_)
            return wxID_CANCEL;
        m_titles.push_back(export_->GetTitle());
        export_->SetBasePath(m_path);
        export_->GetDelimiterBox()->SetValue(m_delimiter);
        export_->GetColumnNamesBox()->SetValue(m_names);
        return export_->OnFileNameOK() ? wxID_CANCEL : wxID_OK;
    }
    void Exit(wxDialog*) override {}

private:
    wxString m_path;
    wxString m_delimiter;
    bool m_names;
    std::vector<wxString> m_titles;
};


} // namespace grid_test
