// The Save As filters as the desktop's file chooser takes them: the all-files pattern matches
// every name, names without a dot too; the descriptions a person reads stay as written.
#include "common/ReportPathDialog.h"

#include "WxStringPrinter.h"

#include <gtest/gtest.h>

namespace {

TEST(DesktopFileFilterTest, AllFilesPatternMatchesEveryName)
{
    const struct {
        const char* filter;
        const char* want;
    } cases[] = {
        {"Provider Types Info Files (*.txt)|*.txt|All Files (*.*)|*.*",
         "Provider Types Info Files (*.txt)|*.txt|All Files (*.*)|*"},
        // The trailing separator of a list terminator is dropped.
        {"Export Files (*.csv)|*.csv|All Files (*.*)|*.*|", "Export Files (*.csv)|*.csv|All Files (*.*)|*"},
        {"Query Files (*.sql)|*.sql|All Files (*.*)|*", "Query Files (*.sql)|*.sql|All Files (*.*)|*"},
        // Only a pattern changes, never a description, and only the whole pattern "*.*".
        {"*.*|*.txt;*.*", "*.*|*.txt;*.*"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DesktopFileFilter(c.filter), c.want) << c.filter;
}

} // namespace
