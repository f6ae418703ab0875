// Error navigation without a window: the walk of Next and Previous over the error batches of an
// execution, the tag lookup, and where the tags stand in the results text.
#include "querycore/ErrorBatchText.h"
#include "querycore/MessagesBuffer.h"

#include "tests/common/WxStringPrinter.h"

#include <gtest/gtest.h>

#include <string>

using namespace error_batch_text;

namespace {

// The tags the walk lands on, in order.
std::vector<int> Walk(CErrorTagList& list, const std::string& moves)
{
    std::vector<int> starts;
    for (char move : moves) {
        const CErrorTagEntry* entry = move == 'n' ? list.MoveNext() : list.MovePrevious();
        starts.push_back(entry ? static_cast<int>(entry->batchStart) : -1);
    }
    return starts;
}

} // namespace

TEST(ErrorBatchWalk, NextWrapsAndPreviousStartsFromTheLast)
{
    CErrorTagList list;
    EXPECT_EQ(Walk(list, "np"), (std::vector<int>{-1, -1})) << "nothing to walk";

    list.Add("first", 10);
    list.Add("second", 20);
    list.Add("third", 30);
    EXPECT_EQ(Walk(list, "nnnnn"), (std::vector<int>{10, 20, 30, 10, 20}));
    EXPECT_EQ(Walk(list, "ppp"), (std::vector<int>{10, 30, 20}));

    // A new execution starts the walk again, from either end.
    list.Reset();
    list.Add("only", 5);
    list.Add("other", 6);
    EXPECT_EQ(Walk(list, "p"), (std::vector<int>{6}));
    list.Reset();
    list.Add("again", 7);
    EXPECT_EQ(Walk(list, "nnp"), (std::vector<int>{7, 7, 7}));
}

TEST(ErrorBatchWalk, FindMovesTheCursorSoTheWalkGoesOnFromThere)
{
    CErrorTagList list;
    const wxString first = list.Add("first", 10);
    const wxString second = list.Add("second", 20);
    list.Add("third", 30);

    EXPECT_EQ(list.Find(second), 20);
    EXPECT_EQ(Walk(list, "n"), (std::vector<int>{30}));
    EXPECT_EQ(list.Find(first), 10);
    EXPECT_EQ(Walk(list, "p"), (std::vector<int>{30}));

    // Exact text only; a miss leaves the cursor past the end, so Next starts at the first.
    EXPECT_EQ(list.Find("<eb2>SECOND</eb2>"), -1);
    EXPECT_EQ(list.Find("<eb2>second"), -1);
    EXPECT_EQ(Walk(list, "n"), (std::vector<int>{10}));
    EXPECT_EQ(list.Find("<eb9>x</eb9>"), -1);
    EXPECT_EQ(Walk(list, "p"), (std::vector<int>{30}));
}

namespace {

// The messages of a run with two errors, the second of two lines, as the pane holds them.
std::string Messages(CErrorTagList& list)
{
    wxString text;
    AppendOutputText(text, "(1 row(s) affected)");
    AppendOutputText(text, list.Add("no such table: missing", 0));
    AppendOutputText(text, "(2 row(s) affected)");
    AppendOutputText(text, list.Add("near \"selec\": syntax error\nState: HY000, Native: 1, Source: ODBC", 40));
    return text.utf8_string();
}

std::string Selected(const std::string& text, Selection s)
{
    return text.substr(s.start, s.end - s.start);
}

} // namespace

TEST(ErrorBatchText, TheTagAroundAPositionIsTheOneTheListKnows)
{
    CErrorTagList list;
    const std::string text = Messages(list);
    const std::string first = list.GetEntries()[0].tag.utf8_string();
    const std::string second = list.GetEntries()[1].tag.utf8_string();
    const size_t firstAt = text.find(first), secondAt = text.find(second);
    ASSERT_NE(firstAt, std::string::npos);
    ASSERT_NE(secondAt, std::string::npos);

    struct Case {
        size_t pos;
        std::string tag;
    } cases[] = {
        {firstAt, first},                                  // on the opening "<"
        {firstAt + 8, first},                              // in the error text
        {firstAt + first.size() - 2, first},               // inside the closing tag
        {firstAt + first.size() - 1, first},               // on its last ">"
        {secondAt + second.find('\r') + 3, second},        // the second line of an error
        {0, ""},                                           // before every tag
        {text.size(), ""},                                 // after the last
    };
    for (const Case& c : cases)
        EXPECT_EQ(TagAt(text, c.pos), c.tag) << c.pos;

    // Between two errors the text runs from one tag to the next: no tag the list holds.
    const std::string between = TagAt(text, text.find("(2 row(s)"));
    EXPECT_EQ(between.substr(0, 5), "<eb1>");
    EXPECT_NE(between, first);
    EXPECT_NE(between, second);
}

TEST(ErrorBatchText, ShowingAnErrorSelectsItsTextWithoutTheTags)
{
    CErrorTagList list;
    const std::string text = Messages(list);
    const size_t firstAt = text.find("<eb1>"), secondAt = text.find("<eb2>");

    EXPECT_EQ(Selected(text, MessageLineSelection(text, firstAt)), "no such table: missing");
    EXPECT_EQ(Selected(text, MessageLineSelection(text, firstAt + 12)), "no such table: missing");
    // An error of several lines is selected whole, from its first line...
    EXPECT_EQ(Selected(text, MessageLineSelection(text, secondAt)),
              "near \"selec\": syntax error\rState: HY000, Native: 1, Source: ODBC");
    // ...and from its last line up to the closing tag.
    EXPECT_EQ(Selected(text, MessageLineSelection(text, text.find("State:"))),
              "State: HY000, Native: 1, Source: ODBC");
    // Any other line is selected as it stands; an empty line gives one character.
    EXPECT_EQ(Selected(text, MessageLineSelection(text, 3)), "(1 row(s) affected)");
    const size_t empty = text.find("\n\n") + 1;
    EXPECT_EQ(MessageLineSelection(text, empty).end - MessageLineSelection(text, empty).start, 1u);
}
