// The table reader's paths and its kept table, with a converter that only
// records which of its operations ran.
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
    BOOL result = TRUE;
    BOOL Fill310(ComPtr<IHostTable> t) override { return Note("Fill310", t); }
    BOOL WriteBackRows310(ComPtr<IHostTable> t) override { return Note("WriteBackRows310", t); }
    BOOL Fill30(ComPtr<IHostTable> t) override { return Note("Fill30", t); }

private:
    BOOL Note(const char* op, const ComPtr<IHostTable>& table) {
        ran.push_back(table ? op : "null");
        return result;
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

TEST_F(TableReaderTest, EachPathCallsItsOwnOperation) {
    auto table = HostRecordTable::Create();
    EXPECT_EQ(reader.Read310(table.Get(), &converter), CTableReader::kFilled);
    EXPECT_EQ(reader.Read30(table.Get(), &converter), CTableReader::kFilled);
    EXPECT_EQ(reader.Read20(table.Get(), &converter), CTableReader::kNotFilled);  // the converter has no layout 20
    converter.result = FALSE;
    EXPECT_EQ(reader.Read310(table.Get(), &converter), CTableReader::kNotFilled);
    EXPECT_EQ(converter.ran, (std::vector<std::string>{"Fill310", "Fill30", "Fill310"}));
    EXPECT_EQ(table->RefCount(), 1u);
}

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
