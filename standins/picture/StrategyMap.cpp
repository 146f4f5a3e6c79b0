#include "standins/picture/StrategyMap.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <map>
#include <set>
#include <utility>

#include "control/ChartMembers.h"
#include "platform/OleSafeArray.h"
#include "platform/Utf8.h"
#include "platform/VariantGrid.h"

namespace standins::picture {

namespace {

// Where the chart's grids keep what the map shows.
namespace column {
inline constexpr LONG kKey = 0;
inline constexpr LONG kShortText = 1;
inline constexpr LONG kText = 2;
inline constexpr LONG kPerspective = 4;  // of an objective
inline constexpr LONG kStrategy = 5;     // of an objective
inline constexpr LONG kLinkFrom = 0;     // a links grid: each end's first key
inline constexpr LONG kLinkTo = 4;
inline constexpr LONG kBlobLinkFrom = 2;  // a links-from-blob grid: section 1, key 1
inline constexpr LONG kBlobLinkTo = 7;    // section 2, key 1
inline constexpr LONG kColourSlot = 0;
inline constexpr LONG kColour = 1;
}  // namespace column

// A template's grids among the arguments of either template method.
inline constexpr std::size_t kTemplateStrategies = 0;
inline constexpr std::size_t kTemplateObjectives = 1;
inline constexpr std::size_t kTemplateLinks = 2;

// The band and column that objectives of keys nobody sent go to.
constexpr const char* kOther = "Other";

constexpr std::array<std::pair<LONG, Rgb Palette::*>, 11> kSlots = {{
    {0, &Palette::background},
    {1, &Palette::gridLine},
    {2, &Palette::gridFill},
    {3, &Palette::captionFill},
    {4, &Palette::captionFrom},
    {5, &Palette::captionTo},
    {6, &Palette::objectiveLine},
    {7, &Palette::objectiveFill},
    {8, &Palette::arrow},
    {16, &Palette::captionSelection},
    {17, &Palette::objectiveSelection},
}};

// Font heights beyond these are taken as these.
constexpr double kSmallestFont = 6, kLargestFont = 48;

std::string Utf8(BSTR text) { return ToUtf8(OleStringView(text, SysStringLen(text))); }

// A value's text; empty for one without a text form.
std::string TextOf(const VARIANT& value) {
    if (value.vt == VT_BSTR) return Utf8(value.bstrVal);
    COleVariant text;
    if (value.vt == VT_EMPTY || value.vt == VT_NULL || FAILED(VariantChangeType(&text, &value, 0, VT_BSTR))) return {};
    return Utf8(text.bstrVal);
}

std::optional<LONG> NumberOf(const VARIANT& value) {
    COleVariant number;
    if (value.vt == VT_EMPTY || FAILED(VariantChangeType(&number, &value, 0, VT_I4))) return std::nullopt;
    return number.lVal;
}

// A grid's cells, read from a copy so that any value the chart holds can be
// looked at; a value that is no grid has no cells.
class Cells {
public:
    explicit Cells(const VARIANT* value) {
        if (!value || !ArrayOfShape(*value, VT_VARIANT, 2)) return;
        copy_ = *value;
        grid_.emplace(copy_);
        SafeArrayGetLBound(copy_.parray, 1, &base_[0]);
        SafeArrayGetLBound(copy_.parray, 2, &base_[1]);
    }

    LONG Rows() const noexcept { return grid_ ? grid_->Rows() : 0; }
    // Cells outside the grid are empty.
    std::string Text(LONG row, LONG column) const { return TextOf(At(row, column)); }
    std::optional<LONG> Number(LONG row, LONG column) const { return NumberOf(At(row, column)); }

    // The text a caption shows: the long text, else the short one, else the key.
    std::string Caption(LONG row) const {
        for (const LONG c : {column::kText, column::kShortText, column::kKey})
            if (std::string text = Text(row, c); !text.empty()) return text;
        return {};
    }

private:
    const VARIANT& At(LONG row, LONG column) const {
        static const VARIANT kEmpty{};
        const bool inside = grid_ && row >= 0 && row < grid_->Rows() && column >= 0 && column < grid_->Columns();
        // The grid's own indices start at its lower bounds.
        return inside ? grid_->At(row + base_[0], column + base_[1]) : kEmpty;
    }

    COleSafeArray copy_;
    std::optional<CVariantGrid> grid_;
    LONG base_[2] = {0, 0};
};

// Rows of the grid a value holds, without copying it.
long RowCount(const VARIANT& value) {
    SAFEARRAY* grid = ArrayOfShape(value, VT_VARIANT, 2);
    LONG lower = 0, upper = -1;
    if (!grid || FAILED(SafeArrayGetLBound(grid, 1, &lower)) || FAILED(SafeArrayGetUBound(grid, 1, &upper))) return 0;
    return upper - lower + 1;
}

Palette ReadPalette(const VARIANT* grid) {
    Palette palette;
    const Cells cells(grid);
    for (LONG r = 0; r < cells.Rows(); ++r) {
        const auto slot = cells.Number(r, column::kColourSlot);
        const auto colour = cells.Number(r, column::kColour);
        const auto role = std::find_if(kSlots.begin(), kSlots.end(), [&](const auto& s) { return s.first == slot; });
        if (!colour || role == kSlots.end()) continue;
        // A red-green-blue long holds red in its low byte.
        const auto value = static_cast<std::uint32_t>(*colour);
        palette.*role->second = (value & 0xFF) << 16 | (value & 0xFF00) | (value >> 16 & 0xFF);
    }
    return palette;
}

// A height as the platform's logical font holds it (negative for a
// character height) as the text's pixels; none for 0 or no value.
std::optional<double> HeightPixels(const VARIANT* height) {
    const auto value = height ? NumberOf(*height) : std::nullopt;
    if (!value || *value == 0) return std::nullopt;
    return std::clamp(std::abs(static_cast<double>(*value)), kSmallestFont, kLargestFont);
}

// What the picture takes from the kept calls: the last font and template,
// and the rows put for each objective.
struct KeptCalls {
    std::span<const COleVariant> font;
    std::span<const COleVariant> templateGrids;
    std::map<std::string, long> measures, initiatives;
    std::map<std::pair<std::string, std::string>, long> rows;  // by objective and row key

    explicit KeptCalls(const ChartHoldings& chart) {
        chart.ForEachCall([this](DISPID member, std::span<const COleVariant> args) { Take(member, args); });
    }

    const VARIANT* Template(std::size_t grid) const {
        return grid < templateGrids.size() ? &templateGrids[grid] : nullptr;
    }
    long Rows(const std::string& objective) const {
        long sum = 0;
        for (auto it = rows.lower_bound({objective, {}}); it != rows.end() && it->first.first == objective; ++it)
            sum += it->second;
        return sum;
    }

private:
    void Take(DISPID member, std::span<const COleVariant> args) {
        switch (member) {
            case chart::kFont: font = args; break;
            case chart::kAddTemplate: case chart::kAddTemplateEx: templateGrids = args; break;
            case chart::kMeasureData: Count(measures, args); break;
            case chart::kInitiativeData: Count(initiatives, args); break;
            case chart::kTreeRows:  // objective, row key, a flag, the rows
                if (args.size() == 4) rows[{TextOf(args[0]), TextOf(args[1])}] = RowCount(args[3]);
                break;
            default: break;
        }
    }
    // A later put for the same objective replaces what it was given before.
    static void Count(std::map<std::string, long>& counts, std::span<const COleVariant> args) {
        if (args.size() == 2) counts[TextOf(args[0])] = RowCount(args[1]);
    }
};

MapFont ReadFont(const KeptCalls& calls, const ChartHoldings& chart) {
    MapFont font;
    if (calls.font.size() == 3) {
        if (std::string face = TextOf(calls.font[0]); !face.empty()) font.face = std::move(face);
        font.pitchAndFamily = NumberOf(calls.font[2]).value_or(0);
    }
    font.pixels = HeightPixels(chart.Property(chart::kFontHeightToo)).value_or(font.pixels);
    font.captionPixels = HeightPixels(chart.Property(chart::kFontHeight)).value_or(font.captionPixels);
    return font;
}

// Lays the chart's grids into the map: bands and columns first, so that
// every objective finds its place, then the objectives, then the links.
class Placer {
public:
    explicit Placer(StrategyMap& map) : map_(map) {}

    void AddPerspectives(const VARIANT* grid) { AddBands(grid, map_.bands, bandKeys_); }
    void AddStrategies(const VARIANT* grid) { AddBands(grid, map_.columns, columnKeys_); }

    void AddObjectives(const VARIANT* grid) {
        const Cells cells(grid);
        for (LONG r = 0; r < cells.Rows(); ++r) {
            StrategyMap::Objective objective{cells.Text(r, column::kKey), cells.Caption(r)};
            if (objective.text.empty()) continue;
            objective.band = Place(bandKeys_, map_.bands, cells.Text(r, column::kPerspective), otherBand_);
            objective.column = Place(columnKeys_, map_.columns, cells.Text(r, column::kStrategy), otherColumn_);
            objectiveKeys_.emplace(objective.key, map_.objectives.size());
            map_.objectives.push_back(std::move(objective));
        }
    }

    // Bands and columns for the objectives that found none, once every
    // objective is in.
    void AddOthers() {
        if (otherBand_ || map_.bands.empty()) map_.bands.push_back({{}, otherBand_ ? kOther : ""});
        if (otherColumn_ || map_.columns.empty()) map_.columns.push_back({{}, otherColumn_ ? kOther : ""});
    }

    void AddLinks(const VARIANT* grid, LONG from, LONG to) {
        const Cells cells(grid);
        for (LONG r = 0; r < cells.Rows(); ++r) {
            const auto start = Find(objectiveKeys_, cells.Text(r, from));
            const auto end = Find(objectiveKeys_, cells.Text(r, to));
            if (!start || !end || *start == *end || !links_.insert({*start, *end}).second) continue;
            map_.links.push_back({*start, *end});
        }
    }

    void Select(const std::string& objective, const std::string& strategy) {
        for (StrategyMap::Objective& o : map_.objectives) o.selected = !objective.empty() && o.key == objective;
        if (!strategy.empty()) map_.selectedColumn = Find(columnKeys_, strategy);
    }

private:
    using Keys = std::map<std::string, std::size_t, std::less<>>;

    static void AddBands(const VARIANT* grid, std::vector<StrategyMap::Band>& bands, Keys& keys) {
        const Cells cells(grid);
        for (LONG r = 0; r < cells.Rows(); ++r) {
            StrategyMap::Band band{cells.Text(r, column::kKey), cells.Caption(r)};
            if (band.text.empty()) continue;  // a row no record named
            keys.emplace(band.key, bands.size());
            bands.push_back(std::move(band));
        }
    }
    static std::optional<std::size_t> Find(const Keys& keys, const std::string& key) {
        const auto found = keys.find(key);
        return found == keys.end() ? std::nullopt : std::optional(found->second);
    }
    // The index of key's band, else of the one after the known bands.
    static std::size_t Place(const Keys& keys, const std::vector<StrategyMap::Band>& bands, const std::string& key,
                             bool& other) {
        if (const auto found = Find(keys, key)) return *found;
        other = true;
        return bands.size();
    }

    StrategyMap& map_;
    Keys bandKeys_, columnKeys_, objectiveKeys_;
    std::set<std::pair<std::size_t, std::size_t>> links_;
    bool otherBand_ = false, otherColumn_ = false;
};

}  // namespace

StrategyMap ReadStrategyMap(const ChartHoldings& chart) {
    const KeptCalls calls(chart);
    StrategyMap map;
    map.palette = ReadPalette(chart.Property(chart::kColours));
    map.font = ReadFont(calls, chart);

    // A template the chart was given is part of its map.
    Placer placer(map);
    placer.AddPerspectives(chart.Property(chart::kPerspectives));
    placer.AddStrategies(chart.Property(chart::kStrategies));
    placer.AddStrategies(calls.Template(kTemplateStrategies));
    placer.AddObjectives(chart.Property(chart::kObjectives));
    placer.AddObjectives(calls.Template(kTemplateObjectives));
    placer.AddOthers();
    placer.AddLinks(chart.Property(chart::kLinksFromBlob), column::kBlobLinkFrom, column::kBlobLinkTo);
    placer.AddLinks(chart.Property(chart::kLinks), column::kLinkFrom, column::kLinkTo);
    placer.AddLinks(calls.Template(kTemplateLinks), column::kLinkFrom, column::kLinkTo);
    placer.Select(ToUtf8(chart.SelectedObjective()), ToUtf8(chart.SelectedStrategy()));

    for (StrategyMap::Objective& objective : map.objectives) {
        const auto count = [&](const std::map<std::string, long>& counts) {
            const auto found = counts.find(objective.key);
            return found == counts.end() ? 0 : found->second;
        };
        objective.measures = count(calls.measures);
        objective.initiatives = count(calls.initiatives);
        objective.rows = calls.Rows(objective.key);
    }
    return map;
}

}  // namespace standins::picture
