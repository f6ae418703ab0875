#include "EditorFixture.h"

#include "common/CommandIds.h"
#include "common/SettingsTable.h"
#include "tests/support/TestFiles.h"

#include <wx/filedlg.h>
#include <wx/modalhook.h>
#include <wx/stc/stc.h>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

using torvane::test::Utf16Bytes;

struct FileCase {
    const char* name;
    std::string bytes;
    QueryFileEncoding encoding;
    QueryFileLineEnd lineEnd;
    wxString text;     // what the editor shows, line ends as "\n"
    wxString added;    // typed at the end of the text
    std::string saved; // the file after the addition was saved
};

class QueryFileRoundTrip : public EditorFixture, public testing::WithParamInterface<FileCase> {};

TEST_P(QueryFileRoundTrip, OpensUnmodifiedAndSavesInItsOwnEncodingAndLineEnds)
{
    const FileCase& c = GetParam();
    const wxString path = TempPath("query.sql");
    WriteFile(path, c.bytes);
    CTorvaneDoc* doc = OpenDoc(path);
    ASSERT_TRUE(doc);
    wxStyledTextCtrl* edit = EditOf(doc);
    wxString shown = edit->GetText();
    shown.Replace("\r\n", "\n");
    EXPECT_EQ(shown, c.text);
    EXPECT_EQ(doc->GetEncoding(), c.encoding);
    EXPECT_EQ(doc->GetLineEnd(), c.lineEnd);
    // Loading is no edit: neither the document nor its title is marked.
    EXPECT_FALSE(doc->IsModified());
    EXPECT_FALSE(doc->IsTitleMarked());
    EXPECT_EQ(doc->GetTitle(), "query.sql");

    // Saved unchanged, the file keeps every byte.
    const wxString copy = TempPath("copy.sql");
    ASSERT_TRUE(doc->OnSaveDocument(copy));
    EXPECT_EQ(ReadFile(copy), c.bytes);

    // A new line takes the file's own line end and its characters the file's encoding.
    edit->DocumentEnd();
    edit->NewLine();
    edit->AddText(c.added);
    EXPECT_TRUE(doc->IsModified());
    ASSERT_TRUE(doc->SaveQueryFile());
    EXPECT_EQ(ReadFile(doc->GetFilename()), c.saved);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_TRUE(m_messages->Texts().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, QueryFileRoundTrip,
    testing::Values(
        FileCase{"utf8_lf", "select 'caf\xC3\xA9'\ngo", QueryFileEncoding::Utf8, QueryFileLineEnd::LF,
                 wxString::FromUTF8("select 'café'\ngo"), wxString::FromUTF8("-- €"),
                 "select 'caf\xC3\xA9'\ngo\n-- \xE2\x82\xAC"},
        FileCase{"utf8_crlf", "select 1\r\ngo", QueryFileEncoding::Utf8, QueryFileLineEnd::CRLF, "select 1\ngo",
                 wxString::FromUTF8("-- Ω"), "select 1\r\ngo\r\n-- \xCE\xA9"},
        FileCase{"cp1252_lf", "select 'caf\xE9'\ngo", QueryFileEncoding::Windows1252, QueryFileLineEnd::LF,
                 wxString::FromUTF8("select 'café'\ngo"), wxString::FromUTF8("-- €ñ"),
                 "select 'caf\xE9'\ngo\n-- \x80\xF1"},
        FileCase{"cp1252_crlf", "-- na\xEFve\r\nselect 1", QueryFileEncoding::Windows1252, QueryFileLineEnd::CRLF,
                 wxString::FromUTF8("-- naïve\nselect 1"), "go", "-- na\xEFve\r\nselect 1\r\ngo"},
        FileCase{"utf16le_bom_crlf", Utf16Bytes(u"\uFEFFselect 'caf\u00E9'\r\ngo", false), QueryFileEncoding::Utf16LEBom,
                 QueryFileLineEnd::CRLF, wxString::FromUTF8("select 'café'\ngo"), wxString::FromUTF8("-- Ω"),
                 Utf16Bytes(u"\uFEFFselect 'caf\u00E9'\r\ngo\r\n-- \u03A9", false)},
        FileCase{"utf16be_lf", Utf16Bytes(u"select 1\ngo", true), QueryFileEncoding::Utf16BE, QueryFileLineEnd::LF,
                 "select 1\ngo", wxString::FromUTF8("-- €"), Utf16Bytes(u"select 1\ngo\n-- \u20AC", true)}),
    [](const testing::TestParamInfo<FileCase>& info) { return std::string(info.param.name); });

TEST_F(EditorFixture, NewDocumentsAreUtf8WithLineFeeds)
{
    CTorvaneDoc* doc = NewDoc();
    ASSERT_TRUE(doc);
    wxStyledTextCtrl* edit = EditOf(doc);
    edit->AddText(wxString::FromUTF8("select 'é'"));
    edit->NewLine();
    edit->AddText("go");
    const wxString path = TempPath("new.sql");
    ASSERT_TRUE(doc->OnSaveDocument(path));
    EXPECT_EQ(ReadFile(path), "select '\xC3\xA9'\ngo");
}

TEST_F(EditorFixture, CharactersWindows1252CannotHoldAreSavedAsUtf8)
{
    const wxString path = TempPath("latin.sql");
    WriteFile(path, "select '\xE9'");
    CTorvaneDoc* doc = OpenDoc(path);
    ASSERT_TRUE(doc);
    EditOf(doc)->AppendText(wxString::FromUTF8(" -- Ω"));
    ASSERT_TRUE(doc->SaveQueryFile());
    EXPECT_EQ(ReadFile(path), "select '\xC3\xA9' -- \xCE\xA9");
    EXPECT_EQ(doc->GetEncoding(), QueryFileEncoding::Utf8);
    ASSERT_EQ(m_messages->Texts().size(), 1u);
}

TEST_F(EditorFixture, SizeLimit)
{
    const wxString limit = TempPath("limit.sql");
    WriteFile(limit, std::string(CTorvaneDoc::kMaxFileSize, 'x'));
    CTorvaneDoc* doc = OpenDoc(limit);
    ASSERT_TRUE(doc);
    EXPECT_EQ(EditOf(doc)->GetTextLength(), CTorvaneDoc::kMaxFileSize);

    const wxString over = TempPath("over.sql");
    WriteFile(over, std::string(CTorvaneDoc::kMaxFileSize + 1, 'x'));
    EXPECT_FALSE(doc->OpenQueryFile(over, false));
    ASSERT_EQ(m_messages->Shown().size(), 1u);
    EXPECT_EQ(m_messages->Shown()[0].text, "'" + over +
                                               "'\nFile size is too large to open. The maximum size limit is 16 MB "
                                               "(16777215 bytes).");
    EXPECT_TRUE(m_messages->Shown()[0].style & wxICON_INFORMATION);
    // The document keeps what it had.
    EXPECT_EQ(doc->GetFilename(), limit);
    EXPECT_EQ(EditOf(doc)->GetTextLength(), CTorvaneDoc::kMaxFileSize);
}

TEST_F(EditorFixture, MissingFile)
{
    CTorvaneDoc* doc = NewDoc();
    const wxString path = TempPath("missing.sql");
    EXPECT_FALSE(doc->OpenQueryFile(path, false));
    ASSERT_EQ(m_messages->Texts().size(), 1u);
    EXPECT_EQ(m_messages->Texts()[0], "'" + path + "'.\nCannot open file. File not found.");
}

void SetModifiedTime(const wxString& path, const timespec& when)
{
    timespec times[2] = {when, when};
    ASSERT_EQ(utimensat(AT_FDCWD, path.fn_str(), times, 0), 0);
}

timespec ModifiedTime(const wxString& path)
{
    struct stat st {};
    stat(path.fn_str(), &st);
    return st.st_mtim;
}

TEST_F(EditorFixture, UnchangedFileIsNotReadAgainButAnyChangeIs)
{
    const wxString path = TempPath("same.sql");
    WriteFile(path, "select 1");
    const timespec first = ModifiedTime(path);
    CTorvaneDoc* doc = OpenDoc(path);
    ASSERT_TRUE(doc);
    wxStyledTextCtrl* edit = EditOf(doc);

    // Unchanged on disk: opening again only activates the editor and keeps its text.
    edit->SetText("unsaved edit");
    EXPECT_TRUE(doc->OpenQueryFile(path, false));
    EXPECT_EQ(edit->GetText(), "unsaved edit");
    // A forced reload reads it again.
    EXPECT_TRUE(doc->OpenQueryFile(path, true));
    EXPECT_EQ(edit->GetText(), "select 1");

    // Same size, new time: read again (the edit would be lost on the next save otherwise).
    WriteFile(path, "select 2");
    timespec later = first;
    later.tv_sec += 10;
    SetModifiedTime(path, later);
    EXPECT_TRUE(doc->OpenQueryFile(path, false));
    EXPECT_EQ(edit->GetText(), "select 2");

    // Same time, new size: read again.
    WriteFile(path, "select 33");
    SetModifiedTime(path, later);
    EXPECT_TRUE(doc->OpenQueryFile(path, false));
    EXPECT_EQ(edit->GetText(), "select 33");
}

TEST_F(EditorFixture, PathsCompareExactly)
{
    const wxString lower = TempPath("a.sql"), upper = TempPath("A.sql");
    WriteFile(lower, "select 'lower'");
    WriteFile(upper, "select 'UPPER'");
    SetModifiedTime(upper, ModifiedTime(lower));
    CTorvaneDoc* doc = OpenDoc(lower);
    ASSERT_TRUE(doc);
    EXPECT_TRUE(doc->OpenQueryFile(upper, false));
    EXPECT_EQ(EditOf(doc)->GetText(), "select 'UPPER'");
    EXPECT_EQ(doc->GetFilename(), upper);
}

TEST_F(EditorFixture, SaveTabsAsSpaces)
{
    settings::WriteInt(settings::QuerySaveTabsAsSpaces, 1);
    const wxString path = TempPath("tabs.sql");
    WriteFile(path, "\tselect\t1");
    CTorvaneDoc* doc = OpenDoc(path);
    ASSERT_TRUE(doc);
    wxStyledTextCtrl* edit = EditOf(doc);

    // Unmodified: nothing is converted.
    ASSERT_TRUE(doc->OnSaveDocument(path));
    EXPECT_EQ(ReadFile(path), "\tselect\t1");

    edit->AppendText("\t--x");
    edit->SetSelection(1, 7); // "select"
    ASSERT_TRUE(doc->OnSaveDocument(path));
    EXPECT_EQ(ReadFile(path), "    select    1    --x");
    EXPECT_EQ(edit->GetText(), "    select    1    --x");
    EXPECT_EQ(edit->GetSelectionStart(), 1);
    EXPECT_EQ(edit->GetSelectionEnd(), 7 + 9); // the end moves by the whole growth
    settings::WriteInt(settings::QuerySaveTabsAsSpaces, 0);
}

TEST_F(EditorFixture, SaveAllSavesInOrderAndStopsAtAFailure)
{
    const wxString dirA = TempPath("a"), dirB = TempPath("b");
    ASSERT_TRUE(wxFileName::Mkdir(dirA));
    ASSERT_TRUE(wxFileName::Mkdir(dirB));
    WriteFile(dirA + "/one.sql", "one");
    WriteFile(dirB + "/two.sql", "two");
    CTorvaneDoc* one = OpenDoc(dirA + "/one.sql");
    CTorvaneDoc* two = OpenDoc(dirB + "/two.sql");
    ASSERT_TRUE(one && two);
    EditOf(one)->SetText("one changed");
    // Unmodified documents are saved too.
    WriteFile(dirB + "/two.sql", "changed on disk");
    EXPECT_TRUE(CTorvaneDoc::SaveAll(m_manager));
    EXPECT_EQ(ReadFile(dirA + "/one.sql"), "one changed");
    EXPECT_EQ(ReadFile(dirB + "/two.sql"), "two");

    // The first document can no longer be written: the walk stops there.
    EditOf(two)->SetText("two changed");
    ASSERT_TRUE(wxFileName::Rmdir(dirA, wxPATH_RMDIR_RECURSIVE));
    EXPECT_FALSE(CTorvaneDoc::SaveAll(m_manager));
    EXPECT_EQ(ReadFile(dirB + "/two.sql"), "two");
    EXPECT_EQ(m_messages->Texts().size(), 1u);
}

// Cancels the Save As file dialog before it shows, and keeps whether it was asked to have the
// desktop confirm replacing an existing file.
class SaveAsCancel : public wxModalDialogHook {
public:
    SaveAsCancel() { Register(); }
    ~SaveAsCancel() override { Unregister(); }
    int Shown() const { return m_shown; }
    bool AsksBeforeReplacing() const { return m_asks; }

protected:
    int Enter(wxDialog* dialog) override
    {
        if (auto* file = dynamic_cast<wxFileDialog*>(dialog)) {
            ++m_shown;
            m_asks = file->HasFlag(wxFD_OVERWRITE_PROMPT);
        }
        return wxID_CANCEL;
    }
    void Exit(wxDialog*) override {}

private:
    int m_shown = 0;
    bool m_asks = false;
};

TEST_F(EditorFixture, SaveAsOverAnExistingQueryFileAsksFirst)
{
    CTorvaneDoc* doc = NewDoc();
    // A name given whole: the desktop's file dialog asks before it is replaced.
    {
        SaveAsCancel dialog;
        wxCommandEvent saveAs(wxEVT_MENU, ID_FILE_SAVE_AS);
        doc->ProcessEvent(saveAs);
        EXPECT_EQ(dialog.Shown(), 1);
        EXPECT_TRUE(dialog.AsksBeforeReplacing());
    }
    // A name without an extension under the query files' filter gets ".sql" after the dialog:
    // replacing that file is asked here.
    const wxString existing = TempPath("report.sql");
    WriteFile(existing, "old text");
    const wxString question = "A file named \"report.sql\" already exists.\nDo you want to replace it?";
    const struct {
        const char* chosen;
        int filter;
        int answer;
        const char* path; // in the test's folder; "" for none
        bool asked;
    } cases[] = {
        {"report", 0, wxID_NO, "", true},
        {"report", 0, wxID_YES, "report.sql", true},
        {"fresh", 0, wxID_NO, "fresh.sql", false},
        {"report", 1, wxID_NO, "report", false},
        {"report.sql", 0, wxID_NO, "report.sql", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.chosen) + " " + std::to_string(c.filter) + " " + std::to_string(c.answer));
        CMessageScript answer{c.answer};
        const wxString path = doc->ConfirmSaveAsPath(TempPath(c.chosen), c.filter);
        EXPECT_EQ(path, *c.path ? TempPath(c.path) : wxString());
        EXPECT_EQ(answer.Texts(), c.asked ? std::vector<wxString>{question} : std::vector<wxString>{});
    }
    EXPECT_EQ(ReadFile(existing), "old text");
}

TEST_F(EditorFixture, SaveAsProposesThePlainTitleWithTheDefaultExtension)
{
    CTorvaneDoc* doc = NewDoc();
    doc->SetTitle(wxString("Untitled_1"));
    EXPECT_EQ(doc->GetSaveAsDefaultName(), "Untitled_1.sql");
    const wxString path = TempPath("named.sql");
    WriteFile(path, "x");
    CTorvaneDoc* named = OpenDoc(path);
    EXPECT_EQ(named->GetSaveAsDefaultName(), "named.sql");
}

} // namespace
