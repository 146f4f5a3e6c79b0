// Every member, swept: each call it makes on a host table, a cell table, a
// row store or the chart is failed in turn (see FaultSweepFixture), on the
// example scorecard's tables.
#include <gtest/gtest.h>

#include <cstdio>

#include "control/ChartMembers.h"
#include "standins/TableFiles.h"
#include "support/FaultSweepFixture.h"

namespace {

using namespace testing_support;

// An example table: cells from a .tsv, chunks from a .bin, records otherwise.
template <const char* File>
SweepTable Load() {
    const std::string path = std::string(TESSEL_EXAMPLES_DIR "/") + File, name = File;
    if (name.ends_with(".tsv")) return {standins::LoadCellTable(path, File), nullptr};
    return {nullptr, name.ends_with(".bin") ? standins::LoadChunkTable(path, File) : standins::LoadRecordTable(path, File)};
}
SweepTable TwoRecords() { return {nullptr, standins::HostRecordTable::Create({"P1 1", "P2 2"})}; }

constexpr char kUi[] = "ui-strings.txt", kPerspectives[] = "perspectives.txt", kStrategies[] = "strategies.txt",
               kObjectives[] = "objectives.txt", kMeasureFields[] = "measure-fields.txt",
               kInitiativeFields[] = "initiative-fields.txt", kMeasures[] = "measures.tsv",
               kInitiatives[] = "initiatives.tsv", kLinks[] = "links.txt", kMenu[] = "context-menu.txt",
               kMouseOver[] = "mouse-over.txt", kLayout[] = "layout.bin", kLinksFromBlob[] = "links-from-blob.txt",
               kStrategyMap[] = "strategy-map.txt", kPerspectiveMap[] = "perspective-map.txt",
               kObjectiveMap[] = "objective-map.txt", kLinkMap[] = "link-map.txt",
               kTemplateStrategies[] = "template-strategies.txt", kTemplateObjectives[] = "template-objectives.txt",
               kTemplateLinks[] = "template-links.txt";

// Two grid rows of `Columns` cells, with the section tags a links grid needs.
template <DISPID Property, DWORD Columns>
void TwoRows(standins::ChartStandIn& chart) {
    COleSafeArray grid;
    const DWORD size[2] = {2, Columns};
    grid.Create(VT_VARIANT, 2, size);
    for (LONG r = 0; r < 2; ++r)
        for (auto [c, tag] : {std::pair<LONG, LONG>{1, 1}, {6, 1}, {11, 2}})
            if (c < static_cast<LONG>(Columns)) {
                LONG index[2] = {r, c};
                grid.PutElement(index, COleVariant(tag));
            }
    chart.SetProperty(Property, grid);
}

void BlobBytes(standins::ChartStandIn& chart) {
    COleSafeArray blob;
    blob.CreateOneDim(VT_UI1, 1500, std::string(1500, 'z').data());
    chart.SetProperty(chart::kBlob, blob);
}

void Selections(standins::ChartStandIn& chart) {
    chart.SetSelection(OLESTR("OBJ04"), OLESTR("INTIMACY"), OLESTR("CUS"));
    chart.SetMatrix(OLESTR("OBJ04"), OLESTR("M-NPS"));
    chart.SetStrategy(OLESTR("INTIMACY"));
}

COleVariant Long(LONG value) { return COleVariant(value); }

TEST_F(FaultSweepFixture, EveryCallOfEveryMemberFailsTheMemberAndLeavesEverythingAsItWas) {
    using enum SweepCase::Action;
    unsigned total = 0;
    const SweepCase cases[] = {
        {"UIStrings", 310, Put, Load<kUi>},
        {"Perspectives", 310, Put, Load<kPerspectives>},
        {"Perspectives", 30, Put, Load<kPerspectives>},
        {"Perspectives", 20, Put, Load<kPerspectives>},
        {"Strategies", 310, Put, Load<kStrategies>},
        {"Strategies", 20, Put, Load<kStrategies>},
        {"Objectives", 310, Put, Load<kObjectives>},
        {"Objectives", 30, Put, Load<kObjectives>},
        {"Objectives", 20, Put, Load<kObjectives>},
        {"MeasureFields", 310, Put, Load<kMeasureFields>},
        {"InitiativeFields", 310, Put, Load<kInitiativeFields>},
        {"AdditionalMeasureFields", 310, Put, Load<kMeasureFields>},
        {"AdditionalInitiativesFields", 310, Put, Load<kInitiativeFields>},
        {"MeasureData", 310, Put, Load<kMeasures>},
        {"InitiativeData", 20, Put, Load<kInitiatives>},
        {"MeasureDataRow", 310, Put, Load<kMeasures>},
        {"InitiativeDataRow", 20, Put, Load<kInitiatives>},
        {"AdditionalMeasureItem", 30, Put, Load<kMeasures>},
        {"AdditionalInitiativeItem", 310, Put, Load<kInitiatives>},
        {"Links", 310, Put, Load<kLinks>},
        {"ContextMenu", 310, Put, Load<kMenu>},
        {"MouseOver", 310, Put, Load<kMouseOver>},
        {"Blob", 310, Put, Load<kLayout>},
        {"LinksFromBlob", 310, Put, Load<kLinksFromBlob>},
        {"PerspectivesFromBlob", 310, Put, TwoRecords},
        {"StrategiesFromBlob", 310, Put, TwoRecords},
        {"ObjectivesFromBlob", 310, Put, TwoRecords},
        {"StrategyMap", 310, Put, Load<kStrategyMap>},
        {"PerspectiveMap", 310, Put, Load<kPerspectiveMap>},
        {"ObjectiveMap", 310, Put, Load<kObjectiveMap>},
        {"LinkMap", 310, Put, Load<kLinkMap>},
        {"StrategyTemplate", 310, Put, Load<kTemplateStrategies>},
        {"ObjectiveTemplate", 310, Put, Load<kTemplateObjectives>},
        {"ObjectiveLinkTemplate", 310, Put, Load<kTemplateLinks>},
        {"Objectives", 310, Get, TwoRecords, TwoRows<chart::kObjectives, 16>},
        {"Objectives", 30, Get, TwoRecords, TwoRows<chart::kObjectives, 16>},
        {"Links", 310, Get, TwoRecords, TwoRows<chart::kLinks, 16>},
        {"Blob", 310, Get, TwoRecords, BlobBytes},
        {"Blob", 20, Get, TwoRecords, BlobBytes},
        {"PerspectivesFromBlob", 310, Get, TwoRecords, TwoRows<chart::kPerspectivesFromBlob, 3>},
        {"StrategiesFromBlob", 310, Get, TwoRecords, TwoRows<chart::kStrategiesFromBlob, 3>},
        {"ObjectivesFromBlob", 310, Get, TwoRecords, TwoRows<chart::kObjectivesFromBlob, 8>},
        {"LinksFromBlob", 310, Get, TwoRecords, TwoRows<chart::kLinksFromBlob, 16>},
        {"ObjectiveSelectionObj", 310, Get, nullptr, Selections},
        {"ObjectiveSelectionStrat", 310, Get, nullptr, Selections},
        {"ObjectiveSelectionPers", 310, Get, nullptr, Selections},
        {"MatrixSelectionObj", 310, Get, nullptr, Selections},
        {"MatrixSelectionRow", 310, Get, nullptr, Selections},
        {"SelectedStrategy", 310, Get, nullptr, Selections},
        {"PresentationMode", 310, Get},
        {"DisableContextMenu", 310, Call, nullptr, nullptr, {Long(5)}},
        {"EnableContextMenu", 310, Call, nullptr, nullptr, {Long(5)}},
        {"HideContextMenu", 310, Call, nullptr, nullptr, {Long(4)}},
        {"ShowContextMenu", 310, Call, nullptr, nullptr, {Long(4)}},
        {"SetUseWEBGui", 310, Call, nullptr, nullptr, {COleVariant(SHORT{-1}, VT_BOOL)}},
        {"BlobTemplate", 310, Put, Load<kLayout>},
        {"LinksFromBlobTemplate", 310, Put, Load<kLinksFromBlob>},
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
