// Record fills and write-backs of every converter and layout, each beside
// its floor (RecordFloor.h), at 10^3 to 10^6 rows.
//
// Names: Fill/<Property>/<layout>/<rows>, WriteBack/<Property>/<layout>/<rows>,
// and the same behind Floor/. Counters: ns_per_row, allocs (heap
// allocations of one fill or write-back, counted exactly over the whole run
// and divided by the iterations), strings (BSTRs it left alive) and, for
// fills, strings_beyond_text (strings less one per text element). The
// previous grid is dropped outside the timed region; the host table is built
// before.
#include <benchmark/benchmark.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Benchmarks.h"
#include "Measure.h"
#include "RecordFloor.h"
#include "SampleRecords.h"
#include "links/LinkMap.h"
#include "links/LinksFromBlob.h"
#include "links/ObjectivesFromBlob.h"
#include "links/PerspectivesFromBlob.h"
#include "links/StrategiesFromBlob.h"
#include "links/Links.h"
#include "scorecard/Objectives.h"
#include "scorecard/Perspectives.h"
#include "scorecard/Strategies.h"
#include "scorecard/TreeFields.h"
#include "standins/HostRecordTable.h"
#include "tables/ContextMenu.h"
#include "tables/MouseOver.h"
#include "tables/VantorStrings.h"

namespace {

using standins::HostRecordTable;

// A converter of any record table, with its grid.
struct Converter {
    std::unique_ptr<COrlinTableData> table;
    COleSafeArray* grid;
};

template <const RecordLayouts& Layouts>
Converter Make() {
    auto table = std::make_unique<CRecordTable<Layouts>>();
    COleSafeArray* grid = table.get();
    return {std::move(table), grid};
}

struct Property {
    const char* name;
    const RecordLayouts& layouts;
    Converter (*make)();
};

template <class T>
struct LayoutsOf;
template <const RecordLayouts& L>
struct LayoutsOf<CRecordTable<L>> {
    static constexpr const RecordLayouts& value = L;
};
template <class T>
Property PropertyOf(const char* name) {
    using Base = typename T::CRecordTable;  // the injected name of its base
    return {name, LayoutsOf<Base>::value, &Make<LayoutsOf<Base>::value>};
}

const std::vector<Property>& Properties() {
    static const std::vector<Property> properties = {
        PropertyOf<CPerspectives>("Perspectives"), PropertyOf<CStrategies>("Strategies"),
        PropertyOf<CObjectives>("Objectives"),     PropertyOf<CTreeFields>("MeasureFields"),
        PropertyOf<CLinks>("Links"),               PropertyOf<CLinkMap>("LinkMap"),
        PropertyOf<CContextMenu>("ContextMenu"),   PropertyOf<CMouseOver>("MouseOver"),
        PropertyOf<CVantorStrings>("UIStrings"),
        PropertyOf<CObjectivesFromBlob>("ObjectivesFromBlob"),
        PropertyOf<CStrategiesFromBlob>("StrategiesFromBlob"),
        PropertyOf<CPerspectivesFromBlob>("PerspectivesFromBlob"),
        PropertyOf<CLinksFromBlob>("LinksFromBlob"),
    };
    return properties;
}

// One layout version of a property: how to fill and write back at it.
struct Version {
    const char* name;
    std::optional<FillLayout> RecordLayouts::*fill;
    std::optional<WriteLayout> RecordLayouts::*write;
    BOOL (COrlinTableData::*doFill)(ComPtr<IHostTable>);
    BOOL (COrlinTableData::*doWrite)(ComPtr<IHostTable>);
};
constexpr Version kVersions[] = {
    {"310", &RecordLayouts::fill310, &RecordLayouts::write310, &COrlinTableData::Fill310,
     &COrlinTableData::WriteBackRows310},
    {"30", &RecordLayouts::fill30, &RecordLayouts::write30, &COrlinTableData::Fill30,
     &COrlinTableData::WriteBackRows30},
    {"20", &RecordLayouts::fill20, &RecordLayouts::write20, &COrlinTableData::Fill20,
     &COrlinTableData::WriteBackRows20},
};

// The sample table last asked for: the benchmarks of one layout and row
// count run one after the other, so one table serves them all.
ComPtr<HostRecordTable> SampleTable(const FillLayout& layout, std::size_t rows) {
    static const FieldSpec* fields = nullptr;
    static std::size_t cachedRows = 0;
    static ComPtr<HostRecordTable> table;
    if (!table || fields != layout.fields.data() || cachedRows != rows || layout.recordLength != table->Row(1).size()) {
        table.Reset();
        table = bench::SampleTable(layout, rows);
        fields = layout.fields.data();
        cachedRows = rows;
    }
    table->RestartCalls();
    return table;
}

std::size_t TextElements(const FillLayout& layout) {
    std::size_t count = 0;
    for (const FieldSpec& f : layout.fields)
        if (f.use == FieldUse::Text || f.use == FieldUse::Key)
            count += 1 + (f.also != kNoColumn) + (f.third != kNoColumn);
    return count;
}

void Fill(benchmark::State& state, const Property& property, const Version& version, std::size_t rows, bool floor,
          bench::Start start = bench::Start::Warm) {
    const FillLayout& layout = *(property.layouts.*version.fill);
    ComPtr<HostRecordTable> table = SampleTable(layout, rows);
    Converter converter = property.make();
    COleSafeArray floorGrid;
    BOOL filled = TRUE;
    bench::Measure(
        state, rows, "ns_per_row",
        [&] {
            converter.grid->Clear();
            floorGrid.Clear();
            table->RestartCalls();
        },
        [&] {
            if (floor)
                bench::FloorFill(floorGrid, *table, layout);
            else
                filled = ((*converter.table).*version.doFill)(table);
        },
        start);
    if (!filled) state.SkipWithError("the fill failed");
    if (floor && (!((*converter.table).*version.doFill)(table) || !bench::SameGrid(floorGrid, *converter.grid)))
        state.SkipWithError("the floor's grid is not the fill's");
    state.counters["strings_beyond_text"] =
        state.counters["strings"].value - static_cast<double>(rows * TextElements(layout));
}

void WriteBack(benchmark::State& state, const Property& property, const Version& version, std::size_t rows,
               bool floor) {
    const FillLayout& fill = *(property.layouts.*version.fill);
    const WriteLayout& layout = *(property.layouts.*version.write);
    Converter converter = property.make();
    if (!((*converter.table).*version.doFill)(SampleTable(fill, rows))) return state.SkipWithError("no grid");
    // Written back into one target, so the host's storage is warm after the
    // first write-back, as a lent table's is.
    ComPtr<HostRecordTable> target = HostRecordTable::Create();
    BOOL written = TRUE;
    bench::Measure(
        state, rows, "ns_per_row", [&] { target->RestartCalls(); },
        [&] {
            if (floor)
                bench::FloorWriteBack(*converter.grid, *target, layout);
            else
                written = ((*converter.table).*version.doWrite)(target);
        });
    if (!written) state.SkipWithError("the write-back failed");
}

// The first fill of a process-sized table in this process: its heap has not
// grown yet. Registered first, so it runs first.
void ColdFill(benchmark::State& state) {
    const Property& objectives = Properties()[2];
    Fill(state, objectives, kVersions[0], 1000000, false, bench::Start::Cold);
}

}  // namespace

void bench::RegisterRecordBenchmarks() {
    bench::Register("Cold/Fill/Objectives/310/1000000", ColdFill)->Iterations(1);
    for (const Property& property : Properties())
        for (const Version& version : kVersions) {
            if (!(property.layouts.*version.fill)) continue;
            const bool writes = (property.layouts.*version.write).has_value();
            for (std::size_t rows : {1000, 10000, 100000, 1000000}) {
                const std::string tail =
                    std::string(property.name) + "/" + version.name + "/" + std::to_string(rows);
                for (bool floor : {false, true})
                    bench::Register((floor ? "Floor/Fill/" : "Fill/") + tail, [&property, &version, rows, floor](auto& s) {
                        Fill(s, property, version, rows, floor);
                    });
                if (writes)
                    for (bool floor : {false, true})
                        bench::Register((floor ? "Floor/WriteBack/" : "WriteBack/") + tail,
                                 [&property, &version, rows, floor](auto& s) {
                                     WriteBack(s, property, version, rows, floor);
                                 });
            }
        }
}

