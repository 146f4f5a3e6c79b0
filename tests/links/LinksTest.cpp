// Links and the link map.
#include <gtest/gtest.h>

#include "control/ChartMembers.h"
#include "links/Links.h"
#include "links/TemplateStore.h"
#include "support/AdapterFixture.h"

namespace {

using namespace testing_support;
using standins::HostRecordTable;
using V = COleVariant;

using LinksTest = AttachedFixture;

TEST_F(LinksTest, BothLayoutsFillTheSameColumns) {
    auto table310 = HostRecordTable::Create(
        {Record({{10, "P1"}, {10, "P2"}, {10, "Q1"}, {10, "Q2"}, {10, "R1"}, {10, "R2"}, {3, "7"}}), ""});
    auto table20 = HostRecordTable::Create({Record({{10, "P1"}, {10, "P2"}, {10, "Q1"}, {10, "Q2"}, {3, "7"}})});
    CLinks links310, links20;
    ASSERT_TRUE(links310.Fill310(table310));
    ASSERT_TRUE(links20.Fill20(table20));
    EXPECT_EQ(RowCells(links310, 0), (Row{"BSTR:P1", "BSTR:R1", "BSTR:Q1", "I4:7", "BSTR:P2", "BSTR:R2", "BSTR:Q2", "I4:7"}));
    EXPECT_EQ(RowCells(links20, 0), (Row{"BSTR:P1", "EMPTY", "BSTR:Q1", "I4:7", "BSTR:P2", "EMPTY", "BSTR:Q2", "I4:7"}));
    EXPECT_EQ(RowCells(links310, 1), (Row{"BSTR:", "BSTR:", "BSTR:", "I4:0", "BSTR:", "BSTR:", "BSTR:", "I4:0"}));
}

TEST_F(LinksTest, SetterConvertsAndSendsNothing) {
    for (SHORT version : {20, 30, 310}) {
        ASSERT_TRUE(SetVersion(version).Ok());
        auto table = HostRecordTable::Create({Record({{10, "P1"}, {10, "P2"}})});
        ASSERT_TRUE(Put("Links", table.Get()).Ok());
        EXPECT_EQ(table->Calls().back().length, version < 30 ? 43u : 63u) << version;
    }
    EXPECT_TRUE(chart_->Calls().empty());
}

TEST_F(LinksTest, GetterWritesTheChartsLinksAtEveryVersion) {
    const COleSafeArray grid = Grid({{V(OLESTR("ABCD")), V(OLESTR("R1")), V(OLESTR("Q1-TOO-LONG")), V(LONG{123}),
                                      V(OLESTR("P2")), V(OLESTR("R2")), V(OLESTR("Q2")), V(LONG{9})}}, 8);
    chart_->SetProperty(chart::kLinks, grid);
    std::string expected = Record({{10, "ABCD"}, {10, "P2"}, {10, "Q1-TOO-LON"}, {10, "Q2"}, {10, "R1"}, {10, "R2"}, {3, "123"}});
    for (std::size_t nul : {4, 12, 32, 42, 52}) expected[nul] = '\0';
    for (SHORT version : {20, 310}) {
        ASSERT_TRUE(SetVersion(version).Ok());
        auto table = Lend("Links");
        Outcome out = Get("Links");
        ASSERT_TRUE(out.Ok()) << out.description;
        EXPECT_EQ(RecordsOf(*table), Row{expected}) << version;
    }

    CLinks links20;  // the 43-byte record of layout 20 leaves out the middle keys
    static_cast<COleSafeArray&>(links20) = grid;
    auto table = HostRecordTable::Create();
    ASSERT_TRUE(links20.WriteBackRows20(table));
    EXPECT_EQ(table->Row(1), expected.substr(0, 40) + "123");
}

// Replacing the entry and sending nothing: TemplatesTest, as for every map.
TEST_F(LinksTest, LinkMapFillsItsSixteenColumns) {
    std::string row;
    for (int k = 0; k < 16; ++k) row += Record({{10, k % 4 == 3 ? std::to_string(k) : "K" + std::to_string(k)}});
    ASSERT_TRUE(PutRecords("LinkMap", {row}).Ok());
    const COleSafeArray* map = CTemplateStore::Grid(CTemplateStore::kLinkMap);
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(Shape(*map), std::make_pair(LONG{1}, LONG{16}));
    Row cells = RowCells(*map, 0);
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(cells[k], k % 4 == 3 ? "I4:" + std::to_string(k) : "BSTR:K" + std::to_string(k));
}

}  // namespace
