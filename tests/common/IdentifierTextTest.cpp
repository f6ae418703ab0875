#include "common/IdentifierText.h"

#include <wx/regex.h>

#include "WxStringPrinter.h"

#include <gtest/gtest.h>

namespace {

TEST(IdentifierName, ReplacesEveryOtherCharacterKeepingTheLength)
{
    const struct {
        const char* text;
        const char* name;
    } cases[] = {
        {"Orders_2024", "Orders_2024"},
        {"select * from [t]", "select___from__t_"},
        {"caf\xC3\xA9 1", "caf__1"}, // one underscore per character, not per byte
        {"a-b.c\td\r\n", "a_b_c_d__"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const wxString text = wxString::FromUTF8(c.text);
        EXPECT_EQ(MakeIdentifierName(text), c.name);
        EXPECT_EQ(MakeIdentifierName(text).length(), text.length());
    }
}

TEST(GuidName, FormatsTheFieldsInUpperCase)
{
    const GUID guid{0x0123abcd, 0xabcd, 0xef01, {0x23, 0x45, 0x67, 0x89, 0xab, 0xcd, 0xef, 0x01}};
    EXPECT_EQ(FormatGuidName(guid), "0123ABCD_ABCD_EF01_2345_6789ABCDEF01");
    EXPECT_EQ(FormatGuidName(GUID{}), "");
}

TEST(GuidName, NewNamesAreDistinctFileNameSafeTexts)
{
    const wxRegEx form("^[0-9A-F]{8}_[0-9A-F]{4}_[0-9A-F]{4}_[0-9A-F]{4}_[0-9A-F]{12}$", wxRE_EXTENDED);
    const wxString first = MakeUniqueName();
    wxString second;
    CreateGuidString(second);
    EXPECT_TRUE(form.Matches(first)) << first;
    EXPECT_TRUE(form.Matches(second)) << second;
    EXPECT_NE(first, second);
}

TEST(QuoteIdentifier, QuotesOneNameAndEscapesTheClosingQuote)
{
    const struct {
        const char* name;
        const char* open;
        const char* close;
        const char* quoted;
    } cases[] = {
        {"Orders", "\"", "\"", "\"Orders\""},
        {"a\"b", "\"", "\"", "\"a\"\"b\""},
        // A dot is part of the name: splitting there would name another object.
        {"dbo.Orders", "[", "]", "[dbo.Orders]"},
        {"cat.dbo.Orders", "\"", "\"", "\"cat.dbo.Orders\""},
        {"dbo.Orders", "", "", "dbo.Orders"},
        {"a\"b", "", "", "a\"b"},
        // A closing quote inside the name can no longer end the quoted name early.
        {"x]; DROP TABLE t; --", "[", "]", "[x]]; DROP TABLE t; --]"},
        {"a`b", "`", "`", "`a``b`"},
        {"a]b.c", "[", "]", "[a]]b.c]"},
        {"a`b.c", "`", "`", "`a``b.c`"},
        // A driver that reports a blank quote character does not quote.
        {"Order Details", " ", " ", "Order Details"},
        {"Orders", "", "\"", "Orders"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(QuoteIdentifier(c.name, c.open, c.close), c.quoted);
    }
}

TEST(QuoteQualifiedName, QuotesSchemaAndNameLeavingDots)
{
    const struct {
        const char* schema;
        const char* name;
        const char* open;
        const char* close;
        const char* quoted;
    } cases[] = {
        {"dbo", "Orders", "[", "]", "[dbo].[Orders]"},
        {"", "a.b", "\"", "\"", "\"a.b\""},
        {"my.schema", "t", "\"", "\"", "\"my.schema\".\"t\""},
        {"s", "n", "", "", "s.n"},
        // Both parts escaped, the schema as well as the name.
        {"s\"x", "n\"y", "\"", "\"", "\"s\"\"x\".\"n\"\"y\""},
        {"s]", "n", "[", "]", "[s]]].[n]"},
        {"s`", "n`", "`", "`", "`s```.`n```"},
        {"s", "n", " ", " ", "s.n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(QuoteQualifiedName(c.schema, c.name, c.open, c.close), c.quoted);
    }
}

TEST(TextChecks, WhitespaceAndUniformCharacters)
{
    EXPECT_TRUE(HasNoWhitespace("GO"));
    EXPECT_TRUE(HasNoWhitespace(""));
    EXPECT_FALSE(HasNoWhitespace("G O"));
    EXPECT_FALSE(HasNoWhitespace("GO\t"));
    EXPECT_FALSE(HasNoWhitespace("\rGO"));
    EXPECT_FALSE(HasNoWhitespace("G\nO"));

    EXPECT_TRUE(HasUniformChars(""));
    EXPECT_TRUE(HasUniformChars(","));
    EXPECT_TRUE(HasUniformChars(";;"));
    EXPECT_FALSE(HasUniformChars(";,"));
    EXPECT_FALSE(HasUniformChars(";;,"));
}

TEST(FileNameFromText, CutsReplacesDropsAndSanitises)
{
    const struct {
        const char* text;
        const char* drop1;
        const char* drop2;
        const char* name;
    } cases[] = {
        {"SELECT * FROM Orders WHERE x = 1", "", "", "SELECT___FROM_O"},
        {"SELECT\r\nx", "", "", "SELECT__x"},
        {"[dbo].[Orders]", "[", "]", "dbo_Orders"},
        {"EXEC sp_who", "EXEC ", "", "sp_who"},
        {"", "", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(MakeFileNameFromText(c.text, c.drop1, c.drop2), c.name);
    }
}

TEST(PropertyAttributes, FirstWordThatApplies)
{
    const struct {
        long mask;
        const char* text;
    } cases[] = {
        {0x1 | 0x200 | 0x400, "Required "},
        {0x2 | 0x400, "Optional "},
        {0x200 | 0x400, "Read "},
        {0x400, "Write "},
        {0x800, ""},
        {0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mask);
        EXPECT_EQ(GetPropertyAttributesText(c.mask), c.text);
    }
}

} // namespace
