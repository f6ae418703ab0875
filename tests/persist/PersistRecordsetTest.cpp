// Recordset.Save's contract over the layer's in-memory recordset: which rows are written,
// where the recordset ends up, and that every refusal is an error that leaves no file.
#include "AdtgReader.h"
#include "RowsetXmlReader.h"

#include "ado/MemoryRecordset.h"
#include "ado/RecordsetPersistence.h"
#include "tests/support/TestDatabases.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <fmt/format.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include <csignal>
#include <sys/resource.h>

using namespace ado;
using namespace torvane::test;
namespace fs = std::filesystem;

namespace {

std::shared_ptr<MemoryRecordset> Numbers(int rows)
{
    auto rs = MemoryRecordset::Create({MemoryColumn::Of("n", adInteger, 0, false), MemoryColumn::Of("label", adVarWChar, 20)});
    for (int i = 1; i <= rows; ++i)
        rs->AddRow({_variant_t(int32_t{i}), i % 2 ? _variant_t(fmt::format("row {}", i)) : _variant_t::Null()});
    return rs;
}

void ExpectError(const std::function<void()>& body, long number, const std::string& fragment)
{
    try {
        body();
        ADD_FAILURE() << "no error";
    } catch (const _com_error& e) {
        EXPECT_EQ(e.Error(), MakeControlHResult(number)) << e.Description();
        EXPECT_NE(e.Description().find(fragment), std::string::npos) << e.Description();
    }
}

} // namespace

// Save writes the rows from the current one to EOF and leaves the recordset at EOF.
TEST(PersistRecordsetTest, WritesFromTheCurrentRowToEof)
{
    for (PersistFormatEnum format : {adPersistADTG, adPersistXML}) {
        SCOPED_TRACE(format == adPersistXML ? "XML" : "ADTG");
        auto rs = Numbers(5);
        rs->MoveNext();
        std::string path = NewTempPath(format == adPersistXML ? ".xml" : ".adtg");
        PersistRecordset(*rs, path, format);
        EXPECT_TRUE(rs->IsEOF());

        std::vector<std::string> got;
        if (format == adPersistXML) {
            for (const auto& row : ReadRowsetXml(FileBytes(path)).rows)
                got.push_back(*row[0] + "/" + row[1].value_or("NULL"));
        } else {
            AdtgDocument doc = ReadAdtg(FileBytes(path));
            EXPECT_EQ(doc.rowCount, 4u);
            for (const auto& row : doc.rows)
                got.push_back(row[0].ToString() + "/" + (row[1].IsNull() ? "NULL" : row[1].ToString()));
        }
        EXPECT_EQ(got, (std::vector<std::string>{"2/NULL", "3/row 3", "4/NULL", "5/row 5"}));
    }
}

TEST(PersistRecordsetTest, AnEmptyRecordsetGivesSchemaAndNoRows)
{
    for (PersistFormatEnum format : {adPersistADTG, adPersistXML}) {
        auto rs = Numbers(0);
        std::string path = NewTempPath(".out");
        PersistRecordset(*rs, path, format);
        if (format == adPersistXML) {
            XmlRowset doc = ReadRowsetXml(FileBytes(path));
            EXPECT_EQ(doc.columns.size(), 2u);
            EXPECT_TRUE(doc.rows.empty());
        } else {
            AdtgDocument doc = ReadAdtg(FileBytes(path));
            EXPECT_EQ(doc.columns.size(), 2u);
            EXPECT_TRUE(doc.rows.empty());
            EXPECT_EQ(doc.rowCount, 0u);
        }
    }
}

// A value the format cannot hold stops the save with the row (counted from the first saved
// row) and the column named, and no partial file is left.
TEST(PersistRecordsetTest, ARefusedValueLeavesNoFile)
{
    struct Case {
        PersistFormatEnum format;
        long noteSize;
        _variant_t value;
        const char* fragment;
    };
    const std::vector<Case> cases = {
        {adPersistXML, 100, _variant_t("bell\x07"), "U+0007"},
        // 20 characters take at most 40 bytes, so the column has one-byte lengths.
        {adPersistADTG, 20, _variant_t(std::string(200, 'w')), "longer than the column's defined size"},
    };
    for (const Case& c : cases) {
        auto rs = MemoryRecordset::Create({MemoryColumn::Of("n", adInteger), MemoryColumn::Of("note", adVarWChar, c.noteSize)});
        for (int i = 1; i <= 1000; ++i)
            rs->AddRow({_variant_t(int32_t{i}), _variant_t("fine")});
        rs->AddRow({_variant_t(int32_t{1001}), c.value});
        std::string path = NewTempPath(".out");
        try {
            PersistRecordset(*rs, path, c.format);
            ADD_FAILURE() << "no error";
        } catch (const _com_error& e) {
            EXPECT_EQ(e.Error(), MakeControlHResult(adErrDataConversion));
            EXPECT_NE(e.Description().find("Row 1001, column 'note'"), std::string::npos) << e.Description();
            EXPECT_NE(e.Description().find(c.fragment), std::string::npos) << e.Description();
        }
        EXPECT_FALSE(fs::exists(path));
    }
}

TEST(PersistRecordsetTest, RefusalsBeforeWriting)
{
    std::string existing = NewTempPath(".xml");
    std::ofstream(existing) << "keep me";
    ExpectError([&] { PersistRecordset(*Numbers(2), existing, adPersistXML); }, adErrOpeningFile, "already exists");
    EXPECT_EQ(FileBytes(existing), "keep me");

    ExpectError([&] { PersistRecordset(*Numbers(2), NewTempPath(".x"), static_cast<PersistFormatEnum>(2)); },
                adErrInvalidArgument, "");
    ExpectError([&] { PersistRecordset(*Numbers(2), "", adPersistXML); }, adErrInvalidArgument, "file name");

    auto closed = Numbers(2);
    closed->Close();
    std::string path = NewTempPath(".adtg");
    ExpectError([&] { PersistRecordset(*closed, path, adPersistADTG); }, adErrObjectClosed, "closed");
    EXPECT_FALSE(fs::exists(path));
}

// A full disk in the middle of the rows (the process's file size limit fails writes the way a
// full file system does) is an error of the save, not a truncated file reported as saved.
TEST(PersistRecordsetTest, AWriteErrorDuringTheRowsFailsTheSave)
{
    for (PersistFormatEnum format : {adPersistADTG, adPersistXML}) {
        auto rs = Numbers(20000);
        std::string path = NewTempPath(".out");
        struct rlimit old;
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
        auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = old;
        small.rlim_cur = 64 * 1024;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        ExpectError([&] { PersistRecordset(*rs, path, format); }, adErrWriteFile, "Write to file failed");
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        EXPECT_FALSE(fs::exists(path));
    }
}
