#include "tools/Reference.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "control/ChartMembers.h"
#include "links/TemplateStore.h"
#include "platform/SaveFileDialog.h"
#include "scorecard/TreeItems.h"
#include "standins/ChartStandIn.h"
#include "standins/ChartTrace.h"
#include "standins/HostCellTable.h"
#include "standins/HostEnvironmentStandIn.h"
#include "standins/HostRecordTable.h"
#include "tools/AdapterMembers.h"
#include "tools/ControlDriver.h"
#include "tools/LayoutDescription.h"

namespace tessel {

namespace {

constexpr SHORT kVersions[] = {310, 30, 20};

std::string TypeName(VARTYPE type) {
    switch (type) {
        case VT_DISPATCH: return "object (`VT_DISPATCH`)";
        case VT_I4: return "long (`VT_I4`)";
        case VT_I2: return "short (`VT_I2`)";
        case VT_BOOL: return "boolean (`VT_BOOL`)";
        case VT_BSTR: return "text (`VT_BSTR`)";
        default: return "nothing";
    }
}

// A record that reads clean with the layout: every field holds what its use
// expects, so the fill goes through and its chart calls show.
std::string SampleRecord(const FillLayout& layout) {
    std::string record(layout.recordLength, ' ');
    for (const FieldSpec& f : layout.fields) {
        std::string_view value;
        switch (f.use) {
            case FieldUse::Skip: break;
            case FieldUse::Text: case FieldUse::Key: value = "K"; break;
            case FieldUse::Marker: case FieldUse::Flag: value = "X"; break;
            default: value = "1"; break;
        }
        record.replace(f.offset, value.size(), value);
    }
    return record;
}

COleVariant SampleTable(const MemberDetail& table, SHORT version) {
    if (table.form == TableForm::Cells) {
        const tree_items::RowLayout& rows = tree_items::RowsOf(table.fill.For(version));
        const LONG columns = std::max<LONG>({rows.column0, rows.column1, rows.firstPlain});
        const ComPtr<standins::HostCellTable> cells = standins::HostCellTable::Create(1, columns);
        for (LONG c = 1; c <= columns; ++c) cells->SetCell(1, c, COleVariant(c == 1 ? OLESTR("K") : OLESTR("1")));
        return COleVariant(static_cast<IDispatch*>(cells.Get()));
    }
    const ComPtr<standins::HostRecordTable> records = standins::HostRecordTable::Create();
    if (table.form == TableForm::Chunks) {
        std::string chunk(blob_chunk::kRecordLength, '\0');
        chunk[blob_chunk::kNumberOffset] = 1;
        chunk[blob_chunk::kLengthOffset] = 1;
        records->AddRow(chunk);
    } else if (const auto& layout = table.records->Fill(table.fill.For(version))) {
        records->AddRow(SampleRecord(*layout));
    }
    return COleVariant(static_cast<IDispatch*>(records.Get()));
}

COleVariant SampleArgument(VARTYPE type, IDispatch* chart) {
    switch (type) {
        case VT_I4: return COleVariant(LONG{1});
        case VT_I2: return COleVariant(SHORT{310}, VT_I2);
        case VT_BOOL: return COleVariant(SHORT{VARIANT_TRUE}, VT_BOOL);
        case VT_BSTR: return COleVariant(OLESTR("Title"));
        default: return COleVariant(chart);
    }
}

enum class Way { Set, Get, Call };

// For a table whose set reached no chart member: the template method that
// sends what the set collected, and where among its arguments.
std::string CollectedBy(ControlDriver& control, standins::ChartStandIn& chart) {
    for (const char* method : {"AddTemplate", "AddTemplateEx"}) {
        chart.ClearCalls();
        control.Call(method, {});
        if (chart.Calls().empty()) continue;
        const std::vector<COleVariant>& args = chart.Calls().back().args;
        const auto sent = std::ranges::find_if(args, [](const COleVariant& arg) { return arg.vt != VT_EMPTY; });
        if (sent == args.end()) continue;
        chart.ClearCalls();
        return std::string("; collected, then sent by ") + method + " as argument " +
               std::to_string(sent - args.begin() + 1);
    }
    chart.ClearCalls();
    return {};
}

struct Probe {
    std::string calls;  // as the summary names them: "put 3 Perspectives"
    Outcome outcome;
};

// One use of the member at the version, against a fresh control.
Probe Run(const AdapterMember& member, Way way, SHORT version) {
    // A host with a colour scheme, and a save dialog the user confirms, so
    // that every call a member can make is made.
    const standins::HostEnvironmentStandIn host;
    platform::InstallSaveDialogAnswerer([](const platform::SaveDialogOptions&) { return OleString(OLESTR("map.jpg")); });
    const ComPtr<standins::ChartStandIn> chart = standins::ChartStandIn::Create();
    std::vector<std::string> calls;
    std::string collected;
    Probe probe;
    {
        ControlDriver control;
        control.Prepare(version, member.name != "HandleTesselCtrl" ? chart.Get() : nullptr);
        chart->ClearCalls();
        switch (way) {
            case Way::Set:
                probe.outcome = control.Put(
                    member.name, member.table ? SampleTable(*member.table, version) : COleVariant(LONG{1}));
                if (member.table && chart->Calls().empty()) collected = CollectedBy(control, *chart);
                break;
            case Way::Get: probe.outcome = control.Get(member.name); break;
            case Way::Call: {
                if (!member.TakesArgument()) {
                    probe.outcome = control.Call(member.name, {});
                    break;
                }
                const COleVariant argument = SampleArgument(member.parameter, chart.Get());
                probe.outcome =
                    control.Call(member.name, std::span<const VARIANT>(static_cast<const VARIANT*>(&argument), 1));
                break;
            }
        }
    }
    CTemplateStore::DiscardAll();
    platform::InstallSaveDialogAnswerer({});
    for (const standins::ChartCall& call : chart->Calls()) {
        std::string text = std::string(standins::ChartCallKindName(call.kind)) + ' ' + std::to_string(call.dispid);
        if (const chart::Member* known = chart::Find(call.dispid)) text += ' ' + std::string(known->name);
        if (calls.empty() || calls.back() != text) calls.push_back(std::move(text));
    }
    for (const std::string& call : calls) probe.calls += (probe.calls.empty() ? "" : ", ") + call;
    if (probe.calls.empty()) probe.calls = "nothing";
    probe.calls += collected;
    probe.outcome.value.Clear();  // a table handed back goes with the control
    return probe;
}

// "yes", or the failure a host sees.
std::string Rule(const AdapterMember& member, Way way, bool allowed) {
    if (allowed) return "yes";
    const Outcome outcome = Run(member, way, 310).outcome;
    return "refused: " + ResultCodeText(outcome.code) + " " + outcome.error;
}

// The calls at every version, versions that agree together.
std::string CallsAtEveryVersion(const AdapterMember& member, Way way) {
    std::vector<std::pair<std::string, std::vector<SHORT>>> groups;
    for (const SHORT version : kVersions) {
        std::string calls = Run(member, way, version).calls;
        const auto same = std::ranges::find(groups, calls, &std::pair<std::string, std::vector<SHORT>>::first);
        if (same != groups.end())
            same->second.push_back(version);
        else
            groups.push_back({std::move(calls), {version}});
    }
    if (groups.size() == 1) return groups.front().first;
    std::string text;
    for (const auto& [calls, versions] : groups) text += (text.empty() ? "" : "; ") + calls + " (" + VersionsOf(versions) + ")";
    return text;
}

void AppendMemberRow(std::string& out, const AdapterMember& member) {
    out += "| " + std::to_string(member.id) + " | `" + std::string(member.name) + "` | ";
    if (!member.IsProperty()) {
        std::string parameters = member.TakesArgument()
                                     ? std::string(member.parameterName) + ": " + TypeName(member.parameter)
                                     : "";
        out += "method | (" + parameters + ") returns " + TypeName(member.result) + " | | | " +
               CallsAtEveryVersion(member, Way::Call) + " |\n";
        return;
    }
    const std::string type = member.table                              ? "table (`VT_DISPATCH`)"
                             : TypeName(member.kind == MemberKind::LongProperty ? VT_I4 : VT_BSTR);
    std::string calls;
    if (member.writable) calls += "put: " + CallsAtEveryVersion(member, Way::Set);
    if (member.readable) calls += std::string(calls.empty() ? "" : "; ") + "get: " + CallsAtEveryVersion(member, Way::Get);
    out += "property | " + type + " | " + Rule(member, Way::Get, member.readable) + " | " +
           Rule(member, Way::Set, member.writable) + " | " +
           calls + " |\n";
}

}  // namespace

std::string ReferenceText() {
    std::string out =
        "# The adapter's members and table layouts\n\n"
        "Generated by `tessel reference` from the adapter's dispatch map and layout tables; do not edit it.\n"
        "The chart calls are those each member makes on the stand-in chart when it is attached, the host\n"
        "environment has a colour scheme and a save dialog is confirmed. Reading a put-only property or\n"
        "writing a get-only one is refused with the code shown.\n\n"
        "## Members\n\n"
        "| DISPID | member | kind | value | get | put | chart calls |\n"
        "|---:|---|---|---|---|---|---|\n";
    for (const AdapterMember& member : AdapterMembers()) AppendMemberRow(out, member);
    out +=
        "\n## Table layouts\n\n"
        "For each table property, the layout its setter reads at each version and, for a property that is also\n"
        "read, the layout its getter writes the chart's data back in. Offsets and widths are in bytes; a\n"
        "record shorter than its layout reads as if padded with blanks. `tessel layout PROPERTY` prints the\n"
        "same for one version, `tessel check PROPERTY FILE` checks a table file against it.\n\n";
    for (const AdapterMember& member : AdapterMembers())
        if (member.table) AppendLayoutMarkdown(out, member);
    return out;
}

}  // namespace tessel
