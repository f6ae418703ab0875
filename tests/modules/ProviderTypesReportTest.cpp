// The provider types report: its default file name and its exact text.
#include "modules/providertypes/ProviderTypesReport.h"

#include "tests/common/WxStringPrinter.h"
#include "tests/support/TestDatabases.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>

namespace {

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(ProviderTypesReport, DefaultFileNameFromProviderAndDbms)
{
    const struct {
        const char* provider;
        const char* dbms;
        const char* identifier;
        const char* fileName;
    } cases[] = {
        {"SQLOLEDB.DLL", "MICROSOFT SQL SERVER", "SQLOLEDB_MICROSOFT SQL SERVER", "[SQLOLEDB_MICROSOFT_SQL_SERVER_Types]"},
        {"MSDASQL.DLL", "SQLITE", "MSDASQL_SQLITE", "[MSDASQL_SQLITE_Types]"},
        {"NODOT", "POSTGRESQL", "_POSTGRESQL", "[_POSTGRESQL_Types]"},
        {"", "", "_", "[__Types]"},
        {"  MSDASQL.DLL ", " POSTGRESQL  ", "MSDASQL_POSTGRESQL", "[MSDASQL_POSTGRESQL_Types]"},
        // Characters other than ASCII letters and digits, one "_" each.
        {"A.B", "DB/2 \xC3\x84", "A_DB/2 \xC3\x84", "[A_DB_2___Types]"},
    };
    for (const auto& c : cases) {
        ProviderTypesHeader h;
        h.providerName = wxString::FromUTF8(c.provider);
        h.dbmsName = wxString::FromUTF8(c.dbms);
        const wxString identifier = MakeReportIdentifier(h);
        EXPECT_EQ(identifier, wxString::FromUTF8(c.identifier)) << c.provider;
        EXPECT_EQ(GetDefaultFileName(identifier), wxString::FromUTF8(c.fileName)) << c.provider;
    }
}

TEST(ProviderTypesReport, OverlongNameFallsBackToGuidName)
{
    const wxString name = GetDefaultFileName(wxString('X', 300));
    EXPECT_TRUE(std::regex_match(name.ToStdString(), std::regex(R"(\[[0-9A-F]{8}_[0-9A-F]{4}_[0-9A-F]{4}_[0-9A-F]{4}_[0-9A-F]{12}_Types\])")))
        << name;
}

ProviderTypesHeader SampleHeader()
{
    ProviderTypesHeader h;
    h.providerName = "MSDASQL.DLL";
    h.providerVersion = "02.80";
    h.driverName = "sqlite3odbc.so";
    h.driverVersion = "0.9998";
    h.dbmsName = "SQLITE";
    h.dbmsVersion = "3.40.1";
    h.adoVersion = "2.8";
    return h;
}

const char* const kHeaderText = "Provider Types\n"
                                "--------------\n"
                                " Provider Name: MSDASQL.DLL 02.80\n"
                                "   Driver Name: sqlite3odbc.so 0.9998\n"
                                "     DBMS Name: SQLITE 3.40.1\n"
                                "   ADO Version: 2.8\n"
                                "\n";

TEST(ProviderTypesReport, EmptyMapWritesTheHeaderOnly)
{
    EXPECT_EQ(FormatProviderTypesReport(SampleHeader(), {}), kHeaderText);
}

TEST(ProviderTypesReport, TypesInByteOrderWithTheirDetails)
{
    ProviderTypeMap map;
    ProviderTypeInfo integer;
    integer[TypeDetail::LocalTypeName] = "int";
    integer[TypeDetail::AdoType] = "(adInteger) A 4-byte signed integer";
    integer[TypeDetail::ColumnSize] = "10";
    integer[TypeDetail::IsNullable] = "Yes";
    integer[TypeDetail::Searchable] = "All except LIKE";
    integer[TypeDetail::UnsignedAttribute] = "Signed";
    integer[TypeDetail::IsFixedLength] = "Yes";
    map.emplace("int", ProviderTypeInfo{});
    map.emplace("INT", integer);
    const std::string expected = std::string(kHeaderText) +
                                 "INT\n"
                                 "---\n"
                                 "       Local type name: int\n"
                                 "              ADO type: (adInteger) A 4-byte signed integer\n"
                                 "           Column size: 10\n"
                                 "Literal prefix, suffix: \n"
                                 "     Create parameters: \n"
                                 "           Is nullable: Yes\n"
                                 "        Case sensitive: \n"
                                 "            Searchable: All except LIKE\n"
                                 "    Unsigned attribute: Signed\n"
                                 "     Fixed prec, scale: \n"
                                 "     Auto unique value: \n"
                                 "         Minimum scale: \n"
                                 "         Maximum scale: \n"
                                 "                  GUID: \n"
                                 "          Type library: \n"
                                 "               Version: \n"
                                 "               Is long: \n"
                                 "            Best match: \n"
                                 "       Is fixed length: Yes\n"
                                 "\n"
                                 "int\n"
                                 "---\n";
    const std::string text = FormatProviderTypesReport(SampleHeader(), map);
    ASSERT_GT(text.size(), expected.size());
    EXPECT_EQ(text.substr(0, expected.size()), expected);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 7 + 2 * 22);
}

TEST(ProviderTypesReport, FileHasCrLfLineEnds)
{
    const std::string path = torvane::test::NewTempPath(".txt");
    ProviderTypeMap map;
    map.emplace("text", ProviderTypeInfo{});
    WriteProviderTypesReport(wxString::FromUTF8(path), SampleHeader(), map);
    const std::string bytes = ReadBytes(path);
    std::string lf = FormatProviderTypesReport(SampleHeader(), map);
    std::string crlf;
    for (char c : lf)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(bytes, crlf);
}

} // namespace
