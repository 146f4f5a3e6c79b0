#include "standins/picture/MapLayout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>

namespace standins::picture {

namespace {

constexpr double kMargin = 8;
constexpr double kGap = 2;  // between the labels or captions and the bands
// Boxes are drawn wider than high, up to a size that stays readable.
constexpr double kBoxAspect = 2.6;
constexpr double kLargestBoxWidth = 240;
constexpr double kLargestBoxHeight = 96;
// The width of a character, in text heights: an estimate for sizing
// badges (the painter fits their text exactly).
constexpr double kCharacterWidth = 0.62;
constexpr double kSmallestText = 5;

// Splits [start, start + length) into one extent per weight, each in
// proportion to its weight.
std::vector<std::pair<double, double>> Split(double start, double length, const std::vector<double>& weights) {
    double total = 0;
    for (const double w : weights) total += w;
    std::vector<std::pair<double, double>> extents;
    double at = start;
    for (const double w : weights) {
        const double size = length * w / total;
        extents.emplace_back(at, size);
        at += size;
    }
    return extents;
}

using Cells = std::vector<std::vector<std::vector<std::size_t>>>;  // objectives by band and column

// A band or column is given room by the most objectives it holds in one
// cell: equal room for a few, more for a crowd, by the square root so that
// a crowded one does not starve the others.
std::vector<double> Weights(const Cells& cells, bool byBand) {
    std::vector<double> weights(byBand ? cells.size() : cells.front().size(), 1.0);
    for (std::size_t b = 0; b < cells.size(); ++b)
        for (std::size_t c = 0; c < cells[b].size(); ++c) {
            double& w = weights[byBand ? b : c];
            w = std::max(w, std::sqrt(static_cast<double>(cells[b][c].size())) / 1.5);
        }
    return weights;
}

// Frames for `count` boxes in a cell: the grid of rows and columns that
// gives the largest boxes of the preferred shape, rows centred. Gaps shrink
// in a crowded cell, so that every box keeps some room.
std::vector<Rect> ArrangeCell(const Rect& cell, std::size_t count) {
    const double gap = std::clamp(std::min(cell.width, cell.height) * 0.05, 1.0, 8.0);
    const Rect inner = cell.Inset(gap * 1.5);
    struct Grid {
        std::size_t across, down;
        double gapX, gapY, width, height;
    };
    const auto grid = [&](std::size_t across) {
        const std::size_t down = (count + across - 1) / across;
        const auto nx = static_cast<double>(across), ny = static_cast<double>(down);
        const double gapX = std::min(gap, inner.width / (2 * nx)), gapY = std::min(gap, inner.height / (2 * ny));
        return Grid{across, down, gapX, gapY, (inner.width - gapX * (nx - 1)) / nx,
                    (inner.height - gapY * (ny - 1)) / ny};
    };
    const auto size = [](const Grid& g) { return std::min(g.width / kBoxAspect, g.height); };
    Grid best = grid(1);
    for (std::size_t across = 2; across <= count; ++across)
        if (const Grid g = grid(across); size(g) > size(best)) best = g;
    const double w = std::min(best.width, kLargestBoxWidth);
    const double h = std::min({best.height, kLargestBoxHeight, w / 1.6});

    std::vector<Rect> frames;
    const auto down = static_cast<double>(best.down);
    const double top = inner.y + (inner.height - h * down - best.gapY * (down - 1)) / 2;
    for (std::size_t row = 0; row < best.down; ++row) {
        const std::size_t inRow = std::min(best.across, count - row * best.across);
        const double rowWidth = (w + best.gapX) * static_cast<double>(inRow) - best.gapX;
        const double left = inner.x + (inner.width - rowWidth) / 2;
        for (std::size_t i = 0; i < inRow; ++i)
            frames.push_back({left + static_cast<double>(i) * (w + best.gapX),
                              top + static_cast<double>(row) * (h + best.gapY), w, h});
    }
    return frames;
}

// The text area and the badges inside a box's frame.
void FillBox(MapLayout::Box& box, const StrategyMap::Objective& objective, double textPixels) {
    const Rect& f = box.frame;
    const double pad = std::clamp(f.height * 0.08, 1.0, 6.0);
    const Rect inner = f.Inset(pad);
    std::vector<std::string> badges;
    for (const auto& [letter, count] : {std::pair{"M", objective.measures}, {"I", objective.initiatives},
                                        {"R", objective.rows}})
        if (count > 0) badges.push_back(std::string(letter) + " " + std::to_string(count));

    double badgeHeight = 0;
    if (!badges.empty()) {
        badgeHeight = std::min(textPixels * kLineHeight, inner.height * 0.4);
        std::vector<double> widths;
        double total = pad * static_cast<double>(badges.size() - 1);
        for (const std::string& text : badges) {
            widths.push_back(badgeHeight / kLineHeight * (kCharacterWidth * static_cast<double>(text.size()) + 0.8));
            total += widths.back();
        }
        const double fit = total > inner.width ? inner.width / total : 1.0;
        box.badgePixels = badgeHeight / kLineHeight * fit;
        double x = inner.x;
        for (std::size_t i = 0; i < badges.size(); ++i) {
            box.badges.push_back({{x, inner.Bottom() - badgeHeight, widths[i] * fit, badgeHeight}, badges[i]});
            x += (widths[i] + pad) * fit;
        }
    }
    const double below = badgeHeight > 0 ? badgeHeight + pad / 2 : 0;
    box.text = {inner.x, inner.y, inner.width, std::max(0.0, inner.height - below)};
    const double pixels = std::min(textPixels, box.text.height / kLineHeight);
    box.textPixels = pixels >= kSmallestText ? pixels : 0;
}

// Routes each link as a curve from a side of one box to a side of the
// other, leaving and entering square to the sides. Of the pairs of sides
// and the curves' reaches, each link takes the one that crosses the fewest
// other boxes, then the shortest, preferring sides that face each other; a
// link's reverse does not take the same curve backwards. Ends that share a
// side are then spread along it, in the order of the boxes they lead to.
class ArrowRouter {
public:
    ArrowRouter(const std::vector<MapLayout::Box>& boxes, const Rect& area) : boxes_(boxes), area_(area) {}

    std::vector<MapLayout::Arrow> Route(const std::vector<StrategyMap::Link>& links) const {
        std::vector<Choice> choices;
        std::map<std::pair<std::size_t, std::size_t>, std::size_t> routed;  // link to its choice
        for (const StrategyMap::Link& link : links) {
            const auto reverse = routed.find({link.to, link.from});
            choices.push_back(Choose(link, reverse == routed.end() ? nullptr : &choices[reverse->second]));
            routed.emplace(std::pair{link.from, link.to}, choices.size() - 1);
        }
        const std::vector<std::array<double, 2>> at = Spread(links, choices);
        std::vector<MapLayout::Arrow> arrows;
        for (std::size_t i = 0; i < links.size(); ++i)
            arrows.push_back(Curve({links[i].from, choices[i].sides[0], at[i][0]},
                                   {links[i].to, choices[i].sides[1], at[i][1]}, choices[i].reach));
        return arrows;
    }

private:
    struct Choice {
        std::array<int, 2> sides;  // of the link's from and to boxes
        double reach;              // of the control points, in distances between the ends
    };
    struct End {
        std::size_t box;
        int side;
        double at;  // along the side, from 0 to 1
    };

    // Sides by number: top, right, bottom, left; each with its outward normal.
    static constexpr Point kNormals[4] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
    static constexpr double kReaches[] = {0.45, 0.25, 0.75};
    static constexpr double kCrossingCost = 1e6;
    static constexpr int kSamples = 32;
    static constexpr double kRoom = 3;

    Choice Choose(const StrategyMap::Link& link, const Choice* reverse) const {
        Choice best{};  // every choice has a finite cost: this is replaced
        double bestCost = std::numeric_limits<double>::infinity();
        for (int sides = 0; sides < 16; ++sides) {
            const std::array<int, 2> pair{sides / 4, sides % 4};
            if (reverse && reverse->sides == std::array<int, 2>{pair[1], pair[0]}) continue;
            for (const double reach : kReaches) {
                const MapLayout::Arrow arrow = Curve({link.from, pair[0], 0.5}, {link.to, pair[1], 0.5}, reach);
                if (const double cost = Cost(arrow, pair, link); cost < bestCost) bestCost = cost, best = {pair, reach};
            }
        }
        return best;
    }

    // Where along its side each end of each link goes: ends sharing a side
    // share it out evenly, ordered by where their other ends are.
    std::vector<std::array<double, 2>> Spread(const std::vector<StrategyMap::Link>& links,
                                              const std::vector<Choice>& choices) const {
        std::vector<std::array<double, 2>> at(links.size(), {0.5, 0.5});
        std::map<std::pair<std::size_t, int>, std::vector<std::pair<double, double*>>> sides;
        for (std::size_t i = 0; i < links.size(); ++i)
            for (const int end : {0, 1}) {
                const std::size_t box = end == 0 ? links[i].from : links[i].to;
                const int side = choices[i].sides[end];
                const Point other = boxes_[end == 0 ? links[i].to : links[i].from].frame.Centre();
                sides[{box, side}].emplace_back(side % 2 == 0 ? other.x : other.y, &at[i][end]);
            }
        for (auto& [side, ends] : sides) {
            std::stable_sort(ends.begin(), ends.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
            for (std::size_t k = 0; k < ends.size(); ++k)
                *ends[k].second = static_cast<double>(k + 1) / static_cast<double>(ends.size() + 1);
        }
        return at;
    }

    Point Attachment(const End& end) const {
        const Rect& r = boxes_[end.box].frame;
        const Point n = kNormals[end.side];
        // Along a top or bottom side x runs with `at`, along a left or right one y.
        return {n.x != 0 ? r.Centre().x + n.x * r.width / 2 : r.x + r.width * end.at,
                n.y != 0 ? r.Centre().y + n.y * r.height / 2 : r.y + r.height * end.at};
    }

    // Control points are kept inside the area: a curve lies within its four
    // points, so it stays inside too.
    MapLayout::Arrow Curve(const End& from, const End& to, double reach) const {
        const Point p = Attachment(from), q = Attachment(to);
        const double length = std::clamp(std::hypot(q.x - p.x, q.y - p.y) * reach, 16.0, 200.0);
        const auto control = [&](Point end, int side) {
            return Point{std::clamp(end.x + kNormals[side].x * length, area_.x, area_.Right()),
                         std::clamp(end.y + kNormals[side].y * length, area_.y, area_.Bottom())};
        };
        return {p, control(p, from.side), control(q, to.side), q};
    }

    static Point At(const MapLayout::Arrow& c, double t) {
        const double u = 1 - t;
        const double a = u * u * u, b = 3 * u * u * t, d = 3 * u * t * t, e = t * t * t;
        return {a * c.from.x + b * c.out.x + d * c.in.x + e * c.to.x,
                a * c.from.y + b * c.out.y + d * c.in.y + e * c.to.y};
    }

    static Rect Hull(const MapLayout::Arrow& arrow) {
        const auto [x0, x1] = std::minmax({arrow.from.x, arrow.out.x, arrow.in.x, arrow.to.x});
        const auto [y0, y1] = std::minmax({arrow.from.y, arrow.out.y, arrow.in.y, arrow.to.y});
        return {x0, y0, x1 - x0, y1 - y0};
    }

    // Every box crossed weighs more than any length; the ends' own boxes
    // count only when the curve runs through them, others with some room.
    double Cost(const MapLayout::Arrow& arrow, std::array<int, 2> sides, const StrategyMap::Link& link) const {
        std::array<Point, kSamples + 1> samples;
        double cost = 0;
        for (int i = 0; i <= kSamples; ++i) {
            samples[i] = At(arrow, static_cast<double>(i) / kSamples);
            if (i > 0) cost += std::hypot(samples[i].x - samples[i - 1].x, samples[i].y - samples[i - 1].y);
        }
        const Rect hull = Hull(arrow).Inset(-kRoom);
        for (std::size_t k = 0; k < boxes_.size(); ++k) {
            const Rect around = boxes_[k].frame.Inset(k == link.from || k == link.to ? 1 : -kRoom);
            if (!around.Overlaps(hull)) continue;
            if (std::any_of(samples.begin() + 1, samples.end() - 1,
                            [&](Point at) { return around.Overlaps({at.x, at.y, 0.001, 0.001}); }))
                cost += kCrossingCost;
        }
        // Sides that turn away from the other box make a detour.
        const double dx = arrow.to.x - arrow.from.x, dy = arrow.to.y - arrow.from.y;
        const double away = std::hypot(dx, dy) * 0.5;
        if (kNormals[sides[0]].x * dx + kNormals[sides[0]].y * dy <= 0) cost += away;
        if (kNormals[sides[1]].x * dx + kNormals[sides[1]].y * dy >= 0) cost += away;
        return cost;
    }

    const std::vector<MapLayout::Box>& boxes_;
    Rect area_;
};

}  // namespace

MapLayout LayOut(const StrategyMap& map, Size canvas) {
    MapLayout layout;
    layout.canvas = canvas;
    const double width = canvas.width, height = canvas.height;
    const double labelWidth = std::min(std::clamp(width * 0.13, 80.0, 240.0), width * 0.3);
    // Room for two lines of caption.
    const double captionHeight =
        std::min(map.font.captionPixels * kLineHeight * 2 + kCaptionPadding * 2 + 2, height * 0.15);

    // A map without bands or columns is drawn as one band or column.
    const std::size_t bandCount = std::max<std::size_t>(map.bands.size(), 1);
    const std::size_t columnCount = std::max<std::size_t>(map.columns.size(), 1);
    Cells cells(bandCount, std::vector<std::vector<std::size_t>>(columnCount));
    for (std::size_t i = 0; i < map.objectives.size(); ++i)
        cells[std::min(map.objectives[i].band, bandCount - 1)][std::min(map.objectives[i].column, columnCount - 1)]
            .push_back(i);

    const double left = kMargin + labelWidth + kGap, top = kMargin + captionHeight + kGap;
    const Rect area{left, top, width - kMargin - left, height - kMargin - top};  // the bands
    const auto rows = Split(area.y, area.height, Weights(cells, true));
    const auto columns = Split(area.x, area.width, Weights(cells, false));
    layout.corner = {kMargin, kMargin, labelWidth, captionHeight};
    for (const auto& [y, h] : rows) {
        layout.bandLabels.push_back({kMargin, y, labelWidth, h});
        layout.bands.push_back({area.x, y, area.width, h});
    }
    for (const auto& [x, w] : columns) layout.captions.push_back({x, kMargin, w, captionHeight});

    layout.boxes.resize(map.objectives.size());
    for (std::size_t b = 0; b < cells.size(); ++b)
        for (std::size_t c = 0; c < cells[b].size(); ++c) {
            if (cells[b][c].empty()) continue;
            const Rect cell{columns[c].first, rows[b].first, columns[c].second, rows[b].second};
            const std::vector<Rect> frames = ArrangeCell(cell, cells[b][c].size());
            for (std::size_t k = 0; k < frames.size(); ++k) {
                MapLayout::Box& box = layout.boxes[cells[b][c][k]];
                box.frame = frames[k];
                FillBox(box, map.objectives[cells[b][c][k]], map.font.pixels);
            }
        }

    layout.arrows = ArrowRouter(layout.boxes, area).Route(map.links);
    return layout;
}

}  // namespace standins::picture
