#include "standins/picture/MapLayout.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace standins::picture;

namespace {

std::string Show(const Rect& r) {
    return std::to_string(r.x) + "," + std::to_string(r.y) + " " + std::to_string(r.width) + "x" +
           std::to_string(r.height);
}

// A map of bands x columns with `count` objectives placed by `cell`, each
// with a long text and every badge.
StrategyMap Crowd(std::size_t bands, std::size_t columns, std::size_t count,
                  const std::function<std::pair<std::size_t, std::size_t>(std::size_t)>& cell) {
    StrategyMap map;
    for (std::size_t b = 0; b < bands; ++b) map.bands.push_back({"P", "A perspective with a rather long name"});
    for (std::size_t c = 0; c < columns; ++c) map.columns.push_back({"S", "A strategy with a long name"});
    for (std::size_t i = 0; i < count; ++i) {
        const auto [b, c] = cell(i);
        map.objectives.push_back({"O", "An objective whose text runs on for a good while", b, c, 12, 3, 140});
        if (i > 0) map.links.push_back({i - 1, i});
    }
    return map;
}

// Maps up to 12 x 12 x 200; a box's text and badges lie inside it too.
TEST(MapLayoutTest, KeepsEveryBoxOnTheCanvasApartFromTheOthers) {
    struct Case { const char* name; StrategyMap map; Size canvas; };
    const Case cases[] = {
        {"200 spread over 12 x 12", Crowd(12, 12, 200, [](std::size_t i) { return std::pair{i % 12, i * 7 % 12}; }),
         kPictureSize},
        {"200 in one cell", Crowd(12, 12, 200, [](std::size_t) { return std::pair{5, 11}; }), kPictureSize},
        {"200 in one band", Crowd(12, 12, 200, [](std::size_t i) { return std::pair{0, i % 12}; }), kPictureSize},
        {"200 in the one cell of a small canvas", Crowd(1, 1, 200, [](std::size_t) { return std::pair{0, 0}; }),
         {320, 200}},
        {"one objective", Crowd(1, 1, 1, [](std::size_t) { return std::pair{0, 0}; }), kPictureSize},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MapLayout layout = LayOut(c.map, c.canvas);
        const Rect canvas{0, 0, double(c.canvas.width), double(c.canvas.height)};
        ASSERT_EQ(layout.boxes.size(), c.map.objectives.size());
        ASSERT_EQ(layout.bands.size(), c.map.bands.size());
        ASSERT_EQ(layout.captions.size(), c.map.columns.size());
        for (const auto* rects : {&layout.bands, &layout.bandLabels, &layout.captions})
            for (const Rect& r : *rects) EXPECT_TRUE(canvas.Contains(r)) << Show(r);
        for (std::size_t i = 0; i < layout.boxes.size(); ++i) {
            const MapLayout::Box& box = layout.boxes[i];
            const Rect& band = layout.bands[c.map.objectives[i].band];
            EXPECT_TRUE(band.Contains(box.frame)) << i << ": " << Show(box.frame) << " outside its band " << Show(band);
            EXPECT_GT(box.frame.width * box.frame.height, 0) << i;
            EXPECT_TRUE(box.frame.Contains(box.text)) << i << ": " << Show(box.text);
            for (const MapLayout::Badge& badge : box.badges)
                EXPECT_TRUE(box.frame.Contains(badge.frame)) << i << ": " << Show(badge.frame);
            for (std::size_t j = i + 1; j < layout.boxes.size(); ++j)
                ASSERT_FALSE(box.frame.Overlaps(layout.boxes[j].frame))
                    << i << " and " << j << ": " << Show(box.frame) << " " << Show(layout.boxes[j].frame);
        }
        // A curve stays inside the hull of its ends and control points.
        for (const MapLayout::Arrow& arrow : layout.arrows)
            for (const Point& p : {arrow.from, arrow.out, arrow.in, arrow.to})
                EXPECT_TRUE(canvas.Contains({p.x, p.y, 0, 0})) << p.x << "," << p.y;
    }
}

}  // namespace
