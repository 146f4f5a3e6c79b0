// Every call that the tree, blob, blob-sourced, map and template members
// make on a host table, a cell table or the chart, failed in turn: the member
// fails with that call's code, sends nothing after it, and leaves nothing
// alive.
#include <gtest/gtest.h>

#include <variant>

#include "control/ChartMembers.h"
#include "links/TemplateStore.h"
#include "platform/posix/LiveCounts.h"
#include "support/AdapterFixture.h"

namespace {

using namespace testing_support;
using standins::CellOp;
using standins::ChartOp;
using standins::HostOp;
using Op = std::variant<CellOp, HostOp, ChartOp>;

constexpr HRESULT kCode = static_cast<HRESULT>(0x8004D00D);

// The table a member is handed: a cell table or a record table.
struct Subject {
    ComPtr<standins::HostCellTable> cells;
    ComPtr<standins::HostRecordTable> records;

    IDispatch* Dispatch() const {
        return cells ? static_cast<IDispatch*>(cells.Get()) : static_cast<IDispatch*>(records.Get());
    }
    unsigned RefCount() const { return cells ? cells->RefCount() : records->RefCount(); }
};

Subject TreeTable() {
    Subject s{standins::HostCellTable::Create(3, 4), nullptr};
    for (LONG r = 1; r <= 3; ++r)
        for (LONG c = 1; c <= 4; ++c)
            s.cells->SetCell(r, c, c == 1 ? COleVariant(r < 3 ? OLESTR("K1") : OLESTR("K2")) : COleVariant(LONG{r}));
    return s;
}

Subject ChunkTable() {
    std::string first(1026, 'a'), last(1026, 'b');
    first[2] = '\xFD';  // 1021
    first[3] = '\x03';
    last[2] = '\x05';
    last[3] = '\0';
    return {nullptr, standins::HostRecordTable::Create({first, last})};
}

Subject TwoRecords() { return {nullptr, standins::HostRecordTable::Create({"P1 1", "P2 2"})}; }

COleSafeArray TwoRows(DWORD columns) {
    COleSafeArray grid;
    const DWORD size[2] = {2, columns};
    grid.Create(VT_VARIANT, 2, size);
    for (LONG r = 0; r < 2; ++r)  // links tags, harmless elsewhere
        for (auto [c, tag] : {std::pair<LONG, LONG>{1, 1}, {6, 1}, {11, 2}})
            if (c < static_cast<LONG>(columns)) {
                LONG index[2] = {r, c};
                grid.PutElement(index, COleVariant(tag));
            }
    return grid;
}

struct Case {
    const char* member;
    SHORT version;
    bool get;  // a write-back getter, run on a lent table
    Subject (*make)();
    std::vector<Op> ops;
    DISPID chartValue = 0;  // what the chart holds for a getter
    DWORD columns = 0;      // its grid's columns; 0: the blob's bytes
    const char* collect = nullptr;  // a template method: the property set first
};

class FaultSweepTest : public AdapterFixture {
protected:
    unsigned Count(const Subject& s, Op op) const {
        if (const auto* o = std::get_if<CellOp>(&op)) return s.cells->CallCount(*o);
        if (const auto* o = std::get_if<HostOp>(&op)) return s.records->CallCount(*o);
        return chart_->CallCount(std::get<ChartOp>(op));
    }
    void Fail(const Subject& s, Op op, unsigned nth) {
        if (const auto* o = std::get_if<CellOp>(&op)) return s.cells->FailCall(*o, nth, kCode);
        if (const auto* o = std::get_if<HostOp>(&op)) return s.records->FailCall(*o, nth, kCode);
        chart_->FailCall(std::get<ChartOp>(op), nth, kCode);
    }
    // A fresh chart and table, the getter's table lent; then the member,
    // with the kth of its own calls of op failing (k 0: none). Returns the
    // number of calls of op the member made.
    unsigned Run(const Case& c, Op op, unsigned k, Outcome& out) {
        chart_ = standins::ChartStandIn::Create();
        EXPECT_TRUE(Attach().Ok());
        const std::size_t lookCalls = chart_->Calls().size();  // the font, sent on attaching
        EXPECT_TRUE(SetVersion(c.version).Ok());
        if (c.columns != 0) chart_->SetProperty(c.chartValue, TwoRows(c.columns));
        if (c.columns == 0 && c.get) {
            COleSafeArray blob;
            blob.CreateOneDim(VT_UI1, 1500, std::string(1500, 'z').data());
            chart_->SetProperty(chart::kBlob, blob);
        }
        Subject s = c.make();
        if (c.get) {
            s.records->SetDataFlag(0);
            EXPECT_TRUE(Put(c.member, s.Dispatch()).Ok());
        }
        if (c.collect) {
            EXPECT_TRUE(Put(c.collect, s.Dispatch()).Ok());
        }
        const unsigned before = Count(s, op);
        if (k != 0) Fail(s, op, before + k);
        out = c.collect ? Call(c.member) : c.get ? Get(c.member) : Put(c.member, s.Dispatch());
        const unsigned made = Count(s, op) - before;

        if (k != 0) {
            EXPECT_EQ(out.Code(), kCode) << out.description;
            EXPECT_FALSE(out.description.empty());
            // Getters ask the chart first; setters send only once the table is read.
            const std::size_t chartCalls = std::holds_alternative<ChartOp>(op) ? k : c.get ? 1 : 0;
            EXPECT_EQ(chart_->Calls().size() - lookCalls, chartCalls) << "nothing is sent after the failure";
            EXPECT_EQ(s.RefCount(), c.get ? 2u : 1u) << "only a lent table stays kept";
        }
        Call("HandleTesselCtrl", {COleVariant(static_cast<IDispatch*>(nullptr))});  // lets the chart go
        CTemplateStore::DiscardAll();  // what a template member collected, partly filled or not
        return made;
    }
};

TEST_F(FaultSweepTest, EveryCallOfTheseMembersFailsTheMemberWithItsCode) {
    const std::vector<Op> cellOps = {CellOp::QueryInterface, CellOp::RowCount, CellOp::ColumnCount, CellOp::Cell};
    // Map and template tables are only collected; the other tables are sent.
    const std::vector<Op> collectOps = {HostOp::QueryInterface, HostOp::GetDataFlag, HostOp::GetRowStore,
                                        HostOp::GetRowCount, HostOp::ReadRow};
    const std::vector<Op> writeOps = {HostOp::GetRowStore, HostOp::ClearRows, HostOp::AppendRow, ChartOp::Get};
    auto with = [](std::vector<Op> ops, Op op) {
        ops.push_back(op);
        return ops;
    };
    const std::vector<Op> readOps = with(collectOps, ChartOp::Put);
    const Case cases[] = {
        {"MeasureData", 310, false, TreeTable, with(cellOps, ChartOp::Put)},
        {"InitiativeData", 20, false, TreeTable, with(cellOps, ChartOp::Put)},
        {"AdditionalMeasureItem", 30, false, TreeTable, with(cellOps, ChartOp::Put)},
        {"MeasureDataRow", 310, false, TreeTable, with(cellOps, ChartOp::Call)},
        {"InitiativeDataRow", 20, false, TreeTable, with(cellOps, ChartOp::Call)},
        {"AdditionalInitiativeItem", 310, false, TreeTable, cellOps},
        {"Blob", 310, false, ChunkTable, readOps},
        {"Blob", 310, true, TwoRecords, writeOps},
        {"Blob", 20, true, TwoRecords, {HostOp::GetRowStore, HostOp::ClearRows, HostOp::AppendRow, ChartOp::Call}},
        {"PerspectivesFromBlob", 310, false, TwoRecords, readOps},
        {"StrategiesFromBlob", 310, false, TwoRecords, readOps},
        {"ObjectivesFromBlob", 310, false, TwoRecords, readOps},
        {"LinksFromBlob", 310, false, TwoRecords, readOps},
        {"PerspectivesFromBlob", 310, true, TwoRecords, writeOps, chart::kPerspectivesFromBlob, 3},
        {"StrategiesFromBlob", 310, true, TwoRecords, writeOps, chart::kStrategiesFromBlob, 3},
        {"ObjectivesFromBlob", 310, true, TwoRecords, writeOps, chart::kObjectivesFromBlob, 8},
        {"LinksFromBlob", 310, true, TwoRecords, writeOps, chart::kLinksFromBlob, 16},
        {"StrategyMap", 20, false, TwoRecords, collectOps},
        {"PerspectiveMap", 30, false, TwoRecords, collectOps},
        {"ObjectiveMap", 310, false, TwoRecords, collectOps},
        {"StrategyTemplate", 20, false, TwoRecords, collectOps},
        {"ObjectivesFromBlobTemplate", 310, false, TwoRecords, collectOps},
        {"BlobTemplate", 310, false, ChunkTable, collectOps},
        {"AddTemplate", 310, false, TwoRecords, {ChartOp::Call}, 0, 0, "StrategyMap"},
        {"AddTemplateEx", 20, false, TwoRecords, {ChartOp::Call}, 0, 0, "LinksFromBlobTemplate"},
    };
    for (const Case& c : cases) {
        for (const Op& op : c.ops) {
            SCOPED_TRACE(testing::Message() << c.member << (c.get ? " get" : " set") << " at " << c.version
                                            << ", operation " << op.index() << ":"
                                            << std::visit([](auto o) { return static_cast<int>(o); }, op));
            Outcome out;
            const unsigned calls = Run(c, op, 0, out);
            ASSERT_TRUE(out.Ok()) << out.description;
            EXPECT_GT(calls, 0u) << "the sweep reaches the operation";
            out = Outcome();
            chart_.Reset();
            const long bstrs = platform::LiveBstrCount();
            const long arrays = platform::LiveArrayCount();
            for (unsigned k = 1; k <= calls; ++k) {
                SCOPED_TRACE(k);
                Run(c, op, k, out);
                out = Outcome();
                chart_.Reset();
                EXPECT_EQ(platform::LiveBstrCount(), bstrs);
                EXPECT_EQ(platform::LiveArrayCount(), arrays);
            }
        }
    }
}

}  // namespace
