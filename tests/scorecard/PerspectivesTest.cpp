// Perspectives as the host puts them (host failures: the fault sweep).
#include <gtest/gtest.h>

#include "control/ChartMembers.h"
#include "support/AdapterFixture.h"

namespace {

using namespace testing_support;
using standins::ChartCall;
using standins::HostRecordTable;

// P1 sequence, P2 key, P3 text, P4 second text, P5 short text, P6 digit,
// P7 marker, P8 text, P9 number.
std::string Perspective(std::string_view p1, std::string_view key, std::string_view marker = "X") {
    return Record({{2, p1}, {10, key}, {60, "Financial view"}, {30, "never read"}, {15, "Short"}, {1, "3"},
                   {1, marker}, {10, "Tenth"}, {10, "0000000042"}});
}

class PerspectivesTest : public AttachedFixture {
protected:
    COleVariant PutRows(SHORT version, const std::vector<std::string>& rows) {
        return PutAndRead(version, "Perspectives", rows, chart::kPerspectives);
    }
};

// The digit shows only where the marker is 'X' (field kinds: RecordTest).
TEST_F(PerspectivesTest, EachVersionPutsItsLayoutsGrid) {
    const Row common = {"BSTR:FIN", "BSTR:Short", "BSTR:Financial view", "BSTR:Financial view"};
    struct Case {
        SHORT version;
        const char* marker;
        Row tail;  // after the common columns
    };
    const Case cases[] = {
        {32767, "X", {"I2:3", "BSTR:Tenth", "I2:42"}}, {309, "X", {"I2:3"}}, {30, "X", {"I2:3"}}, {30, "Y", {"I2:99"}},
        {29, "X", {"I2:99"}}, {-1, "X", {"I2:99"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.version << " marker " << c.marker);
        COleVariant grid = PutRows(c.version, {Perspective("1", "FIN", c.marker)});
        ASSERT_TRUE(last_.Ok()) << last_.description;
        Row row = common;
        row.insert(row.end(), c.tail.begin(), c.tail.end());
        EXPECT_EQ(Shape(grid), std::make_pair(LONG{1}, static_cast<LONG>(row.size())));
        EXPECT_EQ(RowCells(grid, 0), row);
        EXPECT_EQ(ChartCalls(ChartCall::Put, chart::kPerspectives).size(), 1u);
    }
    for (auto [version, columns] : {std::pair<SHORT, LONG>{310, 7}, {30, 5}, {20, 5}}) {
        EXPECT_EQ(Shape(PutRows(version, {})), std::make_pair(LONG{0}, columns)) << "an empty table at " << version;
        EXPECT_TRUE(last_.Ok()) << last_.description;
    }
}

TEST_F(PerspectivesTest, RowsAreAddressedBySequenceNumber) {
    COleVariant grid = PutRows(310, {Perspective("2", "SECOND"), Perspective("1", "FIRST")});
    EXPECT_EQ(Cell(grid, 0, 0), "BSTR:FIRST");
    EXPECT_EQ(Cell(grid, 1, 0), "BSTR:SECOND");

    // The later of two records with one number wins; the row no record names stays empty.
    grid = PutRows(30, {Perspective("1", "EARLY"), Perspective("1", "LATE")});
    EXPECT_EQ(Cell(grid, 0, 0), "BSTR:LATE");
    EXPECT_EQ(Cell(grid, 1, 0), "EMPTY");
    EXPECT_EQ(Cell(grid, 1, 4), "EMPTY");
}

TEST_F(PerspectivesTest, SequenceNumberOutsideTheTableFailsAndSendsNothing) {
    for (std::string_view p1 : {"0", "  ", "ab", "3", "-1"}) {
        PutRows(310, {Perspective("1", "A"), Perspective(p1, "B")});
        EXPECT_EQ(last_.hr, DISP_E_EXCEPTION) << "P1 '" << p1 << "'";
        EXPECT_EQ(last_.scode, DISP_E_BADINDEX);
        EXPECT_FALSE(last_.description.empty());
        EXPECT_TRUE(chart_->Calls().empty());
    }
}

// No host table, or none at all (no row store: TemplatesTest; a kept table: ControlTest).
TEST_F(PerspectivesTest, TablesOfferingNoRowsSendNothing) {
    auto plain = HostRecordTable::Create({Perspective("1", "A")});
    plain->SetOffersHostTable(false);
    for (IDispatch* table : std::initializer_list<IDispatch*>{plain.Get(), nullptr})
        EXPECT_TRUE(Put("Perspectives", table).Ok());
    EXPECT_TRUE(chart_->Calls().empty());
}

}  // namespace
