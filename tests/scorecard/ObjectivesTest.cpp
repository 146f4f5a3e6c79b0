// Objectives into the chart's grid and back into the lent table.
#include <gtest/gtest.h>

#include "control/ChartMembers.h"
#include "support/AdapterFixture.h"

namespace {

using namespace testing_support;
using V = COleVariant;

// O1..O14 of a 163-byte record.
std::string Objective(std::string_view key, std::string_view flags = "X XX") {
    return Record({{10, key}, {10, "PERS"}, {10, "STRAT"}, {3, " 12"}, {1, "4"}, {1, flags.substr(0, 1)},
                   {1, flags.substr(1, 1)}, {1, flags.substr(2, 1)}, {1, flags.substr(3, 1)}, {60, "Raise margin"},
                   {30, "Margin"}, {15, "Short"}, {10, "70000"}, {10, "Tail"}});
}

using ObjectivesTest = AttachedFixture;

TEST_F(ObjectivesTest, FillGridPerLayout) {
    const Row head = {"BSTR:OBJ1", "BSTR:Short", "BSTR:Raise margin", "BSTR:Raise margin", "BSTR:PERS", "BSTR:STRAT",
                      "I4:12", "I4:4"};
    struct Case {
        SHORT version;
        const char* flags;  // O6 O7 O8 O9
        const char* flagWord;
    } cases[] = {
        {310, "X XX", "I4:5"}, {310, "XX X", "I4:7"}, {309, "  X ", "I4:0"}, {20, " X  ", "I4:2"}, {-1, "x  X", "I4:4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.version << " '" << c.flags << "'");
        COleVariant grid = PutAndRead(c.version, "Objectives", {Objective("OBJ1", c.flags)}, chart::kObjectives);
        ASSERT_TRUE(last_.Ok()) << last_.description;
        Row row = head;
        row.push_back(c.flagWord);
        if (c.version >= 310) row.insert(row.end(), {"BSTR:Tail", "I2:4464"});
        EXPECT_EQ(RowCells(grid, 0), row);
    }
}

TEST_F(ObjectivesTest, GetterWritesTheChartsGridIntoTheLentTable) {
    struct Case {
        COleVariant flags;
        const char* o6o7o8;
    } cases[] = {{V(LONG{7}), "XXX"}, {V(LONG{6}), " XX"}, {V(LONG{1}), "X  "}, {V(LONG{0}), "   "},
                 {V(LONG{9}), "XXX"}, {V(OLESTR("")), "   "}, {V(OLESTR("abc")), "   "}, {V(OLESTR("5")), "X X"},
                 // read whole, however many blanks or zeros lead
                 {V((OleString(70, OLECHAR(' ')) + OLESTR("5")).c_str()), "X X"},
                 {V((OleString(90, OLECHAR('0')) + OLESTR("6")).c_str()), " XX"}};
    std::vector<std::vector<COleVariant>> rows;
    for (const Case& c : cases)
        rows.push_back({V(OLESTR("OBJ1")), V(OLESTR("Short")), V(OLESTR("Margin")), V(OLESTR("Raise margin")),
                        V(OLESTR("PERS")), V(OLESTR("STRAT")), V(LONG{12}), c.flags});
    for (SHORT version : {310, 30, 20}) {
        SCOPED_TRACE(version);
        ASSERT_TRUE(SetVersion(version).Ok());
        auto table = Lend("Objectives");
        chart_->SetProperty(chart::kObjectives, Grid(rows, 11));  // columns past 7 are ignored
        Outcome out = Get("Objectives");
        ASSERT_TRUE(out.Ok()) << out.description;
        const std::size_t length = version >= 310 ? 163 : 143;
        Row expected;
        for (const Case& c : cases) {
            std::string record = Record({{10, "OBJ1"}, {10, "PERS"}, {10, "STRAT"}, {3, "12"}, {1, ""}, {3, c.o6o7o8},
                                         {1, ""}, {60, "Raise margin"}, {30, "Margin"}, {15, "Short"}, {20, ""}});
            for (std::size_t nul : {4, 14, 25, 32, 38 + 12, 98 + 6, 128 + 5}) record[nul] = '\0';
            record.resize(length);
            expected.push_back(record);
        }
        EXPECT_EQ(RecordsOf(*table), expected);
        auto emptied = Lend("Objectives");
        chart_->SetProperty(chart::kObjectives, Grid({}, 8));
        ASSERT_TRUE(Get("Objectives").Ok());
        EXPECT_EQ(emptied->RowCount(), 0u) << "an empty grid empties the table";
    }
}

}  // namespace
