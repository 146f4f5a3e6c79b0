#include "standins/picture/Picture.h"

#include <gtest/gtest.h>

// jpeglib.h needs FILE and size_t declared before it.
#include <cstdio>
#include <jpeglib.h>

using namespace standins::picture;

namespace {

StrategyMap Known(const Palette& palette) {
    StrategyMap map;
    map.bands = {{"FIN", "Finance"}, {"CUS", "Customer"}};
    map.columns = {{"G", "Growth"}, {"P", "Productivity"}};
    map.objectives = {{"A", "A", 0, 0}, {"B", "B", 1, 1, 2, 1, 0}};
    map.links = {{0, 1}};
    map.palette = palette;
    return map;
}

const Palette kSent{
    .background = 0x102030, .gridFill = 0x405060, .objectiveFill = 0xA0B0C0, .objectiveSelection = 0xFF00FF};

// Where the picture shows a band's own colour: its top left corner, which
// boxes, lines and arrows leave alone.
Point InBand(const Rect& band) { return {band.x + 4, band.y + 4}; }
// Where a box shows its fill: inside its frame, left of its text.
Point InBox(const Rect& frame) { return {frame.x + 3, frame.Centre().y}; }

TEST(PictureTest, DrawsBandsAndBoxesInTheirColours) {
    const Size size{480, 320};
    for (const Palette& palette : {Palette(), kSent}) {
        SCOPED_TRACE(palette.background);
        const StrategyMap map = Known(palette);
        const MapLayout layout = LayOut(map, size);
        const Pixels pixels = Rasterize(map, size);
        ASSERT_EQ(pixels.data.size(), std::size_t{480 * 320});
        const auto at = [&](Point p) { return pixels.At(static_cast<int>(p.x), static_cast<int>(p.y)); };
        EXPECT_EQ(at({1, double(size.height - 2)}), palette.background);  // the margin
        EXPECT_EQ(at(InBand(layout.bands[0])), palette.gridFill);
        EXPECT_EQ(at(InBand(layout.bands[1])), palette.background);
        EXPECT_EQ(at(InBox(layout.boxes[0].frame)), palette.objectiveFill);
        EXPECT_EQ(at(InBox(layout.boxes[1].frame)), palette.objectiveFill);
    }
}

// The box's colour within what the compression changes.
TEST(PictureTest, JpegDecodesToThePicture) {
    const Size size{400, 250};
    const StrategyMap map = Known(kSent);
    const std::string jpeg = EncodePicture(map, PictureFormat::Jpeg, size);
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(jpeg.data()), jpeg.size());
    ASSERT_EQ(jpeg_read_header(&info, TRUE), JPEG_HEADER_OK);
    jpeg_start_decompress(&info);
    EXPECT_EQ(info.output_width, 400u);
    EXPECT_EQ(info.output_height, 250u);
    ASSERT_EQ(info.output_components, 3);
    const Point probe = InBox(LayOut(map, size).boxes[1].frame);
    const std::size_t width = info.output_width;
    std::vector<JSAMPLE> image(width * info.output_height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPLE* row = &image[info.output_scanline * width * 3];
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    const JSAMPLE* p = &image[3 * (static_cast<std::size_t>(probe.y) * width + static_cast<std::size_t>(probe.x))];
    const Rgb seen = Rgb{p[0]} << 16 | Rgb{p[1]} << 8 | p[2];
    for (const int shift : {16, 8, 0})
        EXPECT_NEAR(seen >> shift & 0xFF, kSent.objectiveFill >> shift & 0xFF, 12) << std::hex << seen;
}

}  // namespace
