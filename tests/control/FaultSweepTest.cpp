// Fails, one at a time, each call a member makes on the host table, the cell
// table, the row store and the chart: plainly and, through Invoke, raised
// with a description. Each time the member must fail with that code, send
// nothing after the failed call, leave a kept table kept, every stand-in at
// its reference count, and no object, string or array alive. Every member is
// swept on the example scorecard's tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "control/ChartMembers.h"
#include "links/TemplateStore.h"
#include "platform/LiveCounts.h"
#include "standins/TableFiles.h"
#include "standins/Utf8.h"
#include "support/AdapterFixture.h"

namespace {

using namespace testing_support;
using standins::CellOp;
using standins::ChartOp;
using standins::HostOp;
using FaultOp = std::variant<CellOp, HostOp, ChartOp>;

constexpr HRESULT kCode = static_cast<HRESULT>(0x8004D00D);
const OleString kDescription = OLESTR("Injected: the disk is full");

// Every operation a sweep can fail, with its name for messages.
struct OpName {
    FaultOp op;
    const char* name;
};
// clang-format off
const OpName kOps[] = {
    {CellOp::QueryInterface, "cell QueryInterface"}, {CellOp::RowCount, "cell RowCount"},
    {CellOp::ColumnCount, "cell ColumnCount"},       {CellOp::Cell, "cell Cell"},
    {HostOp::QueryInterface, "host QueryInterface"}, {HostOp::GetDataFlag, "host GetDataFlag"},
    {HostOp::GetRowStore, "host GetRowStore"},       {HostOp::ReadRow, "row store ReadRow"},
    {HostOp::AppendRow, "row store AppendRow"},      {HostOp::ClearRows, "row store ClearRows"},
    {HostOp::GetRowCount, "row store GetRowCount"},  {ChartOp::QueryInterface, "chart QueryInterface"},
    {ChartOp::Put, "chart put"},                     {ChartOp::Get, "chart get"},
    {ChartOp::Call, "chart call"},
};
// clang-format on

std::size_t IndexOf(const FaultOp& op) {
    return static_cast<std::size_t>(std::ranges::find_if(kOps, [&](const OpName& known) { return known.op == op; }) -
                                    std::begin(kOps));
}

// Calls through IDispatch::Invoke can raise an exception with a description;
// QueryInterface and the host table's own slots return a code only.
bool CanRaise(const FaultOp& op) {
    if (std::holds_alternative<HostOp>(op)) return false;
    return std::visit([](auto o) { return o != decltype(o)::QueryInterface; }, op);
}

// The host table a member is handed: a cell table or a record table.
struct SweepTable {
    ComPtr<standins::HostCellTable> cells;
    ComPtr<standins::HostRecordTable> records;

    IDispatch* Dispatch() const {
        return cells ? static_cast<IDispatch*>(cells.Get()) : static_cast<IDispatch*>(records.Get());
    }
    ULONG RefCount() const { return cells ? cells->RefCount() : records ? records->RefCount() : 0; }
};

struct SweepCase {
    enum Action { Put, Get, Call };

    const char* member;
    SHORT version = 310;
    Action action = Put;
    // Put: the table put. Get: the table lent to be written back.
    SweepTable (*table)() = nullptr;
    // What the chart holds or answers before the member runs.
    void (*chart)(standins::ChartStandIn&) = nullptr;
    std::vector<COleVariant> args = {};  // a call's arguments
};

class FaultSweepFixture : public AdapterFixture {
protected:
    // Sweeps every operation the member calls; returns the failures injected.
    unsigned Sweep(const SweepCase& sweep) {
        SCOPED_TRACE(testing::Message() << sweep.member << " at " << sweep.version);
        const Stamps clean = Run(sweep, nullptr, nullptr);
        unsigned injected = 0;
        for (const auto& [index, stamps] : clean) {
            const FaultOp& op = kOps[index].op;
            for (unsigned k = 1; k <= stamps.size(); ++k) {
                for (const bool raise : {false, true}) {
                    if (raise && !CanRaise(op)) continue;
                    SCOPED_TRACE(testing::Message()
                                 << kOps[index].name << " call " << k << (raise ? " raised" : " plain"));
                    const Fault fault{op, k, kCode, raise ? kDescription : OleString()};
                    Run(sweep, &fault, &clean);
                    ++injected;
                }
            }
        }
        Open();  // the fixture's own control and chart, for its teardown
        return injected;
    }

private:
    struct Fault {
        FaultOp op;
        unsigned nth = 0;  // from the member's first call of op
        HRESULT code = S_OK;
        OleString description;
    };
    // The clock stamps of every call the member made, by operation.
    using Stamps = std::map<std::size_t, std::vector<std::uint64_t>>;

    // One run on a fresh control, chart and tables; returns the member's stamps.
    Stamps Run(const SweepCase& sweep, const Fault* fault, const Stamps* clean) {
        const long bstrs = platform::LiveBstrCount();
        const long arrays = platform::LiveArrayCount();
        Open();
        if (sweep.chart) sweep.chart(*chart_);
        EXPECT_TRUE(Attach().Ok());
        EXPECT_TRUE(SetVersion(sweep.version).Ok());

        // A getter writes into the table it was lent; any other member must
        // leave alone the table kept for a later getter.
        SweepTable table = sweep.table ? sweep.table() : SweepTable{};
        const bool writesBack = sweep.action == SweepCase::Get && table.records;
        SweepTable kept{nullptr, writesBack ? table.records : standins::HostRecordTable::Create()};
        kept.records->SetDataFlag(0);
        EXPECT_TRUE(Put(writesBack ? sweep.member : "Objectives", kept.Dispatch()).Ok());

        const Stamps before = StampsOf(table);
        const ULONG tableRefs = table.RefCount();
        const ULONG keptRefs = kept.RefCount();
        const ULONG chartRefs = chart_->RefCount();
        const long objects = standins::LiveObjects();
        if (fault) {
            const unsigned nth = static_cast<unsigned>(before.at(IndexOf(fault->op)).size()) + fault->nth;
            if (const auto* o = std::get_if<CellOp>(&fault->op))
                table.cells->FailCall(*o, nth, fault->code, fault->description);
            else if (const auto* o = std::get_if<HostOp>(&fault->op))
                table.records->FailCall(*o, nth, fault->code);
            else
                chart_->FailCall(std::get<ChartOp>(fault->op), nth, fault->code, fault->description);
        }

        Outcome out;
        switch (sweep.action) {
            case SweepCase::Put: out = AdapterFixture::Put(sweep.member, table.Dispatch()); break;
            case SweepCase::Get: out = AdapterFixture::Get(sweep.member); break;
            case SweepCase::Call: out = AdapterFixture::Call(sweep.member, sweep.args); break;
        }

        Stamps made = StampsOf(table);
        for (auto& [op, stamps] : made) stamps.erase(stamps.begin(), stamps.begin() + before.at(op).size());
        if (!fault) {
            EXPECT_TRUE(out.Ok()) << out.description;
        } else {
            EXPECT_EQ(out.Code(), fault->code) << out.description;
            if (fault->description.empty())
                EXPECT_NE(out.description, "") << "a failure always says what failed";
            else
                EXPECT_EQ(out.description, standins::ToUtf8(fault->description));
            // The calls of the clean run up to the failed one, that one included:
            // nothing may follow it, on the tables or on the chart.
            const std::uint64_t failedAt = clean->at(IndexOf(fault->op)).at(fault->nth - 1);
            for (const auto& [op, cleanCalls] : *clean) {
                const auto expected = std::ranges::count_if(cleanCalls, [&](auto at) { return at <= failedAt; });
                EXPECT_EQ(made.at(op).size(), static_cast<std::size_t>(expected)) << kOps[op].name << " calls";
            }
        }
        out = Outcome();
        EXPECT_EQ(standins::LiveObjects(), objects) << "a row store or other object was left alive";
        EXPECT_EQ(chart_->RefCount(), chartRefs);
        // A successful write-back hands its table back: it is kept no longer.
        EXPECT_EQ(kept.RefCount(), writesBack && !fault ? keptRefs - 1 : keptRefs) << "the kept table stays kept";
        if (!writesBack) {
            EXPECT_EQ(table.RefCount(), tableRefs);
        }
        if (fault && writesBack) {
            // Still kept: the next getter writes into it and hands it back.
            const Outcome again = AdapterFixture::Get(sweep.member);
            EXPECT_TRUE(again.Ok()) << again.description;
            EXPECT_EQ(again.value.vt == VT_DISPATCH ? again.value.pdispVal : nullptr, kept.Dispatch());
        }

        Close();
        CTemplateStore::DiscardAll();
        table = SweepTable{};
        kept = SweepTable{};
        EXPECT_EQ(standins::LiveObjects(), 0);
        EXPECT_EQ(platform::LiveBstrCount(), bstrs) << "strings leaked";
        EXPECT_EQ(platform::LiveArrayCount(), arrays) << "arrays leaked";
        return made;
    }

    Stamps StampsOf(const SweepTable& table) const {
        Stamps stamps;
        for (const OpName& known : kOps) {
            const std::vector<std::uint64_t>* seen = nullptr;
            if (const auto* o = std::get_if<CellOp>(&known.op)) {
                if (table.cells) seen = &table.cells->CallStamps(*o);
            } else if (const auto* o = std::get_if<HostOp>(&known.op)) {
                if (table.records) seen = &table.records->CallStamps(*o);
            } else {
                seen = &chart_->CallStamps(std::get<ChartOp>(known.op));
            }
            if (seen) stamps[IndexOf(known.op)] = *seen;
        }
        return stamps;
    }
};

// An example file's name, as a template argument.
template <std::size_t N>
struct Example {
    char name[N];
    constexpr Example(const char (&text)[N]) { std::copy_n(text, N, name); }
};

// An example table: cells from a .tsv, chunks from a .bin, records otherwise.
template <Example File>
SweepTable Load() {
    const auto loaded = standins::LoadTable(TESSEL_EXAMPLES_DIR "/" + std::string(File.name), File.name);
    return {loaded.cells, loaded.records};
}
SweepTable TwoRecords() { return {nullptr, standins::HostRecordTable::Create({"P1 1", "P2 2"})}; }

// Two grid rows of `Columns` cells, with the section tags a links grid needs.
template <DISPID Property, LONG Columns>
void TwoRows(standins::ChartStandIn& chart) {
    std::vector<COleVariant> row(Columns);
    for (auto [c, tag] : {std::pair<LONG, LONG>{1, 1}, {6, 1}, {11, 2}})
        if (c < Columns) row[c] = COleVariant(tag);
    chart.SetProperty(Property, Grid({row, row}, Columns));
}

void BlobBytes(standins::ChartStandIn& chart) { chart.SetProperty(chart::kBlob, ByteArray(std::string(1500, 'z'))); }

void Selections(standins::ChartStandIn& chart) {
    chart.SetSelection(OLESTR("OBJ04"), OLESTR("INTIMACY"), OLESTR("CUS"));
    chart.SetMatrix(OLESTR("OBJ04"), OLESTR("M-NPS"));
    chart.SetStrategy(OLESTR("INTIMACY"));
}

TEST_F(FaultSweepFixture, EveryCallOfEveryMemberFailsTheMemberAndLeavesEverythingAsItWas) {
    using enum SweepCase::Action;
    // Record tables at layout 310 only: every layout runs the same reader,
    // which a layout changes by its fields alone. Of each family of members
    // made from one template (selections, context menu switches, the tree
    // field tables, the record tables read from the blob), one.
    const SweepCase cases[] = {
        {"UIStrings", 310, Put, Load<"ui-strings.txt">},
        {"Perspectives", 310, Put, Load<"perspectives.txt">},
        {"Strategies", 310, Put, Load<"strategies.txt">},
        {"Objectives", 310, Put, Load<"objectives.txt">},
        {"MeasureFields", 310, Put, Load<"measure-fields.txt">},
        {"AdditionalMeasureFields", 310, Put, Load<"measure-fields.txt">},
        {"MeasureData", 310, Put, Load<"measures.tsv">},
        {"InitiativeData", 20, Put, Load<"initiatives.tsv">},
        {"MeasureDataRow", 310, Put, Load<"measures.tsv">},
        {"InitiativeDataRow", 20, Put, Load<"initiatives.tsv">},
        {"AdditionalMeasureItem", 30, Put, Load<"measures.tsv">},
        {"AdditionalInitiativeItem", 310, Put, Load<"initiatives.tsv">},
        {"Links", 310, Put, Load<"links.txt">},
        {"ContextMenu", 310, Put, Load<"context-menu.txt">},
        {"MouseOver", 310, Put, Load<"mouse-over.txt">},
        {"Blob", 310, Put, Load<"layout.bin">},
        {"LinksFromBlob", 310, Put, Load<"links-from-blob.txt">},
        {"PerspectivesFromBlob", 310, Put, TwoRecords},
        {"StrategyMap", 310, Put, Load<"strategy-map.txt">},
        {"PerspectiveMap", 310, Put, Load<"perspective-map.txt">},
        {"ObjectiveMap", 310, Put, Load<"objective-map.txt">},
        {"LinkMap", 310, Put, Load<"link-map.txt">},
        {"StrategyTemplate", 310, Put, Load<"template-strategies.txt">},
        {"ObjectiveTemplate", 310, Put, Load<"template-objectives.txt">},
        {"ObjectiveLinkTemplate", 310, Put, Load<"template-links.txt">},
        {"Objectives", 310, Get, TwoRecords, TwoRows<chart::kObjectives, 16>},
        {"Links", 310, Get, TwoRecords, TwoRows<chart::kLinks, 16>},
        {"Blob", 310, Get, TwoRecords, BlobBytes},
        {"Blob", 20, Get, TwoRecords, BlobBytes},
        {"PerspectivesFromBlob", 310, Get, TwoRecords, TwoRows<chart::kPerspectivesFromBlob, 3>},
        {"LinksFromBlob", 310, Get, TwoRecords, TwoRows<chart::kLinksFromBlob, 16>},
        {"ObjectiveSelectionObj", 310, Get, nullptr, Selections},
        {"MatrixSelectionObj", 310, Get, nullptr, Selections},
        {"SelectedStrategy", 310, Get, nullptr, Selections},
        {"PresentationMode", 310, Get},
        {"DisableContextMenu", 310, Call, nullptr, nullptr, {COleVariant(LONG{5})}},
        {"HideContextMenu", 310, Call, nullptr, nullptr, {COleVariant(LONG{4})}},
        {"SetUseWEBGui", 310, Call, nullptr, nullptr, {COleVariant(SHORT{-1}, VT_BOOL)}},
        {"BlobTemplate", 310, Put, Load<"layout.bin">},
        {"LinksFromBlobTemplate", 310, Put, Load<"links-from-blob.txt">},
        {"AddTemplate", 310, Call},
        {"AddTemplateEx", 20, Call},
    };
    for (const SweepCase& sweep : cases)
        EXPECT_GT(Sweep(sweep), 0u) << sweep.member << " at " << sweep.version << ": the sweep reached no call";
}

}  // namespace
