// Draws a laid-out strategy map with cairo, its text with pango: bands and
// captions, the grid's lines, arrows beneath the boxes, boxes with their
// text wrapped (and cut with an ellipsis) inside them, and their badges.
#pragma once

#include <cairo.h>
#include <pango/pangocairo.h>

#include <memory>
#include <string>

#include "standins/picture/MapLayout.h"
#include "standins/picture/StrategyMap.h"

namespace standins::picture {

class MapPainter {
public:
    // cairo stays the caller's; map and layout must outlive the painter.
    MapPainter(cairo_t* cairo, const StrategyMap& map, const MapLayout& layout);

    void Paint();

private:
    enum class Weight { Normal, Bold };

    void PaintBands();
    void PaintCaption(const Rect& area, const std::string& text, Rgb from, Rgb to);
    void PaintGridLines();
    void PaintArrow(const MapLayout::Arrow& arrow);
    void PaintBox(const StrategyMap::Objective& objective, const MapLayout::Box& box);
    // Text wrapped into area, centred in it, cut with an ellipsis where it
    // does not fit, and clipped to it.
    void PaintText(const std::string& text, const Rect& area, double pixels, Weight weight, Rgb colour);

    void SetColour(Rgb colour);
    void RoundedRect(const Rect& r, double radius);

    struct LayoutDeleter {
        void operator()(PangoLayout* layout) const { g_object_unref(layout); }
    };
    struct FontDeleter {
        void operator()(PangoFontDescription* font) const { pango_font_description_free(font); }
    };

    cairo_t* cairo_;
    const StrategyMap& map_;
    const MapLayout& layout_;
    std::unique_ptr<PangoLayout, LayoutDeleter> text_;
    std::unique_ptr<PangoFontDescription, FontDeleter> font_;
};

}  // namespace standins::picture
