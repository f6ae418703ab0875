#include "editor/SqlEditTransforms.h"

#include <gtest/gtest.h>

namespace {

using Op = CSqlEditTransforms::LineOp;

struct LineCase {
    Op op;
    wxString line;
    wxString after; // the line after the command
};

TEST(SqlEditTransforms, LineCommands)
{
    const LineCase cases[] = {
        {Op::Indent, "select 1", "\tselect 1"},
        {Op::Indent, "", "\t"},
        {Op::Outdent, "\tselect", "select"},
        {Op::Outdent, "    select", "select"},
        {Op::Outdent, "     select", " select"},  // five blanks, tab size 4
        {Op::Outdent, "  \tselect", "select"},    // two blanks and a TAB
        {Op::Outdent, "  \t\tselect", "\tselect"},
        {Op::Outdent, "    \tselect", "\tselect"}, // a full tab stop of blanks leaves the TAB
        {Op::Outdent, "select", "select"},
        {Op::Comment, "select 1", "--select 1"},
        {Op::Comment, "  -- done", "  -- done"},  // already commented after its indentation
        {Op::Comment, "\t--x", "\t--x"},
        {Op::Comment, "-x", "---x"},
        {Op::Uncomment, "--select", "select"},
        {Op::Uncomment, "  ----x", "  --x"},       // only the first "--"
        {Op::Uncomment, "\t-- a", "\t a"},
        {Op::Uncomment, "select -- a", "select -- a"},
    };
    for (const auto& c : cases) {
        auto edit = CSqlEditTransforms::EditLine(c.line, c.op, 4);
        wxString after = edit ? CSqlEditTransforms::ApplyLineEdit(c.line, *edit) : c.line;
        EXPECT_EQ(after, c.after) << static_cast<int>(c.op) << " [" << c.line << "]";
    }
}

TEST(SqlEditTransforms, TabifyAndUntabify)
{
    EXPECT_EQ(CSqlEditTransforms::Tabify("        x", 4), "\t\tx");
    EXPECT_EQ(CSqlEditTransforms::Tabify("      x   y", 4), "\t  x   y");
    EXPECT_EQ(CSqlEditTransforms::Tabify("a  b", 2), "a\tb");
    EXPECT_EQ(CSqlEditTransforms::Untabify("\tx\t", 3), "   x   ");
    EXPECT_EQ(CSqlEditTransforms::Untabify(CSqlEditTransforms::Tabify("x        y", 4), 4), "x        y");
}

TEST(SqlEditTransforms, ChangeCaseCoversNonAscii)
{
    EXPECT_EQ(CSqlEditTransforms::ChangeCase(wxString::FromUTF8("select café"), true),
              wxString::FromUTF8("SELECT CAFÉ"));
    EXPECT_EQ(CSqlEditTransforms::ChangeCase("SELECT X_1", false), "select x_1");
}

TEST(SqlEditTransforms, SlashStarComment)
{
    EXPECT_EQ(CSqlEditTransforms::ToggleSlashStarComment("select 1", true), wxString("/*select 1*/"));
    EXPECT_EQ(CSqlEditTransforms::ToggleSlashStarComment("  /* x */ ", true), std::nullopt);
    EXPECT_EQ(CSqlEditTransforms::ToggleSlashStarComment("/*select 1*/", false), wxString("select 1"));
    EXPECT_EQ(CSqlEditTransforms::ToggleSlashStarComment("/* a * b */", false), wxString(" a * b "));
    EXPECT_EQ(CSqlEditTransforms::ToggleSlashStarComment("/**/", false), wxString(""));
    EXPECT_TRUE(CSqlEditTransforms::IsSlashStarComment("\n /* x */\n"));
    EXPECT_FALSE(CSqlEditTransforms::IsSlashStarComment("/* x */ y"));
}

TEST(SqlEditTransforms, ExpandTabsForSave)
{
    auto sel = CSqlEditTransforms::ExpandTabsForSave("\ta\tb", 4, 1, 3);
    EXPECT_EQ(sel.text, "    a    b");
    EXPECT_EQ(sel.selStart, 1);
    EXPECT_EQ(sel.selEnd, 9); // the end moves by the whole change in length
    auto caret = CSqlEditTransforms::ExpandTabsForSave("\ta\tb", 2, 2, 2);
    EXPECT_EQ(caret.text, "  a  b");
    EXPECT_EQ(caret.selStart, 2);
    EXPECT_EQ(caret.selEnd, 2);
}

TEST(SqlEditTransforms, FindSeedAndShiftTab)
{
    EXPECT_EQ(CSqlEditTransforms::FindSeed("orders", "last"), "orders");
    EXPECT_EQ(CSqlEditTransforms::FindSeed("a\nb", "last"), "last");
    EXPECT_EQ(CSqlEditTransforms::FindSeed("a\rb", "last"), "last");
    EXPECT_EQ(CSqlEditTransforms::FindSeed("", "last"), "last");
    EXPECT_TRUE(CSqlEditTransforms::ShiftTabDeletes(' '));
    EXPECT_TRUE(CSqlEditTransforms::ShiftTabDeletes('\t'));
    EXPECT_FALSE(CSqlEditTransforms::ShiftTabDeletes('c'));
}

} // namespace
