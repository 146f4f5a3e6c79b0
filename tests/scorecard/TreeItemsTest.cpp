// Measure and initiative data: a cell table grouped by objective, and the
// chart call each member makes per group.
#include <gtest/gtest.h>

#include "control/ChartMembers.h"
#include "support/AdapterFixture.h"

namespace {

using namespace testing_support;
using standins::CellOp;
using standins::ChartCall;
using standins::HostCellTable;
using V = COleVariant;

ComPtr<HostCellTable> CellTable(const std::vector<std::vector<V>>& rows, LONG columns) {
    auto table = HostCellTable::Create(static_cast<LONG>(rows.size()), columns);
    for (LONG r = 0; r < static_cast<LONG>(rows.size()); ++r)
        for (LONG c = 0; c < static_cast<LONG>(rows[r].size()); ++c) table->SetCell(r + 1, c + 1, rows[r][c]);
    return table;
}

// Rows keyed by these keys, each row (key, its place, "M<row>", "x<row>").
ComPtr<HostCellTable> Keyed(std::vector<std::string_view> keys) {
    std::vector<std::vector<V>> rows;
    for (std::size_t r = 0; r < keys.size(); ++r)
        rows.push_back({Text(keys[r]), V(static_cast<LONG>(r + 1)), Text("M" + std::to_string(r + 1)),
                        Text("x" + std::to_string(r + 1))});
    return CellTable(rows, 4);
}

ComPtr<HostCellTable> WorkedExample() {
    return CellTable({{Text("K1"), V(LONG{1}), Text("M1"), Text("a"), Text("b")},
                      {Text("K1"), V(LONG{2}), Text("M2"), Text("c"), Text("d")},
                      {Text("K2"), V(LONG{1}), Text("M3"), Text("e"), Text("f")}},
                     5);
}

struct Group {
    std::string key;
    std::string rowKey;  // method 42 only
    std::vector<Row> rows;
};

class TreeItemsTest : public AttachedFixture {
protected:
    std::vector<Group> Sent(DISPID dispid) const {
        std::vector<Group> groups;
        for (const ChartCall& call : chart_->Calls()) {
            if (call.dispid != dispid) continue;
            const bool method = call.kind == ChartCall::Call;
            groups.push_back({Utf8(call.args.at(0)), method ? Utf8(call.args.at(1)) : "", GridRows(call.args.back())});
        }
        return groups;
    }
};

TEST_F(TreeItemsTest, RunsOfEqualKeysInTableOrder) {
    struct Case {
        std::vector<std::string_view> keys;
        std::vector<std::pair<std::string, std::size_t>> groups;  // key, rows
    } cases[] = {
        {{"A", "A", "B"}, {{"A", 2}, {"B", 1}}},
        {{"A", "B", "A"}, {{"A", 1}, {"B", 1}, {"A", 1}}},
        {{"", "", "A"}, {{"", 2}, {"A", 1}}},
        {{"a", "A"}, {{"a", 1}, {"A", 1}}},
        {{}, {{"", 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.keys));
        auto table = Keyed(c.keys);
        ASSERT_TRUE(PutAt(310, "MeasureData", table.Get()).Ok());
        std::vector<std::pair<std::string, std::size_t>> got;
        for (const Group& g : Sent(chart::kMeasureData)) got.emplace_back(g.key, g.rows.size());
        EXPECT_EQ(got, c.groups);
    }
    auto third = Keyed({"A", "B", "A"});
    ASSERT_TRUE(PutAt(310, "MeasureData", third.Get()).Ok());
    EXPECT_EQ(Sent(chart::kMeasureData).back().rows, (std::vector<Row>{{"BSTR:M3", "I4:3", "BSTR:x3"}}))
        << "the second A group holds the third row alone";
}

TEST_F(TreeItemsTest, EachMemberMakesItsChartCallPerGroup) {
    struct Case {
        const char* member;
        DISPID dispid;
        ChartCall::Kind kind;
        SHORT version;
        std::string rowKeys;  // of K1 and K2, for method 42
        const char* first;    // grid column 0 of the first row
    } cases[] = {
        {"MeasureData", chart::kMeasureData, ChartCall::Put, 310, "", "BSTR:M1"},
        {"InitiativeData", chart::kInitiativeData, ChartCall::Put, 20, "", "I4:1"},
        {"AdditionalMeasureItem", chart::kAdditionalMeasureItem, ChartCall::Put, 20, "", "BSTR:M1"},
        {"MeasureDataRow", chart::kTreeRows, ChartCall::Call, 310, "M2M3", "BSTR:M1"},
        {"InitiativeDataRow", chart::kTreeRows, ChartCall::Call, 30, "M2M3", "BSTR:M1"},
        {"InitiativeDataRow", chart::kTreeRows, ChartCall::Call, 20, "M2M3", "BSTR:M1"},  // layout 30 below 30 too
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.member << " " << c.version);
        auto table = WorkedExample();
        ASSERT_TRUE(PutAt(c.version, c.member, table.Get()).Ok());
        const auto calls = ChartCalls(c.kind, c.dispid);
        ASSERT_EQ(calls.size(), 2u);
        ASSERT_EQ(chart_->Calls().size(), 2u);
        const std::vector<Group> groups = Sent(c.dispid);
        EXPECT_EQ(groups[0].key + groups[1].key, "K1K2");
        EXPECT_EQ(groups[0].rowKey + groups[1].rowKey, c.rowKeys);
        EXPECT_EQ(groups[0].rows[0][0], c.first);
        if (c.kind == ChartCall::Call) {  // VT8204: VT_ARRAY | VT_VARIANT
            EXPECT_EQ(Shown(*calls[0]), "call TreeRows(BSTR:K1, BSTR:M2, BOOL:-1, VT8204)");
        }
    }
    auto table = WorkedExample();
    ASSERT_TRUE(PutAt(310, "AdditionalInitiativeItem", table.Get()).Ok());
    EXPECT_EQ(chart_->Calls().size(), 0u);
    EXPECT_EQ(table->CallCount(CellOp::Cell), 3u + 3u * 6u) << "its groups are still built";
}

// Every row's key for the grouping, then each row: its key, its cell 3 for
// the row key (not in layout 20), then its cells in grid order.
TEST_F(TreeItemsTest, CellsAreReadInTheOrderTheRowsAreTaken) {
    const std::pair<SHORT, const char*> cases[] = {{310, "1 3 3 2 4 5"}, {30, "1 3 3 2 4 5"}, {20, "1 2 3 4 5"}};
    for (const auto& [version, rowCells] : cases) {
        SCOPED_TRACE(version);
        auto table = WorkedExample();
        ASSERT_TRUE(PutAt(version, "MeasureData", table.Get()).Ok());
        std::string read, expected = "(1,1) (2,1) (3,1) ";
        for (const standins::CellCall& call : table->Calls())
            if (call.op == CellOp::Cell) read += "(" + std::to_string(call.row) + "," + std::to_string(call.column) + ") ";
        for (char row : {'1', '2', '3'})
            for (const char* c = rowCells; *c; ++c)
                if (*c != ' ') expected += std::string("(") + row + "," + *c + ") ";
        EXPECT_EQ(read, expected);
    }
}

TEST_F(TreeItemsTest, NumberCellsAndWiderTables) {
    auto table = CellTable({{Text("K"), Text(""), Text("M"), Text("c4"), Text("c5"), Text("c6")},
                            {Text("K"), Text(" 12"), Text("N"), V(), V(LONG{5}), Text("z")},
                            {Text("K"), V(), Text("O"), V(), V(), V()}},
                           6);
    struct Case {
        SHORT version;
        std::vector<Row> rows;
    } cases[] = {
        {310, {{"BSTR:M", "BSTR:", "BSTR:c4", "BSTR:c5", "BSTR:c6"}, {"BSTR:N", "BSTR: 12", "EMPTY", "I4:5", "BSTR:z"},
               {"BSTR:O", "EMPTY", "EMPTY", "EMPTY", "EMPTY"}}},
        {30, {{"BSTR:M", "I4:0", "BSTR:c4", "BSTR:c5", "BSTR:c6"}, {"BSTR:N", "I4:12", "EMPTY", "I4:5", "BSTR:z"},
              {"BSTR:O", "I4:0", "EMPTY", "EMPTY", "EMPTY"}}},
        {20, {{"I4:0", "BSTR:M", "BSTR:c4", "BSTR:c5", "BSTR:c6"}, {"I4:12", "BSTR:N", "EMPTY", "I4:5", "BSTR:z"},
              {"I4:0", "BSTR:O", "EMPTY", "EMPTY", "EMPTY"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        ASSERT_TRUE(PutAt(c.version, "MeasureData", table.Get()).Ok());
        const std::vector<Group> groups = Sent(chart::kMeasureData);
        ASSERT_EQ(groups.size(), 1u);
        EXPECT_EQ(groups[0].rows, c.rows);
    }
}

TEST_F(TreeItemsTest, BadCellsAndNarrowTablesFailTheSetAndSendNothing) {
    struct Case {
        const char* what;
        SHORT version;
        std::vector<std::vector<V>> rows;
        LONG columns;
        HRESULT code;
        standins::CellCall lastCall;
    } cases[] = {
        {"two columns in layout 310", 310, {{Text("K"), Text("1")}}, 2, DISP_E_BADINDEX, {CellOp::Cell, 1, 3}},
        {"two columns suffice in layout 20", 20, {{Text("K"), Text("1")}}, 2, S_OK, {CellOp::Cell, 1, 2}},
        {"one column in layout 20", 20, {{Text("K")}}, 1, DISP_E_BADINDEX, {CellOp::Cell, 1, 2}},
        {"no columns", 310, {{}}, 0, DISP_E_BADINDEX, {CellOp::Cell, 1, 1}},
        {"a null key", 310, {{V(LONG{1}), V(), V()}, {Null(), V(), V()}}, 3, DISP_E_TYPEMISMATCH, {CellOp::Cell, 2, 1}},
        {"a number of no digits", 30, {{Text("K"), Text("12x"), V()}}, 3, DISP_E_TYPEMISMATCH, {CellOp::Cell, 1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto table = CellTable(c.rows, c.columns);
        Outcome out = PutAt(c.version, "MeasureData", table.Get());
        EXPECT_EQ(out.Code(), c.code) << out.description;
        EXPECT_EQ(table->Calls().back(), c.lastCall);
        if (c.code != S_OK) {
            EXPECT_FALSE(out.description.empty());
            EXPECT_TRUE(chart_->Calls().empty());
        }
    }
}

}  // namespace
