#include "EditorFixture.h"

#include "common/SettingsTable.h"

#include <wx/stc/stc.h>

namespace {

class FindReplace : public EditorFixture {
protected:
    void SetUp() override
    {
        EditorFixture::SetUp();
        m_doc = NewDoc();
        ASSERT_TRUE(m_doc);
        m_view = ViewOf(m_doc);
        m_edit = m_view->GetEditCtrl();
    }
    CTorvaneDoc* m_doc = nullptr;
    CQryView* m_view = nullptr;
    wxStyledTextCtrl* m_edit = nullptr;
};

TEST_F(FindReplace, ReplaceAllEndsWhenTheReplacementHoldsTheSearchedText)
{
    struct {
        wxString text, find, replace;
        bool matchCase, wholeWord;
        int count;
        wxString after;
    } const cases[] = {
        {"a a a", "a", "aa", false, false, 3, "aa aa aa"},
        {"x", "x", "xxx", false, false, 1, "xxx"},
        {"Id id ID idx", "id", "[id]", false, true, 3, "[id] [id] [id] idx"},
        {"Id id ID", "id", "key", true, false, 1, "Id key ID"},
        {wxString::FromUTF8("é-é"), wxString::FromUTF8("é"), wxString::FromUTF8("éé"), false, false, 2,
         wxString::FromUTF8("éé-éé")},
        {"aaaa", "aa", "a", false, false, 2, "aa"},
    };
    for (const auto& c : cases) {
        m_messages->Clear();
        m_edit->SetText(c.text);
        m_edit->GotoPos(m_edit->GetLength()); // Replace All covers the whole text wherever the caret is
        EXPECT_EQ(m_view->OnReplaceAll(c.find, c.replace, c.matchCase, c.wholeWord), c.count) << c.text;
        EXPECT_EQ(m_edit->GetText(), c.after) << c.text;
        ASSERT_EQ(m_messages->Texts().size(), 1u);
        EXPECT_EQ(m_messages->Texts()[0], wxString::Format("%d occurrence(s) have been replaced.\n\n"
                                                           "Do you want this message box to be displayed again?",
                                                           c.count));
    }
}

TEST_F(FindReplace, ReplaceAllIsUndoneStepByStepAndRaisesTheUndoLimit)
{
    settings::WriteInt(settings::MaxUndoLimit, 2);
    m_edit->SetText("t t t");
    m_edit->EmptyUndoBuffer();
    EXPECT_EQ(m_view->OnReplaceAll("t", "u", false, false), 3);
    EXPECT_EQ(settings::ReadInt(settings::MaxUndoLimit), 3);
    m_edit->Undo();
    EXPECT_EQ(m_edit->GetText(), "u u t");
    m_edit->Undo();
    EXPECT_EQ(m_edit->GetText(), "u t t");
    settings::WriteInt(settings::MaxUndoLimit, 1000);
}

TEST_F(FindReplace, ReplaceAllMessageCanBeTurnedOff)
{
    m_edit->SetText("a b");
    m_messages->Queue(wxID_NO);
    m_view->OnReplaceAll("a", "c", false, false);
    EXPECT_EQ(settings::ReadInt(settings::ReplaceAllOccsMsg), 0);
    EXPECT_FALSE(m_view->GetReplaceAllMessage());
    m_messages->Clear();
    m_view->OnReplaceAll("b", "d", false, false);
    EXPECT_TRUE(m_messages->Texts().empty());
    EXPECT_EQ(m_edit->GetText(), "c d");
    settings::WriteInt(settings::ReplaceAllOccsMsg, 1);
}

TEST_F(FindReplace, NothingToReplace)
{
    m_edit->SetText("select 1");
    EXPECT_EQ(m_view->OnReplaceAll("zzz", "y", false, false), 0);
    ASSERT_EQ(m_messages->Texts().size(), 1u);
    EXPECT_EQ(m_messages->Texts()[0], "Finished searching the document.");
}

TEST_F(FindReplace, FindGoesRoundOnceThenReportsTheEnd)
{
    m_edit->SetText("one two one two one");
    m_edit->GotoPos(5); // inside the first "two"
    std::vector<long> found;
    while (m_view->FindText("one", false, false, true))
        found.push_back(m_edit->GetSelectionStart());
    EXPECT_EQ(found, (std::vector<long>{8, 16, 0}));
    // Backwards from the end.
    m_view->OnTextNotFound("one");
    m_edit->GotoPos(m_edit->GetLength());
    found.clear();
    while (m_view->FindText("two", false, false, false))
        found.push_back(m_edit->GetSelectionStart());
    EXPECT_EQ(found, (std::vector<long>{12, 4}));
}

TEST_F(FindReplace, ReplaceTheSelectionThenFindTheNext)
{
    m_edit->SetText("a.b a.b");
    m_edit->SetSelection(0, 3);
    m_view->OnReplaceSel("a.b", true, false, false, "a.b.c");
    EXPECT_EQ(m_edit->GetText(), "a.b.c a.b");
    EXPECT_EQ(m_edit->GetSelectedText(), "a.b");
    EXPECT_EQ(m_edit->GetSelectionStart(), 6);
}

TEST_F(FindReplace, FindDialogSeedsAndF3RepeatsAFind)
{
    m_edit->SetText("select x from x");
    m_edit->SetSelection(7, 8);
    m_view->ShowFindReplaceDialog(true);
    m_edit->GotoPos(0);
    PressKey(m_edit, WXK_F3);
    EXPECT_EQ(m_edit->GetSelectionStart(), 7);
    PressKey(m_edit, WXK_F3);
    EXPECT_EQ(m_edit->GetSelectionStart(), 14);
    // A selection with a line break does not become the search text.
    m_edit->SetText("a\nb x");
    m_edit->SelectAll();
    m_view->ShowFindReplaceDialog(false);
    m_view->ShowFindReplaceDialog(true);
    m_edit->GotoPos(0);
    PressKey(m_edit, WXK_F3);
    EXPECT_EQ(m_edit->GetSelectedText(), "x");
}

} // namespace
