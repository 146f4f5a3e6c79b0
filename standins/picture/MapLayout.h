// Where each part of a strategy map goes on a canvas: band labels down the
// left, strategy captions along the top, every objective's box inside the
// cell of its band and column, the badges and the text area inside each box,
// and the arrows between the boxes' edges. Pure geometry: drawing is
// MapPainter's.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "standins/picture/StrategyMap.h"

namespace standins::picture {

struct Size {
    int width;
    int height;
};

// The size pictures are drawn at unless asked otherwise.
inline constexpr Size kPictureSize{1600, 1000};
// Between a caption's edge and its text.
inline constexpr double kCaptionPadding = 6;
// A line of text, in text heights.
inline constexpr double kLineHeight = 1.35;

struct Point {
    double x, y;
};

struct Rect {
    double x = 0, y = 0, width = 0, height = 0;

    double Right() const noexcept { return x + width; }
    double Bottom() const noexcept { return y + height; }
    Point Centre() const noexcept { return {x + width / 2, y + height / 2}; }
    // Smaller by `by` on every side, never below nothing.
    Rect Inset(double by) const noexcept {
        by = std::min({by, width / 2, height / 2});
        return {x + by, y + by, width - 2 * by, height - 2 * by};
    }
    bool Contains(const Rect& inner) const noexcept {
        return inner.x >= x && inner.y >= y && inner.Right() <= Right() && inner.Bottom() <= Bottom();
    }
    bool Overlaps(const Rect& other) const noexcept {
        return x < other.Right() && other.x < Right() && y < other.Bottom() && other.y < Bottom();
    }
};

struct MapLayout {
    struct Badge {
        Rect frame;
        std::string text;  // "M 2": a letter for what is counted, and the count
    };
    struct Box {
        Rect frame;
        Rect text;                // where the objective's text goes
        double textPixels = 0;    // its height; 0 when the box is too small for text
        std::vector<Badge> badges;  // along the bottom, inside the frame
        double badgePixels = 0;
    };
    // A curve from one box's edge to the other's, leaving towards `out`
    // and arriving from `in` (its control points); the head is at `to`.
    struct Arrow {
        Point from, out, in, to;
    };

    Size canvas{};
    Rect corner;                   // above the band labels, left of the captions
    std::vector<Rect> bandLabels;  // per band
    std::vector<Rect> bands;       // per band: the band right of its label
    std::vector<Rect> captions;    // per column
    std::vector<Box> boxes;        // per objective
    std::vector<Arrow> arrows;     // per link
};

MapLayout LayOut(const StrategyMap& map, Size canvas = kPictureSize);

}  // namespace standins::picture
