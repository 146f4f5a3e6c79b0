// The table reader's paths and its kept table, with a converter that only
// records which of its operations ran.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/AdapterFixture.h"
#include "standins/HostCellTable.h"
#include "standins/HostRecordTable.h"
#include "standins/NoInterfaceObject.h"
#include "tables/TableReader.h"

namespace {

using standins::HostCellTable;
using standins::HostOp;
using standins::HostRecordTable;

class Recorder : public COrlinTableData {
public:
    std::vector<std::string> ran;
    BOOL result = TRUE;
    BOOL Fill310(ComPtr<IHostTable> t) override { return Note("Fill310", t); }
    BOOL WriteBackRows310(ComPtr<IHostTable> t) override { return Note("WriteBackRows310", t); }
    BOOL Fill30(ComPtr<IHostTable> t) override { return Note("Fill30", t); }
    BOOL WriteBackRows30(ComPtr<IHostTable> t) override { return Note("WriteBackRows30", t); }

private:
    BOOL Note(const char* op, const ComPtr<IHostTable>& table) {
        ran.push_back(table ? op : "null");
        return result;
    }
};

class CellRecorder : public CTableOCXData {
public:
    std::vector<std::string> ran;
    BOOL Fill310(ComPtr<IHostCellTable>) override { return ran.push_back("Fill310"), TRUE; }
    BOOL Fill30(ComPtr<IHostCellTable>) override { return ran.push_back("Fill30"), TRUE; }
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

TEST_F(TableReaderTest, TablesThatCannotBeReadAreSilentlyNotFilled) {
    auto plain = standins::NoInterfaceObject::Create();
    auto misbehaving = HostRecordTable::Create();
    misbehaving->SetQueryResult(S_FALSE);  // success without an interface
    EXPECT_EQ(reader.Read310(nullptr, &converter), CTableReader::kNotFilled);
    EXPECT_EQ(reader.Read310(plain.Get(), &converter), CTableReader::kNotFilled);
    EXPECT_EQ(reader.Read310(misbehaving.Get(), &converter), CTableReader::kNotFilled);
    EXPECT_EQ(reader.Read310(misbehaving.Get(), nullptr), CTableReader::kNotFilled);
    EXPECT_TRUE(converter.ran.empty());

    auto refusing = HostRecordTable::Create();
    refusing->SetQueryResult(E_ACCESSDENIED);  // any other failure is an error
    try {
        reader.Read310(refusing.Get(), &converter);
        ADD_FAILURE();
    } catch (const ComponentError& error) {
        EXPECT_EQ(error.Code(), E_ACCESSDENIED);
        EXPECT_EQ(std::string(error.what()).find(" ["), std::string::npos) << error.what();  // names no interface
    }
}

TEST_F(TableReaderTest, ZeroFlagKeepsTheTableUntilAWriteBackSucceeds) {
    auto first = HostRecordTable::Create();
    auto second = HostRecordTable::Create();
    first->SetDataFlag(0);
    second->SetDataFlag(0);
    EXPECT_EQ(reader.WriteBack310(&converter), nullptr) << "nothing kept yet";

    EXPECT_EQ(reader.Read310(first.Get(), &converter), CTableReader::kKept);
    EXPECT_EQ(first->RefCount(), 2u);
    EXPECT_EQ(reader.Read30(first.Get(), &converter), CTableReader::kKept);
    EXPECT_EQ(first->RefCount(), 2u) << "keeping the same table again takes no second reference";
    EXPECT_EQ(reader.Read20(second.Get(), &converter), CTableReader::kKept);
    EXPECT_EQ(first->RefCount(), 1u) << "the replaced table is released";
    EXPECT_TRUE(converter.ran.empty());

    converter.result = FALSE;
    EXPECT_EQ(reader.WriteBack30(&converter), nullptr);
    EXPECT_TRUE(reader.HasKeptTable()) << "a failed write-back keeps the table";
    converter.result = TRUE;
    ComPtr<IDispatch> back;
    back.Attach(reader.WriteBack310(&converter));
    EXPECT_EQ(back.Get(), static_cast<IDispatch*>(second.Get()));
    EXPECT_EQ(reader.WriteBack310(&converter), nullptr) << "a table is handed back once";
    EXPECT_EQ(converter.ran, (std::vector<std::string>{"WriteBackRows30", "WriteBackRows310"}));
    back.Reset();
    EXPECT_EQ(second->RefCount(), 1u);
}

TEST_F(TableReaderTest, CellPathsNeverKeep) {
    CellRecorder cells;
    auto table = HostCellTable::Create();
    auto records = HostRecordTable::Create();
    EXPECT_EQ(reader.ReadCells310(table.Get(), &cells), CTableReader::kFilled);
    EXPECT_EQ(reader.ReadCells30(table.Get(), &cells), CTableReader::kFilled);
    EXPECT_EQ(reader.ReadCells20(table.Get(), &cells), CTableReader::kNotFilled);
    EXPECT_EQ(reader.ReadCells310(records.Get(), &cells), CTableReader::kNotFilled) << "no cell interface";
    EXPECT_EQ(cells.ran, (std::vector<std::string>{"Fill310", "Fill30"}));
    EXPECT_FALSE(reader.HasKeptTable());
}

}  // namespace
