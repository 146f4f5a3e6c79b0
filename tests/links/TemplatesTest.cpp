// Map and template tables: the store's entries, their places in the two methods, and how long they live.
#include <gtest/gtest.h>

#include <algorithm>

#include "control/ChartMembers.h"
#include "control/TesselAdapterCtrl.h"
#include "links/TemplateStore.h"
#include "support/AdapterFixture.h"

namespace {

using namespace testing_support;
using standins::ChartCall;
using Entry = CTemplateStore::Entry;

constexpr int kNotSent = -1;

// A property and its argument's place (from 0) in chart methods 59 and 83.
struct Property {
    const char* name;
    Entry entry;
    int inAddTemplate;
    int inAddTemplateEx;
};
const Property kProperties[] = {
    {"StrategyTemplate", CTemplateStore::kStrategyTemplate, 0, 0},
    {"ObjectiveTemplate", CTemplateStore::kObjectiveTemplate, 1, 1},
    {"ObjectiveLinkTemplate", CTemplateStore::kObjectiveLinkTemplate, 2, 2},
    {"BlobTemplate", CTemplateStore::kBlobTemplate, 3, kNotSent},
    {"StrategiesFromBlobTemplate", CTemplateStore::kStrategiesFromBlobTemplate, kNotSent, 3},
    {"PerspectivesFromBlobTemplate", CTemplateStore::kPerspectivesFromBlobTemplate, kNotSent, 4},
    {"ObjectivesFromBlobTemplate", CTemplateStore::kObjectivesFromBlobTemplate, kNotSent, 5},
    {"LinksFromBlobTemplate", CTemplateStore::kLinksFromBlobTemplate, kNotSent, 6},
    {"StrategyMap", CTemplateStore::kStrategyMap, 4, 7},
    {"PerspectiveMap", CTemplateStore::kPerspectiveMap, 5, 8},
    {"ObjectiveMap", CTemplateStore::kObjectiveMap, 6, 9},
    {"LinkMap", CTemplateStore::kLinkMap, 7, 10},
};
const Property& Find(std::string_view name) {
    return *std::ranges::find_if(kProperties, [&](const Property& p) { return p.name == name; });
}

struct Method {
    const char* name;
    DISPID dispid;
    std::size_t args;
    int Place(const Property& p) const { return dispid == chart::kAddTemplate ? p.inAddTemplate : p.inAddTemplateEx; }
};
const Method kAddTemplate{"AddTemplate", chart::kAddTemplate, 8};
const Method kAddTemplateEx{"AddTemplateEx", chart::kAddTemplateEx, 11};

std::string Chunk(std::string_view bytes) { return ChunkRecord(1, static_cast<int>(bytes.size()), bytes); }

// A record long enough for every layout, a different character at each place.
std::string VariedRecord() {
    std::string record;
    for (int i = 0; i < 300; ++i) record += static_cast<char>('0' + (i * 7) % 43);
    return record;
}

std::string Dump(const VARIANT& grid) {
    return grid.vt == (VT_ARRAY | VT_UI1) ? BytesOf(grid) : testing::PrintToString(GridRows(grid));
}

class TemplatesTest : public AttachedFixture {
protected:
    Outcome SetFilled(const Property& p) {
        if (p.entry == CTemplateStore::kBlobTemplate) return PutRecords(p.name, {Chunk("blob")});
        return PutRecords(p.name, {VariedRecord()});
    }

    // The types of the arguments the chart got, if any.
    std::vector<VARTYPE> Send(const Method& m) {
        chart_->ClearCalls();
        Outcome out = Call(m.name);
        EXPECT_TRUE(out.Ok()) << out.description;
        const auto calls = ChartCalls(ChartCall::Call, m.dispid);
        if (calls.empty()) return {};
        std::vector<VARTYPE> types;
        for (const COleVariant& arg : calls.back()->args) types.push_back(arg.vt);
        return types;
    }
    // The types a method sends when exactly one entry, at place, holds a grid.
    static std::vector<VARTYPE> Expected(const Method& m, int place, VARTYPE grid) {
        std::vector<VARTYPE> types(m.args, VT_EMPTY);
        if (place != kNotSent) types[place] = grid;
        return types;
    }
    const COleVariant& Sent(const Method& m, const Property& p) const {
        return ChartCalls(ChartCall::Call, m.dispid).back()->args.at(m.Place(p));
    }
};

TEST_F(TemplatesTest, EachEntryGoesInItsPlaceAndOnlyTheMethodThatSendsItDestroysIt) {
    for (const Property& p : kProperties) {
        const VARTYPE grid = VT_ARRAY | (p.entry == CTemplateStore::kBlobTemplate ? VT_UI1 : VT_VARIANT);
        for (auto [first, second] : {std::pair{kAddTemplate, kAddTemplateEx}, {kAddTemplateEx, kAddTemplate},
                                     {kAddTemplate, kAddTemplate}, {kAddTemplateEx, kAddTemplateEx}}) {
            SCOPED_TRACE(testing::Message() << p.name << ", " << first.name << " then " << second.name);
            ASSERT_TRUE(SetFilled(p).Ok());
            EXPECT_TRUE(chart_->Calls().empty()) << "setting sends nothing";
            const int firstPlace = first.Place(p);
            EXPECT_EQ(Send(first), Expected(first, firstPlace, grid));
            // An entry the first method sent is gone; one it left is sent now.
            const int secondPlace = firstPlace == kNotSent ? second.Place(p) : kNotSent;
            EXPECT_EQ(Send(second), Expected(second, secondPlace, grid));
            const bool sent = firstPlace != kNotSent || secondPlace != kNotSent;
            EXPECT_EQ(CTemplateStore::Grid(p.entry) == nullptr, sent) << "an entry lives until it is sent";
            CTemplateStore::DiscardAll();
            chart_->ClearCalls();
        }
    }
}

// Read at layout 310 whatever the version, as every template table is (below).
TEST_F(TemplatesTest, MapRecordsGiveTheirKeysSwapped) {
    const struct {
        const char* what;
        std::vector<std::vector<std::string>> tables;  // set one after the other
        std::vector<Row> expected;
    } cases[] = {
        {"full keys and inner blanks", {{Record({{10, "KEY-ONE-10"}, {10, " X Y"}}), Record({{10, ""}, {10, "Z"}})}},
         {{"BSTR: X Y", "BSTR:KEY-ONE-10"}, {"BSTR:Z", "BSTR:"}}},
        {"no rows", {{}}, {}},
        {"the second table replaces the first", {{Record({{10, "OLD"}, {10, "OLD"}}), "x"}, {"P1        P2"}},
         {{"BSTR:P2", "BSTR:P1"}}},
    };
    for (const char* name : {"StrategyMap", "PerspectiveMap", "ObjectiveMap"}) {
        const Property& map = Find(name);
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << name << ": " << c.what);
            for (const auto& table : c.tables) ASSERT_TRUE(PutRecords(name, table).Ok());
            EXPECT_TRUE(chart_->Calls().empty());
            EXPECT_EQ(Send(kAddTemplate), Expected(kAddTemplate, map.inAddTemplate, VT_ARRAY | VT_VARIANT));
            EXPECT_EQ(GridRows(Sent(kAddTemplate, map)), c.expected);
            chart_->ClearCalls();
        }
    }
}

TEST_F(TemplatesTest, TemplatesReadTheRecordsOfTheirBaseTableAtLayout310) {
    const struct {
        const char* base;
        DISPID property;
        const char* templ;
        const Method& method;
    } cases[] = {
        {"Strategies", chart::kStrategies, "StrategyTemplate", kAddTemplate},
        {"Objectives", chart::kObjectives, "ObjectiveTemplate", kAddTemplate},
        {"StrategiesFromBlob", chart::kStrategiesFromBlob, "StrategiesFromBlobTemplate", kAddTemplateEx},
        {"PerspectivesFromBlob", chart::kPerspectivesFromBlob, "PerspectivesFromBlobTemplate", kAddTemplateEx},
        {"ObjectivesFromBlob", chart::kObjectivesFromBlob, "ObjectivesFromBlobTemplate", kAddTemplateEx},
        {"LinksFromBlob", chart::kLinksFromBlob, "LinksFromBlobTemplate", kAddTemplateEx},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.templ);
        ASSERT_TRUE(SetVersion(310).Ok());
        ASSERT_TRUE(PutRecords(c.base, {VariedRecord(), VariedRecord().substr(5)}).Ok());
        ASSERT_TRUE(SetVersion(20).Ok());
        ASSERT_TRUE(PutRecords(c.templ, {VariedRecord(), VariedRecord().substr(5)}).Ok());
        Send(c.method);
        const std::vector<Row> base = GridRows(chart_->PropertyValue(c.property));
        EXPECT_FALSE(base.empty());
        EXPECT_EQ(GridRows(Sent(c.method, Find(c.templ))), base);
    }
}

TEST_F(TemplatesTest, TheStoreIsSharedByEveryControl) {
    ComPtr<IDispatch> other;
    other.Attach(new CTesselAdapterCtrl);
    const Property& map = Find("StrategyMap");
    ASSERT_TRUE(PutRecords(map.name, {Record({{10, "A"}, {10, "B"}})}).Ok());
    std::swap(control_, other);  // the second control sends what the first collected
    ASSERT_TRUE(Attach().Ok());
    EXPECT_EQ(Send(kAddTemplate), Expected(kAddTemplate, map.inAddTemplate, VT_ARRAY | VT_VARIANT));
    EXPECT_EQ(RowCells(Sent(kAddTemplate, map), 0), (Row{"BSTR:B", "BSTR:A"}));
    std::swap(control_, other);
    EXPECT_EQ(Send(kAddTemplate), Expected(kAddTemplate, kNotSent, VT_EMPTY)) << "and the first sees it gone";
}

TEST_F(TemplatesTest, WithoutAChartOrWhenItFailsNoEntryIsDestroyed) {
    constexpr HRESULT kChartCode = static_cast<HRESULT>(0x80041234);
    for (const Method& m : {kAddTemplate, kAddTemplateEx}) {
        for (bool attached : {false, true}) {
            SCOPED_TRACE(testing::Message() << m.name << (attached ? ", chart fails" : ", no chart"));
            ASSERT_TRUE(SetFilled(Find("StrategyTemplate")).Ok());
            ASSERT_TRUE(SetFilled(Find("LinkMap")).Ok());
            if (attached)
                chart_->FailNext(m.dispid, kChartCode, OLESTR("chart says no"));
            else
                ASSERT_EQ(Call("HandleTesselCtrl", {COleVariant(static_cast<IDispatch*>(nullptr))}).Code(), E_POINTER);
            Outcome out = Call(m.name);
            EXPECT_EQ(out.Code(), attached ? kChartCode : E_POINTER);
            EXPECT_FALSE(out.description.empty());
            EXPECT_NE(CTemplateStore::Grid(CTemplateStore::kStrategyTemplate), nullptr);
            EXPECT_NE(CTemplateStore::Grid(CTemplateStore::kLinkMap), nullptr);

            ASSERT_TRUE(Attach().Ok());
            std::vector<VARTYPE> expected(m.args, VT_EMPTY);
            expected.front() = expected.back() = VT_ARRAY | VT_VARIANT;
            EXPECT_EQ(Send(m), expected) << "a later call sends the same grids";
            EXPECT_EQ(CTemplateStore::Grid(CTemplateStore::kLinkMap), nullptr);
        }
    }
}

// Kept, or refused before a grid is made: still filled, or created and empty.
TEST_F(TemplatesTest, AKeptOrRefusedTableLeavesTheEntryAsItWas) {
    const struct {
        const char* property;
        std::vector<std::string> refused;  // the second table's records
        LONG dataFlag;
        bool rowStore = true;
    } cases[] = {
        {"LinksFromBlobTemplate", {"kept"}, 0},
        {"StrategyMap", {"no row store"}, 1, false},
        {"BlobTemplate", {}, 1},                           // no chunks
        {"BlobTemplate", {std::string(1026, '\x7f')}, 1},  // a chunk longer than a chunk can be
    };
    for (const auto& c : cases) {
        const Property& p = Find(c.property);
        const Method& m = p.inAddTemplate != kNotSent ? kAddTemplate : kAddTemplateEx;
        for (bool filledFirst : {true, false}) {
            SCOPED_TRACE(testing::Message() << c.property << (filledFirst ? " filled" : " new") << ", "
                                            << c.refused.size() << " records, flag " << c.dataFlag);
            std::string before = Dump(COleVariant());  // created and empty
            if (filledFirst) {
                ASSERT_TRUE(SetFilled(p).Ok());
                before = Dump(*CTemplateStore::Grid(p.entry));
            }
            auto table = RecordTable(c.refused);
            table->SetDataFlag(c.dataFlag);
            table->SetOffersRowStore(c.rowStore);
            ASSERT_TRUE(Put(p.name, table.Get()).Ok());
            ASSERT_NE(CTemplateStore::Grid(p.entry), nullptr) << "the entry exists once its property is set";
            EXPECT_EQ(Dump(*CTemplateStore::Grid(p.entry)), before);
            const VARTYPE grid = filledFirst ? CTemplateStore::Grid(p.entry)->vt : VARTYPE{VT_EMPTY};
            EXPECT_EQ(Send(m), Expected(m, m.Place(p), grid));
        }
    }
}

// The last chunk is read first, for the size, then chunk 1; chunk 2 fails.
TEST_F(TemplatesTest, ABlobFillFailingPartWayLeavesItsPartlyJoinedBlobToBeSent) {
    const Property& blob = Find("BlobTemplate");
    ASSERT_TRUE(SetFilled(blob).Ok());
    const std::string full(1021, 'a');
    auto table = RecordTable({Chunk(full), Chunk(full), Chunk("xyz")});
    table->SetDataFlag(1);
    table->FailCall(standins::HostOp::ReadRow, 3, E_ACCESSDENIED);
    EXPECT_EQ(Put(blob.name, table.Get()).Code(), E_ACCESSDENIED);
    Send(kAddTemplate);
    EXPECT_EQ(Dump(Sent(kAddTemplate, blob)), full + std::string(1021 + 3, '\0'));
}

}  // namespace
