#include "querycore/CloseDecision.h"

#include <gtest/gtest.h>

namespace {

TEST(CloseDecision, Table)
{
    const struct {
        bool executing, cancelling, stopped, search, nested;
        CloseStep step;
    } cases[] = {
        {false, false, false, false, false, CloseStep::Close},
        {true, false, false, false, false, CloseStep::AskCancelQuery},
        // After Yes: the cancel is in progress until the run has ended.
        {true, true, true, false, false, CloseStep::StayOpen},
        {false, true, false, false, false, CloseStep::StayOpen},
        {false, true, true, false, false, CloseStep::CloseRecordset},
        {false, false, false, true, true, CloseStep::AskStopSearch},
        // The search was told to stop but its loop is still on the stack: later.
        {false, false, true, true, true, CloseStep::Defer},
        {false, false, false, false, true, CloseStep::Defer},
        {true, true, true, false, true, CloseStep::StayOpen},
    };
    for (const auto& c : cases) {
        const CCloseState state{c.executing, c.cancelling, c.stopped, c.search, c.nested};
        EXPECT_EQ(DecideClose(state), c.step) << c.executing << c.cancelling << c.stopped << c.search << c.nested;
    }
}

struct Status {
    long time = 0;
    long size = 0;
    bool operator==(const Status&) const = default;
};

TEST(FileChanged, AsksOncePerChange)
{
    const Status recorded{10, 100};
    Status asked = recorded;
    EXPECT_FALSE(FileChangedSinceAsked(recorded, std::optional<Status>(recorded), asked));
    EXPECT_FALSE(FileChangedSinceAsked(recorded, std::optional<Status>(), asked)); // unreadable: no question
    // Same size, new time: a change.
    EXPECT_TRUE(FileChangedSinceAsked(recorded, std::optional<Status>(Status{11, 100}), asked));
    EXPECT_FALSE(FileChangedSinceAsked(recorded, std::optional<Status>(Status{11, 100}), asked));
    // Same time, new size: a change again.
    EXPECT_TRUE(FileChangedSinceAsked(recorded, std::optional<Status>(Status{11, 120}), asked));
    // Reloaded: the document records the file as it is now.
    const Status reloaded{11, 120};
    EXPECT_FALSE(FileChangedSinceAsked(reloaded, std::optional<Status>(reloaded), asked));
}

} // namespace
