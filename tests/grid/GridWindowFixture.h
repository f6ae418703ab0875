// What the tests of query windows with results grids share: a batch run in grid mode on a
// thread of its own, as an execution runs it, and a query window on each test database.
#pragma once

#include "app/MainFrame.h"
#include "common/ErrorText.h"
#include "editor/TorvaneDoc.h"
#include "platform/MessageBox.h"
#include "query/ChildFrame.h"
#include "query/ExportDialogs.h"
#include "query/ResultView.h"
#include "querycore/DataLinkFields.h"
#include "querycore/GridWorker.h"
#include "tests/support/TestDatabases.h"
#include "tests/window/QueryWindowTest.h"
#include "tests/window/WindowTestMain.h"

#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/clipbrd.h>
#include <wx/combobox.h>
#include <wx/modalhook.h>

#include <atomic>
#include <thread>

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

// A batch run in grid mode: executed on a thread of its own and walked into grids by the grid
// worker, with the window answering the worker's requests while the test pumps its events.
class GridRun {
public:
    GridRun(CChildFrame& frame, const std::string& sql, CGridWorker::Options options) : m_frame(frame)
    {
        frame.GetRunState()->m_bExecuting = 1;
        frame.GetRunState()->m_bStop = 0;
        frame.RunView().m_bGridFailed = 0;
        std::shared_ptr<CQueryRunState> state = frame.GetRunState();
        ado::ConnectionPtr connection = frame.Connection().m_pConnection;
        m_thread = std::thread([this, state, connection, sql, options] {
            try {
                _variant_t affected;
                ado::RecordsetPtr rs = connection->Execute(sql, &affected, ado::adCmdText);
                CGridWorker worker(state, options);
                worker.Run(rs, affected);
            } catch (const _com_error& e) {
                m_error = GetComErrorText(e).utf8_string();
            } catch (const std::exception& e) {
                m_error = e.what();
            }
            m_done = true;
        });
    }
    ~GridRun() { Finish(); }

    bool IsDone() const { return m_done; }
    // Waits for the worker, then ends the batch as the execution does.
    bool Finish()
    {
        if (!m_thread.joinable())
            return true;
        const bool ended = PumpUntil([this] { return m_done.load(); }, 60s);
        m_thread.join();
        m_frame.GetRunState()->m_bExecuting = 0;
        m_frame.ShowResults();
        Pump();
        return ended;
    }
    const std::string& Error() const { return m_error; }

private:
    CChildFrame& m_frame;
    std::thread m_thread;
    std::atomic<bool> m_done{false};
    std::string m_error;
};

inline bool IsEnabled(CChildFrame& frame, int id)
{
    wxUpdateUIEvent event(id);
    event.SetEventObject(&frame);
    frame.ProcessWindowEvent(event);
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

inline wxString Messages(CChildFrame& frame)
{
    std::lock_guard<std::mutex> lock(frame.GetRunState()->m_csOutput);
    return frame.GetRunState()->m_strMessages;
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
        PumpUntil([] { return Main().GetConnectionCount() == 0; }, 5s);
        Pump();
    }

    CGridWorker::Options Options() const
    {
        CGridWorker::Options options;
        options.multipleResults = m_frame->Connection().m_bMultipleResults != 0;
        return options;
    }
    // Runs the batch to its end; the test fails on a worker error.
    void RunToEnd(const std::string& sql)
    {
        GridRun run(*m_frame, sql, Options());
        ASSERT_TRUE(run.Finish());
        ASSERT_EQ(run.Error(), "");
    }
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
