// The table reader's own cases; layouts, kept tables and failed reads the member tests and the sweep show.
#include <gtest/gtest.h>

#include "support/AdapterFixture.h"
#include "standins/HostRecordTable.h"
#include "tables/TableReader.h"

namespace {

using standins::HostRecordTable;

struct Recorder : COrlinTableData {
    int ran = 0;
    BOOL Fill310(ComPtr<IHostTable>) override { return Ran(); }
    BOOL WriteBackRows310(ComPtr<IHostTable>) override { return Ran(); }
    BOOL Ran() {
        ++ran;
        return TRUE;
    }
};

class TableReaderTest : public testing_support::LeakCheckedTest {
protected:
    void TearDown() override {
        reader.ReleaseKeptTable();
        LeakCheckedTest::TearDown();
    }
    CTableReader reader;
    Recorder converter;
};

TEST_F(TableReaderTest, ASuccessWithoutAnInterfaceIsNoTableAndKeepingTwiceTakesOneReference) {
    auto misbehaving = HostRecordTable::Create();
    misbehaving->SetQueryResult(S_FALSE);
    EXPECT_EQ(reader.Read310(misbehaving.Get(), &converter), CTableReader::kNotFilled);
    EXPECT_EQ(converter.ran, 0);

    auto kept = HostRecordTable::Create();
    kept->SetDataFlag(0);
    EXPECT_EQ(reader.Read310(kept.Get(), &converter), CTableReader::kKept);
    EXPECT_EQ(reader.Read30(kept.Get(), &converter), CTableReader::kKept);
    EXPECT_EQ(kept->RefCount(), 2u);
    ComPtr<IDispatch> back;
    back.Attach(reader.WriteBack310(&converter));
    EXPECT_EQ(back.Get(), static_cast<IDispatch*>(kept.Get()));
    back.Reset();
    EXPECT_EQ(kept->RefCount(), 1u);
}

}  // namespace
