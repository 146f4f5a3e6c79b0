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

template <const char* File>
SweepTable Records() {
    return {nullptr, standins::LoadRecordTable(std::string(TESSEL_EXAMPLES_DIR "/") + File, File)};
}
template <const char* File>
SweepTable Chunks() {
    return {nullptr, standins::LoadChunkTable(std::string(TESSEL_EXAMPLES_DIR "/") + File, File)};
}
template <const char* File>
SweepTable Cells() {
    return {standins::LoadCellTable(std::string(TESSEL_EXAMPLES_DIR "/") + File, File), nullptr};
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
        {"UIStrings", 310, Put, Records<kUi>},
        {"Perspectives", 310, Put, Records<kPerspectives>},
        {"Perspectives", 30, Put, Records<kPerspectives>},
        {"Perspectives", 20, Put, Records<kPerspectives>},
        {"Strategies", 310, Put, Records<kStrategies>},
        {"Strategies", 20, Put, Records<kStrategies>},
        {"Objectives", 310, Put, Records<kObjectives>},
        {"Objectives", 30, Put, Records<kObjectives>},
        {"Objectives", 20, Put, Records<kObjectives>},
        {"MeasureFields", 310, Put, Records<kMeasureFields>},
        {"InitiativeFields", 310, Put, Records<kInitiativeFields>},
        {"AdditionalMeasureFields", 310, Put, Records<kMeasureFields>},
        {"AdditionalInitiativesFields", 310, Put, Records<kInitiativeFields>},
        {"MeasureData", 310, Put, Cells<kMeasures>},
        {"InitiativeData", 20, Put, Cells<kInitiatives>},
        {"MeasureDataRow", 310, Put, Cells<kMeasures>},
        {"InitiativeDataRow", 20, Put, Cells<kInitiatives>},
        {"AdditionalMeasureItem", 30, Put, Cells<kMeasures>},
        {"AdditionalInitiativeItem", 310, Put, Cells<kInitiatives>},
        {"Links", 310, Put, Records<kLinks>},
        {"ContextMenu", 310, Put, Records<kMenu>},
        {"MouseOver", 310, Put, Records<kMouseOver>},
        {"Blob", 310, Put, Chunks<kLayout>},
        {"LinksFromBlob", 310, Put, Records<kLinksFromBlob>},
        {"PerspectivesFromBlob", 310, Put, TwoRecords},
        {"StrategiesFromBlob", 310, Put, TwoRecords},
        {"ObjectivesFromBlob", 310, Put, TwoRecords},
        {"StrategyMap", 310, Put, Records<kStrategyMap>},
        {"PerspectiveMap", 310, Put, Records<kPerspectiveMap>},
        {"ObjectiveMap", 310, Put, Records<kObjectiveMap>},
        {"LinkMap", 310, Put, Records<kLinkMap>},
        {"StrategyTemplate", 310, Put, Records<kTemplateStrategies>},
        {"ObjectiveTemplate", 310, Put, Records<kTemplateObjectives>},
        {"ObjectiveLinkTemplate", 310, Put, Records<kTemplateLinks>},
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
        {"BlobTemplate", 310, Put, Chunks<kLayout>},
        {"LinksFromBlobTemplate", 310, Put, Records<kLinksFromBlob>},
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
