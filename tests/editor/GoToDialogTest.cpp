#include "EditorFixture.h"

#include "editor/GotoLineDlg.h"

#include <wx/button.h>
#include <wx/stc/stc.h>
#include <wx/textctrl.h>

namespace {

class GoToDialog : public EditorFixture {
protected:
    void SetUp() override
    {
        EditorFixture::SetUp();
        CTorvaneDoc* doc = NewDoc();
        ASSERT_TRUE(doc);
        m_view = ViewOf(doc);
        m_view->Activate(true);
        m_edit = m_view->GetEditCtrl();
        wxString text;
        for (int i = 1; i <= 10; ++i)
            text += wxString::Format("line %d\n", i);
        text.RemoveLast(); // ten lines, the last without a break
        m_edit->SetText(text);
        m_dialog = new CGoToDlg(m_frame);
        m_box = wxDynamicCast(m_dialog->FindWindow(CGoToDlg::IDC_LINE), wxTextCtrl);
        m_button = wxDynamicCast(m_dialog->FindWindow(CGoToDlg::IDC_GOTO), wxButton);
        m_previous = wxDynamicCast(m_dialog->FindWindow(CGoToDlg::IDC_PREVIOUS), wxButton);
    }
    void TearDown() override
    {
        m_dialog->Destroy();
        EditorFixture::TearDown();
    }
    void Type(const wxString& text) { m_box->SetValue(text); }
    void Press(wxButton* button)
    {
        wxCommandEvent event(wxEVT_BUTTON, button->GetId());
        event.SetEventObject(button);
        button->ProcessWindowEvent(event);
    }
    int SelectedLine() const { return m_edit->LineFromPosition(m_edit->GetSelectionStart()) + 1; }

    CQryView* m_view = nullptr;
    wxStyledTextCtrl* m_edit = nullptr;
    CGoToDlg* m_dialog = nullptr;
    wxTextCtrl* m_box = nullptr;
    wxButton* m_button = nullptr;
    wxButton* m_previous = nullptr;
};

TEST_F(GoToDialog, NumbersAreClampedIntoTheText)
{
    Type("99999");
    EXPECT_EQ(m_button->GetLabel(), "&Go To");
    EXPECT_FALSE(m_previous->IsEnabled());
    Press(m_button);
    EXPECT_EQ(SelectedLine(), 10);
    EXPECT_EQ(m_edit->GetSelectedText(), "line 10");
    EXPECT_EQ(m_box->GetValue(), "10");
    EXPECT_EQ(m_view->GetCaretPositionText(), "Ln 10, Col 8");

    Type("0");
    Press(m_button);
    EXPECT_EQ(SelectedLine(), 1);
    EXPECT_EQ(m_box->GetValue(), "1");
}

TEST_F(GoToDialog, AfterAGoToTheButtonsStepLineByLine)
{
    Type("4");
    Press(m_button);
    EXPECT_EQ(SelectedLine(), 4);
    EXPECT_EQ(m_box->GetValue(), "");
    EXPECT_EQ(m_button->GetLabel(), "&Next");
    EXPECT_TRUE(m_previous->IsEnabled());
    Press(m_button);
    EXPECT_EQ(SelectedLine(), 5);
    Press(m_button);
    EXPECT_EQ(SelectedLine(), 6);
    Press(m_previous);
    EXPECT_EQ(SelectedLine(), 5);
}

TEST_F(GoToDialog, ActivationShowsTheCurrentLineAndNothingWithoutAnEditor)
{
    m_edit->GotoLine(6);
    m_dialog->RefreshForActivePane();
    EXPECT_EQ(m_box->GetValue(), "7");
    EXPECT_TRUE(m_box->IsEnabled());

    m_view->Activate(false);
    m_dialog->RefreshForActivePane();
    EXPECT_EQ(m_box->GetValue(), "");
    EXPECT_FALSE(m_box->IsEnabled());
    EXPECT_FALSE(m_button->IsEnabled());
    EXPECT_FALSE(m_previous->IsEnabled());
    Press(m_button); // nothing to go to
    EXPECT_EQ(m_edit->GetCurrentPos(), m_edit->PositionFromLine(6));
}

} // namespace
