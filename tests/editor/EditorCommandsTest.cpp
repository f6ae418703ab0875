#include "EditorFixture.h"

#include "common/CommandIds.h"
#include "common/SettingsTable.h"
#include "common/TextPositions.h"

#include <wx/stc/stc.h>

namespace {

class EditorCommands : public EditorFixture {
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

TEST_F(EditorCommands, LineCommandsOnTheSelectedLines)
{
    const wxString text = "select a\n  from t\nwhere x\n";
    struct {
        const char* what;
        bool comment, insert;
        long start, end;
        wxString after;
        wxString selected;
    } const cases[] = {
        {"indent two lines", false, true, 0, 12, "\tselect a\n\t  from t\nwhere x\n", "\tselect a\n\t  from t"},
        {"a selection ending at a line start leaves that line", false, true, 0, 9,
         "\tselect a\n  from t\nwhere x\n", "\tselect a"},
        {"outdent", false, false, 9, 17, "select a\nfrom t\nwhere x\n", "from t"},
        {"comment", true, true, 0, 20, "--select a\n--  from t\n--where x\n", "--select a\n--  from t\n--where x"},
    };
    for (const auto& c : cases) {
        SetTextAndSelect(m_edit, text, c.start, c.end);
        m_view->ProcessSelectedLines(c.comment, c.insert);
        EXPECT_EQ(m_edit->GetText(), c.after) << c.what;
        EXPECT_EQ(m_edit->GetSelectedText(), c.selected) << c.what;
    }
}

TEST_F(EditorCommands, CommentAndUncommentLeaveCommentedLinesAlone)
{
    SetTextAndSelect(m_edit, "  -- a\nb\n", 0, 9);
    m_view->ProcessSelectedLines(true, true);
    EXPECT_EQ(m_edit->GetText(), "  -- a\n--b\n");
    SetTextAndSelect(m_edit, "----a\n  --b\nc", 0, 13);
    m_view->Uncomment();
    EXPECT_EQ(m_edit->GetText(), "--a\n  b\nc");
}

TEST_F(EditorCommands, EachLineChangeIsOneUndoStep)
{
    SetTextAndSelect(m_edit, "a\nb\nc", 0, 5);
    m_edit->EmptyUndoBuffer();
    m_view->ProcessSelectedLines(false, true);
    EXPECT_EQ(m_edit->GetText(), "\ta\n\tb\n\tc");
    m_edit->Undo();
    EXPECT_EQ(m_edit->GetText(), "\ta\n\tb\nc");
}

TEST_F(EditorCommands, CaseTabifyAndBlockComment)
{
    SetTextAndSelect(m_edit, wxString::FromUTF8("select café from t"), 7, 11);
    m_view->ChangeSelectionCase(true);
    EXPECT_EQ(m_edit->GetText(), wxString::FromUTF8("select CAFÉ from t"));
    EXPECT_EQ(m_edit->GetSelectedText(), wxString::FromUTF8("CAFÉ"));

    SetTextAndSelect(m_edit, "x        y  z", 0, 13);
    m_view->TabifySelection(true);
    EXPECT_EQ(m_edit->GetText(), "x\t\ty  z");
    EXPECT_EQ(m_edit->GetSelectedText(), "x\t\ty  z");
    m_view->TabifySelection(false);
    EXPECT_EQ(m_edit->GetText(), "x        y  z");

    SetTextAndSelect(m_edit, "select 1", 0, 8);
    m_view->ToggleSlashStarComment(m_edit->GetSelectedText(), true);
    EXPECT_EQ(m_edit->GetText(), "/*select 1*/");
    EXPECT_EQ(m_edit->GetSelectedText(), "/*select 1*/");
    m_view->Uncomment();
    EXPECT_EQ(m_edit->GetText(), "select 1");
}

TEST_F(EditorCommands, KeyMap)
{
    // Ctrl+K comments, Ctrl+Shift+K uncomments, Tab and Shift+Tab indent and outdent a selection.
    SetTextAndSelect(m_edit, "a\nb", 0, 3);
    PressKey(m_edit, 'K', true);
    EXPECT_EQ(m_edit->GetText(), "--a\n--b");
    PressKey(m_edit, 'K', true, true);
    EXPECT_EQ(m_edit->GetText(), "a\nb");
    PressKey(m_edit, WXK_TAB);
    EXPECT_EQ(m_edit->GetText(), "\ta\n\tb");
    PressKey(m_edit, WXK_TAB, false, true);
    EXPECT_EQ(m_edit->GetText(), "a\nb");

    // Ctrl+U / Ctrl+Shift+U change case, Ctrl+B tabifies, Ctrl+numpad-* comments a block.
    SetTextAndSelect(m_edit, "Select", 0, 6);
    PressKey(m_edit, 'U', true, true);
    EXPECT_EQ(m_edit->GetText(), "SELECT");
    PressKey(m_edit, 'U', true);
    EXPECT_EQ(m_edit->GetText(), "select");
    PressKey(m_edit, WXK_NUMPAD_MULTIPLY, true);
    EXPECT_EQ(m_edit->GetText(), "/*select*/");

    // Shift+Tab without a selection deletes a blank or TAB before the caret, nothing else.
    m_edit->SetText("abc");
    m_edit->GotoPos(3);
    PressKey(m_edit, WXK_TAB, false, true);
    EXPECT_EQ(m_edit->GetText(), "abc");
    m_edit->SetText("abc ");
    m_edit->GotoPos(4);
    PressKey(m_edit, WXK_TAB, false, true);
    EXPECT_EQ(m_edit->GetText(), "abc");

    // F7 toggles word wrap.
    const bool wrap = m_view->GetWordWrap();
    PressKey(m_edit, WXK_F7);
    EXPECT_NE(m_view->GetWordWrap(), wrap);
}

TEST_F(EditorCommands, ControlBindingsOfItsOwnAreGone)
{
    // The control would duplicate (Ctrl+D), cut (Ctrl+L), transpose (Ctrl+T) or delete lines
    // (Ctrl+Shift+L), or format (Ctrl+I); none of these keys changes the text here.
    const wxString text = "select 1\nfrom t";
    m_edit->SetText(text);
    m_edit->GotoPos(3);
    for (auto [key, shift] : {std::pair{'D', false}, {'L', false}, {'T', false}, {'L', true}, {'I', false}}) {
        PressKey(m_edit, key, true, shift);
        EXPECT_EQ(m_edit->GetText(), text) << char(key) << shift;
    }
    // The plain editing keys still work.
    PressKey(m_edit, 'A', true);
    EXPECT_EQ(m_edit->GetSelectedText(), text);
    PressKey(m_edit, WXK_DELETE);
    EXPECT_EQ(m_edit->GetText(), "");
    PressKey(m_edit, 'Z', true);
    EXPECT_EQ(m_edit->GetText(), text);
}

TEST_F(EditorCommands, MatchBraceWithCtrlRightBracket)
{
    m_edit->SetText("select (a + (b)) x");
    m_edit->GotoPos(7); // before the outer "("
    PressKey(m_edit, ']', true);
    EXPECT_EQ(m_edit->GetCurrentPos(), 15); // just before the matching ")"
}

TEST_F(EditorCommands, ContextMenuEnableRules)
{
    m_edit->SetText("");
    EXPECT_FALSE(m_view->IsContextCommandEnabled(ID_EDIT_SELECT_ALL));
    EXPECT_FALSE(m_view->IsContextCommandEnabled(ID_EDIT_CUT));
    EXPECT_FALSE(m_view->IsContextCommandEnabled(ID_EDIT_COPY));
    SetTextAndSelect(m_edit, "select 1", 0, 6);
    EXPECT_TRUE(m_view->IsContextCommandEnabled(ID_EDIT_SELECT_ALL));
    EXPECT_TRUE(m_view->IsContextCommandEnabled(ID_EDIT_CUT));
    EXPECT_TRUE(m_view->IsContextCommandEnabled(ID_EDIT_COPY));
    // Nothing runs without a connection.
    for (int id : {ID_QUERY_EXECUTE, ID_QUERY_EXECUTE_SAVE_AS, ID_QUERY_CANCEL, ID_QUERY_CONNECTION_OPTIONS})
        EXPECT_FALSE(m_view->IsContextCommandEnabled(id)) << id;
}

TEST_F(EditorCommands, CaretPositionCountsCharacters)
{
    m_edit->SetText(wxString::FromUTF8("-- é\r\nsélect"));
    m_edit->GotoPos(CTextPositions::CharToByte(*m_edit, 7)); // after "sé" on line 2
    EXPECT_EQ(m_view->GetCaretPositionText(), "Ln 2, Col 3");
}

TEST_F(EditorCommands, SettingsOfTheEditor)
{
    // An out-of-range tab size is repaired and written back when an editor opens.
    settings::WriteInt(settings::QueryTabSize, 65);
    CTorvaneDoc* doc = NewDoc();
    EXPECT_EQ(ViewOf(doc)->GetTabSize(), 4);
    EXPECT_EQ(EditOf(doc)->GetTabWidth(), 4);
    EXPECT_EQ(settings::ReadInt(settings::QueryTabSize), 4);
    // An undo limit above 9999 counts as 1000.
    settings::WriteInt(settings::MaxUndoLimit, 10000);
    EXPECT_EQ(ViewOf(NewDoc())->GetUndoLimit(), 1000);
    settings::WriteInt(settings::MaxUndoLimit, 1000);
    // Word wrap starts from the setting.
    settings::WriteInt(settings::QueryWrapWord, 1);
    EXPECT_TRUE(ViewOf(NewDoc())->GetWordWrap());
    settings::WriteInt(settings::QueryWrapWord, 0);
}

} // namespace
