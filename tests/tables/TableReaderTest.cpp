// The table reader's kept table, with a converter that only records which of
// its operations ran. Which fill each layout takes, and what a converter's
// result does, the member tests show at every version.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/AdapterFixture.h"
#include "standins/HostRecordTable.h"
#include "tables/TableReader.h"

namespace {

using standins::HostRecordTable;

class Recorder : public COrlinTableData {
public:
    std::vector<std::string> ran;
    BOOL Fill310(ComPtr<IHostTable> t) override { return Note("Fill310", t); }
    BOOL WriteBackRows310(ComPtr<IHostTable> t) override { return Note("WriteBackRows310", t); }

private:
    BOOL Note(const char* op, const ComPtr<IHostTable>& table) {
        ran.push_back(table ? op : "null");
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

// What the control's members show of the reader (tables that are no host
// table, kept tables, failed reads: the member tests and the fault sweep),
// apart from a table that answers S_OK without an interface and the same
// table kept twice.
TEST_F(TableReaderTest, ASuccessWithoutAnInterfaceIsNoTableAndKeepingTwiceTakesOneReference) {
    auto misbehaving = HostRecordTable::Create();
    misbehaving->SetQueryResult(S_FALSE);
    EXPECT_EQ(reader.Read310(misbehaving.Get(), &converter), CTableReader::kNotFilled);
    EXPECT_TRUE(converter.ran.empty());

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
