// Execute and Save As in a query window under Xvfb, on SQLite and PostgreSQL, with the batches
// opened asynchronously and with the worker running them itself.
#include "app/MainFrame.h"
#include "app/TorvaneApp.h"
#include "common/CommandIds.h"
#include "editor/QryView.h"
#include "editor/TorvaneDoc.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "query/BatchExecution.h"
#include "query/ChildFrame.h"
#include "query/ExportDialogs.h"
#include "querycore/ExportOptions.h"
#include "query/ResultView.h"
#include "tests/common/WxStringPrinter.h"
#include "tests/support/TestDatabases.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestTiming.h"
#include "tests/window/QueryWindowTest.h"
#include "tests/window/WindowTestMain.h"

#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/statusbr.h>
#include <wx/stc/stc.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using namespace torvane::test;
using window_test::Main;
using window_test::Pump;
using window_test::PumpUntil;

namespace {

class SaveWindowTest : public ::testing::TestWithParam<window_test::RunPath> {
protected:
    void SetUp() override
    {
        REQUIRE_DISPLAY();
        ASSERT_EQ(Main().GetConnectionCount(), 0u);
        if (GetParam().driver == Driver::PostgreSQL && !PostgresConfigured())
            GTEST_SKIP() << "no PostgreSQL";
        m_connect = CleanDatabaseConnectionString(GetParam().driver);
        ExecDirect(m_connect, "CREATE TABLE pets (id integer, name varchar(20))");
        ExecDirect(m_connect, "INSERT INTO pets VALUES (1, 'cat')");
        CSettingsStore::Get().DeleteSection("Grid\\Export Options");
        m_folder = NewTempPath("-window");
        fs::create_directory(m_folder);
    }
    void TearDown() override
    {
        if (!window_test::HaveDisplay())
            return;
        window_test::CloseQueryWindows();
    }

    CChildFrame* Open()
    {
        CChildFrame* frame = window_test::OpenQueryWindow(m_connect);
        if (frame)
            frame->Connection().m_bAsyncSupported = GetParam().async;
        return frame;
    }
    static wxStyledTextCtrl& Editor(CChildFrame* frame) { return *frame->GetQueryView()->GetEditCtrl(); }
    static wxString Output(CChildFrame* frame) { return frame->GetResultView()->GetText(); }
    static wxString Pane(CChildFrame* frame, int pane) { return frame->GetQueryStatusBar()->GetStatusText(pane); }
    static void WaitForRun(CChildFrame* frame)
    {
        ASSERT_TRUE(PumpUntil([frame] { return !frame->IsExecuting(); }, Scaled(20s))) << "the run did not end";
        Pump();
    }
    wxString In(const std::string& name) const { return wxString::FromUTF8((m_folder / name).string()); }

    std::string m_connect;
    fs::path m_folder;
};

TEST_P(SaveWindowTest, ExecuteAndSaveAsWritesEachResultSetAndReportsIt)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    ASSERT_FALSE(frame->OutputMode().m_bResultsInText);
    Editor(frame).SetText("SELECT id, name FROM pets\nGO\nUPDATE pets SET id = 1\nGO\nSELECT 'x,y' AS s\n");

    window_test::DialogScript script;
    wxString offered;
    script.Expect<CExportDialogEx>([&](CExportDialogEx& dlg) {
        offered = dlg.GetBasePath();
        dlg.SetBasePath(In("result"));
        dlg.SetFileType(2);
        dlg.GetDelimiterBox()->SetValue(",");
        dlg.GetExcelBox()->SetValue(false);
        return dlg.OnFileNameOK() ? wxID_CANCEL : wxID_OK;
    });
    wxCommandEvent command(wxEVT_MENU, ID_QUERY_EXECUTE_SAVE_AS);
    frame->GetEventHandler()->ProcessEvent(command);
    ASSERT_EQ(script.Answered(), 1);
    // The dialog offers a name made from the text, in the temporary folder at first.
    EXPECT_EQ(offered, TheApp().GetTempFolder() + "SELECT_id__name");
    WaitForRun(frame);

    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(m_folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0], "result.csv");
    EXPECT_EQ(FileBytes(m_folder / "result.csv"), "id,name\r\n1,cat\r\n");
    EXPECT_EQ(FileBytes(m_folder / names[1]), "s\r\n\"x,y\"\r\n");
    EXPECT_EQ(Output(frame), "Saved " + In("result.csv") + " successfully.\n\n(1 row(s) affected)\n\nSaved " +
                                 In(names[1]) + " successfully.");
    EXPECT_EQ(Pane(frame, 3), "Number of result sets saved: 2");
    EXPECT_EQ(Pane(frame, 0), "Query batch completed");
    // The save mode ends with the run, and the window is back in grid mode.
    EXPECT_FALSE(frame->OutputMode().m_bSaveMode);
    EXPECT_FALSE(frame->OutputMode().m_bResultsInText);
    EXPECT_FALSE(frame->OutputMode().m_bTextModeForced);
    EXPECT_EQ(CSettingsStore::Get().GetProfileString("Grid\\Export Options", "InitialDir", ""), In("") );

    // The next run is an ordinary one again.
    Editor(frame).SetText("SELECT 5 AS five");
    wxCommandEvent execute(wxEVT_MENU, ID_QUERY_EXECUTE);
    frame->GetEventHandler()->ProcessEvent(execute);
    WaitForRun(frame);
    EXPECT_EQ(fs::directory_iterator(m_folder) == fs::directory_iterator(), false);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_folder), fs::directory_iterator()), 2);
}

TEST_P(SaveWindowTest, AFailedSaveIsAnErrorOfTheRunAndCancelTakesNothing)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    window_test::SetResultsInText(*frame, true);
    Editor(frame).SetText("SELECT id FROM pets");

    // Cancel in the dialog: no run.
    {
        window_test::DialogScript script;
        script.Expect<CExportDialogEx>([](CExportDialogEx&) { return wxID_CANCEL; });
        EXPECT_FALSE(frame->GetSaveAs().PromptSaveAsFile("x", "Execute and Save As"));
        EXPECT_FALSE(frame->IsExecuting());
        EXPECT_FALSE(frame->OutputMode().m_bSaveMode);
    }

    // The folder goes away between the dialog and the run: the run fails and says why.
    CSaveOptions options;
    options.format = export_options::XML;
    options.path = (m_folder / "gone" / "r.xml").string();
    frame->GetSaveAs().SetSaveOptions(options);
    EXPECT_FALSE(frame->OutputMode().m_bTextModeForced);
    frame->GetExecution().ExecuteQuery();
    WaitForRun(frame);
    EXPECT_EQ(Pane(frame, 0), "Query batch completed with errors");
    EXPECT_TRUE(Output(frame).StartsWith("<eb1>")) << Output(frame);
    EXPECT_FALSE(Output(frame).Contains("successfully")) << Output(frame);
    EXPECT_EQ(Pane(frame, 3), "Number of result sets saved: 0");
    // A window that was in text mode stays so.
    EXPECT_TRUE(frame->OutputMode().m_bResultsInText);
}

TEST_P(SaveWindowTest, PublishingAndTheWorkbookEndTheRunByOpeningTheirFiles)
{
    CChildFrame* frame = Open();
    ASSERT_TRUE(frame);
    Editor(frame).SetText("SELECT id, name FROM pets\nGO\nSELECT 'last' AS what\n");
    // The desktop's opener is a process of its own, which notes what it opens once it has
    // started: the run may end before the note is there.
    std::vector<std::string> opened = window_test::OpenedFiles();
    const auto openedNext = [&opened](const std::function<bool(const std::string&)>& wanted) {
        const size_t before = opened.size();
        return PumpUntil(
            [&] {
                opened = window_test::OpenedFiles();
                return opened.size() > before && wanted(opened.back());
            },
            Scaled(20s));
    };

    // The dialog's choice: XML, published.
    window_test::DialogScript script;
    script.Expect<CExportDialogEx>([&](CExportDialogEx& dlg) {
        dlg.SetBasePath(In("pub"));
        dlg.SetFileType(3);
        EXPECT_TRUE(dlg.GetPublishBox()->GetValue());
        return dlg.OnFileNameOK() ? wxID_CANCEL : wxID_OK;
    });
    wxCommandEvent command(wxEVT_MENU, ID_QUERY_EXECUTE_SAVE_AS);
    frame->GetEventHandler()->ProcessEvent(command);
    ASSERT_EQ(script.Answered(), 1);
    WaitForRun(frame);
    wxString output = Output(frame);
    EXPECT_EQ(Pane(frame, 0), "Query batch completed") << output;
    EXPECT_TRUE(fs::exists(m_folder / "pub.xsl"));
    const wxString published = output.AfterLast('\n');
    EXPECT_TRUE(published.StartsWith("Published " + In("pub_")) && published.EndsWith(".xml successfully."))
        << output;
    // The browser is handed the page made from the last file.
    ASSERT_TRUE(openedNext([](const std::string& path) { return path.ends_with(".html"); }))
        << "the page was not opened; opened so far: " << ::testing::PrintToString(opened);
    EXPECT_NE(FileBytes(opened.back()).find("<td>last</td>"), std::string::npos);
    fs::remove(opened.back());

    // Delimited text with the workbook step, as the command line hands it over.
    CSaveOptions options;
    options.format = export_options::Delimited;
    options.path = (m_folder / "book.csv").string();
    options.delimiter = ";";
    options.exportToExcel = true;
    frame->GetSaveAs().SetSaveOptions(options);
    Editor(frame).SetText("SELECT id, name FROM pets");
    frame->GetExecution().ExecuteQuery();
    WaitForRun(frame);
    output = Output(frame);
    EXPECT_TRUE(output.EndsWith("\n\nExported " + In("book.xlsx") + " to Excel successfully.")) << output;
    const std::string book = (m_folder / "book.xlsx").string();
    EXPECT_TRUE(openedNext([&book](const std::string& path) { return path == book; }))
        << "the workbook was not opened; opened so far: " << ::testing::PrintToString(opened);
    EXPECT_EQ(FileBytes(m_folder / "book.csv"), "id;name\r\n1;cat\r\n");
}

INSTANTIATE_TEST_SUITE_P(Paths, SaveWindowTest,
                         window_test::AllRunPaths(),
                         window_test::RunPathName);

} // namespace
