// tessel_soak ROUNDS [EXAMPLES_FOLDER [kept|fresh]]: the bundled example's host
// session ROUNDS times in one process, through the control module's class
// factory and IDispatch::Invoke under the system's automation runtime, on a
// control kept for every round and on a fresh one per round (`kept` or `fresh`
// runs only that one, so that growth is told by control). It fails when a step
// answers otherwise than a host expects, the private bytes grew by 1 MiB from
// round 100 (round 1 in shorter soaks), a handle was gained, an object is left
// once all is released, or DllCanUnloadNow then answers other than S_OK.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "ModuleHost.h"
#include "control/ChartMembers.h"
#include "platform/ComponentError.h"
#include "platform/OleSafeArray.h"
#include "standins/ChartStandIn.h"
#include "standins/StandInObject.h"
#include "standins/TableFiles.h"
#include "standins/Utf8.h"

namespace {

using module_host::kCall, module_host::kPut, module_host::kPutRef, module_host::kRead, module_host::Members;
using standins::ChartStandIn, standins::HostRecordTable;

struct Snapshot { long round; std::size_t privateBytes; unsigned long handles; long liveObjects; };

void Print(const Snapshot& s) {
    std::printf("{\"round\": %ld, \"private_bytes\": %llu, \"handles\": %lu, \"live_objects\": %ld}\n", s.round,
                static_cast<unsigned long long>(s.privateBytes), s.handles, s.liveObjects);
    std::fflush(stdout);
}

COleVariant Object(IDispatch* object) { return COleVariant(object); }
COleVariant Short(SHORT value) { return COleVariant(value); }
COleVariant Text(const wchar_t* text) { return COleVariant(text); }

// The example's tables, loaded once: a host keeps its tables too.
class Tables {
public:
    explicit Tables(const std::filesystem::path& folder) : folder_(folder) {}
    IDispatch* operator[](const char* file) {
        auto found = loaded_.find(file);
        if (found == loaded_.end()) found = loaded_.emplace(file, standins::LoadTable(folder_ / file, file)).first;
        return found->second.Dispatch();
    }
    // The stand-ins record every call made to them: forgotten each round,
    // so that what grows is the module's, not the record's.
    void RestartCalls() {
        for (auto& [file, table] : loaded_) {
            if (table.records) table.records->RestartCalls();
            if (table.cells) table.cells->RestartCalls();
        }
    }
    const COleSafeArray& ChartLinks() {
        if (chartLinks_.vt == VT_EMPTY)
            standins::LoadCellGrid(folder_ / "chart-links.tsv", "chart-links.tsv", chartLinks_);
        return chartLinks_;
    }

private:
    std::filesystem::path folder_;
    std::map<std::string, standins::LoadedTable> loaded_;
    COleSafeArray chartLinks_;
};

// One session's steps against one control and its chart; a step whose
// outcome is not the expected one is counted and its first few printed.
class Session {
public:
    Session(const Members& control, ChartStandIn& chart, Tables& tables, long& faults)
        : control_(control), chart_(chart), tables_(tables), faults_(faults) {}

    void Run();

private:
    using Args = std::vector<COleVariant>;

    void Unexpected(const std::string& what) {
        if (++faults_ <= 10) std::fprintf(stderr, "%s\n", what.c_str());
    }
    void Expect(const char* member, WORD flags, const Args& args, bool succeeds) {
        const DispatchResult result = control_.Try(member, flags, args);
        if (result.Ok() == succeeds) return;
        Unexpected(std::string(member) + " (flags " + std::to_string(flags) + "): " +
                   (succeeds ? "failed, " + ResultCodeText(result.code) + " " + standins::ToUtf8(result.description)
                             : "succeeded where it should fail"));
    }
    void Ok(const char* member, WORD flags, const Args& args = {}) { Expect(member, flags, args, true); }
    void Fails(const char* member, WORD flags, const Args& args = {}) { Expect(member, flags, args, false); }
    void Set(const char* member, const char* file) { Ok(member, kPutRef, {Object(tables_[file])}); }
    // An empty table, to lend to a member that fills it.
    static ComPtr<HostRecordTable> Lent() {
        ComPtr<HostRecordTable> lent = HostRecordTable::Create();
        lent->SetDataFlag(0);
        return lent;
    }
    void GetBack(const char* member) {
        const ComPtr<HostRecordTable> lent = Lent();
        Ok(member, kPutRef, {Object(lent.Get())});
        const DispatchResult back = control_.Try(member, kRead);
        if (back.Ok() && back.value.vt == VT_DISPATCH && back.value.pdispVal == lent.Get() && lent->RowCount() > 0)
            return;
        Unexpected(std::string(member) + ": the lent table did not come back filled");
    }
    void Templates();
    void FailingPaths();

    const Members& control_;
    ChartStandIn& chart_;
    Tables& tables_;
    long& faults_;
};

void Session::Run() {
    Ok("SetVersion", kCall, {Short(310)});
    Ok("HandleTesselCtrl", kCall, {Object(&chart_)});  // sends the colours and the font
    Ok("SetUseWEBGui", kCall, {COleVariant(SHORT{0}, VT_BOOL)});

    for (const auto& [member, file] : {
             std::pair{"UIStrings", "ui-strings.txt"}, {"Perspectives", "perspectives.txt"},
             {"Strategies", "strategies.txt"}, {"Objectives", "objectives.txt"}, {"MeasureFields", "measure-fields.txt"},
             {"InitiativeFields", "initiative-fields.txt"}, {"AdditionalMeasureFields", "measure-fields.txt"},
             {"AdditionalInitiativesFields", "initiative-fields.txt"}, {"MeasureData", "measures.tsv"},
             {"InitiativeData", "initiatives.tsv"}, {"MeasureDataRow", "measures.tsv"},
             {"InitiativeDataRow", "initiatives.tsv"}, {"AdditionalMeasureItem", "measures.tsv"},
             {"AdditionalInitiativeItem", "initiatives.tsv"}, {"Links", "links.txt"},
             {"ContextMenu", "context-menu.txt"}, {"MouseOver", "mouse-over.txt"}, {"Blob", "layout.bin"},
             {"LinksFromBlob", "links-from-blob.txt"}, {"ObjectivesFromBlob", "template-objectives-from-blob.txt"},
             {"StrategiesFromBlob", "template-strategies-from-blob.txt"},
             {"PerspectivesFromBlob", "template-perspectives-from-blob.txt"}})
        Set(member, file);

    for (const char* member : {"PresentationMode", "MovingRestrictions", "StatusBitmapVersion"}) {
        Ok(member, kPut, {Short(1)});
        Ok(member, kRead);
    }
    chart_.SetSelection(L"OBJ04", L"INTIMACY", L"CUS");
    for (const char* member : {"ObjectiveSelectionObj", "ObjectiveSelectionStrat", "ObjectiveSelectionPers"})
        Ok(member, kRead);
    chart_.SetMatrix(L"OBJ04", L"M-NPS");
    Ok("MatrixSelectionObj", kRead);
    Ok("MatrixSelectionRow", kRead);
    chart_.SetStrategy(L"INTIMACY");
    Ok("SelectedStrategy", kRead);
    for (const char* member : {"DisableContextMenu", "EnableContextMenu", "HideContextMenu", "ShowContextMenu"})
        Ok(member, kCall, {COleVariant(LONG{5})});
    // No one answers the save dialog here: it is cancelled, and nothing is saved.
    Ok("SaveAsJPeg", kCall, {Text(L"Save the strategy map")});

    // Each table the chart hands back, into a lent table; the links as the
    // chart holds them come from the example.
    chart_.SetProperty(chart::kLinks, tables_.ChartLinks());
    for (const char* member : {"Objectives", "Links", "Blob", "LinksFromBlob", "ObjectivesFromBlob",
                               "StrategiesFromBlob", "PerspectivesFromBlob"})
        GetBack(member);

    Templates();
    FailingPaths();
}

// A template from a blob, then from the chart's compact tables instead.
void Session::Templates() {
    const auto both = [this] {
        for (const auto& [member, file] : {
                 std::pair{"StrategyTemplate", "template-strategies.txt"}, {"ObjectiveTemplate", "template-objectives.txt"},
                 {"ObjectiveLinkTemplate", "template-links.txt"}, {"StrategyMap", "strategy-map.txt"},
                 {"PerspectiveMap", "perspective-map.txt"}, {"ObjectiveMap", "objective-map.txt"},
                 {"LinkMap", "link-map.txt"}})
            Set(member, file);
    };
    both();
    Set("BlobTemplate", "template-layout.bin");
    Ok("AddTemplate", kCall);
    both();
    Set("StrategiesFromBlobTemplate", "template-strategies-from-blob.txt");
    Set("PerspectivesFromBlobTemplate", "template-perspectives-from-blob.txt");
    Set("ObjectivesFromBlobTemplate", "template-objectives-from-blob.txt");
    Set("LinksFromBlobTemplate", "template-links-from-blob.txt");
    Ok("AddTemplateEx", kCall);
}

void Session::FailingPaths() {
    // The chart refuses a put, raised and plain.
    chart_.FailNext(chart::kPerspectives, E_FAIL, L"chart refused the perspectives");
    Fails("Perspectives", kPutRef, {Object(tables_["perspectives.txt"])});
    chart_.FailCall(standins::ChartOp::Put, chart_.CallCount(standins::ChartOp::Put) + 1, E_OUTOFMEMORY);
    Fails("Strategies", kPutRef, {Object(tables_["strategies.txt"])});
    // A failing get leaves the lent table kept.
    const ComPtr<HostRecordTable> lent = Lent();
    Ok("Objectives", kPutRef, {Object(lent.Get())});
    chart_.FailNext(chart::kObjectives, E_FAIL, L"chart has no objectives now");
    Fails("Objectives", kRead);
    // Chart values of the wrong shape: a text, then a one-dimensional grid.
    const COleVariant kept = chart_.PropertyValue(chart::kObjectives);
    chart_.SetProperty(chart::kObjectives, Text(L"not a grid"));
    Fails("Objectives", kRead);
    COleSafeArray row;
    row.CreateOneDim(VT_VARIANT, 3);
    chart_.SetProperty(chart::kObjectives, row);
    Fails("Objectives", kRead);
    chart_.SetProperty(chart::kObjectives, kept);
    // The lent table stays kept into the next round, or the control's release.
    Ok("Objectives", kPutRef, {Object(lent.Get())});
    // Tables too large for any grid or blob.
    for (const auto& [member, rows] : {std::pair{"Objectives", ULONG{1} << 28}, std::pair{"MeasureFields", ~ULONG{0}},
                                       std::pair{"Blob", ULONG{1} << 22}}) {
        ComPtr<HostRecordTable> huge = HostRecordTable::Create({"row"});
        huge->ClaimRowCount(rows);
        Fails(member, kPutRef, {Object(huge.Get())});
    }
    // Members that refuse what they are given.
    Fails("SelectedStrategy", kPut, {Text(L"x")});
    Fails("HandleTesselCtrl", kCall, {Object(nullptr)});
    Ok("Objectives", kPutRef, {Object(&chart_)});  // no host table: nothing to fill from
    Ok("Objectives", kPutRef, {Object(nullptr)});  // nothing to fill from
}

// The chart of a soak keeps what is put, for the gets, and nothing else: no
// record of the calls and nothing for a drawing.
ComPtr<ChartStandIn> SoakChart() {
    ComPtr<ChartStandIn> chart = ChartStandIn::Create();
    chart->ForwardCalls([](const standins::ChartCall&) {});
    chart->SetKeepsDrawing(false);
    return chart;
}

struct Controls { bool kept = true, fresh = true; };

int Soak(long rounds, const std::filesystem::path& examples, Controls controls) {
    long faults = 0;
    std::vector<Snapshot> shown;
    HRESULT unload = E_FAIL;
    long left = 0;
    {
        const module_host::ControlModule module;
        {
            Tables tables(examples);
            const Members kept(module.CreateControl());
            long held = 0;
            const long from = rounds >= 200 ? 100 : 1;
            for (long round = 1; round <= rounds; ++round) {
                // The kept control gets a fresh chart each round (the chart
                // stand-in records its calls' stamps); a reference the module
                // kept on an old one shows as a live object.
                tables.RestartCalls();
                if (controls.kept) Session(kept, *SoakChart(), tables, faults).Run();
                if (controls.fresh) Session(Members(module.CreateControl()), *SoakChart(), tables, faults).Run();
                // What a round leaves by design: the loaded tables, the kept
                // control's chart and the lent table that control keeps.
                if (round == 1) held = standins::LiveObjects();
                if (round == from || round == rounds) {
                    shown.push_back({round, module_host::PrivateBytes(), module_host::HandleCount(),
                                     standins::LiveObjects() - held});
                    Print(shown.back());
                }
            }
        }
        left = standins::LiveObjects();
        unload = module.CanUnloadNow();
    }
    int status = 0;
    const auto miss = [&status](const std::string& what) {
        std::fprintf(stderr, "MISSED: %s\n", what.c_str());
        status = 1;
    };
    if (faults) miss(std::to_string(faults) + " steps answered otherwise than expected");
    if (shown.size() == 2) {
        const Snapshot &first = shown.front(), &last = shown.back();
        if (last.privateBytes >= first.privateBytes + (std::size_t{1} << 20))
            miss("private bytes grew by " + std::to_string(last.privateBytes - first.privateBytes));
        if (last.handles > first.handles) miss("handles grew by " + std::to_string(last.handles - first.handles));
        if (last.liveObjects != first.liveObjects)
            miss("live objects went from " + std::to_string(first.liveObjects) + " to " +
                 std::to_string(last.liveObjects));
    }
    if (left != 0) miss(std::to_string(left) + " objects left once everything was released");
    if (unload != S_OK) miss("DllCanUnloadNow answered " + ResultCodeText(unload));
    std::printf("{\"rounds\": %ld, \"faults\": %ld, \"objects_left\": %ld, \"can_unload\": %s}\n", rounds, faults, left,
                unload == S_OK ? "true" : "false");
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    const long rounds = argc > 1 ? std::atol(argv[1]) : 0;
    const std::string only = argc > 3 ? argv[3] : "";
    if (rounds < 1 || argc > 4 || (argc > 3 && only != "kept" && only != "fresh")) {
        std::fprintf(stderr, "usage: %s ROUNDS [EXAMPLES_FOLDER [kept|fresh]]\n", argv[0]);
        return 2;
    }
    const std::filesystem::path examples = argc > 2 ? argv[2] : TESSEL_EXAMPLES_DIR;
    const Controls controls{only != "fresh", only != "kept"};
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    int status = 1;
    try {
        status = Soak(rounds, examples, controls);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
    }
    CoUninitialize();
    return status;
}
