#include "querycore/StatusPaneWidths.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace {

// The query window's panes: message (stretching), autocommit block, elapsed time, result set,
// caret position.
const std::vector<int> kWanted{-1, 24, 150, 300, 120};

TEST(StatusPaneWidths, Table)
{
    const struct {
        const char* what;
        int available;
        std::vector<int> fitted;
    } cases[] = {
        {"room to spare", 1200, kWanted},
        {"exactly enough beside the smallest message pane", 40 + 24 + 570, kWanted},
        {"width not known yet", 0, kWanted},
        {"half the room: the text panes share it in proportion", 40 + 24 + 285, {-1, 24, 75, 150, 60}},
        {"no room left for text", 40 + 24, {-1, 24, 1, 1, 1}},
        {"less than nothing", 30, {-1, 24, 1, 1, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(FitStatusPaneWidths(kWanted, c.available), c.fitted);
    }
}

TEST(StatusPaneWidths, ShrunkPanesNeverOverflowTheBar)
{
    for (int available = 40 + 24 + 3; available <= 700; available += 7) {
        SCOPED_TRACE(available);
        const std::vector<int> fitted = FitStatusPaneWidths(kWanted, available);
        const int fixed = std::accumulate(fitted.begin() + 1, fitted.end(), 0);
        EXPECT_LE(fixed + kMinStretchWidth, available);
        EXPECT_EQ(fitted[1], 24) << "the indicator keeps its size";
    }
}

} // namespace
