#include "querycore/BatchLoop.h"
#include "querycore/PageFileUsage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Outcome {
    std::vector<std::string> ran;
    std::string messages;
    std::string textOutput;
    bool memoryShort = false;
};

// Runs batches "a", "b", "c" through the loop; failing names the batches that fail.
Outcome RunLoop(bool stopOnError, const std::string& failing, int usage = 10, bool stopAfterA = false,
                bool textOutput = false)
{
    auto state = std::make_shared<CQueryRunState>(CFrameMailbox::Create(nullptr));
    for (const char* name : {"a", "b", "c"})
        state->QueueBatch({name, 0});
    CBatchLoop loop(*state, [usage] { return usage; });
    loop.SetStopOnError(stopOnError);
    loop.SetTextOutput(textOutput);
    Outcome outcome;
    bool failed = false;
    while (std::optional<CQueuedBatch> next = loop.Next(failed)) {
        const std::string name = next->text.utf8_string();
        outcome.ran.push_back(name);
        failed = failing.find(name) != std::string::npos;
        if (stopAfterA && name == "a")
            state->RequestStop();
    }
    outcome.messages = state->CopyMessages().utf8_string();
    outcome.textOutput = state->CopyTextOutput().utf8_string();
    outcome.memoryShort = loop.MemoryShort();
    return outcome;
}

TEST(BatchLoop, StopsWhereTheRunMustEnd)
{
    struct Case {
        const char* name;
        bool stopOnError;
        const char* failing;
        bool stopAfterA;
        std::vector<std::string> ran;
    };
    const Case cases[] = {
        {"all run in order", true, "", false, {"a", "b", "c"}},
        {"first error stops", true, "b", false, {"a", "b"}},
        {"errors do not stop when told so", false, "ab", false, {"a", "b", "c"}},
        {"a stop ends the run", true, "", true, {"a"}},
        {"a stop ends it even past errors", false, "a", true, {"a"}},
    };
    for (const Case& c : cases) {
        const Outcome outcome = RunLoop(c.stopOnError, c.failing, 10, c.stopAfterA);
        EXPECT_EQ(outcome.ran, c.ran) << c.name;
        EXPECT_EQ(outcome.messages, "") << c.name;
        EXPECT_FALSE(outcome.memoryShort) << c.name;
    }
}

TEST(BatchLoop, ShortMemoryEndsTheRunWithOneMessageInTheRunsBuffer)
{
    const Outcome messages = RunLoop(true, "", 99);
    EXPECT_TRUE(messages.ran.empty());
    EXPECT_EQ(messages.messages, kPageFileUsageMessage);
    EXPECT_TRUE(messages.memoryShort);

    const Outcome text = RunLoop(true, "", 100, false, true);
    EXPECT_EQ(text.textOutput, kPageFileUsageMessage);
    EXPECT_EQ(text.messages, "");

    // No message where no batch would have started.
    const Outcome failedFirst = RunLoop(true, "a", 10);
    EXPECT_EQ(failedFirst.ran, std::vector<std::string>{"a"});
}

} // namespace
