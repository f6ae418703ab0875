// "&ODBC Driver Information..." in a query window: the sheet shows its eight pages for the
// window's driver on SQLite and PostgreSQL, Save As writes the report and keeps the sheet open,
// Close ends it; a connect string that fails comes back to the caller as the driver's text.
#include "app/MainFrame.h"
#include "platform/ComRuntime.h"
#include "platform/MessageBox.h"
#include "platform/com/ODBCDriverInfoInterface.h"
#include "query/ChildFrame.h"
#include "query/CompanionCommands.h"
#include "tests/common/WxStringPrinter.h"
#include "tests/modules/ModalSteps.h"
#include "tests/modules/PluginWindowTest.h"
#include "tests/window/QueryWindowTest.h"
#include "tests/window/WindowTestMain.h"

#include "common/ErrorText.h"

#include <gtest/gtest.h>

#include <wx/checkbox.h>
#include <wx/filedlg.h>
#include <wx/listbox.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/notebook.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <fstream>
#include <iterator>

using namespace torvane::test;
using namespace window_test;

namespace {

const char* const kCaptions[] = {"Driver Information", "Functions", "Supported SQL", "Data Types",
                                 "Identifiers",        "Limits",    "Misc. 1",       "Misc. 2"};

wxDialog* Sheet()
{
    return ShownModalDialog([](wxDialog& d) { return d.GetTitle() == "ODBC Driver Information"; });
}

wxNotebook* Pages(wxDialog& sheet)
{
    for (wxWindow* child : sheet.GetChildren())
        if (auto* book = dynamic_cast<wxNotebook*>(child))
            return book;
    return nullptr;
}

class DriverInfoWindowTest : public PluginWindowTest {
protected:
    DriverInfoWindowTest() : PluginWindowTest(FERROW_LIBRARY) {}
};

TEST_P(DriverInfoWindowTest, CommandShowsTheEightPagesAndSavesTheReport)
{
    const std::string report = NewTempPath(".txt");
    const std::string prefix = IsPostgres() ? "driver-info-postgresql" : "driver-info-sqlite";
    wxDialog* sheet = nullptr;
    wxNotebook* book = nullptr;
    wxString defaultName;
    ModalDialogWatch modalHook;
    Steps steps(modalHook, {
        [&] {
            sheet = Sheet();
            if (!sheet)
                return false;
            book = Pages(*sheet);
            EXPECT_TRUE(book);
            if (!book) {
                sheet->EndModal(wxID_CANCEL);
                return true;
            }
            std::vector<wxString> captions;
            for (size_t i = 0; i < book->GetPageCount(); ++i)
                captions.push_back(book->GetPageText(i));
            EXPECT_EQ(captions, std::vector<wxString>(std::begin(kCaptions), std::end(kCaptions)));
            auto* label = wxDynamicCast(sheet->FindWindow(103), wxStaticText);
            EXPECT_TRUE(label && label->GetLabel() == "Cursor library is not loaded");
            auto* dbms = wxDynamicCast(book->GetPage(0)->FindWindow(1003), wxStaticText);
            EXPECT_TRUE(dbms && dbms->GetLabel() == (IsPostgres() ? "PostgreSQL" : "SQLite"));
            auto* api = wxDynamicCast(book->GetPage(1)->FindWindow(1001), wxListCtrl);
            EXPECT_TRUE(api && api->GetItemCount() == 56);
            SaveScreenshot(*sheet, prefix + "-driver.png");
            book->SetSelection(3);
            return true;
        },
        [&] {
            // The types are read when their page is first shown.
            auto* types = wxDynamicCast(book->GetPage(3)->FindWindow(1006), wxListBox);
            if (!types || types->GetCount() == 0)
                return false;
            EXPECT_EQ(types->GetSelection(), 0);
            auto* sqlType = wxDynamicCast(book->GetPage(3)->FindWindow(1008), wxStaticText);
            EXPECT_TRUE(sqlType && !sqlType->GetLabel().empty());
            // Save As, as the button does.
            wxQueueEvent(sheet, new wxCommandEvent(wxEVT_BUTTON, wxID_OK));
            return true;
        },
        ProposeFileStep(modalHook, wxString::FromUTF8(report), defaultName),
        ConfirmFileStep(modalHook, wxString::FromUTF8(report)),
        [&] {
            if (!wxFileExists(wxString::FromUTF8(report)))
                return false;
            // Save As leaves the sheet open; Close ends it.
            EXPECT_TRUE(Sheet());
            wxQueueEvent(sheet, new wxCommandEvent(wxEVT_BUTTON, wxID_CANCEL));
            return true;
        },
    });
    CMessageScript messages;
    ChooseToolsMenuItem("ODBC Driver Information...", ID_ODBC_DRIVER_INFO);
    EXPECT_TRUE(steps.Done());
    EXPECT_FALSE(Sheet());
    EXPECT_TRUE(messages.Texts().empty()) << messages.Texts().front();
    EXPECT_EQ(defaultName, IsPostgres() ? "psqlodbcw.txt" : "sqlite3odbc.txt");

    std::ifstream in(report, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(bytes.rfind("Cursor Library is Not Loaded\r\n\r\nDriver Info\r\n-----------\r\n", 0), 0u);
    for (const char* header : {"\r\nODBC API Functions\r\n", "\r\nSupported SQL\r\n", "\r\nData Types\r\n",
                               "\r\nIdentifiers\r\n", "\r\nLimits\r\n", "\r\nMiscellaneous\r\n"})
        EXPECT_NE(bytes.find(header), std::string::npos) << header;
    EXPECT_NE(bytes.find(IsPostgres() ? "                 DBMS - PostgreSQL version " : "                 DBMS - SQLite version "),
              std::string::npos);
}

TEST_P(DriverInfoWindowTest, FailingConnectStringComesBackAsTheDriversText)
{
    if (IsPostgres())
        GTEST_SKIP() << "the error path does not depend on the window's driver";
    CLSID clsid;
    ASSERT_EQ(CLSIDFromProgID(kODBCDriverInfoProgID, clsid), S_OK);
    ComPtr<IODBCDriverInfo> info;
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, IID_IODBCDriverInfo, info.AsOut()), S_OK);
    const std::string connect = "DSN=NoSuchTorvaneSource;UID=u";
    const HRESULT hr = info->Display(connect.c_str(), 0);
    ASSERT_EQ(hr, DISP_E_EXCEPTION);
    EXPECT_EQ(connect, "DSN=NoSuchTorvaneSource;UID=u");
    const wxString text = GetComErrorText(MakeComError(hr));
    EXPECT_TRUE(text.StartsWith("HRESULT: 0x80020009; Error: ")) << text;
    EXPECT_NE(text.Find("\nSource: Ferrow.ODBCDriverInfo.1; Description: Data source name not found"), wxNOT_FOUND)
        << text;
    EXPECT_NE(text.Find("State:IM002,Native:"), wxNOT_FOUND) << text;
    EXPECT_FALSE(Sheet());
}

TORVANE_INSTANTIATE_FOR_DRIVERS(DriverInfoWindowTest);

} // namespace
