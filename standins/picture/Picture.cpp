#include "standins/picture/Picture.h"

#include <cairo-svg.h>
#include <cairo.h>
// jpeglib.h needs FILE and size_t declared before it.
#include <cstdio>
#include <jpeglib.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csetjmp>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <system_error>

#include "standins/picture/MapPainter.h"

namespace standins::picture {

namespace {

constexpr int kJpegQuality = 90;
constexpr int kLargestSide = 32767;  // cairo's limit

struct SurfaceDeleter {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct CairoDeleter {
    void operator()(cairo_t* cairo) const { cairo_destroy(cairo); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using Cairo = std::unique_ptr<cairo_t, CairoDeleter>;

void Check(cairo_status_t status) {
    if (status != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error(std::string("drawing failed: ") + cairo_status_to_string(status));
}

void CheckSize(Size size) {
    if (size.width < 1 || size.height < 1 || size.width > kLargestSide || size.height > kLargestSide)
        throw std::invalid_argument("a picture is 1 to 32767 pixels wide and high");
}

// Draws the map onto the surface, which stays unfinished.
void Draw(cairo_surface_t* surface, const StrategyMap& map, Size size) {
    const Cairo cairo(cairo_create(surface));
    const MapLayout layout = LayOut(map, size);
    MapPainter(cairo.get(), map, layout).Paint();
    Check(cairo_status(cairo.get()));
}

// Where cairo hands the bytes of a file it writes.
cairo_status_t Append(void* closure, const unsigned char* data, unsigned int length) {
    try {
        static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
        return CAIRO_STATUS_SUCCESS;
    } catch (...) {
        return CAIRO_STATUS_NO_MEMORY;
    }
}

// libjpeg reports an error by calling error_exit, which must not return:
// it jumps back to where the compression began.
struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void JumpOut(j_common_ptr info) {
    auto* errors = reinterpret_cast<JpegErrors*>(info->err);
    info->err->format_message(info, errors->message);
    std::longjmp(errors->jump, 1);
}

// No object with a destructor may live in this frame: the jump skips it.
bool CompressJpeg(const Pixels& pixels, JSAMPLE* row, JpegErrors& errors, unsigned char** out, unsigned long* size) {
    jpeg_compress_struct info{};
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = JumpOut;
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, out, size);
    info.image_width = static_cast<JDIMENSION>(pixels.size.width);
    info.image_height = static_cast<JDIMENSION>(pixels.size.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, kJpegQuality, TRUE);
    jpeg_start_compress(&info, TRUE);
    for (int y = 0; y < pixels.size.height; ++y) {
        for (int x = 0; x < pixels.size.width; ++x) {
            const Rgb rgb = pixels.At(x, y);
            row[3 * x] = static_cast<JSAMPLE>(rgb >> 16);
            row[3 * x + 1] = static_cast<JSAMPLE>(rgb >> 8);
            row[3 * x + 2] = static_cast<JSAMPLE>(rgb);
        }
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

std::string EncodeJpeg(const Pixels& pixels) {
    std::vector<JSAMPLE> row(static_cast<std::size_t>(pixels.size.width) * 3);
    JpegErrors errors{};
    unsigned char* out = nullptr;
    unsigned long size = 0;
    const bool done = CompressJpeg(pixels, row.data(), errors, &out, &size);
    // The buffer is ours to free, also after a failure.
    const std::unique_ptr<unsigned char, decltype(&std::free)> owned(out, &std::free);
    if (!done) throw std::runtime_error(std::string("JPEG encoding failed: ") + errors.message);
    return std::string(reinterpret_cast<const char*>(out), size);
}

std::string EncodePng(Pixels pixels) {
    const Surface surface(cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(pixels.data.data()),
                                                              CAIRO_FORMAT_RGB24, pixels.size.width,
                                                              pixels.size.height, pixels.size.width * 4));
    std::string bytes;
    Check(cairo_surface_write_to_png_stream(surface.get(), Append, &bytes));
    return bytes;
}

std::string EncodeSvg(const StrategyMap& map, Size size) {
    std::string bytes;
    const Surface surface(cairo_svg_surface_create_for_stream(Append, &bytes, size.width, size.height));
    Draw(surface.get(), map, size);
    cairo_surface_finish(surface.get());
    Check(cairo_surface_status(surface.get()));
    return bytes;
}

}  // namespace

std::optional<PictureFormat> PictureFormatOf(const std::filesystem::path& file) {
    std::string ending = file.extension().string();
    std::transform(ending.begin(), ending.end(), ending.begin(), [](unsigned char c) { return std::tolower(c); });
    if (ending == ".png") return PictureFormat::Png;
    if (ending == ".svg") return PictureFormat::Svg;
    if (ending == ".jpg" || ending == ".jpeg") return PictureFormat::Jpeg;
    return std::nullopt;
}

Pixels Rasterize(const StrategyMap& map, Size size) {
    CheckSize(size);
    Pixels pixels{size, std::vector<std::uint32_t>(static_cast<std::size_t>(size.width) * size.height)};
    // Rows of RGB24 pixels are four bytes a pixel, without padding.
    static_assert(sizeof(std::uint32_t) == 4);
    const Surface surface(cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(pixels.data.data()),
                                                              CAIRO_FORMAT_RGB24, size.width, size.height,
                                                              size.width * 4));
    Check(cairo_surface_status(surface.get()));
    Draw(surface.get(), map, size);
    cairo_surface_flush(surface.get());
    return pixels;
}

std::string EncodePicture(const StrategyMap& map, PictureFormat format, Size size) {
    switch (format) {
        case PictureFormat::Png: return EncodePng(Rasterize(map, size));
        case PictureFormat::Jpeg: return EncodeJpeg(Rasterize(map, size));
        case PictureFormat::Svg: CheckSize(size); return EncodeSvg(map, size);
    }
    throw std::invalid_argument("no such picture format");
}

void WritePicture(const StrategyMap& map, PictureFormat format, const std::filesystem::path& file, Size size) {
    const std::string bytes = EncodePicture(map, format, size);
    const auto fail = [&](int error) {
        throw std::system_error(error ? error : EIO, std::generic_category(), "cannot write " + file.string());
    };
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (!out) fail(errno);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    const int error = errno;
    if (std::fclose(out) != 0 || !written) fail(written ? errno : error);
}

}  // namespace standins::picture

// Fontconfig, which pango finds fonts with, keeps what it loaded until the
// process ends and frees none of it: the leak checker is told so, in every
// program that draws.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
