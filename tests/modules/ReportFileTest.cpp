// Saving the plugins' text reports over an earlier report: a save that fails part way (the file
// size limit reached, as on a full disk) or cannot start keeps the earlier report whole and
// leaves nothing beside it; a save that succeeds replaces it.
#include "modules/driverinfo/DriverInfoReport.h"
#include "modules/providertypes/ProviderTypesReport.h"

#include "common/FileException.h"
#include "tests/common/WxStringPrinter.h"
#include "tests/querylogic/FileSizeLimit.h"
#include "tests/support/TestDatabases.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

using namespace torvane::test;

namespace {

struct Writer {
    const char* name;
    std::function<void(const wxString&)> write;
};

std::vector<Writer> Writers()
{
    ProviderTypeMap types;
    for (const char* name : {"integer", "text", "varchar"})
        types.emplace(name, ProviderTypeInfo{});
    return {
        {"driver information", [](const wxString& path) {
             ferrow::WriteDriverInfoReport(path, "Cursor Library is Not Loaded\n\n" + std::string(4000, 'x') + "\n");
         }},
        {"provider types", [types](const wxString& path) { WriteProviderTypesReport(path, {}, types); }},
    };
}

TEST(ReportFileTest, AFailedSaveKeepsTheEarlierReportWhole)
{
    const std::string earlier = "the earlier report\r\n";
    for (const Writer& writer : Writers()) {
        const std::filesystem::path folder = NewTempPath("-reports");
        std::filesystem::create_directories(folder);
        const std::filesystem::path report = folder / "report.txt";
        WriteFile(report, earlier);
        try {
            FileSizeLimit limit(100);
            writer.write(wxString::FromUTF8(report.string()));
            ADD_FAILURE() << writer.name << ": a save past the size limit passed as saved";
        } catch (const CFileException& e) {
            EXPECT_EQ(e.m_cause, CFileException::diskFull) << writer.name;
            EXPECT_EQ(e.m_strFileName, wxString::FromUTF8(report.string())) << writer.name;
        }
        EXPECT_EQ(FileBytes(report), earlier) << writer.name;
        EXPECT_EQ(Names(folder), std::vector<std::string>{"report.txt"}) << writer.name;

        // Without the limit the same save replaces the report whole.
        writer.write(wxString::FromUTF8(report.string()));
        const std::string saved = FileBytes(report);
        EXPECT_GT(saved.size(), 100u) << writer.name;
        EXPECT_EQ(saved.find(earlier), std::string::npos) << writer.name;
        EXPECT_EQ(saved.find('\n'), saved.find("\r\n") + 1) << writer.name;
        EXPECT_EQ(Names(folder), std::vector<std::string>{"report.txt"}) << writer.name;
    }
}

TEST(ReportFileTest, ASaveThatCannotStartNamesTheFileAndCause)
{
    for (const Writer& writer : Writers()) {
        const std::string path = NewTempPath("-missing") + "/report.txt";
        try {
            writer.write(wxString::FromUTF8(path));
            ADD_FAILURE() << writer.name << ": a missing folder passed as saved";
        } catch (const CFileException& e) {
            EXPECT_EQ(e.m_cause, CFileException::fileNotFound) << writer.name;
            EXPECT_EQ(e.m_strFileName, wxString::FromUTF8(path)) << writer.name;
        }
    }
}

} // namespace
