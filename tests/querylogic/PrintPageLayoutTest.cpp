#include "querycore/PrintPageLayout.h"

#include <gtest/gtest.h>

namespace {

using Stripe = CPrintPageLayout::Stripe;

// A page of 800 x 1000 units with rows of 20 and characters 8 wide: 44 rows per page (50 rows
// less six for the header and footer), 736 units of picture across (800 less 4 characters a side).
constexpr int kRowHeight = 20;
constexpr int kCharWidth = 8;
const wxSize kPage(800, 1000);

CPrintPageLayout Layout(int rows, int width)
{
    return CPrintPageLayout(rows, kRowHeight, width, kPage, kCharWidth);
}

void ExpectStripe(const CPrintPageLayout& layout, int page, Stripe want)
{
    const Stripe got = layout.GetStripe(page);
    EXPECT_EQ(got.firstRow, want.firstRow) << "page " << page;
    EXPECT_EQ(got.rowCount, want.rowCount) << "page " << page;
    EXPECT_EQ(got.x, want.x) << "page " << page;
    EXPECT_EQ(got.width, want.width) << "page " << page;
}

} // namespace

TEST(PrintPageLayout, PagesAcrossAndDown)
{
    const struct {
        const char* name;
        int rows, width;
        int pages, across, bands, pageWidth;
    } cases[] = {
        {"narrower than a page, one band", 30, 500, 1, 1, 1, 500},
        {"narrower than a page: (N - 1) / rows per page + 1", 101, 500, 3, 1, 3, 500},
        {"exactly one band of rows", 44, 500, 1, 1, 1, 500},
        {"one row more than a band", 45, 500, 2, 1, 2, 500},
        {"wider than a page: two across", 44, 1000, 2, 2, 1, 736},
        {"exactly two pages wide: no third, blank column of pages", 44, 1472, 2, 2, 1, 736},
        {"three across and five down", 4 * 44 + 10, 2 * 736 + 100, 15, 3, 5, 736},
        {"no rows at all still makes a page", 0, 100, 1, 1, 1, 100},
    };
    for (const auto& c : cases) {
        const CPrintPageLayout layout = Layout(c.rows, c.width);
        EXPECT_EQ(layout.GetRowsPerPage(), 44) << c.name;
        EXPECT_EQ(layout.GetPageCount(), c.pages) << c.name;
        EXPECT_EQ(layout.GetPagesAcross(), c.across) << c.name;
        EXPECT_EQ(layout.GetBands(), c.bands) << c.name;
        EXPECT_EQ(layout.GetPageWidth(), c.pageWidth) << c.name;
    }
}

TEST(PrintPageLayout, StripesRunLeftToRightThroughABandThenDown)
{
    // Two pages across: pages 1 and 2 hold the left and right parts of the first band, 3 and 4
    // those of the next; the right-hand stripe is only as wide as what remains; the last band
    // holds only the remaining rows.
    const CPrintPageLayout layout = Layout(60, 1000);
    ASSERT_EQ(layout.GetPageCount(), 4);
    ExpectStripe(layout, 1, {0, 44, 0, 736});
    ExpectStripe(layout, 2, {0, 44, 736, 264});
    ExpectStripe(layout, 3, {44, 16, 0, 736});
    ExpectStripe(layout, 4, {44, 16, 736, 264});
    // No page 0 nor one past the last.
    ExpectStripe(layout, 0, {0, 0, 0, 0});
    ExpectStripe(layout, 5, {0, 0, 0, 0});
}

TEST(PrintPageLayout, EveryRowPrintsOnceAndAboveTheFooter)
{
    // Whatever the page and row sizes, the pages together hold every row of every column once,
    // and a stripe ends before the footer's band begins.
    for (const wxSize page : {wxSize(794, 1123), wxSize(1123, 794), wxSize(612, 792), wxSize(300, 200)}) {
        for (const int rowHeight : {13, 19, 20, 27}) {
            const int rows = 173;
            const int width = 1900;
            const CPrintPageLayout layout(rows, rowHeight, width, page, 7);
            std::vector<int> covered(static_cast<size_t>(rows), 0);
            int area = 0;
            for (int p = 1; p <= layout.GetPageCount(); ++p) {
                const Stripe stripe = layout.GetStripe(p);
                ASSERT_GT(stripe.rowCount, 0);
                ASSERT_GT(stripe.width, 0);
                if (stripe.x == 0)
                    for (int r = stripe.firstRow; r < stripe.firstRow + stripe.rowCount; ++r)
                        ++covered[static_cast<size_t>(r)];
                area += stripe.width * stripe.rowCount;
                if (page.y / rowHeight > 6) {
                    EXPECT_LE(layout.GetPictureOrigin().y + stripe.rowCount * rowHeight, layout.GetFooterRect().y)
                        << page.x << "x" << page.y << " rows of " << rowHeight;
                }
            }
            EXPECT_EQ(area, rows * width);
            for (int r = 0; r < rows; ++r)
                EXPECT_EQ(covered[static_cast<size_t>(r)], 1) << "row " << r;
        }
    }
}

TEST(PrintPageLayout, HeaderAndFooterBands)
{
    const CPrintPageLayout layout = Layout(10, 100);
    // A blank row, the header, a blank row, then the picture, four characters from the left.
    EXPECT_EQ(layout.GetHeaderRect(), wxRect(32, 20, 736, 20));
    EXPECT_EQ(layout.GetPictureOrigin(), wxPoint(32, 60));
    // The footer takes the second-last row of the page.
    EXPECT_EQ(layout.GetFooterRect(), wxRect(32, 960, 736, 20));
}
