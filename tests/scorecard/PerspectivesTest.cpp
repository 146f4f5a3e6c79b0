// Perspectives through the control, as the host puts them: every layout's
// grid, rows addressed by the sequence number, the marker-controlled digit,
// and failures that leave the chart untouched.
#include <gtest/gtest.h>

#include "control/ChartMembers.h"
#include "control/TesselAdapterCtrl.h"
#include "support/AdapterFixture.h"

namespace {

using namespace testing_support;
using standins::ChartCall;
using standins::HostOp;
using standins::HostRecordTable;

// P1 sequence, P2 key, P3 text, P4 second text, P5 short text, P6 digit,
// P7 marker, P8 text, P9 number.
std::string Perspective(std::string_view p1, std::string_view key, std::string_view digit = "3",
                        std::string_view marker = "X", std::string_view p9 = "0000000042") {
    return Record({{2, p1}, {10, key}, {60, "Financial view"}, {30, "never read"}, {15, "Short"},
                   {1, digit}, {1, marker}, {10, "Tenth"}, {10, p9}});
}

class PerspectivesTest : public AdapterFixture {
protected:
    void SetUp() override {
        AdapterFixture::SetUp();
        ASSERT_TRUE(Attach().Ok());
        chart_->ClearCalls();
    }
    // Puts the rows and returns the grid the chart received (VT_EMPTY if none).
    COleVariant PutRows(SHORT version, std::initializer_list<std::string_view> rows) {
        EXPECT_TRUE(SetVersion(version).Ok());
        auto table = HostRecordTable::Create(rows);
        last_ = Put("Perspectives", table.Get());
        return chart_->Property(chart::kPerspectives);
    }
    Outcome last_;
};

TEST_F(PerspectivesTest, EachVersionPutsItsLayoutsGrid) {
    struct Case {
        SHORT version;
        std::vector<std::string> row;
    };
    const std::vector<std::string> common = {"BSTR:FIN", "BSTR:Short", "BSTR:Financial view", "BSTR:Financial view"};
    auto with = [&](std::vector<std::string> tail) {
        std::vector<std::string> row = common;
        row.insert(row.end(), tail.begin(), tail.end());
        return row;
    };
    const Case cases[] = {
        {310, with({"I2:3", "BSTR:Tenth", "I2:42"})}, {32767, with({"I2:3", "BSTR:Tenth", "I2:42"})},
        {309, with({"I2:3"})},  {30, with({"I2:3"})},
        {29, with({"I2:99"})},  {20, with({"I2:99"})}, {-1, with({"I2:99"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "version " << c.version);
        COleVariant grid = PutRows(c.version, {Perspective("1", "FIN")});
        ASSERT_TRUE(last_.Ok()) << last_.description;
        ASSERT_EQ(Shape(grid), std::make_pair(LONG{1}, static_cast<LONG>(c.row.size())));
        for (LONG col = 0; col < static_cast<LONG>(c.row.size()); ++col) EXPECT_EQ(Cell(grid, 0, col), c.row[col]) << col;
    }
    EXPECT_EQ(ChartCalls(ChartCall::Put, chart::kPerspectives).size(), 7u);
}

TEST_F(PerspectivesTest, RowsAreAddressedBySequenceNumber) {
    COleVariant grid = PutRows(310, {Perspective("2", "SECOND"), Perspective("1", "FIRST")});
    EXPECT_EQ(Cell(grid, 0, 0), "BSTR:FIRST");
    EXPECT_EQ(Cell(grid, 1, 0), "BSTR:SECOND");

    for (std::string_view one : {"1 ", " 1"}) {
        grid = PutRows(310, {Perspective(one, "ONE"), Perspective("2", "TWO")});
        EXPECT_EQ(Cell(grid, 0, 0), "BSTR:ONE") << "P1 '" << one << "'";
    }
    // The later of two records with one number wins; the row no record names stays empty.
    grid = PutRows(30, {Perspective("1", "EARLY"), Perspective("1", "LATE")});
    EXPECT_EQ(Cell(grid, 0, 0), "BSTR:LATE");
    EXPECT_EQ(Cell(grid, 1, 0), "EMPTY");
    EXPECT_EQ(Cell(grid, 1, 4), "EMPTY");
}

TEST_F(PerspectivesTest, MarkerChoosesTheDigit) {
    struct Case {
        SHORT version;
        const char* digit;
        const char* marker;
        const char* column4;
    } cases[] = {
        {310, "3", "X", "I2:3"}, {310, "3", " ", "I2:99"}, {310, "3", "x", "I2:99"}, {310, " ", "X", "I2:0"},
        {30, "7", "X", "I2:7"},  {30, "7", "Y", "I2:99"},  {20, "7", "X", "I2:99"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.version << " digit '" << c.digit << "' marker '" << c.marker << "'");
        COleVariant grid = PutRows(c.version, {Perspective("1", "K", c.digit, c.marker)});
        EXPECT_EQ(Cell(grid, 0, 4), c.column4);
    }
}

TEST_F(PerspectivesTest, NumbersAreCutTo16Bits) {
    for (auto [p9, column6] : {std::pair{"0000000042", "I2:42"}, {"70000", "I2:4464"}, {"", "I2:0"}}) {
        COleVariant grid = PutRows(310, {Perspective("1", "K", "3", "X", p9)});
        EXPECT_EQ(Cell(grid, 0, 6), column6) << "P9 '" << p9 << "'";
    }
}

TEST_F(PerspectivesTest, EmptyTablePutsAnEmptyGrid) {
    for (auto [version, columns] : {std::pair<SHORT, LONG>{310, 7}, {30, 5}, {20, 5}}) {
        COleVariant grid = PutRows(version, {});
        EXPECT_TRUE(last_.Ok());
        EXPECT_EQ(Shape(grid), std::make_pair(LONG{0}, columns)) << version;
    }
}

TEST_F(PerspectivesTest, SequenceNumberOutsideTheTableFailsAndSendsNothing) {
    for (std::string_view p1 : {"0", "  ", "ab", "3", "-1"}) {
        COleVariant grid = PutRows(310, {Perspective("1", "A"), Perspective(p1, "B")});
        EXPECT_EQ(last_.hr, DISP_E_EXCEPTION) << "P1 '" << p1 << "'";
        EXPECT_EQ(last_.scode, DISP_E_BADINDEX);
        EXPECT_FALSE(last_.description.empty());
    }
    EXPECT_TRUE(chart_->Calls().empty());
}

// Every host-table call failing in turn: the set fails with that code and
// the chart receives nothing.
TEST_F(PerspectivesTest, HostTableFailuresFailTheSet) {
    struct Case {
        HostOp op;
        unsigned nth;
    } cases[] = {{HostOp::QueryInterface, 1}, {HostOp::GetDataFlag, 1}, {HostOp::GetRowStore, 1},
                 {HostOp::GetRowCount, 1},    {HostOp::ReadRow, 1},     {HostOp::ReadRow, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "op " << static_cast<int>(c.op) << " call " << c.nth);
        auto table = HostRecordTable::Create({Perspective("1", "A"), Perspective("2", "B")});
        table->FailCall(c.op, c.nth, E_ACCESSDENIED);
        Outcome out = Put("Perspectives", table.Get());
        EXPECT_EQ(out.hr, DISP_E_EXCEPTION);
        EXPECT_EQ(out.scode, E_ACCESSDENIED);
        EXPECT_EQ(table->RefCount(), 1u) << "the system kept a reference";
    }
    EXPECT_TRUE(chart_->Calls().empty());
}

TEST_F(PerspectivesTest, TablesThatAreNotReadSendNothing) {
    auto kept = HostRecordTable::Create({Perspective("1", "A")});
    kept->SetDataFlag(0);
    EXPECT_TRUE(Put("Perspectives", kept.Get()).Ok());
    EXPECT_EQ(kept->CallCount(HostOp::GetRowStore), 0u) << "a kept table is not read";

    auto noStore = HostRecordTable::Create({Perspective("1", "A")});
    noStore->SetOffersRowStore(false);
    EXPECT_TRUE(Put("Perspectives", noStore.Get()).Ok());

    auto plain = HostRecordTable::Create({Perspective("1", "A")});
    plain->SetOffersHostTable(false);
    EXPECT_TRUE(Put("Perspectives", plain.Get()).Ok());

    EXPECT_TRUE(Put("Perspectives", nullptr).Ok());
    EXPECT_TRUE(chart_->Calls().empty());
}

TEST_F(PerspectivesTest, WithoutAChartTheTableIsReadAndDropped) {
    control_.Reset();
    control_.Attach(new CTesselAdapterCtrl);
    auto table = HostRecordTable::Create({Perspective("1", "A")});
    EXPECT_TRUE(Put("Perspectives", table.Get()).Ok());
    EXPECT_EQ(table->CallCount(HostOp::ReadRow), 1u);
    EXPECT_TRUE(chart_->Calls().empty());
}

}  // namespace
