// The strategy map as a picture: pixels, or the bytes of a PNG, SVG or JPEG
// file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "standins/picture/MapLayout.h"
#include "standins/picture/StrategyMap.h"

namespace standins::picture {

enum class PictureFormat { Png, Svg, Jpeg };

// The format a file name's ending asks for: .png, .svg, .jpg or .jpeg, in
// any case; none for another ending.
std::optional<PictureFormat> PictureFormatOf(const std::filesystem::path& file);

struct Pixels {
    Size size;
    // Row by row from the top; 0x00RRGGBB in memory's own order, as cairo
    // keeps pixels without alpha.
    std::vector<std::uint32_t> data;

    Rgb At(int x, int y) const { return data[static_cast<std::size_t>(y) * size.width + x] & 0xFFFFFF; }
};

Pixels Rasterize(const StrategyMap& map, Size size = kPictureSize);

// The file's bytes. Raises std::runtime_error when the drawing or the
// encoding fails.
std::string EncodePicture(const StrategyMap& map, PictureFormat format, Size size = kPictureSize);

// Writes the picture to file, replacing what it held. Raises
// std::system_error with the cause when the file cannot be written.
void WritePicture(const StrategyMap& map, PictureFormat format, const std::filesystem::path& file,
                  Size size = kPictureSize);

}  // namespace standins::picture
