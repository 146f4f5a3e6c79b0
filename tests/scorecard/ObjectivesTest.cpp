// Objectives both ways: the fill grids, and the getter writing the chart's
// grid into the table the host lent for it.
#include <gtest/gtest.h>

#include "control/ChartMembers.h"
#include "control/TesselAdapterCtrl.h"
#include "support/AdapterFixture.h"

namespace {

using namespace testing_support;
using standins::HostOp;
using standins::HostRecordTable;
using Row = std::vector<std::string>;
using V = COleVariant;

// O1..O14 of a 163-byte record.
std::string Objective(std::string_view key, std::string_view flags = "X XX") {
    return Record({{10, key}, {10, "PERS"}, {10, "STRAT"}, {3, " 12"}, {1, "4"}, {1, flags.substr(0, 1)},
                   {1, flags.substr(1, 1)}, {1, flags.substr(2, 1)}, {1, flags.substr(3, 1)}, {60, "Raise margin"},
                   {30, "Margin"}, {15, "Short"}, {10, "70000"}, {10, "Tail"}});
}

class ObjectivesTest : public AdapterFixture {
protected:
    void SetUp() override {
        AdapterFixture::SetUp();
        ASSERT_TRUE(Attach().Ok());
    }
    // Lends a table for the write-back and returns it.
    ComPtr<HostRecordTable> Lend(const char* member = "Objectives") {
        auto table = HostRecordTable::Create({"stale row"});
        table->SetDataFlag(0);
        EXPECT_TRUE(Put(member, table.Get()).Ok());
        return table;
    }
    // A chart grid of objectives rows (columns 0 to 7, plus extra ones).
    static COleSafeArray ChartGrid(const std::vector<std::vector<COleVariant>>& rows, DWORD columns = 8) {
        COleSafeArray grid;
        const DWORD size[2] = {static_cast<DWORD>(rows.size()), columns};
        grid.Create(VT_VARIANT, 2, size);
        for (LONG r = 0; r < static_cast<LONG>(rows.size()); ++r)
            for (LONG c = 0; c < static_cast<LONG>(std::min<std::size_t>(rows[r].size(), columns)); ++c) {
                LONG index[2] = {r, c};
                grid.PutElement(index, static_cast<const VARIANT*>(&rows[r][c]));
            }
        return grid;
    }
    static std::vector<COleVariant> ChartRow(COleVariant flags, const OLECHAR* key = OLESTR("OBJ1")) {
        return {V(key), V(OLESTR("Short")), V(OLESTR("Margin")), V(OLESTR("Raise margin")), V(OLESTR("PERS")),
                V(OLESTR("STRAT")), V(LONG{12}), flags};
    }
};

TEST_F(ObjectivesTest, FillGridPerLayout) {
    const Row head = {"BSTR:OBJ1", "BSTR:Short", "BSTR:Raise margin", "BSTR:Raise margin", "BSTR:PERS", "BSTR:STRAT",
                      "I4:12", "I4:4"};
    struct Case {
        SHORT version;
        const char* flags;  // O6 O7 O8 O9
        Row tail;
    } cases[] = {
        {310, "X XX", {"I4:5", "BSTR:Tail", "I2:4464"}}, {310, "XX X", {"I4:7"}}, {309, "  X ", {"I4:0"}},
        {20, " X  ", {"I4:2"}},                         {-1, "x  X", {"I4:4"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.version << " '" << c.flags << "'");
        ASSERT_TRUE(SetVersion(c.version).Ok());
        ASSERT_TRUE(PutRecords("Objectives", {Objective("OBJ1", c.flags)}).Ok());
        COleVariant grid = chart_->Property(chart::kObjectives);
        Row row = head;
        row.push_back(c.tail[0]);
        if (c.version >= 310) row.insert(row.end(), {"BSTR:Tail", "I2:4464"});
        EXPECT_EQ(RowCells(grid, 0), row);
    }
    for (auto [version, columns] : {std::pair<SHORT, LONG>{310, 11}, {30, 9}, {20, 9}}) {
        ASSERT_TRUE(SetVersion(version).Ok());
        ASSERT_TRUE(PutRecords("Objectives", {}).Ok());
        EXPECT_EQ(Shape(chart_->Property(chart::kObjectives)), std::make_pair(LONG{0}, columns));
    }
}

TEST_F(ObjectivesTest, GetterWritesTheChartsGridIntoTheLentTable) {
    struct Case {
        COleVariant flags;
        const char* o6o7o8;
    } cases[] = {{V(LONG{7}), "XXX"}, {V(LONG{6}), " XX"}, {V(LONG{1}), "X  "}, {V(LONG{0}), "   "},
                 {V(LONG{9}), "XXX"}, {V(OLESTR("")), "   "}, {V(OLESTR("abc")), "   "}, {V(OLESTR("5")), "X X"}};
    std::vector<std::vector<COleVariant>> rows;
    for (const Case& c : cases) rows.push_back(ChartRow(c.flags));
    for (SHORT version : {310, 30, 20}) {
        SCOPED_TRACE(version);
        ASSERT_TRUE(SetVersion(version).Ok());
        auto table = Lend();
        chart_->SetProperty(chart::kObjectives, ChartGrid(rows, 11));  // columns past 7 are ignored
        Outcome out = Get("Objectives");
        ASSERT_TRUE(out.Ok()) << out.description;
        ASSERT_EQ(out.value.vt, VT_DISPATCH);
        EXPECT_EQ(out.value.pdispVal, static_cast<IDispatch*>(table.Get())) << "the lent table comes back";
        const std::size_t length = version >= 310 ? 163 : 143;
        ASSERT_EQ(table->RowCount(), std::size(cases));
        for (std::size_t r = 0; r < std::size(cases); ++r) {
            std::string expected = Record({{10, "OBJ1"}, {10, "PERS"}, {10, "STRAT"}, {3, "12"}, {1, ""},
                                           {3, cases[r].o6o7o8}, {1, ""}, {60, "Raise margin"}, {30, "Margin"},
                                           {15, "Short"}, {20, ""}});
            for (std::size_t nul : {4, 14, 25, 32, 38 + 12, 98 + 6, 128 + 5}) expected[nul] = '\0';
            expected.resize(length);
            EXPECT_EQ(table->Row(r + 1), expected) << "row " << r;
        }
        EXPECT_EQ(Get("Objectives").value.pdispVal, nullptr) << "a second getter finds no table";
    }
}

TEST_F(ObjectivesTest, EmptyChartGridEmptiesTheTable) {
    auto table = Lend();
    chart_->SetProperty(chart::kObjectives, ChartGrid({}));
    Outcome out = Get("Objectives");
    ASSERT_TRUE(out.Ok());
    EXPECT_EQ(table->RowCount(), 0u);
}

TEST_F(ObjectivesTest, GetterWithoutALentTableReturnsNull) {
    chart_->SetProperty(chart::kObjectives, ChartGrid({ChartRow(V(LONG{1}))}));
    Outcome out = Get("Objectives");
    ASSERT_TRUE(out.Ok());
    EXPECT_EQ(out.value.vt, VT_DISPATCH);
    EXPECT_EQ(out.value.pdispVal, nullptr);
}

TEST_F(ObjectivesTest, FailedWriteBackKeepsTheTableForTheNextGetter) {
    auto table = Lend();
    struct Case {
        COleVariant chartValue;
        HRESULT code;
    } cases[] = {
        {V(), E_INVALIDARG},                                   // no array
        {V(OLESTR("not a grid")), E_INVALIDARG},               // no array
        {ChartGrid({ChartRow(V(LONG{1}))}, 5), DISP_E_BADINDEX},  // too few columns
        {[] {
             COleVariant null;
             null.vt = VT_NULL;
             return ChartGrid({ChartRow(V(LONG{1})), ChartRow(null)});
         }(),
         DISP_E_TYPEMISMATCH},  // a cell with no text form, after one good row
    };
    for (const Case& c : cases) {
        chart_->SetProperty(chart::kObjectives, c.chartValue);
        Outcome out = Get("Objectives");
        EXPECT_EQ(out.Code(), c.code);
    }
    EXPECT_EQ(table->RowCount(), 1u) << "the row appended before the failure stays";
    chart_->SetProperty(chart::kObjectives, ChartGrid({ChartRow(V(LONG{1}))}));
    EXPECT_EQ(Get("Objectives").value.pdispVal, static_cast<IDispatch*>(table.Get()));
}

TEST_F(ObjectivesTest, WithoutAChartAKeptTableFailsOnTheGridsBounds) {
    control_.Reset();
    control_.Attach(new CTesselAdapterCtrl);
    auto table = Lend("Strategies");  // any record property can lend the table
    EXPECT_EQ(Get("Objectives").Code(), E_INVALIDARG);
    EXPECT_EQ(table->CallCount(HostOp::GetRowStore), 0u);
    EXPECT_EQ(table->RefCount(), 2u) << "still kept";
}

// Each host-table call of the write-back failing in turn.
TEST_F(ObjectivesTest, HostFailuresDuringWriteBackFailTheGetter) {
    struct Case {
        HostOp op;
        unsigned nth;
        std::size_t rowsLeft;
    } cases[] = {{HostOp::GetRowStore, 1, 1}, {HostOp::ClearRows, 1, 1}, {HostOp::AppendRow, 1, 0},
                 {HostOp::AppendRow, 2, 1}};
    chart_->SetProperty(chart::kObjectives, ChartGrid({ChartRow(V(LONG{1})), ChartRow(V(LONG{2}))}));
    for (const Case& c : cases) {
        auto table = Lend();
        table->FailCall(c.op, c.nth, E_ACCESSDENIED);
        Outcome out = Get("Objectives");
        EXPECT_EQ(out.Code(), E_ACCESSDENIED);
        EXPECT_EQ(table->RowCount(), c.rowsLeft);
    }
}

}  // namespace
