#include "standins/picture/StrategyMap.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "control/ChartMembers.h"
#include "standins/TableFiles.h"
#include "support/AdapterFixture.h"

using namespace standins::picture;
using testing_support::Grid;
using testing_support::Text;

namespace {

class GivenHoldings : public ChartHoldings {
public:
    GivenHoldings& Put(DISPID member, COleVariant value) {
        properties_[member] = std::move(value);
        return *this;
    }
    // An indexed put or a method call.
    GivenHoldings& Call(DISPID member, std::vector<COleVariant> args) {
        calls_.emplace_back(member, std::move(args));
        return *this;
    }
    GivenHoldings& Select(OleString objective, OleString strategy) {
        objective_ = std::move(objective), strategy_ = std::move(strategy);
        return *this;
    }

    const VARIANT* Property(DISPID member) const override {
        const auto found = properties_.find(member);
        return found == properties_.end() ? nullptr : &found->second;
    }
    void ForEachCall(const CallVisitor& visit) const override {
        for (const auto& [member, args] : calls_) visit(member, args);
    }
    OleStringView SelectedObjective() const override { return objective_; }
    OleStringView SelectedStrategy() const override { return strategy_; }

private:
    std::map<DISPID, COleVariant> properties_;
    std::vector<std::pair<DISPID, std::vector<COleVariant>>> calls_;
    OleString objective_, strategy_;
};

// The map as lines a failure can show; * marks the selected column and objective.
std::string Describe(const StrategyMap& map) {
    std::string out = "bands";
    for (const auto& band : map.bands) out += " [" + band.key + " " + band.text + "]";
    out += "\ncolumns";
    for (std::size_t c = 0; c < map.columns.size(); ++c)
        out += std::string(" ") + (map.selectedColumn == c ? "*" : "") + "[" + map.columns[c].key + " " +
               map.columns[c].text + "]";
    for (const auto& o : map.objectives)
        out += "\n" + o.key + " " + o.text + " @" + std::to_string(o.band) + "," + std::to_string(o.column) + " M" +
               std::to_string(o.measures) + " I" + std::to_string(o.initiatives) + " R" + std::to_string(o.rows) +
               (o.selected ? " *" : "");
    out += "\nlinks";
    for (const auto& link : map.links) out += " " + map.objectives[link.from].key + ">" + map.objectives[link.to].key;
    return out;
}

std::vector<COleVariant> Texts(std::initializer_list<const char*> texts) {
    std::vector<COleVariant> row;
    for (const char* text : texts) row.push_back(text ? Text(text) : COleVariant());
    return row;
}

// Perspectives and strategies alike: key, short text, text.
COleSafeArray Captions(std::initializer_list<std::vector<COleVariant>> rows) { return Grid(rows, 7); }
// Key, short text, text, text again, perspective, strategy.
std::vector<COleVariant> Objective(const char* key, const char* perspective, const char* strategy) {
    return Texts({key, "", key, key, perspective, strategy});
}
COleSafeArray Objectives(std::initializer_list<std::vector<COleVariant>> rows) { return Grid(rows, 11); }
COleSafeArray RowsOf(std::size_t count) { return Grid(std::vector<std::vector<COleVariant>>(count), 2); }
// A links grid: key 1 of each end in columns 0 and 4.
COleSafeArray Links(std::initializer_list<std::pair<const char*, const char*>> ends) {
    std::vector<std::vector<COleVariant>> rows;
    for (const auto& [from, to] : ends) rows.push_back(Texts({from, nullptr, nullptr, nullptr, to}));
    return Grid(rows, 8);
}

GivenHoldings& Scorecard(GivenHoldings& chart) {
    return chart.Put(chart::kPerspectives, Captions({Texts({"FIN", "Fin", "Finance"}), Texts({"CUS", "", "Customer"})}))
        .Put(chart::kStrategies, Captions({Texts({"G", "Growth"})}))
        .Put(chart::kObjectives, Objectives({Objective("A", "FIN", "G"), Objective("B", "CUS", "G")}));
}

using ReadStrategyMapTest = testing_support::LeakCheckedTest;

TEST_F(ReadStrategyMapTest, PlacesCountsAndLinksWhatTheChartHolds) {
    struct Case { const char* name; std::function<void(GivenHoldings&)> give; const char* map; };
    const Case cases[] = {
        {"nothing sent: one blank band and column", [](GivenHoldings&) {}, "bands [ ]\ncolumns [ ]\nlinks"},
        {"objectives of keys nobody sent go to Other; rows without text are no objective",
         [](GivenHoldings& chart) {
             chart.Put(chart::kPerspectives, Captions({{}, Texts({"FIN", "Fin"})}))
                 .Put(chart::kStrategies, Captions({Texts({"G", "", "", "", "", "", "", ""})}))
                 .Put(chart::kObjectives, Objectives({Objective("A", "FIN", "G"), Objective("B", "XX", "G"),
                                                      Objective("C", "FIN", "YY"), {}}));
         },
         "bands [FIN Fin] [ Other]\ncolumns [G G] [ Other]\nA A @0,0 M0 I0 R0\nB B @1,0 M0 I0 R0\n"
         "C C @0,1 M0 I0 R0\nlinks"},
        {"a later put for an objective replaces its count; rows add up over row keys",
         [](GivenHoldings& chart) {
             Scorecard(chart)
                 .Call(chart::kMeasureData, {Text("A"), RowsOf(2)})
                 .Call(chart::kMeasureData, {Text("B"), RowsOf(1)})
                 .Call(chart::kMeasureData, {Text("A"), RowsOf(3)})
                 .Call(chart::kInitiativeData, {Text("B"), RowsOf(4)})
                 .Call(chart::kTreeRows, {Text("A"), Text("r1"), COleVariant(SHORT{1}, VT_BOOL), RowsOf(2)})
                 .Call(chart::kTreeRows, {Text("A"), Text("r2"), COleVariant(SHORT{1}, VT_BOOL), RowsOf(1)})
                 .Call(chart::kTreeRows, {Text("A"), Text("r1"), COleVariant(SHORT{1}, VT_BOOL), RowsOf(4)})
                 .Call(chart::kMeasureData, {Text("Z"), RowsOf(9)});
         },
         "bands [FIN Finance] [CUS Customer]\ncolumns [G Growth]\nA A @0,0 M3 I0 R5\nB B @1,0 M1 I4 R0\nlinks"},
        {"links of every source, once each, both ends known; the last template is part of the map",
         [](GivenHoldings& chart) {
             std::vector<COleVariant> blobLink = Texts({nullptr, nullptr, "A", "FIN", nullptr, nullptr, nullptr, "B"});
             Scorecard(chart)
                 .Put(chart::kLinksFromBlob, Grid({blobLink, Texts({"", "", "A", "", "", "", "", "Z"})}, 16))
                 .Put(chart::kLinks, Links({{"B", "A"}, {"A", "B"}, {"B", "B"}}))
                 .Call(chart::kAddTemplateEx, {Captions({Texts({"OLD", "Old"})}),
                                               Objectives({Objective("OLD1", "FIN", "OLD")}), Links({{"OLD1", "A"}})})
                 .Call(chart::kAddTemplate, {Captions({Texts({"T", "Template"})}),
                                             Objectives({Objective("T1", "CUS", "T")}), Links({{"T1", "A"}})});
         },
         "bands [FIN Finance] [CUS Customer]\ncolumns [G Growth] [T Template]\nA A @0,0 M0 I0 R0\n"
         "B B @1,0 M0 I0 R0\nT1 T1 @1,1 M0 I0 R0\nlinks A>B B>A T1>A"},
        {"the selection", [](GivenHoldings& chart) { Scorecard(chart).Select(OLESTR("B"), OLESTR("G")); },
         "bands [FIN Finance] [CUS Customer]\ncolumns *[G Growth]\nA A @0,0 M0 I0 R0\nB B @1,0 M0 I0 R0 *\nlinks"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GivenHoldings chart;
        c.give(chart);
        EXPECT_EQ(Describe(ReadStrategyMap(chart)), c.map);
    }
}

// Colours by slot, red in the low byte of each; slots the grid leaves
// empty keep the stand-in's own colour. The font's face and text height.
TEST_F(ReadStrategyMapTest, TakesColoursByTheirSlotsAndTheLastFont) {
    GivenHoldings chart;
    chart.Put(chart::kColours, Grid({{COleVariant(LONG{7}), COleVariant(LONG{0x0000FF})},
                                     {COleVariant(LONG{0}), COleVariant(LONG{0x123456})},
                                     {COleVariant(LONG{17})},
                                     {COleVariant(LONG{13}), COleVariant(LONG{0})}},
                                    2))
        .Call(chart::kFont, {Text("Courier"), COleVariant(SHORT{0}), COleVariant(SHORT{49})})
        .Call(chart::kFont, {Text("Tahoma"), COleVariant(SHORT{0}), COleVariant(SHORT{34})})
        .Put(chart::kFontHeightToo, COleVariant(LONG{-15}));
    const StrategyMap map = ReadStrategyMap(chart);
    const Palette defaults;
    EXPECT_EQ(map.palette.objectiveFill, 0xFF0000u);
    EXPECT_EQ(map.palette.background, 0x563412u);
    EXPECT_EQ(map.palette.objectiveSelection, defaults.objectiveSelection);
    EXPECT_EQ(map.palette.gridFill, defaults.gridFill);
    EXPECT_EQ(map.font.face, "Tahoma");
    EXPECT_EQ(map.font.pitchAndFamily, 34);
    EXPECT_EQ(map.font.pixels, 15);
    EXPECT_EQ(map.font.captionPixels, MapFont().captionPixels);
}

// The bundled example, through the adapter into a chart stand-in.
using ExampleMapTest = testing_support::AttachedFixture;

TEST_F(ExampleMapTest, ShowsTheExampleScorecard) {
    for (const auto& [member, file] : {std::pair{"Perspectives", "perspectives.txt"}, {"Strategies", "strategies.txt"},
                                       {"Objectives", "objectives.txt"}, {"MeasureData", "measures.tsv"},
                                       {"InitiativeData", "initiatives.tsv"}, {"MeasureDataRow", "measures.tsv"},
                                       {"LinksFromBlob", "links-from-blob.txt"},
                                       {"StrategyTemplate", "template-strategies.txt"},
                                       {"ObjectiveTemplate", "template-objectives.txt"},
                                       {"ObjectiveLinkTemplate", "template-links.txt"}}) {
        const standins::LoadedTable table = standins::LoadTable(std::string(TESSEL_EXAMPLES_DIR "/") + file, file);
        ASSERT_TRUE(Put(member, table.Dispatch()).Ok()) << member;
    }
    ASSERT_TRUE(Call("AddTemplate").Ok());
    COleSafeArray links;
    standins::LoadCellGrid(TESSEL_EXAMPLES_DIR "/chart-links.tsv", "chart-links.tsv", links);
    chart_->SetProperty(chart::kLinks, links);

    const StrategyMap map = ReadStrategyMap(*chart_);
    std::vector<std::string> bands, columns;
    for (const auto& band : map.bands) bands.push_back(band.text);
    for (const auto& column : map.columns) columns.push_back(column.key);
    EXPECT_EQ(bands, (std::vector<std::string>{"Financial perspective", "Customer perspective",
                                               "Internal process perspective", "Learning and growth perspective"}));
    EXPECT_EQ(columns,
              (std::vector<std::string>{"GROWTH", "PRODUCT", "INTIMACY", "EXCELLENCE", "INNOVATE", "T-RETAIN"}));
    const std::string described = Describe(map);
    for (const char* line : {"\nOBJ04 Raise customer satisfaction @1,2 M2 I2 R2\n",
                             "\nT-OBJ1 Reduce churn @1,5 M0 I0 R0\n",
                             "\nlinks OBJ01>OBJ04 OBJ04>OBJ07 OBJ07>OBJ10 OBJ10>OBJ07 OBJ11>OBJ07 OBJ12>OBJ04 "
                             "OBJ07>OBJ02 T-OBJ2>T-OBJ1"})
        EXPECT_NE(described.find(line), std::string::npos) << line << " in\n" << described;
    EXPECT_EQ(map.objectives.size(), 14u);
}

}  // namespace
