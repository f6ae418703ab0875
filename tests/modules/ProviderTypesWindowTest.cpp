// "&Types..." in a query window: the provider types dialog lists the connection's types on
// SQLite and PostgreSQL, sorts on a header click, saves its report without closing, and the
// command says so when the plugin cannot be had, is refused or cannot read the types.
#include "ado/ConnectionObject.h"
#include "app/MainFrame.h"
#include "platform/ComRuntime.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "platform/com/ProviderTypesInterface.h"
#include "query/ChildFrame.h"
#include "query/CompanionCommands.h"
#include "tests/common/WxStringPrinter.h"
#include "tests/modules/ModalSteps.h"
#include "tests/modules/PluginWindowTest.h"
#include "tests/support/TestFiles.h"
#include "tests/window/QueryWindowTest.h"
#include "tests/window/WindowTestMain.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/display.h>
#include <sql.h>
#include <sqlext.h>

#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/modalhook.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <thread>

using namespace std::chrono_literals;
using namespace torvane::test;
using namespace window_test;

namespace {

// Type names and local names as SQLGetTypeInfo gives them, first row of each name.
std::map<std::string, std::string> DriverTypeNames(const std::string& connect)
{
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
    std::map<std::string, std::string> names;
    if (SQL_SUCCEEDED(SQLDriverConnectA(dbc, nullptr, (SQLCHAR*)connect.c_str(), SQL_NTS, nullptr, 0, nullptr,
                                       SQL_DRIVER_NOPROMPT))) {
        SQLHSTMT stmt = SQL_NULL_HSTMT;
        SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt);
        if (SQL_SUCCEEDED(SQLGetTypeInfo(stmt, SQL_ALL_TYPES))) {
            while (SQL_SUCCEEDED(SQLFetch(stmt))) {
                char name[256] = "", local[256] = "";
                SQLLEN len = 0;
                SQLGetData(stmt, 1, SQL_C_CHAR, name, sizeof name, &len);
                if (!SQL_SUCCEEDED(SQLGetData(stmt, 13, SQL_C_CHAR, local, sizeof local, &len)) ||
                    len == SQL_NULL_DATA)
                    local[0] = 0;
                names.emplace(name, local);
            }
        }
        SQLFreeHandle(SQL_HANDLE_STMT, stmt);
        SQLDisconnect(dbc);
    }
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return names;
}

std::vector<wxString> ListTexts(wxListCtrl& list)
{
    std::vector<wxString> texts;
    for (long i = 0; i < list.GetItemCount(); ++i)
        texts.push_back(list.GetItemText(i));
    return texts;
}

class ProviderTypesWindowTest : public PluginWindowTest {
protected:
    ProviderTypesWindowTest() : PluginWindowTest(TAMSEL_LIBRARY) {}
};

TEST_P(ProviderTypesWindowTest, TypesCommandShowsTheConnectionsTypesAndSavesTheReport)
{
    const auto expected = DriverTypeNames(ConnectionString());
    ASSERT_FALSE(expected.empty());
    const wxString dbms = IsPostgres() ? "POSTGRESQL" : "SQLITE";
    const std::string report = NewTempPath(".txt");

    wxDialog* types = nullptr;
    wxListCtrl* list = nullptr;
    wxString defaultName;
    ModalDialogWatch modalHook;
    Steps steps(modalHook, {
        [&] {
            types = ShownModalDialog([](wxDialog& d) { return d.GetTitle() == "Provider Types"; });
            if (!types)
                return false;
            // Wholly on the screen, in the middle of the program's window as far as the screen allows.
            const wxRect screen = wxDisplay(types).GetClientArea();
            EXPECT_TRUE(screen.Contains(types->GetScreenRect()))
                << types->GetScreenRect().GetBottom() << " beyond " << screen.GetBottom();
            const wxRect owner = wxTheApp->GetTopWindow()->GetScreenRect();
            EXPECT_NEAR(types->GetScreenRect().x + types->GetSize().x / 2, owner.x + owner.width / 2, 2);
            list = wxDynamicCast(types->FindWindow(201), wxListCtrl);
            EXPECT_TRUE(list);
            if (!list) {
                types->EndModal(wxID_CANCEL);
                return true;
            }
            std::vector<wxString> names;
            for (const auto& [name, local] : expected)
                names.push_back(wxString::FromUTF8(name));
            EXPECT_EQ(ListTexts(*list), names) << "the driver's types, in byte order";
            EXPECT_EQ(list->GetItemState(0, wxLIST_STATE_SELECTED), wxLIST_STATE_SELECTED);
            auto* local = wxDynamicCast(types->FindWindow(203), wxTextCtrl);
            auto* adoType = wxDynamicCast(types->FindWindow(204), wxTextCtrl);
            EXPECT_TRUE(local && adoType);
            if (local && adoType) {
                EXPECT_EQ(local->GetValue(), wxString::FromUTF8(expected.begin()->second));
                EXPECT_TRUE(adoType->GetValue().StartsWith("(ad")) << adoType->GetValue();
                // Another type selected shows its own details.
                const long last = list->GetItemCount() - 1;
                list->SetItemState(last, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                                   wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
                EXPECT_EQ(local->GetValue(), wxString::FromUTF8(expected.rbegin()->second));
            }
            SaveScreenshot(*types, IsPostgres() ? "provider-types-postgresql.png" : "provider-types-sqlite.png");

            // A header click sorts descending first, then ascending, ignoring case.
            auto sorted = [&](bool ascending) {
                std::vector<wxString> v = names;
                std::stable_sort(v.begin(), v.end(), [ascending](const wxString& a, const wxString& b) {
                    return ascending ? a.CmpNoCase(b) < 0 : b.CmpNoCase(a) < 0;
                });
                return v;
            };
            for (bool ascending : {false, true}) {
                wxListEvent click(wxEVT_LIST_COL_CLICK, list->GetId());
                click.SetEventObject(list);
                click.m_col = 0;
                list->GetEventHandler()->ProcessEvent(click);
                const std::vector<wxString> shown = ListTexts(*list);
                const std::vector<wxString> want = sorted(ascending);
                for (size_t i = 0; i < shown.size() && i < want.size(); ++i)
                    EXPECT_EQ(shown[i].CmpNoCase(want[i]), 0) << (ascending ? "ascending " : "descending ") << i;
            }
            // Save As, as the button does.
            wxQueueEvent(types, new wxCommandEvent(wxEVT_BUTTON, wxID_OK));
            return true;
        },
        ProposeFileStep(modalHook, wxString::FromUTF8(report), defaultName),
        ConfirmFileStep(modalHook, wxString::FromUTF8(report)),
        [&] {
            if (!wxFileExists(wxString::FromUTF8(report)))
                return false;
            // Save As leaves the dialog open; Close ends it.
            EXPECT_TRUE(types->IsShown());
            EXPECT_TRUE(ShownModalDialog([](wxDialog& d) { return d.GetTitle() == "Provider Types"; }));
            types->EndModal(wxID_CANCEL);
            return true;
        },
    });
    CMessageScript messages;
    // The program's window low on the screen, where the middle of it leaves too little room below
    // for the dialog.
    wxWindow* main = wxTheApp->GetTopWindow();
    const wxRect mainRect = main->GetRect();
    const wxRect area = wxDisplay(main).GetClientArea();
    main->SetSize(area.x + 100, area.GetBottom() - 400, 900, 380);
    ChooseToolsMenuItem("Types...", ID_PROVIDER_TYPES);
    main->SetSize(mainRect);
    EXPECT_TRUE(steps.Done());
    EXPECT_TRUE(messages.Texts().empty()) << messages.Texts().front();
    EXPECT_EQ(defaultName, "[MSDASQL_" + dbms + "_Types].txt");

    std::ifstream in(report, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(bytes.rfind("Provider Types\r\n--------------\r\n Provider Name: MSDASQL.DLL", 0), 0u);
    EXPECT_NE(bytes.find("     DBMS Name: " + dbms.utf8_string() + " "), std::string::npos);
    for (const auto& [name, local] : expected)
        EXPECT_NE(bytes.find("\r\n" + name + "\r\n" + std::string(name.size(), '-') + "\r\n       Local type name: " +
                             local + "\r\n"),
                  std::string::npos)
            << name;
}

// Keys through the display: these tests run alone, since the display's focus is shared by every
// test process.
class ProviderTypesInputTest : public ProviderTypesWindowTest {};

TEST_P(ProviderTypesInputTest, SaveAsAddsTxtAndAsksBeforeReplacingAFile)
{
    if (IsPostgres())
        GTEST_SKIP() << "the file chooser does not depend on the driver";
    // Chosen without its extension, under the report filter: saved as report.txt, where an
    // earlier report lies.
    const std::string folder = NewTempPath("-reports");
    std::filesystem::create_directories(folder);
    const wxString chosen = wxString::FromUTF8(folder + "/report");
    const std::string report = folder + "/report.txt";
    const std::string earlier = "the earlier report\r\n";
    WriteFile(report, earlier);

    wxDialog* types = nullptr;
    wxString defaultName;
    wxString wildcard;
    ModalDialogWatch modalHook;
    CMessageScript messages{wxID_NO, wxID_YES};
    wxUIActionSimulator keys;
    // Alt+A, the "Save &As..." button's key, with the pointer over the dialog so that the
    // display gives it the keys.
    auto pressSaveAs = [&] {
        types = ShownModalDialog([](wxDialog& d) { return d.GetTitle() == "Provider Types"; });
        if (!types || modalHook.Current() != types)
            return false;
        keys.MouseMove(types->GetScreenRect().GetPosition() + wxPoint(40, 60));
        keys.Char('a', wxMOD_ALT);
        return true;
    };
    auto chooseWithoutExtension = [&] {
        auto* files = dynamic_cast<wxFileDialog*>(modalHook.Current());
        if (!files || !files->IsShown())
            return false;
        wildcard = files->GetWildcard();
        EXPECT_EQ(files->GetFilterIndex(), 0);
        return ProposeFileStep(modalHook, chosen, defaultName)();
    };
    Steps steps(modalHook, {
        pressSaveAs,
        chooseWithoutExtension,
        ConfirmFileStep(modalHook, chosen),
        [&] {
            // Asked, answered No: the earlier report stays.
            if (messages.Texts().empty() || modalHook.Current() != types)
                return false;
            EXPECT_EQ(FileBytes(report), earlier);
            return true;
        },
        pressSaveAs,
        chooseWithoutExtension,
        ConfirmFileStep(modalHook, chosen),
        [&] {
            // Asked again, answered Yes: replaced by the report; the dialog stays open.
            if (FileBytes(report) == earlier || modalHook.Current() != types)
                return false;
            keys.Char(WXK_ESCAPE);
            return true;
        },
    });
    ChooseToolsMenuItem("Types...", ID_PROVIDER_TYPES);
    EXPECT_TRUE(steps.Done());
    const wxString question = wxString::FromUTF8(report) + " already exists.\nDo you want to replace it?";
    EXPECT_EQ(messages.Texts(), std::vector<wxString>({question, question}));
    EXPECT_EQ(FileBytes(report).rfind("Provider Types\r\n", 0), 0u);
    EXPECT_EQ(Names(folder), std::vector<std::string>{"report.txt"});
    // Every file shows under "All Files", names without a dot too.
    EXPECT_EQ(wildcard, "Provider Types Info Files (*.txt)|*.txt|All Files (*.*)|*");
}

TORVANE_INSTANTIATE_FOR_DRIVERS(ProviderTypesInputTest);

TEST_P(ProviderTypesWindowTest, ALibraryRegisteredFromElsewhereIsRefusedWithItsReason)
{
    if (IsPostgres())
        GTEST_SKIP() << "the loader does not depend on the driver";
    // A library that marks that it ran, registered from elsewhere for the class.
    const std::filesystem::path folder = NewTempPath("-elsewhere");
    std::filesystem::create_directories(folder);
    const std::string planted = (folder / "libTamsel.so").string();
    std::filesystem::copy_file(MARKER_LIBRARY, planted);
    const std::filesystem::path marker = folder / "loaded";
    setenv("TORVANE_TEST_MARKER", marker.c_str(), 1);
    CSettingsStore::Get().WriteProfileString(
        "Classes\\CLSID\\" + CLSID_ProviderTypes.ToString() + "\\InprocServer32", "@", planted);

    CMessageScript messages;
    ChooseToolsMenuItem("Types...", ID_PROVIDER_TYPES);
    unsetenv("TORVANE_TEST_MARKER");
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_EQ(messages.Texts()[0], "HRESULT: 0x80070005; Error: Access is denied.\nSource: " + planted +
                                       "; Description: Cannot load " + planted +
                                       ": it is not in the program's module folder " +
                                       std::filesystem::canonical(GetModuleFolder()).string());
    EXPECT_EQ(messages.Shown()[0].style & wxICON_MASK, wxICON_STOP);
    EXPECT_FALSE(std::filesystem::exists(marker)) << "the planted library ran";
    EXPECT_FALSE(ShownModalDialog([](wxDialog& d) { return d.GetTitle() == "Provider Types"; }));
}

TEST_P(ProviderTypesWindowTest, DisplayShowsTheDialogAndGivesBackItsReference)
{
    if (IsPostgres())
        GTEST_SKIP() << "the reference counting does not depend on the driver";
    ComPtr<IProviderTypes> types;
    ASSERT_EQ(CoCreateInstance(CLSID_ProviderTypes, nullptr, IID_IProviderTypes, types.AsOut()), S_OK);
    ComPtr<ado::_Connection> object = ado::MakeConnectionObject(m_frame->Connection().m_pConnection);
    object->AddRef();
    const uint32_t before = object->Release();

    ModalDialogWatch modalHook;
    wxDialog* shown = nullptr;
    Steps steps(modalHook, {
        [&] {
            shown = ShownModalDialog([](wxDialog& d) { return d.GetTitle() == "Provider Types"; });
            if (!shown)
                return false;
            // The Close button.
            wxQueueEvent(shown, new wxCommandEvent(wxEVT_BUTTON, wxID_CANCEL));
            return true;
        },
    });
    EXPECT_EQ(types->Display(object.Get()), S_OK);
    EXPECT_TRUE(steps.Done());
    EXPECT_FALSE(GetErrorInfo());
    object->AddRef();
    EXPECT_EQ(object->Release(), before);
}

TEST_P(ProviderTypesWindowTest, DisplayErrorsReachTheCaller)
{
    if (IsPostgres())
        GTEST_SKIP() << "the error path does not depend on the driver";
    // Created by its ProgID, as the registry knows it.
    CLSID clsid;
    ASSERT_EQ(CLSIDFromProgID(kProviderTypesProgID, clsid), S_OK);
    ComPtr<IProviderTypes> types;
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, IID_IProviderTypes, types.AsOut()), S_OK);

    // A closed connection: the types cannot be read, no dialog, error information with the
    // plugin's ProgID; the caller's object has its references as before.
    ado::ConnectionPtr closed = ado::Connection::Create();
    closed->Open(ConnectionString());
    closed->Close();
    ComPtr<ado::_Connection> object = ado::MakeConnectionObject(closed);
    object->AddRef();
    const uint32_t before = object->Release();
    EXPECT_EQ(types->Display(object.Get()), DISP_E_EXCEPTION);
    object->AddRef();
    EXPECT_EQ(object->Release(), before);
    auto info = GetErrorInfo();
    ASSERT_TRUE(info);
    EXPECT_EQ(info->source, kProviderTypesVersionedProgID);
    EXPECT_FALSE(info->description.empty());

    // An object that is not a connection: the text of E_POINTER.
    struct NotAConnection final : IDispatch {
        HRESULT QueryInterface(const IID& iid, void** out) override
        {
            *out = nullptr;
            if (iid == IID_IUnknown || iid == IID_IDispatch) {
                *out = this;
                return S_OK;
            }
            return E_NOINTERFACE;
        }
        uint32_t AddRef() override { return 1; }
        uint32_t Release() override { return 1; }
    } other;
    EXPECT_EQ(types->Display(&other), DISP_E_EXCEPTION);
    info = GetErrorInfo();
    ASSERT_TRUE(info);
    EXPECT_EQ(info->description, "HRESULT: 0x80004003; Error: Invalid pointer");

    // Through the command: the window's connection closed under it.
    m_frame->Connection().m_pConnection->Close();
    CMessageScript messages;
    wxCommandEvent command(wxEVT_MENU, ID_PROVIDER_TYPES);
    m_frame->GetEventHandler()->ProcessEvent(command);
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_TRUE(messages.Texts()[0].StartsWith("HRESULT: 0x80020009; Error: "))
        << messages.Texts()[0];
    EXPECT_NE(messages.Texts()[0].Find("\nSource: Tamsel.ProviderTypes.1; Description: "), wxNOT_FOUND)
        << messages.Texts()[0];
}

TORVANE_INSTANTIATE_FOR_DRIVERS(ProviderTypesWindowTest);

} // namespace
