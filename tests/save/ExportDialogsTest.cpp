// The export dialogs under Xvfb: what they open with from the settings, and their checks on OK
// as tables (message, whether the dialog stays open, what is stored, what happens to a file
// that is already there).
#include "common/SettingsTable.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "query/ExportDialogs.h"
#include "tests/common/WxStringPrinter.h"
#include "tests/support/TestDatabases.h"
#include "tests/window/WindowTestMain.h"

#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

const char* const kFilter = "ADTG Files (*.adtg)|*.adtg|Export Files (*.csv)|*.csv|XML Files (*.xml)|*.xml|";
const char* const kGridFilter = "Export Files (*.csv)|*.csv|All Files (*.*)|*.*|";
const char* const kSection = "Grid\\Export Options";
const wxString kMixed = "<Delimiter> field cannot contain mixed characters.";
const wxString kForbidden = "<Delimiter> field cannot contain any of the following characters:\n\n<>/";
const wxString kXmlExtension = "Invalid file extension given for the selected file type. Please change the file "
                               "extension to <XML> and then try again.";

class ExportDialogsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_DISPLAY();
        CSettingsStore::Get().DeleteSection(kSection);
        m_folder = torvane::test::NewTempPath("-dialogs");
        fs::create_directory(m_folder);
    }
    void TearDown() override
    {
        if (window_test::HaveDisplay())
            CSettingsStore::Get().DeleteSection(kSection);
    }
    static wxString Stored(const char* key) { return CSettingsStore::Get().GetProfileString(kSection, key, "<absent>"); }
    static int StoredInt(const char* key) { return CSettingsStore::Get().GetProfileInt(kSection, key, -99); }
    wxString In(const std::string& name) const { return wxString::FromUTF8((m_folder / name).string()); }
    static std::vector<wxString> Items(wxComboBox& box)
    {
        std::vector<wxString> items;
        for (unsigned i = 0; i < box.GetCount(); ++i)
            items.push_back(box.GetString(i));
        return items;
    }

    fs::path m_folder;
};

TEST_F(ExportDialogsTest, TheSaveDialogOpensWithTheStoredChoices)
{
    {
        // Nothing stored: the XML type, the built-in delimiters with the first selected, publish on.
        CExportDialogEx dlg(nullptr, "Execute and Save As", kFilter, In("q"));
        EXPECT_EQ(dlg.GetFileType(), 3);
        EXPECT_EQ(Items(*dlg.GetDelimiterBox()), (std::vector<wxString>{"|", ","}));
        EXPECT_EQ(dlg.GetDelimiterBox()->GetValue(), "|");
        EXPECT_FALSE(dlg.GetDelimiterBox()->IsEnabled());
        EXPECT_TRUE(dlg.GetPublishBox()->IsEnabled());
        EXPECT_TRUE(dlg.GetPublishBox()->GetValue());
        EXPECT_FALSE(dlg.GetExcelBox()->IsEnabled());
        EXPECT_EQ(dlg.GetPathName(), In("q.xml"));
        // Each type enables its own boxes and gives its own extension.
        dlg.SetFileType(2);
        EXPECT_TRUE(dlg.GetDelimiterBox()->IsEnabled());
        EXPECT_FALSE(dlg.GetPublishBox()->IsEnabled());
        // The workbook step is there for delimited text, on by default.
        EXPECT_TRUE(dlg.GetExcelBox()->IsEnabled());
        EXPECT_TRUE(dlg.GetExcelBox()->GetValue());
        EXPECT_EQ(dlg.GetPathName(), In("q.csv"));
        dlg.SetFileType(1);
        EXPECT_FALSE(dlg.GetDelimiterBox()->IsEnabled());
        EXPECT_FALSE(dlg.GetPublishBox()->IsEnabled());
        EXPECT_EQ(dlg.GetPathName(), In("q.adtg"));
        dlg.SetBasePath(In("q.txt"));
        EXPECT_EQ(dlg.GetPathName(), In("q.txt"));
    }
    {
        CSettingsStore::Get().WriteProfileInt(kSection, "Filter Index", 2);
        CSettingsStore::Get().WriteProfileString(kSection, "Format", "<none>");
        CSettingsStore::Get().WriteProfileInt(kSection, "Publish XML as HTML Table", 0);
        CExportDialogEx dlg(nullptr, "Execute and Save As", kFilter, In("q"));
        EXPECT_EQ(dlg.GetFileType(), 2);
        EXPECT_EQ(dlg.GetDelimiterBox()->GetValue(), "");
        EXPECT_TRUE(dlg.GetDelimiterBox()->IsEnabled());
        EXPECT_FALSE(dlg.GetPublishBox()->GetValue());
    }
    {
        // At most 16 stored delimiters are loaded, in their order, and the stored one is selected.
        wxString list;
        for (const char* item : {";", "|", "#", "a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m", "n", "o", "p", "q"})
            list += wxString("<") + item + "/>";
        CSettingsStore::Get().WriteProfileString(kSection, "DelimiterList", list);
        CSettingsStore::Get().WriteProfileString(kSection, "Format", "#");
        CExportDlg dlg(nullptr, "Save Grid Results", kGridFilter, In("g"));
        const std::vector<wxString> items = Items(*dlg.GetDelimiterBox());
        ASSERT_EQ(items.size(), 16u);
        EXPECT_EQ(items.front(), ";");
        EXPECT_EQ(items.back(), "m");
        EXPECT_EQ(dlg.GetDelimiterBox()->GetValue(), "#");
        EXPECT_TRUE(dlg.GetColumnNamesBox()->GetValue());
        EXPECT_TRUE(dlg.GetDelimiterBox()->IsEnabled());
    }
}

TEST_F(ExportDialogsTest, TheSaveDialogChecksEverythingBeforeItAsksAboutAnExistingFile)
{
    std::ofstream(m_folder / "old.csv") << "old data";
    std::ofstream(m_folder / "old.xml") << "old data";
    struct Case {
        int type;
        std::string name;
        wxString delimiter;
        int answer;                    // to the replace question, when asked
        std::vector<wxString> messages; // in order
        bool keepsOpen;
        std::string path;              // the accepted path
    } cases[] = {
        {2, "out", ";;", 0, {}, false, "out.csv"},
        {2, "out", "", 0, {}, false, "out.csv"},
        {2, "out", ";,", 0, {kMixed}, true, ""},
        {2, "out", "/", 0, {kForbidden}, true, ""},
        {2, "out", "<<", 0, {kForbidden}, true, ""},
        {3, "out.txt", "", 0, {kXmlExtension}, true, ""},
        {3, "OUT.XML", "", 0, {}, false, "OUT.XML"},
        {3, "out", "", 0, {}, false, "out.xml"},
        {1, "out", ";,", 0, {}, false, "out.adtg"},
        // A refused delimiter or extension asks nothing about the file, and the file stays.
        {2, "old", ";,", wxID_YES, {kMixed}, true, ""},
        {3, "old.csv", "", wxID_YES, {kXmlExtension}, true, ""},
        // The question comes last; No keeps the dialog open, Yes accepts. The file stays either way
        // until a run replaces it.
        {2, "old", ",", wxID_NO, {"\nThis file already exists.\nReplace existing file?"}, true, ""},
        {2, "old", ",", wxID_YES, {"\nThis file already exists.\nReplace existing file?"}, false, "old.csv"},
        {3, "old", "", wxID_YES, {"\nThis file already exists.\nReplace existing file?"}, false, "old.xml"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + " type " + std::to_string(c.type) + " delimiter " + c.delimiter.utf8_string());
        CSettingsStore::Get().DeleteSection(kSection);
        CExportDialogEx dlg(nullptr, "Execute and Save As", kFilter, In(c.name));
        dlg.SetFileType(c.type);
        dlg.GetDelimiterBox()->SetValue(c.delimiter);
        CMessageScript script{c.answer ? c.answer : wxID_OK};
        EXPECT_EQ(dlg.OnFileNameOK(), c.keepsOpen);
        std::vector<wxString> shown = script.Texts();
        ASSERT_EQ(shown.size(), c.messages.size());
        for (size_t i = 0; i < shown.size(); ++i) {
            if (c.messages[i].StartsWith("\n"))
                EXPECT_EQ(shown[i], dlg.GetPathName() + c.messages[i]);
            else
                EXPECT_EQ(shown[i], c.messages[i]);
        }
        EXPECT_EQ(fs::file_size(m_folder / "old.csv"), 8u);
        EXPECT_EQ(fs::file_size(m_folder / "old.xml"), 8u);
        if (c.keepsOpen) {
            // A refused choice stores nothing.
            EXPECT_EQ(Stored("Filter Index"), "<absent>");
            EXPECT_EQ(Stored("Format"), "<absent>");
            continue;
        }
        EXPECT_EQ(dlg.m_strPath, In(c.path));
        EXPECT_EQ(StoredInt("Filter Index"), c.type);
        EXPECT_EQ(Stored("InitialDir"), wxString::FromUTF8(m_folder.string()) + "/");
        if (c.type == 2) {
            EXPECT_EQ(dlg.m_strDelimiter, c.delimiter);
            EXPECT_EQ(Stored("Format"), c.delimiter.empty() ? wxString("<None>") : c.delimiter);
            EXPECT_EQ(Stored("DelimiterList"), c.delimiter.empty() || c.delimiter == ","
                                                   ? wxString("<|/><,/>")
                                                   : "<" + c.delimiter + "/><|/><,/>");
        } else {
            EXPECT_EQ(Stored("Format"), "<absent>");
        }
        EXPECT_EQ(StoredInt("Publish XML as HTML Table"), c.type == 3 ? 1 : -99);
        EXPECT_EQ(dlg.m_bPublish, c.type == 3 ? 1 : 0);
    }
}

TEST_F(ExportDialogsTest, TheGridExportDialogChecksItsDelimiterAlways)
{
    std::ofstream(m_folder / "old.csv") << "old data";
    struct Case {
        std::string name;
        wxString delimiter;
        int answer;
        std::vector<wxString> messages;
        bool keepsOpen;
        std::string path;
    } cases[] = {
        {"grid", "\t", 0, {}, false, "grid.csv"},
        {"grid.txt", "||", 0, {}, false, "grid.txt"},
        {"grid", "|,", 0, {kMixed}, true, ""},
        {"grid", ">", 0, {kForbidden}, true, ""},
        {"old", "|,", wxID_YES, {kMixed}, true, ""},
        {"old", ",", wxID_NO, {"\nThis file already exists.\nReplace existing file?"}, true, ""},
        {"old", ",", wxID_YES, {"\nThis file already exists.\nReplace existing file?"}, false, "old.csv"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + " delimiter " + c.delimiter.utf8_string());
        CSettingsStore::Get().DeleteSection(kSection);
        CExportDlg dlg(nullptr, "Save Grid Results", kGridFilter, In(c.name));
        dlg.GetDelimiterBox()->SetValue(c.delimiter);
        dlg.GetColumnNamesBox()->SetValue(false);
        EXPECT_TRUE(dlg.GetExcelBox()->IsEnabled());
        dlg.GetExcelBox()->SetValue(false);
        CMessageScript script{c.answer ? c.answer : wxID_OK};
        EXPECT_EQ(dlg.OnFileNameOK(), c.keepsOpen);
        std::vector<wxString> shown = script.Texts();
        ASSERT_EQ(shown.size(), c.messages.size());
        for (size_t i = 0; i < shown.size(); ++i)
            EXPECT_EQ(shown[i], c.messages[i].StartsWith("\n") ? dlg.GetPathName() + c.messages[i] : c.messages[i]);
        EXPECT_EQ(fs::file_size(m_folder / "old.csv"), 8u);
        if (c.keepsOpen) {
            EXPECT_EQ(Stored("ColumnNames"), "<absent>");
            continue;
        }
        EXPECT_EQ(dlg.m_strPath, In(c.path));
        EXPECT_EQ(dlg.m_strDelimiter, c.delimiter);
        EXPECT_EQ(dlg.m_bColumnNames, 0);
        EXPECT_EQ(StoredInt("ColumnNames"), 0);
        EXPECT_EQ(Stored("Format"), c.delimiter);
        EXPECT_EQ(Stored("InitialDir"), wxString::FromUTF8(m_folder.string()) + "/");
        EXPECT_EQ(dlg.m_bExportToExcel, 0);
        EXPECT_EQ(StoredInt("ExportToExcel"), 0);
    }
}

} // namespace
