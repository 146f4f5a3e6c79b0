// Every member swept (see FaultSweepFixture) on the example scorecard's tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "control/ChartMembers.h"
#include "standins/TableFiles.h"
#include "support/FaultSweepFixture.h"

namespace {

using namespace testing_support;

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
    // made from one template (selections, context menu switches), one.
    unsigned total = 0;
    const SweepCase cases[] = {
        {"UIStrings", 310, Put, Load<"ui-strings.txt">},
        {"Perspectives", 310, Put, Load<"perspectives.txt">},
        {"Strategies", 310, Put, Load<"strategies.txt">},
        {"Objectives", 310, Put, Load<"objectives.txt">},
        {"MeasureFields", 310, Put, Load<"measure-fields.txt">},
        {"InitiativeFields", 310, Put, Load<"initiative-fields.txt">},
        {"AdditionalMeasureFields", 310, Put, Load<"measure-fields.txt">},
        {"AdditionalInitiativesFields", 310, Put, Load<"initiative-fields.txt">},
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
        {"StrategiesFromBlob", 310, Put, TwoRecords},
        {"ObjectivesFromBlob", 310, Put, TwoRecords},
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
        {"StrategiesFromBlob", 310, Get, TwoRecords, TwoRows<chart::kStrategiesFromBlob, 3>},
        {"ObjectivesFromBlob", 310, Get, TwoRecords, TwoRows<chart::kObjectivesFromBlob, 8>},
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
    for (const SweepCase& sweep : cases) {
        const unsigned injected = Sweep(sweep);
        EXPECT_GT(injected, 0u) << sweep.member << " at " << sweep.version << ": the sweep reached no call";
        total += injected;
    }
    std::printf("%u failures injected\n", total);
}

}  // namespace
