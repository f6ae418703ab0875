// Start-up, the main window and its query windows on a real display, against SQLite databases
// in temporary files through the SQLite ODBC driver.
#include "GuiSupport.h"
#include "OtherClipboardOwner.h"
#include "TempEnvironment.h"

#include "ado/Ado.h"
#include "app/AppStrings.h"
#include "app/CommandLineMessages.h"
#include "app/MainFrame.h"
#include "app/MDIClientWnd.h"
#include "app/TorvaneApp.h"
#include "app/TorvaneDocManager.h"
#include "app/WindowPlacement.h"
#include "common/CommandIds.h"
#include "common/SettingsTable.h"
#include "editor/QryView.h"
#include "editor/TorvaneDoc.h"
#include "platform/InstanceChannel.h"
#include "platform/MessageBox.h"
#include "platform/PrintDestinations.h"
#include "platform/SettingsStore.h"
#include "platform/ShellRegistration.h"
#include "query/ChildFrame.h"
#include "query/ConnectPromptDlg.h"
#include "tests/common/WxStringPrinter.h"
#include "tests/window/LongQuery.h"

#include <gtest/gtest.h>
#include <wx/clipbrd.h>
#include <wx/filedlg.h>
#include <wx/filehistory.h>
#include <wx/filename.h>
#include <wx/menu.h>
#include <wx/process.h>
#include <wx/statusbr.h>
#include <wx/stc/stc.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>

extern CTempEnvironment* g_env;

namespace {

class MainFrameTest : public ShellTest {
protected:
    CTorvaneDoc* Open(const std::optional<wxString>& file = std::nullopt)
    {
        CTorvaneDoc* doc = Frame().NewQueryWindow(SqliteConnect(m_db), file);
        Pump(50);
        return doc;
    }

    // The title of a window on the test's database: the database file names the connection.
    wxString Titled(const wxString& name, const wxString& text) const
    {
        return wxString::FromUTF8(m_db) + " - " + name + " - (" + text + ")";
    }

    // Puts the long query (LongQuery.h) in the window and executes it; true once it runs at the
    // database.
    bool StartLongQuery(CChildFrame* frame)
    {
        using torvane::test::Driver;
        frame->GetQueryView()->GetEditCtrl()->SetText(window_test::LongQuery(Driver::SQLite));
        frame->GetQueryDoc()->Modify(false);
        wxCommandEvent execute(wxEVT_MENU, ID_QUERY_EXECUTE);
        frame->GetEventHandler()->ProcessEvent(execute);
        const std::string connect = "Driver=SQLite3;Database=" + m_db + ";";
        return Pump(HangMs(15000), [frame, &connect] {
            return frame->IsExecuting() && window_test::LongQueryRunning(Driver::SQLite, connect);
        });
    }

    static wxString TextOf(CChildFrame* frame)
    {
        auto* doc = wxDynamicCast(frame->GetDocument(), CTorvaneDoc);
        return doc && doc->GetQryView() ? doc->GetQryView()->GetText() : wxString("<none>");
    }

    std::string WriteQuery(const std::string& name, const std::string& text)
    {
        std::string path = g_env->Path(name);
        WriteWholeFile(path, text);
        return path;
    }
};

startup::Services Failing(const char* what)
{
    startup::Services s = startup::Services::Default();
    std::string w = what;
    if (w == "os")
        s.kernelRelease = [] { return wxString("2.6.32"); };
    else if (w == "ado-create")
        s.adoVersion = [](wxString&) { return false; };
    else if (w == "ado-throws")
        s.adoVersion = [](wxString&) -> bool { throw _com_error(REGDB_E_CLASSNOTREG); };
    else if (w == "ado-2.1")
        s.adoVersion = [](wxString& v) {
            v = " 2.1 ";
            return true;
        };
    else if (w == "grid")
        s.gridAvailable = [] { return false; };
    return s;
}

} // namespace

TEST_F(MainFrameTest, EachPrerequisiteRefusesTheStartWithItsMessage)
{
    struct Case {
        const char* failing;
        const char* message;
        long icon;
    } cases[] = {
        {"os", strings::kSystemRequirements, wxICON_INFORMATION},
        {"ado-create", strings::kAdoMissing, wxICON_STOP},
        {"ado-throws", strings::kAdoMissing, wxICON_STOP},
        {"ado-2.1", strings::kAdoMissing, wxICON_STOP},
        {"grid", strings::kGridNotRegistered, wxICON_STOP},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failing);
        CMessageScript script;
        TheApp().SetStartupServices(Failing(c.failing));
        EXPECT_FALSE(Start());
        EXPECT_EQ(TheApp().GetMainFrame(), nullptr);
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].text, c.message);
        EXPECT_TRUE(script.Shown()[0].style & c.icon);
        TheApp().ShutDown();
    }
}

TEST_F(MainFrameTest, TheDataLayerVersionIsKeptAndTheStartGoesOn)
{
    CMessageScript script;
    ASSERT_TRUE(Start());
    EXPECT_EQ(TheApp().GetAdoVersion(), "2.8");
    EXPECT_TRUE(script.Shown().empty());
}

TEST_F(MainFrameTest, UnregisterSkipsTheChecksAndRemovesRegistrationAndSettings)
{
    ASSERT_TRUE(TheApp().SetDefaultEditor(true));
    settings::WriteInt(settings::DefaultEditor, 1);
    ASSERT_TRUE(CShellRegistration::IsRegistered());

    CMessageScript script;
    TheApp().SetStartupServices(Failing("ado-create"));
    EXPECT_FALSE(Start({"/Unregister"}));
    EXPECT_EQ(script.Texts(), std::vector<wxString>{strings::kUnregistered});
    EXPECT_FALSE(CShellRegistration::IsRegistered());
    EXPECT_FALSE(CSettingsStore::Get().HasKey("Configure", "Default Editor"));
    EXPECT_FALSE(CSettingsStore::Get().HasKey("Configure", "Startup"));
    EXPECT_EQ(TheApp().GetDataLinkFileManager().GetListCount(), 0u);
}

TEST_F(MainFrameTest, UnregisterInsideAPathOnlySkipsTheChecksAndTheExtraRecentLists)
{
    std::string folder = g_env->Path("-unregister-notes");
    mkdir(folder.c_str(), 0700);
    std::string file = folder + "/x.sql";
    WriteWholeFile(file, "select 1");
    CMessageScript script;
    TheApp().SetStartupServices(Failing("ado-create"));
    CDataLinkAnswer cancel("");
    EXPECT_TRUE(Start({"-f", file}));
    EXPECT_TRUE(TheApp().IsUnregisterMode());
    EXPECT_TRUE(script.Shown().empty()) << "the data layer check was skipped";
    EXPECT_EQ(TheApp().GetDataLinkFileManager().GetListCount(), 0u);
    EXPECT_EQ(TheApp().GetDsnLessLoginManager().GetListCount(), 0u);
    ASSERT_NE(TheApp().GetMainFrame(), nullptr);
}

TEST_F(MainFrameTest, MainWindowWithMenusAndStatusBar)
{
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    EXPECT_TRUE(frame.IsShown());
    wxMenuBar* bar = frame.GetMenuBar();
    ASSERT_NE(bar, nullptr);
    // Without a query window: File, Tools and Help (the query windows bring their own bar).
    ASSERT_EQ(bar->GetMenuCount(), 3u);
    EXPECT_EQ(bar->GetMenuLabel(0), "&File");
    EXPECT_EQ(bar->GetMenuLabel(1), "&Tools");
    EXPECT_EQ(bar->GetMenuLabel(2), "&Help");
    for (int id : {ID_FILE_DATA_LINK, ID_FILE_DATA_LINK_FILE, ID_FILE_OPEN, ID_FILE_PRINT_SETUP, ID_APP_EXIT})
        EXPECT_NE(bar->FindItem(id), nullptr) << id;
    wxStatusBar* status = frame.GetStatusBar();
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->GetFieldsCount(), 5);
    EXPECT_EQ(status->GetStatusText(1), "Total number of connections: 0");
    EXPECT_TRUE(frame.GetQueryWindows().empty());
    // The first settings of the main window are filled in at creation.
    EXPECT_EQ(CSettingsStore::Get().GetProfileString("Find In Files", "Invalid File Exts"),
              "*.EXE;*.DLL;*.OCX;*.SYS;*.COM;*.DOS;*.CAB;*.ZIP");
}

// What the program put on the clipboard, copied cells or the editor's selected text (the primary
// selection), is deleted when it ends, also when another program has taken the clipboard over and
// the display's notice of it waits among the events.
TEST_F(MainFrameTest, EndingDeletesWhatTheProgramPutOnTheClipboard)
{
    class CNotedText : public wxTextDataObject {
    public:
        CNotedText(const wxString& text, std::shared_ptr<bool> deleted)
            : wxTextDataObject(text), m_deleted(std::move(deleted))
        {
        }
        ~CNotedText() override { *m_deleted = true; }

    private:
        std::shared_ptr<bool> m_deleted;
    };
    ASSERT_TRUE(Start());
    auto primaryDeleted = std::make_shared<bool>(false);
    auto clipboardDeleted = std::make_shared<bool>(false);
    for (const auto& [primary, deleted] : {std::pair(true, primaryDeleted), std::pair(false, clipboardDeleted)}) {
        wxTheClipboard->UsePrimarySelection(primary);
        ASSERT_TRUE(wxTheClipboard->Open());
        wxTheClipboard->SetData(new CNotedText("select 1", deleted));
        wxTheClipboard->Close();
    }
    wxTheClipboard->UsePrimarySelection(false);
    COtherClipboardOwner other;
    ASSERT_TRUE(other.OwnsClipboard());

    TheApp().ShutDown();
    EXPECT_TRUE(*primaryDeleted) << "the primary selection, still the program's";
    EXPECT_TRUE(*clipboardDeleted) << "the clipboard, taken over by another program";
}

TEST_F(MainFrameTest, AnUnexpectedFailureIsReportedAndTheProgramGoesOn)
{
    ASSERT_TRUE(Start());
    CMessageScript script;
    Frame().CallAfter([] { throw std::runtime_error("a fault nobody handled"); });
    Frame().CallAfter([] { throw std::bad_alloc(); });
    Pump(HangMs(15000), [&script] { return script.Texts().size() == 2; });
    EXPECT_EQ(script.Texts(), (std::vector<wxString>{"Errors occurred.", "Out-of-Memory."}));
    EXPECT_TRUE(Frame().IsShown());
}

TEST_F(MainFrameTest, StartupActionDataLinkDialogCancelledLeavesNoWindow)
{
    CDataLinkAnswer cancel("");
    ASSERT_TRUE(Start({}, 0));
    EXPECT_EQ(cancel.Answered(), 1);
    EXPECT_TRUE(Frame().GetQueryWindows().empty());
    EXPECT_EQ(Frame().GetStatusBar()->GetStatusText(0), "");
}

TEST_F(MainFrameTest, StartupActionDataLinkDialogOpensAWindow)
{
    CDataLinkAnswer connect(SqliteConnect(m_db));
    ASSERT_TRUE(Start({}, 0));
    ASSERT_EQ(Frame().GetQueryWindows().size(), 1u);
    CChildFrame* window = Frame().GetQueryWindows()[0];
    EXPECT_EQ(window->GetDocument()->GetTitle(), Titled("Untitled_1", "New Query"));
    EXPECT_TRUE(window->Connection().m_pConnection->GetState() & ado::adStateOpen);
    EXPECT_EQ(Frame().GetActiveQueryWindow(), window);
    EXPECT_EQ(Frame().GetStatusBar()->GetStatusText(1), "Total number of connections: 1");
}

TEST_F(MainFrameTest, StartupActionDataLinkFileShowsItsOpenDialog)
{
    settings::WriteString(settings::FromUdlFile, wxString::FromUTF8(g_env->Root() + "/"));
    wxString title;
    wxString folder;
    CDialogAnswerer cancel([](wxDialog& d) { return dynamic_cast<wxFileDialog*>(&d) != nullptr; },
                           [&](wxDialog& d) {
                               title = static_cast<wxFileDialog&>(d).GetMessage();
                               folder = static_cast<wxFileDialog&>(d).GetDirectory();
                               return static_cast<int>(wxID_CANCEL);
                           });
    ASSERT_TRUE(Start({}, 1));
    EXPECT_EQ(cancel.Answered(), 1);
    EXPECT_EQ(title, "Open Microsoft Data Link File");
    EXPECT_EQ(wxFileName::DirName(folder), wxFileName::DirName(wxString::FromUTF8(g_env->Root())));
    EXPECT_TRUE(Frame().GetQueryWindows().empty());
}

TEST_F(MainFrameTest, StartupActionStoredDsnLessLogin)
{
    // The driver alone: its login asks for the database file, and the login joins the recent list.
    settings::WriteString(settings::StartupDsnLessString, "SQLite3");
    CMessageScript script{wxID_CANCEL};
    const wxString database = wxString::FromUTF8(m_db);
    CDialogAnswerer login([](wxDialog& dialog) { return dynamic_cast<CConnectPromptDlg*>(&dialog) != nullptr; },
                          [&database](wxDialog& dialog) {
                              auto* file = dynamic_cast<wxTextCtrl*>(dialog.FindWindow(CConnectPromptDlg::IDC_PROMPT_DATABASE));
                              file->ChangeValue(database);
                              return static_cast<int>(wxID_OK);
                          });
    ASSERT_TRUE(Start({}, 3));
    EXPECT_EQ(login.Answered(), 1);
    ASSERT_EQ(Frame().GetQueryWindows().size(), 1u) << (script.Texts().empty() ? "" : script.Texts()[0]);
    EXPECT_TRUE(Frame().GetQueryWindows()[0]->IsDsnLessConnection());
    CMruFileList* logins = TheApp().GetDsnLessLoginManager().GetList(0);
    ASSERT_NE(logins, nullptr);
    ASSERT_EQ(logins->GetCount(), 1u);
    EXPECT_EQ((*logins)[0], TheApp().GetTempFolder() + "SQLite3");
    EXPECT_TRUE(Frame().m_strDsnLessLogin.empty()) << "cleared when the window is open";

    // The extra recent lists are written when the program ends.
    TheApp().ShutDown();
    EXPECT_EQ(CSettingsStore::Get().GetProfileString("Recent DSN-less Logins", "DSNLessLogin1"),
              TheApp().GetTempFolder() + "SQLite3");
}

TEST_F(MainFrameTest, CommandLineConnectsWithTheGivenString)
{
    ASSERT_TRUE(Start({"-C", SqliteConnect(m_db)}));
    ASSERT_EQ(Frame().GetQueryWindows().size(), 1u);
    EXPECT_TRUE(Frame().GetQueryWindows()[0]->Connection().m_pConnection->GetState() & ado::adStateOpen);
}

TEST_F(MainFrameTest, CommandLineUsesTheFirstFileOptionInTheFixedOrder)
{
    std::string x = WriteQuery("x.sql", "select 'x'");
    std::string a = WriteQuery("a.sql", "select 'a'");
    std::string b = WriteQuery("b.sql", "select 'b'");
    ASSERT_TRUE(Start({"-C", SqliteConnect(m_db), "-F", wxString::FromUTF8(a + "|" + b), "-f", wxString::FromUTF8(x)}));
    const auto& windows = Frame().GetQueryWindows();
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(TextOf(windows[0]), "select 'x'");
}

TEST_F(MainFrameTest, CommandLineFileListOpensEveryFileAndGathersTheTabs)
{
    std::string a = WriteQuery("a.sql", "select 'a'");
    std::string b = WriteQuery("b.sql", "select 'b'");
    ASSERT_TRUE(Start({"-C", SqliteConnect(m_db), "/F", wxString::FromUTF8(a + "||" + b + "|")}));
    const auto& windows = Frame().GetQueryWindows();
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(TextOf(windows[0]), "select 'a'");
    EXPECT_EQ(TextOf(windows[1]), "select 'b'");
    EXPECT_EQ(windows[0]->GetDocument()->GetTitle(), Titled("a.sql", "select 'a'"));
    EXPECT_EQ(windows[1]->GetConnectionString(), windows[0]->GetConnectionString());
    EXPECT_EQ(Frame().GetMDIClient()->GetTabSetCount(), 1);
}

TEST_F(MainFrameTest, CommandLineWithoutAProviderAsksForTheConnection)
{
    std::string a = WriteQuery("a.sql", "select 1");
    CDataLinkAnswer cancel("");
    ASSERT_TRUE(Start({"-C", "Driver=SQLite3;Database=" + wxString::FromUTF8(m_db), "-f", wxString::FromUTF8(a)}));
    EXPECT_EQ(cancel.Answered(), 1);
    EXPECT_TRUE(Frame().GetQueryWindows().empty());
}

TEST_F(MainFrameTest, CommandLineDataLinkFileConnectsAndJoinsTheRecentList)
{
    std::string udl = g_env->Path("Sample Links/sample.udl");
    mkdir(g_env->Path("Sample Links").c_str(), 0700);
    WriteWholeFile(udl, "[oledb]\n; Everything after this line is an OLE DB initstring\n" +
                            std::string(SqliteConnect(m_db).utf8_str()) + "\n");
    ASSERT_TRUE(Start({"-C", wxString::FromUTF8("File Name=" + udl)}));
    ASSERT_EQ(Frame().GetQueryWindows().size(), 1u);
    CMruFileList* links = TheApp().GetDataLinkFileManager().GetList(0);
    ASSERT_NE(links, nullptr);
    ASSERT_EQ(links->GetCount(), 1u);
    EXPECT_EQ((*links)[0], wxString::FromUTF8(udl)) << "the path keeps its letter case";
}

TEST_F(MainFrameTest, CommandLineWithOnlyFlagsShowsTheUsage)
{
    CMessageScript script;
    EXPECT_FALSE(Start({"-q"}));
    EXPECT_EQ(script.Texts(), std::vector<wxString>{command_line::UsageText()});
}

TEST_F(MainFrameTest, AnExistingFileArgumentOpensThroughTheDataLinkDialog)
{
    std::string a = WriteQuery("shell.sql", "select 42");
    CDataLinkAnswer connect(SqliteConnect(m_db));
    ASSERT_TRUE(Start({wxString::FromUTF8(a), "-C", "ignored"}));
    EXPECT_EQ(connect.Answered(), 1);
    ASSERT_EQ(Frame().GetQueryWindows().size(), 1u);
    EXPECT_EQ(TextOf(Frame().GetQueryWindows()[0]), "select 42");
    wxFileHistory* history = TheApp().GetDocManager()->GetFileHistory();
    ASSERT_GE(history->GetCount(), 1u);
    EXPECT_EQ(history->GetHistoryFile(0), wxString::FromUTF8(a));
}

TEST_F(MainFrameTest, UntitledWindowsCountUpOverTheWholeRun)
{
    ASSERT_TRUE(Start());
    CTorvaneDoc* first = Open();
    CTorvaneDoc* second = Open();
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->GetTitle(), Titled("Untitled_1", "New Query"));
    EXPECT_EQ(second->GetTitle(), Titled("Untitled_2", "New Query"));
    EXPECT_EQ(Frame().GetConnectionCountText(), "Total number of connections: 2");
    Frame().GetQueryWindows()[0]->Close();
    Pump(50);
    EXPECT_EQ(Frame().GetConnectionCountText(), "Total number of connections: 1");
    CTorvaneDoc* third = Open();
    ASSERT_TRUE(third);
    EXPECT_EQ(third->GetTitle(), Titled("Untitled_3", "New Query"));
    EXPECT_EQ(Frame().GetStatusBar()->GetStatusText(1), "Total number of connections: 2");
}

TEST_F(MainFrameTest, SchemaPaneStartsHiddenOnlyWhenTheSettingSaysSo)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Open());
    EXPECT_TRUE(Frame().GetQueryWindows()[0]->IsSchemaPaneShown());
    settings::WriteInt(settings::SchemaHide, 1);
    ASSERT_TRUE(Open());
    EXPECT_FALSE(Frame().GetQueryWindows()[1]->IsSchemaPaneShown());
}

TEST_F(MainFrameTest, AFailedConnectionOffersRetryAndCancel)
{
    ASSERT_TRUE(Start());
    {
        CMessageScript script{wxID_CANCEL};
        EXPECT_EQ(Frame().NewQueryWindow(wxString("Provider=NoSuchProvider;Data Source=x")), nullptr);
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_TRUE(script.Shown()[0].style & TV_RETRY_CANCEL);
        EXPECT_TRUE(script.Shown()[0].style & wxICON_QUESTION);
        EXPECT_TRUE(script.Shown()[0].text.Contains("Provider cannot be found")) << script.Shown()[0].text;
        Pump(50);
        EXPECT_TRUE(Frame().GetQueryWindows().empty());
        EXPECT_EQ(Frame().GetStatusBar()->GetStatusText(0), "");
    }
    {
        // Retry asks again with the failed string and connects with the corrected one.
        CMessageScript script{wxID_RETRY};
        CDataLinkAnswer fix(SqliteConnect(m_db));
        CTorvaneDoc* doc = Frame().NewQueryWindow(wxString("Provider=NoSuchProvider;Data Source=x"));
        EXPECT_EQ(fix.Answered(), 1);
        ASSERT_NE(doc, nullptr);
        EXPECT_EQ(Frame().GetQueryWindows().size(), 1u);
    }
}

TEST_F(MainFrameTest, TileAndCascadeArrangeTheQueryWindows)
{
    ASSERT_TRUE(Start());
    Frame().SetSize(0, 0, 1200, 800);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(Open());
    Pump(100);
    CMDIClientWnd* client = Frame().GetMDIClient();
    const auto windows = Frame().GetQueryWindows();
    EXPECT_EQ(client->GetTabSetCount(), 1);

    Frame().TileWindows(wxVERTICAL);
    Pump(200);

    EXPECT_EQ(client->GetTabSetCount(), 3);
    const int clientWidth = client->GetClientSize().x;
    for (size_t i = 0; i < windows.size(); ++i) {
        SCOPED_TRACE(i);
        wxRect r = windows[i]->GetScreenRect();
        EXPECT_TRUE(windows[i]->IsShownOnScreen());
        EXPECT_GT(r.width, clientWidth / 4);
        EXPECT_LT(r.width, clientWidth / 2);
        if (i > 0) {
            wxRect left = windows[i - 1]->GetScreenRect();
            EXPECT_GE(r.x, left.GetRight()) << "side by side, in the order they were opened";
            EXPECT_EQ(r.y, left.y);
        }
    }

    Frame().TileWindows(wxHORIZONTAL);
    Pump(200);
    EXPECT_EQ(client->GetTabSetCount(), 3);
    for (size_t i = 1; i < windows.size(); ++i) {
        wxRect above = windows[i - 1]->GetScreenRect();
        wxRect r = windows[i]->GetScreenRect();
        EXPECT_TRUE(windows[i]->IsShownOnScreen());
        EXPECT_GE(r.y, above.GetBottom()) << "one above the other";
        EXPECT_EQ(r.x, above.x);
    }

    Frame().CascadeWindows();
    Pump(200);
    EXPECT_EQ(client->GetTabSetCount(), 1);
    int shown = 0;
    for (CChildFrame* w : windows)
        shown += w->IsShownOnScreen() ? 1 : 0;
    EXPECT_EQ(shown, 1) << "one set of tabs shows one window at a time";
    for (size_t i = 0; i < windows.size(); ++i)
        EXPECT_EQ(client->GetPage(i), windows[i]);
}

TEST_F(MainFrameTest, ArrangeIconsAndNextPrevious)
{
    ASSERT_TRUE(Start());
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(Open());
    CMDIClientWnd* client = Frame().GetMDIClient();
    const auto windows = Frame().GetQueryWindows();
    client->OrderTabs({windows[2], windows[1], windows[0]});
    EXPECT_EQ(client->GetPage(0), windows[2]);
    Frame().ArrangeWindows();
    for (size_t i = 0; i < windows.size(); ++i)
        EXPECT_EQ(client->GetPage(i), windows[i]);

    client->SetSelection(0);
    Pump(50);
    Frame().ActivateNextWindow(true);
    Pump(50);
    EXPECT_EQ(Frame().GetActiveQueryWindow(), windows[1]);
    Frame().ActivateNextWindow(false);
    Frame().ActivateNextWindow(false);
    Pump(50);
    EXPECT_EQ(Frame().GetActiveQueryWindow(), windows[2]);
}

TEST_F(MainFrameTest, OpenDocumentFileReplacesTheActiveWindowsText)
{
    ASSERT_TRUE(Start());
    CTorvaneDoc* doc = Open();
    ASSERT_TRUE(doc);
    std::string path = WriteQuery("replace.sql", "select 'replaced'");
    EXPECT_EQ(TheApp().OpenDocumentFile(wxString::FromUTF8(path)), doc);
    EXPECT_EQ(Frame().GetQueryWindows().size(), 1u);
    EXPECT_EQ(TextOf(Frame().GetQueryWindows()[0]), "select 'replaced'");
    EXPECT_EQ(doc->GetTitle(), Titled("replace.sql", "select 'replace..."));
    EXPECT_EQ(TheApp().GetDocManager()->GetFileHistory()->GetHistoryFile(0), wxString::FromUTF8(path));

    // A file that cannot be read leaves the window and its title as they were.
    EXPECT_EQ(TheApp().OpenDocumentFile(wxString::FromUTF8(g_env->Path("missing.sql"))), nullptr);
    EXPECT_EQ(doc->GetTitle(), Titled("replace.sql", "select 'replace..."));
}

// Shown, such a file would look like SQL that runs whole; sent, the driver would stop at the
// NUL: "DELETE FROM t<NUL> WHERE id = 1" would delete every row.
TEST_F(MainFrameTest, AFileHoldingANulCharacterIsNotOpened)
{
    ASSERT_TRUE(Start());
    CTorvaneDoc* doc = Open();
    ASSERT_TRUE(doc);
    const std::string path = WriteQuery("nul.sql", std::string("SELECT 1\r\nGO\r\nDELETE FROM t") + '\0' + " WHERE id = 1");
    CMessageScript script;
    EXPECT_EQ(TheApp().OpenDocumentFile(wxString::FromUTF8(path)), nullptr);
    EXPECT_EQ(script.Texts(), std::vector<wxString>{wxString::FromUTF8(
                                  "'" + path +
                                  "'.\nLine 3 holds a NUL character (byte 0), which SQL text cannot contain.\n"
                                  "The file was not opened.")});
    ASSERT_EQ(Frame().GetQueryWindows().size(), 1u);
    EXPECT_EQ(TextOf(Frame().GetQueryWindows()[0]), "");
}

TEST_F(MainFrameTest, CommandLineExecuteOfAFileHoldingANulCharacterRunsNothing)
{
    const auto rows = [this] {
        auto cn = ado::Connection::Create();
        cn->Open(SqliteConnect(m_db).utf8_string());
        return cn->Execute("SELECT count(*) FROM t")->GetCollect(0L).ToString();
    };
    {
        auto cn = ado::Connection::Create();
        cn->Open(SqliteConnect(m_db).utf8_string());
        cn->Execute("CREATE TABLE t (id integer)");
        cn->Execute("INSERT INTO t VALUES (1)");
        cn->Execute("INSERT INTO t VALUES (2)");
    }
    const std::string path = WriteQuery("nul.sql", std::string("DELETE FROM t") + '\0' + " WHERE id = 1");
    CMessageScript script;
    ASSERT_TRUE(Start({"-C", SqliteConnect(m_db), "-e", wxString::FromUTF8(path)}));
    EXPECT_EQ(script.Texts(), std::vector<wxString>{wxString::FromUTF8(
                                  "'" + path +
                                  "'.\nLine 1 holds a NUL character (byte 0), which SQL text cannot contain.\n"
                                  "The file was not opened.")});
    // The connected window stays, as for a file that cannot be read, without the text.
    for (CChildFrame* window : Frame().GetQueryWindows())
        EXPECT_EQ(TextOf(window), "");
    Pump(200);
    EXPECT_EQ(rows(), "2");
}

TEST_F(MainFrameTest, OpenDocumentFileWithoutAWindowAsksForTheConnectionFirst)
{
    ASSERT_TRUE(Start());
    std::string path = WriteQuery("first.sql", "select 'first'");
    {
        CDataLinkAnswer cancel("");
        EXPECT_EQ(TheApp().OpenDocumentFile(wxString::FromUTF8(path)), nullptr);
        EXPECT_EQ(cancel.Answered(), 1);
    }
    CDataLinkAnswer connect(SqliteConnect(m_db));
    ASSERT_NE(TheApp().OpenDocumentFile(wxString::FromUTF8(path)), nullptr);
    EXPECT_EQ(TextOf(Frame().GetQueryWindows()[0]), "select 'first'");
}

TEST_F(MainFrameTest, ShellOpenCommands)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Open());
    std::string path = WriteQuery("dde.sql", "select 'dde'");
    {
        CMessageScript script;
        EXPECT_FALSE(TheApp().OnDDECommand("[OPEN(\"" + wxString::FromUTF8(path) + "\")]"));
        EXPECT_EQ(script.Texts(), std::vector<wxString>{command_line::UsageText()});
    }
    EXPECT_FALSE(TheApp().OnDDECommand("[open(\"\")]"));
    EXPECT_FALSE(TheApp().OnDDECommand("[open(\"" + wxString::FromUTF8(path)));
    EXPECT_EQ(Frame().GetQueryWindows().size(), 1u);

    EXPECT_TRUE(TheApp().OnDDECommand("[open(\"" + wxString::FromUTF8(path) + "\")]"));
    const auto& windows = Frame().GetQueryWindows();
    ASSERT_EQ(windows.size(), 2u) << "a new window on the active window's connection";
    EXPECT_EQ(TextOf(windows[1]), "select 'dde'");
    EXPECT_EQ(windows[1]->GetConnectionString(), windows[0]->GetConnectionString());

    // A file name may itself hold a double quote.
    std::string quoted = WriteQuery("say \"hi\".sql", "select 'quoted'");
    EXPECT_TRUE(TheApp().OnDDECommand("[open(\"" + wxString::FromUTF8(quoted) + "\")]"));
    ASSERT_EQ(windows.size(), 3u);
    EXPECT_EQ(TextOf(windows[2]), "select 'quoted'");
}

TEST_F(MainFrameTest, ASecondStartHandsItsFileToTheFirst)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Open());
    ASSERT_TRUE(TheApp().GetInstanceChannel().IsListening());
    struct stat st{};
    ASSERT_EQ(stat(CInstanceChannel::PrivateFolder().utf8_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    std::string path = WriteQuery("handed over.sql", "select 'second start'");
    int exitCode = -1;
    bool ended = false;
    auto* process = new wxProcess;
    process->Bind(wxEVT_END_PROCESS, [&](wxProcessEvent& e) {
        exitCode = e.GetExitCode();
        ended = true;
        // Left unhandled, the process object deletes itself.
        e.Skip();
    });
    const char* argv[] = {TORVANE_EXE, path.c_str(), nullptr};
    ASSERT_GT(wxExecute(argv, wxEXEC_ASYNC, process), 0);
    ASSERT_TRUE(Pump(HangMs(20000), [&] { return ended && Frame().GetQueryWindows().size() == 2; }));
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(TextOf(Frame().GetQueryWindows()[1]), "select 'second start'");
}

TEST_F(MainFrameTest, DisconnectAllAsksWhileQueriesRun)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Open());
    ASSERT_TRUE(Open());
    CChildFrame* running = Frame().GetQueryWindows()[0];
    ASSERT_TRUE(StartLongQuery(running));
    {
        CMessageScript script{wxID_NO};
        EXPECT_FALSE(Frame().CloseAll());
        EXPECT_EQ(script.Texts(), std::vector<wxString>{strings::kCancelAllQuestion});
        EXPECT_EQ(Frame().GetQueryWindows().size(), 2u);
        EXPECT_TRUE(running->IsExecuting());
    }
    const auto stillRunning = [&] {
        const auto& windows = Frame().GetQueryWindows();
        return std::find(windows.begin(), windows.end(), running) != windows.end() && running->IsExecuting();
    };
    {
        // A window whose cancelled run has not ended yet stays, and the command stops there.
        CMessageScript script{wxID_YES};
        Frame().CloseAll();
        EXPECT_EQ(script.Texts(), std::vector<wxString>{strings::kCancelAllQuestion});
        ASSERT_TRUE(Pump(HangMs(15000), [&] { return !stillRunning(); })) << "the cancelled run did not end";
    }
    CMessageScript script;
    EXPECT_TRUE(Frame().CloseAll());
    Pump(50);
    EXPECT_TRUE(script.Texts().empty());
    EXPECT_TRUE(Frame().GetQueryWindows().empty());
    EXPECT_EQ(Frame().GetStatusBar()->GetStatusText(1), "Total number of connections: 0");
}

TEST_F(MainFrameTest, DroppedFilesShareTheFirstWindowsConnection)
{
    ASSERT_TRUE(Start());
    std::vector<wxString> files;
    for (const char* name : {"d1.sql", "d2.sql", "d3.sql"})
        files.push_back(wxString::FromUTF8(WriteQuery(name, std::string("select '") + name + "'")));
    {
        CDataLinkAnswer cancel("");
        Frame().OpenDroppedFiles(files);
        EXPECT_EQ(cancel.Answered(), 1);
        EXPECT_TRUE(Frame().GetQueryWindows().empty());
    }
    CDataLinkAnswer connect(SqliteConnect(m_db));
    Frame().OpenDroppedFiles(files);
    Pump(50);
    EXPECT_EQ(connect.Answered(), 1) << "the data link dialog comes once";
    const auto& windows = Frame().GetQueryWindows();
    ASSERT_EQ(windows.size(), 3u);
    EXPECT_EQ(TextOf(windows[2]), "select 'd3.sql'");
    EXPECT_EQ(Frame().GetMDIClient()->GetTabSetCount(), 1);
}

TEST_F(MainFrameTest, WindowPlacementSurvivesARestart)
{
    ASSERT_TRUE(Start());
    Frame().SetSize(40, 30, 900, 640);
    Pump(200);
    const wxRect before = Frame().GetRect();
    Frame().Close();
    Pump(100);
    EXPECT_EQ(TheApp().GetMainFrame(), nullptr);
    WindowPlacement wp;
    ASSERT_TRUE(ReadWindowPlacement(wp));
    EXPECT_EQ(wp.showCmd, static_cast<unsigned>(SW_SHOWNORMAL));
    EXPECT_EQ(wp.right - wp.left, before.width);
    TheApp().ShutDown();

    ASSERT_TRUE(Start());
    EXPECT_EQ(Frame().GetRect(), before);
}

TEST_F(MainFrameTest, ClosingTheMainWindowStopsWhenAWindowRefuses)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Open());
    CChildFrame* running = Frame().GetQueryWindows()[0];
    ASSERT_TRUE(StartLongQuery(running));
    {
        CMessageScript script{wxID_NO};
        EXPECT_FALSE(Frame().Close());
        Pump(50);
        EXPECT_EQ(script.Texts(), std::vector<wxString>{strings::kCancelAllQuestion});
        ASSERT_NE(TheApp().GetMainFrame(), nullptr);
        EXPECT_EQ(Frame().GetQueryWindows().size(), 1u);
        EXPECT_TRUE(running->IsExecuting());
        EXPECT_FALSE(CSettingsStore::Get().HasKey("Settings", "WindowPos"));
    }
    wxCommandEvent cancel(wxEVT_MENU, ID_QUERY_CANCEL);
    running->GetEventHandler()->ProcessEvent(cancel);
    ASSERT_TRUE(Pump(HangMs(15000), [running] { return !running->IsExecuting(); }));
}

TEST_F(MainFrameTest, PrinterCheckPassesWithTheFilePrinterAlone)
{
    // A print server that is not there offers no queue; the print dialog still prints to a file.
    setenv("CUPS_SERVER", g_env->Path("no-cups.sock").c_str(), 1);
    ASSERT_TRUE(Start());
    CMessageScript script;
    EXPECT_FALSE(CPrintDestinations::HasQueue());
    EXPECT_TRUE(TheApp().CheckPrinterAvailable());
    EXPECT_EQ(script.Texts(), std::vector<wxString>{});
    unsetenv("CUPS_SERVER");
}

TEST_F(MainFrameTest, DefaultEditorRegistrationFollowsTheSetting)
{
    settings::WriteInt(settings::DefaultEditor, 1);
    ASSERT_TRUE(Start());
    EXPECT_TRUE(CShellRegistration::IsRegistered());
    std::string entry = ReadWholeFile(g_env->DataHome() + "/applications/torvane.desktop");
    EXPECT_NE(entry.find("Exec="), std::string::npos);
    EXPECT_TRUE(TheApp().SetDefaultEditor(false));
    EXPECT_FALSE(CShellRegistration::IsRegistered());
}

TEST_F(MainFrameTest, FoldersOfTheProgram)
{
    ASSERT_TRUE(Start());
    const wxString program = TheApp().GetProgramFolder();
    EXPECT_FALSE(program.EndsWith("/"));
    EXPECT_TRUE(wxDirExists(program));
    EXPECT_TRUE(TheApp().GetTempFolder().EndsWith("/"));
    EXPECT_TRUE(wxDirExists(TheApp().GetTempFolder()));
}

TEST_F(MainFrameTest, RelativeFilesAreKeptWithTheirFullPathAndTheWorkingFolderStays)
{
    const std::string folder = g_env->Path("work");
    mkdir(folder.c_str(), 0700);
    WriteWholeFile(folder + "/rel.sql", "select 'relative'");
    WriteWholeFile(folder + "/other.sql", "select 'other'");
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    ASSERT_TRUE(Start({"-C", SqliteConnect(m_db), "-f", "rel.sql"}));
    ASSERT_EQ(Frame().GetQueryWindows().size(), 1u);
    ASSERT_NE(TheApp().OpenDocumentFile("other.sql"), nullptr);
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(folder));
    wxFileHistory* history = TheApp().GetDocManager()->GetFileHistory();
    ASSERT_EQ(history->GetCount(), 2u);
    EXPECT_EQ(history->GetHistoryFile(0), wxString::FromUTF8(folder + "/other.sql"));
    EXPECT_EQ(history->GetHistoryFile(1), wxString::FromUTF8(folder + "/rel.sql"));
    std::filesystem::current_path(before);
}

TEST_F(MainFrameTest, TheRecentFileListSurvivesARestart)
{
    std::string a = WriteQuery("recent-a.sql", "select 1");
    std::string b = WriteQuery("recent-b.sql", "select 2");
    ASSERT_TRUE(Start({"-C", SqliteConnect(m_db), "-F", wxString::FromUTF8(a + "|" + b)}));
    EXPECT_EQ(TheApp().ExitInstance(), 0);
    TheApp().ShutDown();
    EXPECT_EQ(CSettingsStore::Get().GetProfileString("Recent File List", "File1"), wxString::FromUTF8(b));
    EXPECT_EQ(CSettingsStore::Get().GetProfileString("Recent File List", "File2"), wxString::FromUTF8(a));

    settings::WriteInt(settings::MaxFiles, 1);
    ASSERT_TRUE(Start());
    wxFileHistory* history = TheApp().GetDocManager()->GetFileHistory();
    ASSERT_EQ(history->GetCount(), 1u) << "the list is as long as \"Max Files\"";
    EXPECT_EQ(history->GetHistoryFile(0), wxString::FromUTF8(b));
}
