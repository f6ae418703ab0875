#include "ado/StatementSplitter.h"

#include <gtest/gtest.h>

using ado::detail::MaskSemicolons;
using ado::detail::SplitStatements;

namespace {

std::string Join(const std::vector<std::string>& parts)
{
    std::string out;
    for (const auto& p : parts)
        out += "<" + p + ">";
    return out;
}

} // namespace

TEST(StatementSplitter, CutsAtSemicolonsOutsideQuotesAndComments)
{
    struct Case {
        const char* batch;
        const char* statements;
    } cases[] = {
        {"select 1", "<select 1>"},
        {"select 1; select 2;", "<select 1><select 2>"},
        {"  select 1 ;\n\n select 2  ", "<select 1><select 2>"},
        {";;select 1;;", "<select 1>"},
        {"select 'a;b'; select 2", "<select 'a;b'><select 2>"},
        {"select 'it''s;'; select 2", "<select 'it''s;'><select 2>"},
        {"select \"odd;name\" from t; select 2", "<select \"odd;name\" from t><select 2>"},
        {"select [a;b], `c;d` from t; select 2", "<select [a;b], `c;d` from t><select 2>"},
        {"select 1 -- not; here\n; select 2", "<select 1 -- not; here><select 2>"},
        {"select /* ; */ 1; select 2", "<select /* ; */ 1><select 2>"},
        {"select 1; -- trailing comment", "<select 1>"},
        {"-- only a comment", ""},
        {"/* unterminated ; comment", ""},
        {"select 'unterminated; text", "<select 'unterminated; text>"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Join(SplitStatements(c.batch)), c.statements) << c.batch;
}

TEST(StatementSplitter, KeepsTriggerBodiesWhole)
{
    const char* batch =
        "create table t(a);\n"
        "CREATE TEMP TRIGGER IF NOT EXISTS tr AFTER INSERT ON t BEGIN\n"
        "  update t set a = case when new.a > 0 then 1 else 0 end;\n"
        "  insert into log values ('end;');\n"
        "END;\n"
        "insert into t values (1)";
    auto parts = SplitStatements(batch);
    ASSERT_EQ(parts.size(), 3u) << Join(parts);
    EXPECT_EQ(parts[1].substr(0, 19), "CREATE TEMP TRIGGER");
    EXPECT_EQ(parts[1].substr(parts[1].size() - 3), "END");
    EXPECT_EQ(parts[2], "insert into t values (1)");

    EXPECT_EQ(SplitStatements("explain query plan create trigger x after delete on t begin select 1; end; select 2").size(), 2u);
    EXPECT_EQ(Join(SplitStatements("begin transaction; select 1; end;")), "<begin transaction><select 1><end>")
        << "BEGIN outside a trigger is a statement of its own";
}

TEST(StatementSplitter, MasksSemicolonsOnlyOutsideStringLiterals)
{
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"select 1 -- plain comment", "select 1 -- plain comment"},
        {"select 1 -- a; b\nfrom t", "select 1 \nfrom t"},
        {"select /* x;y */ 1", "select   1"},
        {"select [a;b], [plain] from t", "select \"a;b\", [plain] from t"},
        {"select `a;b``c` from t", "select \"a;b`c\" from t"},
        {"select [say \"x;\"]", "select \"say \"\"x;\"\"\""},
        {"select 'a;b', \"c;d\"", "select 'a;b', \"c;d\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MaskSemicolons(c.in), c.out) << c.in;
}
