// The lookup tables through the control: UI strings in one call, context
// menu entries one call per row, mouse-over texts into a property.
#include <gtest/gtest.h>

#include "control/ChartMembers.h"
#include "support/AdapterFixture.h"

namespace {

using namespace testing_support;
using standins::ChartCall;
using Row = std::vector<std::string>;

using LookupTablesTest = AttachedFixture;

std::string MenuEntry(std::string_view first, std::string_view second) {
    return Record({{15, first}, {60, "Open objective"}, {15, second}, {15, "Details"}});
}

TEST_F(LookupTablesTest, UIStringsGoAsOneGridAtEveryVersion) {
    for (SHORT version : {20, 310}) {
        chart_->ClearCalls();
        ASSERT_TRUE(SetVersion(version).Ok());
        ASSERT_TRUE(PutRecords("UIStrings", {Record({{6, "  17"}, {60, "Save the map"}}), Record({{6, "x"}})}).Ok());
        auto calls = ChartCalls(ChartCall::Call, chart::kUIStrings);
        ASSERT_EQ(calls.size(), 1u) << version;
        const COleVariant& grid = calls[0]->args.at(0);
        EXPECT_EQ(RowCells(grid, 0), (Row{"I4:17", "I4:0", "BSTR:Save the map"}));
        EXPECT_EQ(RowCells(grid, 1), (Row{"I4:0", "I4:0", "BSTR:"}));
    }
}

TEST_F(LookupTablesTest, ContextMenuSendsEachRowWithItsNumbersCut) {
    struct Case {
        const char* first;
        const char* second;
        SHORT firstNumber, secondNumber;
    } cases[] = {{"12", "3", 12, 3}, {"12abc", "  -4", 12, -4}, {"abc", "", 0, 0}, {"70000", "99999", 4464, -31073}};
    std::vector<std::string> rows;
    for (const Case& c : cases) rows.push_back(MenuEntry(c.first, c.second));
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(PutRecords("ContextMenu", rows).Ok());
    }
    auto calls = ChartCalls(ChartCall::Call, chart::kContextMenuEntry);
    ASSERT_EQ(calls.size(), 2 * std::size(cases)) << "a second table sends every row again";
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& args = calls[i]->args;
        ASSERT_EQ(args.size(), 4u);
        EXPECT_EQ(Utf8(args[0]), "Open objective");
        EXPECT_EQ(Utf8(args[1]), "Details");
        EXPECT_EQ(args[2].vt, VT_I2);
        EXPECT_EQ(args[2].iVal, cases[i].secondNumber) << cases[i].second;
        EXPECT_EQ(args[3].iVal, cases[i].firstNumber) << cases[i].first;
    }
    chart_->ClearCalls();
    ASSERT_TRUE(PutRecords("ContextMenu", {}).Ok());
    EXPECT_TRUE(chart_->Calls().empty()) << "no rows, no calls";
}

TEST_F(LookupTablesTest, MouseOverTextsGoIntoTheirProperty) {
    ASSERT_TRUE(PutRecords("MouseOver", {Record({{10, "OBJ1"}, {2, "7"}, {60, "Margin up"}, {60, "Owner: CFO"}})}).Ok());
    EXPECT_EQ(RowCells(chart_->PropertyValue(chart::kMouseOver), 0),
              (Row{"BSTR:OBJ1", "BSTR:7", "BSTR:Margin up", "BSTR:Owner: CFO"}));
}

}  // namespace
