#include "support/FaultSweepFixture.h"

#include <algorithm>

#include "links/TemplateStore.h"
#include "platform/LiveCounts.h"
#include "standins/Utf8.h"

namespace testing_support {

namespace {

using standins::CellOp;
using standins::ChartOp;
using standins::HostOp;

constexpr HRESULT kCode = static_cast<HRESULT>(0x8004D00D);
const OleString kDescription = OLESTR("Injected: the disk is full");

// Every operation a sweep can fail, with its name for messages.
struct OpName {
    FaultOp op;
    const char* name;
};
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

std::size_t IndexOf(const FaultOp& op) {
    return static_cast<std::size_t>(
        std::ranges::find_if(kOps, [&](const OpName& known) { return known.op == op; }) - std::begin(kOps));
}

// Calls through IDispatch::Invoke can raise an exception with a description;
// QueryInterface and the host table's own slots return a code only.
bool CanRaise(const FaultOp& op) {
    if (std::holds_alternative<HostOp>(op)) return false;
    return std::visit([](auto o) { return o != decltype(o)::QueryInterface; }, op);
}

}  // namespace

IDispatch* SweepTable::Dispatch() const {
    if (cells) return cells.Get();
    return records ? static_cast<IDispatch*>(records.Get()) : nullptr;
}

ULONG SweepTable::RefCount() const {
    if (cells) return cells->RefCount();
    return records ? records->RefCount() : 0;
}

FaultSweepFixture::Stamps FaultSweepFixture::StampsOf(const SweepTable& table) const {
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

FaultSweepFixture::Stamps FaultSweepFixture::Run(const SweepCase& sweep, const Fault* fault, const Stamps* clean) {
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
        if (const auto* o = std::get_if<CellOp>(&fault->op)) table.cells->FailCall(*o, nth, fault->code, fault->description);
        else if (const auto* o = std::get_if<HostOp>(&fault->op)) table.records->FailCall(*o, nth, fault->code);
        else chart_->FailCall(std::get<ChartOp>(fault->op), nth, fault->code, fault->description);
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

unsigned FaultSweepFixture::Sweep(const SweepCase& sweep) {
    SCOPED_TRACE(testing::Message() << sweep.member << " at " << sweep.version);
    const Stamps clean = Run(sweep, nullptr, nullptr);
    unsigned injected = 0;
    for (const auto& [index, stamps] : clean) {
        const FaultOp& op = kOps[index].op;
        for (unsigned k = 1; k <= stamps.size(); ++k) {
            for (const bool raise : {false, true}) {
                if (raise && !CanRaise(op)) continue;
                SCOPED_TRACE(testing::Message() << kOps[index].name << " call " << k << (raise ? " raised" : " plain"));
                const Fault fault{op, k, kCode, raise ? kDescription : OleString()};
                Run(sweep, &fault, &clean);
                ++injected;
            }
        }
    }
    Open();  // the fixture's own control and chart, for its teardown
    return injected;
}

}  // namespace testing_support
