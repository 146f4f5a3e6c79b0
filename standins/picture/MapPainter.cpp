#include "standins/picture/MapPainter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace standins::picture {

namespace {

constexpr Rgb kDarkText = 0x1C232B, kLightText = 0xFFFFFF;
constexpr double kArrowWidth = 1.6, kArrowHead = 9;

double Red(Rgb c) { return (c >> 16 & 0xFF) / 255.0; }
double Green(Rgb c) { return (c >> 8 & 0xFF) / 255.0; }
double Blue(Rgb c) { return (c & 0xFF) / 255.0; }

// Text that reads on a fill of this colour.
Rgb TextOn(Rgb fill) {
    return 0.299 * Red(fill) + 0.587 * Green(fill) + 0.114 * Blue(fill) > 0.6 ? kDarkText : kLightText;
}

Rgb Mix(Rgb a, Rgb b) {
    const auto half = [&](int shift) { return (((a >> shift & 0xFF) + (b >> shift & 0xFF)) / 2) << shift; };
    return half(16) | half(8) | half(0);
}

// The face the chart was given first, then the generic family its pitch and
// family byte asks for, so that a face this machine lacks still finds a
// font of its kind.
std::string Families(const MapFont& font) {
    constexpr int kFixedPitch = 1, kPitchMask = 3, kFamilyMask = 0xF0, kRoman = 0x10;
    const char* generic = (font.pitchAndFamily & kPitchMask) == kFixedPitch ? "Monospace"
                          : (font.pitchAndFamily & kFamilyMask) == kRoman   ? "Serif"
                                                                            : "Sans";
    return font.face + "," + generic;
}

}  // namespace

MapPainter::MapPainter(cairo_t* cairo, const StrategyMap& map, const MapLayout& layout)
    : cairo_(cairo), map_(map), layout_(layout), text_(pango_cairo_create_layout(cairo)),
      font_(pango_font_description_new()) {
    pango_font_description_set_family(font_.get(), Families(map.font).c_str());
    pango_layout_set_wrap(text_.get(), PANGO_WRAP_WORD_CHAR);
    pango_layout_set_ellipsize(text_.get(), PANGO_ELLIPSIZE_END);
    pango_layout_set_alignment(text_.get(), PANGO_ALIGN_CENTER);
}

void MapPainter::Paint() {
    SetColour(map_.palette.background);
    cairo_paint(cairo_);
    PaintBands();
    PaintGridLines();
    for (std::size_t i = 0; i < map_.objectives.size(); ++i) PaintBox(map_.objectives[i], layout_.boxes[i]);
    // Arrows over the boxes: one that cannot go round a box is still seen
    // for what it joins.
    for (const MapLayout::Arrow& arrow : layout_.arrows) PaintArrow(arrow);
}

void MapPainter::PaintBands() {
    const Palette& p = map_.palette;
    SetColour(p.captionFill);
    cairo_rectangle(cairo_, layout_.corner.x, layout_.corner.y, layout_.corner.width, layout_.corner.height);
    cairo_fill(cairo_);
    PaintText("M measures  I initiatives  R rows", layout_.corner.Inset(kCaptionPadding), map_.font.pixels * 0.9,
              Weight::Normal, TextOn(p.captionFill));

    for (std::size_t b = 0; b < layout_.bands.size(); ++b) {
        const Rect& band = layout_.bands[b];
        SetColour(b % 2 == 0 ? p.gridFill : p.background);
        cairo_rectangle(cairo_, band.x, band.y, band.width, band.height);
        cairo_fill(cairo_);
        PaintCaption(layout_.bandLabels[b], b < map_.bands.size() ? map_.bands[b].text : "", p.captionFrom,
                     p.captionTo);
    }
    for (std::size_t c = 0; c < layout_.captions.size(); ++c) {
        const bool selected = map_.selectedColumn == c;
        PaintCaption(layout_.captions[c], c < map_.columns.size() ? map_.columns[c].text : "",
                     selected ? p.captionSelection : p.captionFrom, selected ? p.captionSelection : p.captionTo);
    }
}

// A caption shades from `from` at its top left to `to` at its bottom right.
void MapPainter::PaintCaption(const Rect& area, const std::string& text, Rgb from, Rgb to) {
    cairo_pattern_t* shade = cairo_pattern_create_linear(area.x, area.y, area.Right(), area.Bottom());
    cairo_pattern_add_color_stop_rgb(shade, 0, Red(from), Green(from), Blue(from));
    cairo_pattern_add_color_stop_rgb(shade, 1, Red(to), Green(to), Blue(to));
    cairo_set_source(cairo_, shade);
    cairo_pattern_destroy(shade);
    RoundedRect(area, 4);
    cairo_fill(cairo_);
    PaintText(text, area.Inset(kCaptionPadding), map_.font.captionPixels, Weight::Bold, TextOn(Mix(from, to)));
}

void MapPainter::PaintGridLines() {
    if (layout_.bands.empty() || layout_.captions.empty()) return;
    SetColour(map_.palette.gridLine);
    cairo_set_line_width(cairo_, 1);
    const Rect& first = layout_.bands.front();
    const double top = first.y, bottom = layout_.bands.back().Bottom();
    // Half-pixel positions draw one-pixel lines sharp.
    const auto line = [&](double x0, double y0, double x1, double y1) {
        cairo_move_to(cairo_, std::round(x0) + 0.5, std::round(y0) + 0.5);
        cairo_line_to(cairo_, std::round(x1) + 0.5, std::round(y1) + 0.5);
    };
    for (std::size_t b = 1; b < layout_.bands.size(); ++b)
        line(layout_.bandLabels[b].x, layout_.bands[b].y, first.Right() - 1, layout_.bands[b].y);
    for (std::size_t c = 1; c < layout_.captions.size(); ++c)
        line(layout_.captions[c].x, top, layout_.captions[c].x, bottom - 1);
    cairo_stroke(cairo_);
    cairo_rectangle(cairo_, first.x + 0.5, top + 0.5, first.width - 1, bottom - top - 1);
    cairo_stroke(cairo_);
}

void MapPainter::PaintArrow(const MapLayout::Arrow& arrow) {
    const auto [from, out, in, to] = arrow;
    // The head points along the curve's last tangent, from `in` to `to`.
    const double dx = to.x - in.x, dy = to.y - in.y;
    const double length = std::hypot(dx, dy);
    if (length < 1) return;
    const double ux = dx / length, uy = dy / length;
    const double head = std::min(kArrowHead, length / 2);
    const Point end{to.x - ux * head * 0.8, to.y - uy * head * 0.8};
    // A pale edge on either side keeps the line apart from what it crosses.
    for (const bool edge : {true, false}) {
        cairo_move_to(cairo_, from.x, from.y);
        cairo_curve_to(cairo_, out.x, out.y, in.x, in.y, end.x, end.y);
        const Rgb colour = edge ? map_.palette.background : map_.palette.arrow;
        cairo_set_source_rgba(cairo_, Red(colour), Green(colour), Blue(colour), edge ? 0.6 : 1);
        cairo_set_line_width(cairo_, edge ? kArrowWidth + 3 : kArrowWidth);
        cairo_stroke(cairo_);
    }
    SetColour(map_.palette.arrow);
    const double spread = head * 0.45;
    cairo_move_to(cairo_, to.x, to.y);
    cairo_line_to(cairo_, to.x - ux * head - uy * spread, to.y - uy * head + ux * spread);
    cairo_line_to(cairo_, to.x - ux * head + uy * spread, to.y - uy * head - ux * spread);
    cairo_close_path(cairo_);
    cairo_fill(cairo_);
}

void MapPainter::PaintBox(const StrategyMap::Objective& objective, const MapLayout::Box& box) {
    const Palette& p = map_.palette;
    const Rect& f = box.frame;
    if (f.width < 1 || f.height < 1) return;
    const double frame = objective.selected ? 3 : 1;
    const Rect edge{f.x + frame / 2, f.y + frame / 2, f.width - frame, f.height - frame};
    RoundedRect(edge, std::min(6.0, f.height / 4));
    SetColour(p.objectiveFill);
    cairo_fill_preserve(cairo_);
    SetColour(objective.selected ? p.objectiveSelection : p.objectiveLine);
    cairo_set_line_width(cairo_, std::min(frame, f.height / 4));
    cairo_stroke(cairo_);
    PaintText(objective.text, box.text, box.textPixels, Weight::Normal, TextOn(p.objectiveFill));

    for (const MapLayout::Badge& badge : box.badges) {
        RoundedRect(badge.frame, badge.frame.height / 2);
        SetColour(p.captionFrom);
        cairo_fill(cairo_);
        PaintText(badge.text, badge.frame, box.badgePixels, Weight::Bold, TextOn(p.captionFrom));
    }
}

void MapPainter::PaintText(const std::string& text, const Rect& area, double pixels, Weight weight, Rgb colour) {
    if (text.empty() || pixels <= 0 || area.width < 1 || area.height < 1) return;
    PangoLayout* layout = text_.get();
    pango_font_description_set_absolute_size(font_.get(), pixels * PANGO_SCALE);
    pango_font_description_set_weight(font_.get(), weight == Weight::Bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_layout_set_font_description(layout, font_.get());
    pango_layout_set_width(layout, static_cast<int>(area.width * PANGO_SCALE));
    pango_layout_set_height(layout, static_cast<int>(area.height * PANGO_SCALE));
    pango_layout_set_text(layout, text.data(), static_cast<int>(text.size()));
    int width = 0, height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);
    cairo_save(cairo_);
    cairo_rectangle(cairo_, area.x, area.y, area.width, area.height);
    cairo_clip(cairo_);
    SetColour(colour);
    cairo_move_to(cairo_, area.x, area.y + std::max(0.0, (area.height - height) / 2));
    pango_cairo_show_layout(cairo_, layout);
    cairo_restore(cairo_);
}

void MapPainter::SetColour(Rgb colour) { cairo_set_source_rgb(cairo_, Red(colour), Green(colour), Blue(colour)); }

void MapPainter::RoundedRect(const Rect& r, double radius) {
    radius = std::min({radius, r.width / 2, r.height / 2});
    constexpr double kQuarter = std::numbers::pi / 2;
    cairo_new_sub_path(cairo_);
    cairo_arc(cairo_, r.Right() - radius, r.y + radius, radius, -kQuarter, 0);
    cairo_arc(cairo_, r.Right() - radius, r.Bottom() - radius, radius, 0, kQuarter);
    cairo_arc(cairo_, r.x + radius, r.Bottom() - radius, radius, kQuarter, 2 * kQuarter);
    cairo_arc(cairo_, r.x + radius, r.y + radius, radius, 2 * kQuarter, 3 * kQuarter);
    cairo_close_path(cairo_);
}

}  // namespace standins::picture
