// The window-free rules of a run: batch flow, end-of-run texts, cancel, the messages buffer and
// its error tags, database-context hooks, row limits and the transaction texts.
#include "query/TransactionControl.h"
#include "querycore/BatchFlow.h"
#include "querycore/MessagesBuffer.h"
#include "querycore/QueryRunState.h"
#include "tests/common/WxStringPrinter.h"

#include <gtest/gtest.h>

namespace {

TEST(BatchFlow, WhetherTheNextBatchRuns)
{
    struct Case {
        bool failed, stopped, stopOnError, gridHeld, runs;
    } cases[] = {
        {false, false, true, false, true},   // success goes on
        {false, false, false, false, true},
        {true, false, true, false, false},   // stop at the first failing batch
        {true, false, false, false, true},   // or go on past it
        {false, true, false, false, false},  // a cancelled run starts nothing
        {true, true, false, false, false},
        {false, false, false, true, false},  // the grid worker holds the run
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.failed << c.stopped << c.stopOnError << c.gridHeld);
        EXPECT_EQ(ShouldRunNextBatch(c.failed, c.stopped, c.stopOnError, c.gridHeld), c.runs);
    }
}

TEST(BatchFlow, EndOfRunTexts)
{
    struct Case {
        bool stopped, errors, gridCreated, outputEmpty;
        const char* status;
        const char* output;
    } cases[] = {
        {false, false, false, true, "Query batch completed", "The command(s) completed successfully."},
        {false, false, false, false, "Query batch completed", ""},
        {false, false, true, true, "Query batch completed", ""},
        {false, true, false, true, "Query batch completed with errors", ""},
        {false, true, true, false, "Query batch completed with errors", ""},
        {true, false, false, true, "Query batch canceled", "Query canceled by user."},
        // A cancel wins over the errors that the cancelled statement raised.
        {true, true, false, false, "Query batch canceled", "Query canceled by user."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.stopped << c.errors << c.gridCreated << c.outputEmpty);
        const CRunEndTexts texts = GetRunEndTexts(c.stopped, c.errors, c.gridCreated, c.outputEmpty);
        EXPECT_EQ(texts.statusText, c.status);
        EXPECT_EQ(texts.outputText, c.output);
    }
}

TEST(BatchFlow, StartTexts)
{
    EXPECT_EQ(GetRunStatusText(false), "Executing query batch...");
    EXPECT_EQ(GetRunStatusText(true), "Find in files in progress...");
    EXPECT_EQ(GetStartResultsPaneText(false, false, false), "Results grid #0 of 0; 0 row(s); 0 col(s)");
    EXPECT_EQ(GetStartResultsPaneText(false, false, true), "Number of lines of text: 1");
    EXPECT_EQ(GetStartResultsPaneText(false, true, true), "Number of result sets saved: 0");
    EXPECT_EQ(GetStartResultsPaneText(true, false, false), "0 occurrence(s) have been found");
}

TEST(BatchFlow, CancelRequests)
{
    struct Case {
        bool executing, splitterRunning, cancelling;
        CancelAction action;
    } cases[] = {
        {false, false, false, CancelAction::None},         // idle
        {false, true, false, CancelAction::None},
        {true, false, false, CancelAction::Cancel},
        {true, false, true, CancelAction::None},           // a second press starts no second cancel
        // The first batch may already run while the splitter works: it is cancelled as well.
        {true, true, false, CancelAction::StopAndCancel},
        {true, true, true, CancelAction::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.executing << c.splitterRunning << c.cancelling);
        EXPECT_EQ(DecideCancel(c.executing, c.splitterRunning, c.cancelling), c.action);
    }
}

TEST(BatchFlow, DatabaseContextAndRowLimit)
{
    EXPECT_TRUE(MayChangeDatabase(true, false, "use pubs"));
    EXPECT_TRUE(MayChangeDatabase(false, true, "SELECT 1\nUSE shop"));
    EXPECT_FALSE(MayChangeDatabase(false, false, "USE shop")); // no database list to follow
    EXPECT_FALSE(MayChangeDatabase(true, false, "SELECT 1"));

    EXPECT_EQ(GetRowLimitMaxRecords(100, false), 100);
    EXPECT_EQ(GetRowLimitMaxRecords(0, false), 1);
    EXPECT_EQ(GetRowLimitMaxRecords(25, true), 0);
}

TEST(MessagesBuffer, SeparatorRule)
{
    wxString buffer;
    AppendOutputText(buffer, "(1 row(s) affected)");
    EXPECT_EQ(buffer, "(1 row(s) affected)");
    AppendOutputText(buffer, "notice");
    EXPECT_EQ(buffer, "(1 row(s) affected)\n\nnotice");
}

TEST(MessagesBuffer, ErrorTags)
{
    struct Case {
        int number;
        const char* text;
        const char* tag;
    } cases[] = {
        {1, "syntax error", "<eb1>syntax error</eb1>"},
        {2, "  \tpadded \r\n", "<eb2>padded</eb2>"},
        {3, "", "<eb3>Errors occurred.</eb3>"},
        {4, " \r\n ", "<eb4>Errors occurred.</eb4>"},
        {5, "first line\r\nsecond line", "<eb5>first line\rsecond line</eb5>"},
        {6, "one\nState: 42601, Native: 7, Source: x", "<eb6>one\rState: 42601, Native: 7, Source: x</eb6>"},
        {12, "a\n\nb", "<eb12>a\rb</eb12>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatErrorTag(c.number, c.text), c.tag) << c.text;
}

TEST(MessagesBuffer, TagsCountPerExecution)
{
    CErrorTagList list;
    EXPECT_EQ(list.Add("first", 0), "<eb1>first</eb1>");
    EXPECT_EQ(list.Add("second", 42), "<eb2>second</eb2>");
    ASSERT_EQ(list.GetEntries().size(), 2u);
    EXPECT_EQ(list.GetEntries()[1].batchStart, 42);
    EXPECT_EQ(list.GetCount(), 2);
    list.Reset();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_TRUE(list.GetEntries().empty());
    EXPECT_EQ(list.Add("next execution", 7), "<eb1>next execution</eb1>");
}

TEST(MessagesBuffer, RunOutputGoesToTheBufferOfTheMode)
{
    CQueryRunState state(nullptr);
    state.AppendOutput(false, "(3 row(s) affected)");
    state.AppendError(false, "bad", 10);
    state.AppendOutput(true, "name\n----\nab");
    EXPECT_EQ(state.AppendError(true, "worse", 20), "<eb2>worse</eb2>");
    EXPECT_EQ(state.CopyMessages(), "(3 row(s) affected)\n\n<eb1>bad</eb1>");
    EXPECT_EQ(state.CopyTextOutput(), "name\n----\nab\n\n<eb2>worse</eb2>");
    EXPECT_EQ(state.ErrorTags()[1].batchStart, 20);
}

TEST(Transactions, AutocommitExplanation)
{
    const wxString hint = "[In some cases (for instance, when using MSDASQL provider), this problem can be worked "
                          "around by choosing ODBC \"DSN-less\" logins found under File menu and Connect sub-menu.]";
    struct Case {
        bool requested, autoCommit, transactions;
        const char* error;
        wxString text;
    } cases[] = {
        {true, true, true, "", "Connection was established with autocommit mode on."},
        {true, true, false, "", "Connection was established with autocommit mode on."},
        {false, false, true, "", "Connection was established with autocommit mode off."},
        {false, true, false, "", "Provider does not support transactions. Autocommit mode is on."},
        {false, true, true, "Driver refused", "Driver refused\n\n" + hint + "\n\nAutocommit mode is on."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetAutocommitExplanation(c.requested, c.autoCommit, c.transactions, c.error), c.text);
}

TEST(Transactions, WhenClosingAsks)
{
    EXPECT_TRUE(HasPendingTransaction(false, true, true));
    EXPECT_FALSE(HasPendingTransaction(true, true, true));   // autocommit
    EXPECT_FALSE(HasPendingTransaction(false, false, true)); // nothing open
    EXPECT_FALSE(HasPendingTransaction(false, true, false)); // nothing ran in it
}

} // namespace
