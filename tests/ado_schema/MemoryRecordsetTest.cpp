#include "ado/MemoryRecordset.h"

#include <gtest/gtest.h>

#include <functional>

using namespace ado;

namespace {

std::shared_ptr<MemoryRecordset> TwoRows()
{
    auto rs = MemoryRecordset::Create({MemoryColumn::Of("TABLE_NAME", adVarWChar, 128),
                                       MemoryColumn::Of("ORDINAL", adUnsignedInt, 0, false),
                                       MemoryColumn::Of("DATA", adLongVarBinary, 1000)});
    rs->AddRow({_variant_t("orders"), _variant_t(1L), _variant_t::Bytes({1, 2, 3})});
    rs->AddRow({_variant_t("Łódź"), _variant_t::Null(), _variant_t::Null()});
    return rs;
}

long ErrorNumber(const std::function<void()>& f)
{
    try {
        f();
    } catch (const _com_error& e) {
        return e.Error();
    }
    return 0;
}

} // namespace

TEST(MemoryRecordsetTest, WalksRowsForwardToEOF)
{
    auto rs = TwoRows();
    EXPECT_EQ(rs->GetState(), adStateOpen);
    EXPECT_FALSE(rs->IsBOF());
    auto name = rs->GetFields()->GetItem("table_name");
    EXPECT_EQ(name->GetValue().ToString(), "orders");
    EXPECT_EQ(rs->GetCollect(1).ToLong(), 1);
    rs->MoveNext();
    // Fields follow the current row.
    EXPECT_EQ(name->GetValue().ToString(), "Łódź");
    EXPECT_TRUE(rs->GetCollect(1).IsNull());
    rs->MoveNext();
    EXPECT_TRUE(rs->IsEOF());
    EXPECT_FALSE(rs->IsBOF());
    EXPECT_EQ(ErrorNumber([&] { rs->MoveNext(); }), MakeControlHResult(adErrNoCurrentRecord));
    EXPECT_EQ(ErrorNumber([&] { name->GetValue(); }), MakeControlHResult(adErrNoCurrentRecord));
}

TEST(MemoryRecordsetTest, EmptyRecordsetIsAtBOFAndEOF)
{
    auto rs = MemoryRecordset::Create({MemoryColumn::Of("Keyword", adVarWChar, 128)});
    EXPECT_TRUE(rs->IsBOF());
    EXPECT_TRUE(rs->IsEOF());
    EXPECT_EQ(rs->GetFields()->GetCount(), 1);
    EXPECT_EQ(ErrorNumber([&] { rs->GetCollect(0); }), MakeControlHResult(adErrNoCurrentRecord));
}

TEST(MemoryRecordsetTest, FieldsDescribeTheirColumns)
{
    auto rs = TwoRows();
    auto fields = rs->GetFields();
    ASSERT_EQ(fields->GetCount(), 3);

    auto name = fields->GetItem(0L);
    EXPECT_EQ(name->GetName(), "TABLE_NAME");
    EXPECT_EQ(name->GetType(), adVarWChar);
    EXPECT_EQ(name->GetDefinedSize(), 128);
    EXPECT_EQ(name->GetAttributes() & (adFldIsNullable | adFldMayBeNull), adFldIsNullable | adFldMayBeNull);
    EXPECT_EQ(name->GetAttributes() & adFldFixed, 0);

    auto ordinal = fields->GetItem(1L);
    EXPECT_EQ(ordinal->GetType(), adUnsignedInt);
    EXPECT_EQ(ordinal->GetDefinedSize(), 4);
    EXPECT_EQ(ordinal->GetPrecision(), 10);
    EXPECT_EQ(ordinal->GetNumericScale(), 0);
    EXPECT_EQ(ordinal->GetAttributes(), adFldFixed);

    auto data = fields->GetItem(2L);
    EXPECT_EQ(data->GetAttributes() & adFldLong, adFldLong);
    EXPECT_EQ(data->GetPrecision(), 255);

    // Text counts characters, binary bytes, NULL gives -1.
    EXPECT_EQ(name->GetActualSize(), 6);
    EXPECT_EQ(data->GetActualSize(), 3);
    EXPECT_EQ(ordinal->GetActualSize(), 4);
    rs->MoveNext();
    EXPECT_EQ(name->GetActualSize(), 4);
    EXPECT_EQ(data->GetActualSize(), -1);
}

TEST(MemoryRecordsetTest, MissingFieldsAreNotFound)
{
    auto rs = TwoRows();
    auto fields = rs->GetFields();
    const long notFound = MakeControlHResult(adErrItemNotFound);
    EXPECT_EQ(ErrorNumber([&] { fields->GetItem("COLUMN_NAME"); }), notFound);
    EXPECT_EQ(ErrorNumber([&] { fields->GetItem("TABLE_NAME "); }), notFound);
    EXPECT_EQ(ErrorNumber([&] { fields->GetItem(3L); }), notFound);
    EXPECT_EQ(ErrorNumber([&] { fields->GetItem(-1L); }), notFound);
    EXPECT_EQ(ErrorNumber([&] { rs->GetCollect(7); }), notFound);
}

TEST(MemoryRecordsetTest, ClosedRecordsetRefusesAccess)
{
    auto rs = TwoRows();
    auto fields = rs->GetFields();
    auto name = fields->GetItem(0L);
    rs->Close();
    EXPECT_EQ(rs->GetState(), adStateClosed);
    const long closed = MakeControlHResult(adErrObjectClosed);
    EXPECT_EQ(ErrorNumber([&] { rs->IsEOF(); }), closed);
    EXPECT_EQ(ErrorNumber([&] { rs->MoveNext(); }), closed);
    EXPECT_EQ(ErrorNumber([&] { rs->GetFields(); }), closed);
    EXPECT_EQ(ErrorNumber([&] { fields->GetCount(); }), closed);
    EXPECT_EQ(ErrorNumber([&] { name->GetValue(); }), closed);
    EXPECT_EQ(ErrorNumber([&] { rs->Close(); }), closed);
}

TEST(MemoryRecordsetTest, HasNoFurtherResults)
{
    auto rs = TwoRows();
    _variant_t affected;
    EXPECT_EQ(rs->NextRecordset(&affected), nullptr);
    EXPECT_EQ(affected.vt, VT_I4);
    EXPECT_EQ(rs->GetState(), adStateClosed);
}

TEST(MemoryRecordsetTest, MaxRecordsLimitsTheRows)
{
    auto rs = TwoRows();
    rs->PutMaxRecords(1);
    EXPECT_EQ(rs->GetRecordCount(), 1);
    rs->MoveNext();
    EXPECT_TRUE(rs->IsEOF());
    EXPECT_EQ(ErrorNumber([&] { rs->PutMaxRecords(-1); }), MakeControlHResult(adErrInvalidArgument));
    EXPECT_EQ(ErrorNumber([&] { rs->PutCacheSize(0); }), MakeControlHResult(adErrInvalidArgument));
}

TEST(MemoryRecordsetTest, RejectsWhatItCannotDo)
{
    auto rs = TwoRows();
    EXPECT_EQ(ErrorNumber([&] { rs->AddRow({_variant_t("too few")}); }), MakeControlHResult(adErrInvalidArgument));
    EXPECT_EQ(ErrorNumber([&] { rs->Save("/tmp/x.xml", adPersistXML); }),
              MakeControlHResult(adErrFeatureNotAvailable));
    EXPECT_EQ(ErrorNumber([&] { rs->Open(_variant_t("SELECT 1"), nullptr); }), MakeControlHResult(adErrObjectOpen));
    rs->Cancel();
    EXPECT_EQ(rs->GetState(), adStateOpen);
}
