// The four blob-sourced tables, into the chart's grid and back into records.
#include <gtest/gtest.h>

#include "control/ChartMembers.h"
#include "support/AdapterFixture.h"

namespace {

using namespace testing_support;
using standins::HostRecordTable;
using V = COleVariant;

// A written field: cut to the width, or ended by a NUL and blanks.
std::string Field(std::size_t width, std::string_view text) {
    std::string field(text.substr(0, width));
    if (field.size() < width) field += '\0';
    field.resize(width, ' ');
    return field;
}

std::string Blank(std::size_t width) { return std::string(width, ' '); }

struct Member {
    const char* name;
    DISPID property;
    std::size_t recordLength;
};
const Member kPerspectives{"PerspectivesFromBlob", chart::kPerspectivesFromBlob, 18};
const Member kStrategies{"StrategiesFromBlob", chart::kStrategiesFromBlob, 20};
const Member kObjectives{"ObjectivesFromBlob", chart::kObjectivesFromBlob, 61};
const Member kLinks{"LinksFromBlob", chart::kLinksFromBlob, 75};

// A links-from-blob grid row: number, tags and keys as given, numbers 21..
std::vector<V> LinkRow(V tag1, V tag2, V tag3, std::string_view key = "K1") {
    return {V(LONG{7}), tag1,       Text(key),  Text("K2"), V(LONG{7}),  V(LONG{3}),  tag2,        Text("K3"),
            Text("K4"), V(LONG{7}), V(LONG{4}), tag3,       V(LONG{21}), V(LONG{22}), V(LONG{23}), V(LONG{24})};
}
const std::string kLinkHead = Field(3, "7") + Field(10, "K1") + Field(10, "K2") + Field(2, "3") + Blank(2) +
                              Field(10, "K3") + Field(10, "K4") + Field(2, "4") + Blank(2);
const std::string kLinkTail = Field(6, "21") + Field(6, "22") + Field(6, "23") + Field(6, "24");

class BlobSourcedTest : public AttachedFixture {
protected:
    Row WriteBack(const Member& member, const std::vector<std::vector<V>>& rows, std::size_t columns) {
        auto table = Lend(member.name);
        chart_->SetProperty(member.property, Grid(rows, static_cast<DWORD>(columns)));
        Outcome out = Get(member.name);
        EXPECT_TRUE(out.Ok()) << out.description;
        return RecordsOf(*table);
    }
};

TEST_F(BlobSourcedTest, RecordsFillTheirColumnsAtEveryVersion) {
    struct Case {
        const Member& member;
        std::string record;
        Row row;
    } cases[] = {
        {kPerspectives, Record({{10, "P1"}, {6, "  -12"}, {2, "7"}}), {"BSTR:P1", "I4:-12", "I4:7"}},
        {kStrategies, Record({{10, "S1"}, {4, "12"}, {6, "345"}}), {"BSTR:S1", "I4:345", "I4:12"}},
        {kObjectives,
         Record({{10, "A"}, {10, "B"}, {10, "C 3"}, {3, "9"}, {6, "1"}, {6, "2"}, {6, "3"}, {6, "4"}, {4, "XXXX"}}),
         {"BSTR:A", "BSTR:B", "BSTR:C 3", "I4:9", "I4:1", "I4:3", "I4:2", "I4:4"}},
        {kLinks,
         Record({{3, "5"}, {10, "K1"}, {10, "K2"}, {2, "3"}, {2, "ZZ"}, {10, "K3"}, {10, "K4"}, {2, "4"}, {2, "ZZ"},
                 {6, "21"}, {6, "22"}, {6, "x"}, {6, "-24"}}),
         {"I4:5", "I4:1", "BSTR:K1", "BSTR:K2", "I4:5", "I4:3", "I4:1", "BSTR:K3", "BSTR:K4", "I4:5", "I4:4",
          "I4:2", "I4:21", "I4:22", "I4:0", "I4:-24"}},
    };
    for (SHORT version : {20, 310}) {
        ASSERT_TRUE(SetVersion(version).Ok());
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.member.name << " at " << version << ": " << c.record);
            auto table = HostRecordTable::Create({c.record, c.record});
            ASSERT_TRUE(Put(c.member.name, table.Get()).Ok());
            EXPECT_EQ(table->Calls().back().length, c.member.recordLength);
            const COleVariant grid = chart_->PropertyValue(c.member.property);
            EXPECT_EQ(Shape(grid), std::make_pair(LONG{2}, static_cast<LONG>(c.row.size())));
            EXPECT_EQ(RowCells(grid, 1), c.row);
        }
    }
}

TEST_F(BlobSourcedTest, GridRowsAreWrittenBackFieldByField) {
    struct Case {
        const Member& member;
        std::vector<V> row;
        std::string record;
    } cases[] = {
        {kPerspectives, {Text("P1"), V(LONG{123456}), V(LONG{7})}, Field(10, "P1") + "123456" + Field(2, "7")},
        {kStrategies, {Text("S1"), V(LONG{345}), V(LONG{12})}, Field(10, "S1") + Field(4, "12") + Field(6, "345")},
        {kObjectives,
         {Text("A"), Text("B"), Text("C"), V(LONG{9}), V(LONG{1}), V(LONG{3}), V(LONG{2}), V(LONG{4})},
         Field(10, "A") + Field(10, "B") + Field(10, "C") + Field(3, "9") + Field(6, "1") + Field(6, "2") +
             Field(6, "3") + Field(6, "4") + Blank(4)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.member.name);
        const Row records = WriteBack(c.member, {c.row, c.row}, c.row.size());
        ASSERT_EQ(records.size(), 2u);
        EXPECT_EQ(records[1], c.record);
    }
}

TEST_F(BlobSourcedTest, LinksAreWrittenBackOnlyWithTheirSectionTags) {
    struct Case {
        const char* what;
        std::vector<V> row;
        std::string record;  // empty: nothing appended
    } cases[] = {
        {"tags as text", LinkRow(Text("1"), Text("1"), Text("2")), kLinkHead + kLinkTail},
        {"first tag 0", LinkRow(V(LONG{0}), V(LONG{1}), V(LONG{2})), ""},
        {"first tag with a blank", LinkRow(Text("1 "), V(LONG{1}), V(LONG{2})), ""},
        {"second tag 2", LinkRow(V(LONG{1}), V(LONG{2}), V(LONG{2})), ""},
        {"second tag empty", LinkRow(V(LONG{1}), V(), V(LONG{2})), ""},
        {"third tag 3", LinkRow(V(LONG{1}), V(LONG{1}), V(LONG{3})), kLinkHead + Blank(24)},
        {"third tag empty", LinkRow(V(LONG{1}), V(LONG{1}), V()), kLinkHead + Blank(24)},
        {"third tag 2.0", LinkRow(V(LONG{1}), V(LONG{1}), V(2.0)), kLinkHead + kLinkTail},
    };
    std::vector<std::vector<V>> rows;
    Row expected;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Row records = WriteBack(kLinks, {c.row}, 16);
        EXPECT_EQ(records, c.record.empty() ? Row{} : Row{c.record});
        rows.push_back(c.row);
        if (!c.record.empty()) expected.push_back(c.record);
    }
    EXPECT_EQ(WriteBack(kLinks, rows, 16), expected) << "skipped rows leave no gap";

    // The link number is converted before the tags are looked at: a row without tags still fails on it.
    auto table = Lend("LinksFromBlob");
    chart_->SetProperty(chart::kLinksFromBlob, Grid({{Null()}}, 16));
    EXPECT_EQ(Get("LinksFromBlob").Code(), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(table->RowCount(), 0u) << "cleared before the row failed";
}

}  // namespace
