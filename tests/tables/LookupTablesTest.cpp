// The lookup tables through the control.
#include <gtest/gtest.h>

#include "control/ChartMembers.h"
#include "support/AdapterFixture.h"

namespace {

using namespace testing_support;
using standins::ChartCall;

using LookupTablesTest = AttachedFixture;

TEST_F(LookupTablesTest, UIStringsGoAsOneGridAtEveryVersion) {
    for (SHORT version : {20, 310}) {
        auto table = RecordTable({Record({{6, "  17"}, {60, "Save the map"}}), Record({{6, "x"}})});
        ASSERT_TRUE(PutAt(version, "UIStrings", table.Get()).Ok());
        auto calls = ChartCalls(ChartCall::Call, chart::kUIStrings);
        ASSERT_EQ(calls.size(), 1u) << version;
        EXPECT_EQ(GridRows(calls[0]->args.at(0)),
                  (std::vector<Row>{{"I4:17", "I4:0", "BSTR:Save the map"}, {"I4:0", "I4:0", "BSTR:"}}));
    }
}

TEST_F(LookupTablesTest, ContextMenuSendsEachRowWithItsNumbersCut) {
    struct Case {
        const char* first;
        const char* second;
        SHORT firstNumber, secondNumber;
    } cases[] = {{"12", "3", 12, 3}, {"12abc", "  -4", 12, -4}, {"abc", "", 0, 0}, {"70000", "99999", 4464, -31073}};
    Row rows, sent;
    for (const Case& c : cases)
        rows.push_back(Record({{15, c.first}, {60, "Open objective"}, {15, c.second}, {15, "Details"}}));
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(PutRecords("ContextMenu", rows).Ok());
        for (const Case& c : cases)
            sent.push_back("call ContextMenuEntry(BSTR:Open objective, BSTR:Details, I2:" +
                           std::to_string(c.secondNumber) + ", I2:" + std::to_string(c.firstNumber) + ")");
    }
    EXPECT_EQ(Shown(chart_->Calls()), sent) << "a second table sends every row again";
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
