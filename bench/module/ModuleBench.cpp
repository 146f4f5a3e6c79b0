// tessel_module_bench: the control module's fills and write-backs as a host
// drives them. The control comes from TesselAdapter.ocx's class factory, its
// members are called through IDispatch::Invoke, the host tables and the
// chart are the stand-ins' objects in this process, and every string and
// array comes from the operating system's automation runtime.
//
// Names are those of bench/: Fill/<Property>/<layout>/<rows>,
// WriteBack/<Property>/<layout>/<rows>, Fill/MeasureData/310/<rows>/group<n>,
// Fill/Blob/310/<size>, WriteBack/Blob/310/<size>, each fill and write-back
// with its Floor/ beside it (bench/RecordFloor.h, built on the same runtime:
// one SysAllocStringLen per text field, the grid made once with
// SafeArrayCreate and written through SafeArrayAccessData), the blob beside
// Floor/Memcpy and Floor/MemcpyFresh.
//
//   tessel_module_bench [--filter REGEX] [--full] [--runs N] [--min-run-ms MS] [--list]
//
// --full adds 10^6 rows and the 16 and 64 MiB blobs. Each line is one JSON
// object with name and ns_per_row; blob lines also have ns_per_byte, and
// fills at the largest row count bytes_per_row, the process's private bytes
// that the grid holds while the chart keeps it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Harness.h"
#include "ModuleHost.h"
#include "bench/RecordFloor.h"
#include "bench/SampleRecords.h"
#include "control/ChartMembers.h"
#include "control/MemberDetail.h"
#include "control/TesselAdapterCtrl.h"
#include "links/Blob.h"
#include "platform/ComponentError.h"
#include "platform/OleSafeArray.h"
#include "platform/VariantGrid.h"
#include "standins/ChartStandIn.h"
#include "standins/Utf8.h"
#include "tables/ContextMenu.h"

namespace {

using module_bench::Settings;
using module_host::kPutRef;
using module_host::kRead;
using module_host::Members;
using module_host::PrivateBytes;
using standins::ChartCall;
using standins::ChartStandIn;
using standins::HostRecordTable;

constexpr SHORT kVersions[] = {310, 30, 20};

const char* LayoutName(Layout layout) { return layout == Layout::V310 ? "310" : layout == Layout::V30 ? "30" : "20"; }

// The control attached to a chart stand-in that drops what it is sent: the
// host measured here draws nothing and asks for nothing back, so the chart
// holds no copies unless a benchmark asks it to keep a property.
class Rig {
public:
    explicit Rig(const module_host::ControlModule& module)
        : chart_(ChartStandIn::Create()), control_(module.CreateControl()) {
        chart_->ForwardCalls([this](const ChartCall& call) { last_[call.kind] = call.dispid; });
        chart_->SetKeepsPuts(false);
        chart_->SetKeepsDrawing(false);
        control_.Call("HandleTesselCtrl", module_host::kCall, {COleVariant(static_cast<IDispatch*>(chart_.Get()))});
    }

    const Members& Control() const noexcept { return control_; }
    ChartStandIn& Chart() const noexcept { return *chart_; }
    // The chart member of the last put or get that reached the chart.
    std::optional<DISPID> Last(ChartCall::Kind kind) const {
        const auto found = last_.find(kind);
        return found == last_.end() ? std::nullopt : std::optional<DISPID>(found->second);
    }
    void Forget() { last_.clear(); }

    void SetVersion(SHORT version) const { control_.Call("SetVersion", module_host::kCall, {COleVariant(version)}); }

    // A failed member ends the program: every benchmark's input is valid.
    void Check(const DispatchResult& result, const std::string& what) const {
        if (result.Ok()) return;
        std::fprintf(stderr, "%s failed: %s (%s)\n", what.c_str(), ResultCodeText(result.code).c_str(),
                     standins::ToUtf8(result.description).c_str());
        std::exit(1);
    }

private:
    // The control goes first: it holds the chart, whose listener writes last_.
    std::map<ChartCall::Kind, DISPID> last_;
    ComPtr<ChartStandIn> chart_;
    Members control_;
};

// The sample table last asked for, so that a fill, its floor and the
// write-back of the same layout and rows share one.
ComPtr<HostRecordTable> SampleTable(const FillLayout& layout, std::size_t rows, std::size_t* bytesPerRow = nullptr) {
    static const FillLayout* cached = nullptr;
    static std::size_t cachedRows = 0, cachedBytes = 0;
    static ComPtr<HostRecordTable> table;
    if (cached != &layout || cachedRows != rows) {
        table.Reset();
        const std::size_t before = PrivateBytes();
        table = bench::SampleTable(layout, rows);
        cachedBytes = (PrivateBytes() - before) / rows;
        cached = &layout;
        cachedRows = rows;
    }
    if (bytesPerRow) *bytesPerRow = cachedBytes;
    table->RestartCalls();
    return table;
}

// The context menu goes to the chart one call per row, two texts and two
// numbers (the member's own cost, whatever its fill costs): its floor makes
// the same calls, straight from the grid it filled.
constexpr std::string_view kSentRowByRow = "ContextMenu";

void SendMenuRows(const COleSafeArray& grid, IDispatch& chart) {
    const CVariantGrid cells(grid);
    for (LONG r = 0; r < cells.Rows(); ++r) {
        const COleVariant first = CContextMenu::Number(cells.At(r, 0));
        const COleVariant second = CContextMenu::Number(cells.At(r, 2));
        VARIANT args[4] = {first, second, cells.At(r, 3), cells.At(r, 1)};  // last argument first
        DISPPARAMS params{args, nullptr, 4, 0};
        COleVariant result;
        CheckResult(chart.Invoke(chart::kContextMenuEntry, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                 &result, nullptr, nullptr));
    }
}

struct RecordMember {
    const char* name;
    DISPID id;  // as the module names it, asked when the member runs
    const MemberDetail* detail;
};

// The record tables of the dispatch map, one member per converter's
// layouts (members that share a converter's layouts fill alike).
std::vector<RecordMember> RecordMembers() {
    std::vector<RecordMember> members;
    std::set<const RecordLayouts*> seen;
    for (const COleControl::DispEntry& entry : CTesselAdapterCtrl::DispatchMap()) {
        const MemberDetail* detail = entry.detail;
        if (!detail || detail->form != TableForm::Records || !seen.insert(detail->records).second) continue;
        members.push_back({entry.name, DISPID_UNKNOWN, detail});
    }
    return members;
}

class Bench {
public:
    Bench(const module_host::ControlModule& module, Settings settings) : rig_(module), settings_(std::move(settings)) {}

    bool Wanted(const std::string& name) const { return std::regex_search(name, settings_.filter); }
    std::vector<std::size_t> Rows() const {
        return settings_.full ? std::vector<std::size_t>{10000, 1000000} : std::vector<std::size_t>{10000};
    }

    void Records(RecordMember member, bool listOnly);
    void Tree(bool listOnly);
    void Blob(bool listOnly);

private:
    void Fill(const RecordMember& member, SHORT version, const FillLayout& layout, std::size_t rows,
              const std::string& tail, bool listOnly);
    void WriteBack(const RecordMember& member, SHORT version, const FillLayout& fill, const WriteLayout& write,
                   std::size_t rows, const std::string& tail, bool listOnly);
    template <class Body>
    double Time(std::size_t units, Body&& body) {
        return module_bench::BestPerUnit(settings_, units, std::forward<Body>(body));
    }

    Rig rig_;
    Settings settings_;
};

void Bench::Records(RecordMember member, bool listOnly) {
    member.id = rig_.Control().MemberId(member.name);
    std::set<Layout> filled, written;
    for (SHORT version : kVersions) {
        const Layout fill = member.detail->fill.For(version);
        const FillLayout& fillLayout = *member.detail->records->Fill(fill);
        const std::string name = member.name;
        for (std::size_t rows : Rows()) {
            if (!filled.count(fill))
                Fill(member, version, fillLayout, rows, name + "/" + LayoutName(fill) + "/" + std::to_string(rows),
                     listOnly);
            if (!member.detail->writesBack) continue;
            const Layout write = member.detail->writeBack.For(version);
            if (written.count(write)) continue;
            WriteBack(member, version, *member.detail->records->Fill(write), *member.detail->records->Write(write),
                      rows, name + "/" + LayoutName(write) + "/" + std::to_string(rows), listOnly);
        }
        filled.insert(fill);
        if (member.detail->writesBack) written.insert(member.detail->writeBack.For(version));
    }
}

void Bench::Fill(const RecordMember& member, SHORT version, const FillLayout& layout, std::size_t rows,
                 const std::string& tail, bool listOnly) {
    const std::string name = "Fill/" + tail, floorName = "Floor/Fill/" + tail;
    if (!Wanted(name) && !Wanted(floorName)) return;
    if (listOnly) return (void)std::printf("%s\n%s\n", name.c_str(), floorName.c_str());
    std::size_t tableBytes = 0;
    ComPtr<HostRecordTable> table = SampleTable(layout, rows, &tableBytes);
    rig_.SetVersion(version);
    const COleVariant argument(static_cast<IDispatch*>(table.Get()));
    const VARIANT args[] = {argument};
    const DISPID id = member.id;
    if (Wanted(name)) {
        const double ns = Time(rows, [&] {
            table->RestartCalls();
            rig_.Check(rig_.Control().Try(id, kPutRef, args), name);
            return true;
        });
        std::string extra;
        if (rows == Rows().back()) {
            // What the grid holds, kept by the chart (a member that keeps its
            // grid in the module holds it there, and reads 0 here).
            rig_.Chart().SetKeepsPuts(true);
            rig_.Forget();
            const std::size_t before = PrivateBytes();
            rig_.Check(rig_.Control().Try(id, kPutRef, args), name);
            // A member that keeps its grid in the module has just released
            // the grid of the timed runs: the charge can fall, which reads 0.
            const std::size_t after = PrivateBytes(), held = after > before ? after - before : 0;
            if (const auto put = rig_.Last(ChartCall::Put)) rig_.Chart().SetProperty(*put, COleVariant());
            rig_.Chart().SetKeepsPuts(false);
            extra = ", \"bytes_per_row\": " + std::to_string(held / rows) +
                    ", \"table_bytes_per_row\": " + std::to_string(tableBytes);
        }
        module_bench::Print(name, ns, extra);
    }
    if (Wanted(floorName)) {
        COleSafeArray grid;
        module_bench::Print(floorName, Time(rows, [&] {
                                table->RestartCalls();
                                bench::FloorFill(grid, *table, layout);
                                if (member.name == kSentRowByRow) SendMenuRows(grid, rig_.Chart());
                                grid.Clear();
                                return true;
                            }));
    }
}

// The chart holds the grid of the write layout; each write-back lends an
// empty table (data flag 0), which the reader keeps, and reads the member,
// which takes the chart's grid back into it. The floor gets the same grid
// from the chart through the same Invoke (a copy, as the chart keeps its
// own) and writes it back directly.
void Bench::WriteBack(const RecordMember& member, SHORT version, const FillLayout& fill, const WriteLayout& write,
                      std::size_t rows, const std::string& tail, bool listOnly) {
    const std::string name = "WriteBack/" + tail, floorName = "Floor/WriteBack/" + tail;
    if (!Wanted(name) && !Wanted(floorName)) return;
    if (listOnly) return (void)std::printf("%s\n%s\n", name.c_str(), floorName.c_str());
    rig_.SetVersion(version);
    rig_.Forget();
    // A read with no kept table names the chart's property and writes nothing.
    rig_.Check(rig_.Control().Try(member.id, kRead), name);
    const std::optional<DISPID> property = rig_.Last(ChartCall::Get);
    if (!property) return (void)std::fprintf(stderr, "%s: the member reads no chart property\n", name.c_str());
    {
        COleSafeArray grid;
        bench::FloorFill(grid, *SampleTable(fill, rows), fill);
        rig_.Chart().SetProperty(*property, grid);
    }
    ComPtr<HostRecordTable> lent = HostRecordTable::Create();
    lent->SetDataFlag(0);
    const COleVariant argument(static_cast<IDispatch*>(lent.Get()));
    const VARIANT args[] = {argument};
    const DISPID id = member.id;
    if (Wanted(name))
        module_bench::Print(name, Time(rows, [&] {
                                lent->RestartCalls();
                                rig_.Check(rig_.Control().Try(id, kPutRef, args), name);
                                const DispatchResult back = rig_.Control().Try(id, kRead);
                                rig_.Check(back, name);
                                return back.value.vt == VT_DISPATCH && back.value.pdispVal;
                            }));
    if (Wanted(floorName)) {
        const DispatchDriver chart(&rig_.Chart(), {"IDispatch", &IID_IDispatch});
        module_bench::Print(floorName, Time(rows, [&] {
                                lent->RestartCalls();
                                COleVariant value = chart.GetProperty(*property);
                                COleSafeArray grid;
                                grid.Attach(value);
                                bench::FloorWriteBack(grid, *lent, write);
                                return true;
                            }));
    }
    rig_.Chart().SetProperty(*property, COleVariant());
}

void Bench::Tree(bool listOnly) {
    for (LONG groupRows : {1, 10, 100})
        for (std::size_t rows : Rows()) {
            const std::string name = "Fill/MeasureData/310/" + std::to_string(rows) + "/group" +
                                     std::to_string(groupRows);
            if (!Wanted(name)) continue;
            if (listOnly) {
                std::printf("%s\n", name.c_str());
                continue;
            }
            ComPtr<standins::HostCellTable> table = bench::SampleCells(static_cast<LONG>(rows), groupRows);
            rig_.SetVersion(310);
            const COleVariant argument(static_cast<IDispatch*>(table.Get()));
            const VARIANT args[] = {argument};
            const DISPID id = rig_.Control().MemberId("MeasureData");
            module_bench::Print(name, Time(rows, [&] {
                                    table->RestartCalls();
                                    rig_.Check(rig_.Control().Try(id, kPutRef, args), name);
                                    return true;
                                }));
        }
}

std::string SizeName(std::size_t bytes) {
    return bytes >= (1 << 20) ? std::to_string(bytes >> 20) + "MiB" : std::to_string(bytes >> 10) + "KiB";
}

// ns_per_row counts chunk records; ns_per_byte the blob's bytes.
void Bench::Blob(bool listOnly) {
    std::vector<std::size_t> sizes{1 << 20};
    if (settings_.full) sizes.insert(sizes.end(), {16 << 20, 64 << 20});
    const DISPID id = rig_.Control().MemberId("Blob");
    for (std::size_t bytes : sizes) {
        const std::string size = SizeName(bytes);
        const std::size_t chunks = (bytes + blob_chunk::kDataWidth - 1) / blob_chunk::kDataWidth;
        const auto print = [&](const std::string& name, double nsPerChunk) {
            const double perByte = nsPerChunk * static_cast<double>(chunks) / static_cast<double>(bytes);
            char extra[64];
            std::snprintf(extra, sizeof extra, ", \"ns_per_byte\": %.4f", perByte);
            module_bench::Print(name, nsPerChunk, extra);
        };
        const std::string fill = "Fill/Blob/310/" + size, write = "WriteBack/Blob/310/" + size;
        const std::string copy = "Floor/Memcpy/" + size, fresh = "Floor/MemcpyFresh/" + size;
        if (listOnly) {
            for (const std::string* name : {&fill, &write, &copy, &fresh})
                if (Wanted(*name)) std::printf("%s\n", name->c_str());
            continue;
        }
        rig_.SetVersion(310);
        ComPtr<HostRecordTable> table = bench::ChunkTable(bytes);
        const COleVariant argument(static_cast<IDispatch*>(table.Get()));
        const VARIANT args[] = {argument};
        if (Wanted(fill))
            print(fill, Time(chunks, [&] {
                      table->RestartCalls();
                      rig_.Check(rig_.Control().Try(id, kPutRef, args), fill);
                      return true;
                  }));
        if (Wanted(write)) {
            // The chart keeps the blob of one fill; lent tables take it back.
            rig_.Chart().SetKeepsPuts(true);
            rig_.Forget();
            rig_.Check(rig_.Control().Try(id, kPutRef, args), fill);
            rig_.Chart().SetKeepsPuts(false);
            ComPtr<HostRecordTable> lent = HostRecordTable::Create();
            lent->SetDataFlag(0);
            const COleVariant lentArgument(static_cast<IDispatch*>(lent.Get()));
            const VARIANT lentArgs[] = {lentArgument};
            print(write, Time(chunks, [&] {
                      lent->RestartCalls();
                      rig_.Check(rig_.Control().Try(id, kPutRef, lentArgs), write);
                      const DispatchResult back = rig_.Control().Try(id, kRead);
                      rig_.Check(back, write);
                      return back.value.vt == VT_DISPATCH && back.value.pdispVal;
                  }));
            if (const auto put = rig_.Last(ChartCall::Put)) rig_.Chart().SetProperty(*put, COleVariant());
        }
        std::vector<char> from(bytes, 'a'), to(bytes);
        if (Wanted(copy))
            print(copy, Time(chunks, [&] {
                      std::memcpy(to.data(), from.data(), bytes);
                      return to[bytes / 2] == 'a';
                  }));
        if (Wanted(fresh))
            print(fresh, Time(chunks, [&] {
                      COleSafeArray array;
                      array.CreateOneDim(VT_UI1, static_cast<DWORD>(bytes), from.data());
                      return true;
                  }));
    }
}

bool ParseArguments(int argc, char** argv, Settings& settings, bool& listOnly) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--filter" && hasValue)
            settings.filter = std::regex(argv[++i]);
        else if (arg == "--runs" && hasValue)
            settings.runs = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--min-run-ms" && hasValue)
            settings.minRun = std::chrono::milliseconds(std::atoi(argv[++i]));
        else if (arg == "--full")
            settings.full = true;
        else if (arg == "--list")
            listOnly = true;
        else
            return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Settings settings;
    bool listOnly = false;
    try {
        if (!ParseArguments(argc, argv, settings, listOnly)) {
            std::fprintf(stderr, "usage: %s [--filter REGEX] [--full] [--runs N] [--min-run-ms MS] [--list]\n",
                         argv[0]);
            return 2;
        }
    } catch (const std::regex_error& error) {
        std::fprintf(stderr, "--filter: %s\n", error.what());
        return 2;
    }
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    int status = 0;
    try {
        const module_host::ControlModule module;
        Bench bench(module, settings);
        for (const RecordMember& member : RecordMembers()) bench.Records(member, listOnly);
        bench.Tree(listOnly);
        bench.Blob(listOnly);
    } catch (const ComponentError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        status = 1;
    }
    CoUninitialize();
    return status;
}
