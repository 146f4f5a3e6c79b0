// The strategy map a chart has been given, as plain data: perspectives as
// bands, strategies as columns, objectives placed in one band and one
// column, their measure, initiative and row counts, the links between them,
// and the colours and font to draw them with.
//
// How the chart's grids become this map is the stand-in chart's own
// convention; README.md beside this file states it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "standins/picture/ChartHoldings.h"

namespace standins::picture {

// 0xRRGGBB.
using Rgb = std::uint32_t;

// The colours the picture uses, by the chart's colour slots.
struct Palette {
    Rgb background = 0xFFFFFF;       // slot 0: the canvas and every other band
    Rgb gridLine = 0xC5CCD6;         // slot 1: lines between bands and columns
    Rgb gridFill = 0xF2F5F9;         // slot 2: the bands between
    Rgb captionFill = 0xE3E9F1;      // slot 3: the corner above the band labels
    Rgb captionFrom = 0x2E4A6E;      // slot 4: captions shade from this colour
    Rgb captionTo = 0x5C86B5;        //   slot 5: to this one
    Rgb objectiveLine = 0x5B6673;    // slot 6
    Rgb objectiveFill = 0xFFF6DE;    // slot 7
    Rgb arrow = 0x6B7785;            // slot 8
    Rgb captionSelection = 0xD9822B; // slot 16: the selected strategy's caption
    Rgb objectiveSelection = 0xD9822B;  // slot 17: the selected objective's frame
};

struct MapFont {
    std::string face = "Sans";
    int pitchAndFamily = 0;  // as the platform's logical font holds it
    double pixels = 12;      // text height of objectives and badges
    double captionPixels = 13;
};

struct StrategyMap {
    struct Band {  // a perspective, or a strategy (a column)
        std::string key;
        std::string text;
    };
    struct Objective {
        std::string key;
        std::string text;
        std::size_t band = 0;
        std::size_t column = 0;
        long measures = 0;
        long initiatives = 0;
        long rows = 0;  // row-wise items
        bool selected = false;
    };
    struct Link {  // indices into objectives
        std::size_t from;
        std::size_t to;
        friend bool operator==(const Link&, const Link&) = default;
    };

    std::vector<Band> bands;    // top to bottom
    std::vector<Band> columns;  // left to right
    std::vector<Objective> objectives;
    std::vector<Link> links;
    std::optional<std::size_t> selectedColumn;  // the selected strategy's
    Palette palette;
    MapFont font;
};

// The map a chart holds. Grids of an unexpected shape and cells of an
// unexpected type are read as far as they fit; nothing here raises for them.
StrategyMap ReadStrategyMap(const ChartHoldings& chart);

}  // namespace standins::picture
