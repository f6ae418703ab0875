#include "tests/support/TestDatabases.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace {

struct Outcome {
    int status;
    std::string out;
};

std::string Quote(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Runs torvane-dbcheck through the shell; standard error is dropped.
Outcome DbCheck(const std::string& arguments)
{
    std::string command = std::string(TORVANE_DBCHECK) + " " + arguments + " 2>/dev/null";
    std::FILE* p = popen(command.c_str(), "r");
    std::string out;
    std::array<char, 4096> buf;
    for (size_t n; (n = std::fread(buf.data(), 1, buf.size(), p)) > 0;)
        out.append(buf.data(), n);
    int status = pclose(p);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

} // namespace

TEST(DbCheck, PrintsEveryResultSetAsCsv)
{
    std::string cs = torvane::test::NewSqliteConnectionString();
    auto r = DbCheck(Quote(cs) + " " + Quote("create table t (id integer, note text, data blob)") + " " +
                     Quote("insert into t values (1, 'a, \"b\"', x'0aff'), (2, NULL, NULL);"
                           "select id, note, data from t order by id; select count(*) as n from t"));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "id,note,data\n1,\"a, \"\"b\"\"\",0x0aff\n2,,\n\nn\n2\n");
}

TEST(DbCheck, FailsWithStatusOneAndUsageWithTwo)
{
    std::string cs = torvane::test::NewSqliteConnectionString();
    EXPECT_EQ(DbCheck(Quote(cs) + " " + Quote("select * from missing")).status, 1);
    EXPECT_EQ(DbCheck(Quote("Provider=Nope;Data Source=x")).status, 1);
    EXPECT_EQ(DbCheck("").status, 2);
}
