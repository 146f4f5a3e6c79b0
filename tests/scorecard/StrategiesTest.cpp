// Strategies and the field catalogues through the control.
#include <gtest/gtest.h>

#include "control/ChartMembers.h"
#include "support/AdapterFixture.h"

namespace {

using namespace testing_support;

using ScorecardTest = AttachedFixture;

// S1 key, S2 text, S3 second text, S4 short text, S5 digit, S6 marker, S7 number, S8 text.
std::string Strategy(std::string_view key, std::string_view marker = "X") {
    return Record({{10, key}, {60, "Grow revenue"}, {30, "never read"}, {15, "Growth"}, {1, "2"}, {1, marker},
                   {10, "  42"}, {10, "Tenth"}});
}

TEST_F(ScorecardTest, StrategiesGridPerLayout) {
    const Row head = {"BSTR:S-1", "BSTR:Growth", "BSTR:Grow revenue", "BSTR:Grow revenue", "BOOL:-1"};
    auto with = [&](Row tail) {
        Row row = head;
        row.insert(row.end(), tail.begin(), tail.end());
        return row;
    };
    struct Case {
        SHORT version;
        std::string record;
        Row row;
    } cases[] = {
        {310, Strategy("S-1"), with({"I2:2", "BSTR:Tenth", "I2:42"})},
        {310, Strategy("S-1", " "), with({"I2:99", "BSTR:Tenth", "I2:42"})},
        {309, Strategy("S-1"), with({"I2:2"})},
        {30, Strategy("S-1", "x"), with({"I2:99"})},
        {29, Strategy("S-1"), with({"I2:99"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        COleVariant grid = PutAndRead(c.version, "Strategies", {Strategy("FIRST"), c.record}, chart::kStrategies);
        ASSERT_TRUE(last_.Ok()) << last_.description;
        EXPECT_EQ(Cell(grid, 0, 0), "BSTR:FIRST") << "rows follow the reading order";
        EXPECT_EQ(RowCells(grid, 1), c.row);
    }
}

// F1 position, F2 title (60 or 30), F3 two digits, F4 ten digits.
std::string Field(std::string_view position, std::string_view title, std::string_view f3 = "7",
                  std::string_view f4 = "1234567890", int titleWidth = 60) {
    return Record({{3, position}, {titleWidth, title}, {2, f3}, {10, f4}});
}

TEST_F(ScorecardTest, FieldCataloguesAreOrderedByPosition) {
    struct Case {
        const char* member;
        SHORT version;
        int titleWidth;
        DISPID property;  // 0: sent nowhere
    } cases[] = {
        {"MeasureFields", 310, 60, chart::kMeasureFields},      {"MeasureFields", 309, 30, chart::kMeasureFields},
        {"InitiativeFields", 20, 30, chart::kInitiativeFields}, {"InitiativeFields", 310, 60, chart::kInitiativeFields},
        {"AdditionalMeasureFields", 20, 60, 0},                 {"AdditionalInitiativesFields", 310, 60, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.member << " " << c.version);
        const Row rows = {Field("2", "Second", "", "", c.titleWidth), Field("  1", "First", "7", "-42", c.titleWidth)};
        COleVariant grid = PutAndRead(c.version, c.member, rows, c.property ? c.property : chart::kMeasureFields);
        ASSERT_TRUE(last_.Ok()) << last_.description;
        if (c.property == 0) {
            EXPECT_TRUE(chart_->Calls().empty()) << "no chart member takes it";
            continue;
        }
        EXPECT_EQ(RowCells(grid, 0), (Row{"BSTR:First", "I4:7", "I4:-42"}));
        EXPECT_EQ(RowCells(grid, 1), (Row{"BSTR:Second", "I4:0", "I4:0"}));
    }
}

}  // namespace
