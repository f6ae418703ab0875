#include "querycore/ExportOptions.h"

#include <gtest/gtest.h>

namespace {

using namespace export_options;

TEST(ExportOptions, DelimiterChecks)
{
    struct Case {
        const char* delimiter;
        const char* message; // nullptr: accepted
    } cases[] = {
        {"", nullptr},
        {"|", nullptr},
        {";;", nullptr},
        {"\t\t\t", nullptr},
        {"§§", nullptr},
        {";,", "<Delimiter> field cannot contain mixed characters."},
        {"§;", "<Delimiter> field cannot contain mixed characters."},
        {"/", "<Delimiter> field cannot contain any of the following characters:\n\n<>/"},
        {"<<", "<Delimiter> field cannot contain any of the following characters:\n\n<>/"},
        {">", "<Delimiter> field cannot contain any of the following characters:\n\n<>/"},
    };
    for (const Case& c : cases) {
        auto message = CheckDelimiter(c.delimiter);
        if (c.message)
            EXPECT_EQ(message.value_or("<accepted>"), c.message) << c.delimiter;
        else
            EXPECT_FALSE(message.has_value()) << c.delimiter << ": " << *message;
    }
    EXPECT_EQ(StoredFormat(""), "<None>");
    EXPECT_EQ(StoredFormat(";;"), ";;");
}

TEST(ExportOptions, ExtensionsAndQuestions)
{
    EXPECT_EQ(PathWithExtension("/tmp/r", ADTG), "/tmp/r.adtg");
    EXPECT_EQ(PathWithExtension("/tmp/r", Delimited), "/tmp/r.csv");
    EXPECT_EQ(PathWithExtension("/tmp/r", XML), "/tmp/r.xml");
    EXPECT_EQ(PathWithExtension("/tmp/r.txt", XML), "/tmp/r.txt");
    EXPECT_EQ(PathWithExtension("/tmp/a.b/r", XML), "/tmp/a.b/r.xml");
    EXPECT_TRUE(HasXmlExtension("/tmp/r.XmL"));
    EXPECT_FALSE(HasXmlExtension("/tmp/r.txt"));
    EXPECT_FALSE(HasXmlExtension("/tmp/xml"));
    EXPECT_EQ(ReplaceQuestion("/tmp/r.csv"), "/tmp/r.csv\nThis file already exists.\nReplace existing file?");
}

TEST(ExportOptions, DelimiterList)
{
    std::vector<std::string> items;
    FillDelimiterList(items, "   ");
    EXPECT_EQ(items, (std::vector<std::string>{"|", ","}));

    items.clear();
    FillDelimiterList(items, "<;/><|/>");
    EXPECT_EQ(items, (std::vector<std::string>{";", "|"}));

    // Items already held (ignoring case) are not added twice; at most 16 are loaded.
    items.clear();
    std::string stored = "<x/><X/>";
    for (int i = 0; i < 20; ++i)
        stored += "<" + std::string(1, static_cast<char>('a' + i)) + "/>";
    FillDelimiterList(items, stored);
    ASSERT_EQ(items.size(), 16u);
    EXPECT_EQ(items.front(), "x");
    EXPECT_EQ(items.back(), "o");

    items = {"|", ","};
    EXPECT_EQ(StoreDelimiterList(items, ";;"), "<;;/><|/><,/>");
    EXPECT_EQ(StoreDelimiterList(items, ","), "<;;/><|/><,/>");
    EXPECT_EQ(StoreDelimiterList(items, ""), "<;;/><|/><,/>");
    std::vector<std::string> reloaded;
    FillDelimiterList(reloaded, StoreDelimiterList(items, "\t"));
    EXPECT_EQ(reloaded, (std::vector<std::string>{"\t", ";;", "|", ","}));
}

TEST(ExportOptions, SaveTargetPaths)
{
    EXPECT_EQ(SaveTargetPath("/tmp/out/r.csv", 0, "ABC"), "/tmp/out/r.csv");
    EXPECT_EQ(SaveTargetPath("/tmp/out/r.csv", 1, "0A1B_2C3D"), "/tmp/out/r_0A1B_2C3D.csv");
    EXPECT_EQ(SaveTargetPath("/tmp/out/r.v2.xml", 5, "G"), "/tmp/out/r.v2_G.xml");
    EXPECT_EQ(SaveTargetPath("r.adtg", 2, "G"), "r_G.adtg");
}

} // namespace
