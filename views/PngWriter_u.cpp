#include "views/PngWriter_u.h"

#include <png.h>

#include <QImage>
#include <csetjmp>
#include <cstring>
#include <vector>

#include "core/SafeFile_u.h"

namespace brindle {
namespace {

[[noreturn]] void PngFailed(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void PngWarning(png_structp, png_const_charp) {}

void AppendData(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::string*>(png_get_io_ptr(png));
    bool ok = true;
    try {
        out->append(reinterpret_cast<const char*>(data), length);
    } catch (...) {
        ok = false;
    }
    if (!ok) png_error(png, "out of memory");
}

void FlushData(png_structp) {}

// Encodes into Out; false when libpng refuses. Nothing here may own resources between
// setjmp and the end: libpng leaves by longjmp.
bool EncodePng(std::int32_t width, std::int32_t height, std::span<const std::uint8_t> rgb, std::string& out) {
    const std::size_t stride = static_cast<std::size_t>(width) * 3;
    std::vector<png_bytep> rows(static_cast<std::size_t>(height));
    for (std::size_t y = 0; y < rows.size(); ++y) rows[y] = const_cast<png_bytep>(rgb.data() + y * stride);
    char key[] = "Software";
    std::string software = kPngSoftware;
    png_text text{};
    text.compression = PNG_TEXT_COMPRESSION_NONE;
    text.key = key;
    text.text = software.data();
    text.text_length = software.size();

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngFailed, PngWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, AppendData, FlushData);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_text(png, info, &text, 1);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

void WritePngFile(const std::string& fileName, std::int32_t width, std::int32_t height,
                  std::span<const std::uint8_t> rgb) {
    TAtomicFile file;
    if (!file.Open(fileName)) throw EPngWriter("Error Opening File " + fileName + "!", file.ErrorText());
    const bool sizeOk =
        width > 0 && height > 0 && rgb.size() == static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3;
    std::string bytes;
    if (!sizeOk || !EncodePng(width, height, rgb, bytes) || !file.Write(bytes) || !file.Commit())
        throw EPngWriter("Error Writing PNG File!", file.ErrorText());
}

void WritePngFile(const std::string& fileName, const QImage& image) {
    std::vector<std::uint8_t> rgb;
    if (!image.isNull()) {
        const QImage packed = image.convertToFormat(QImage::Format_RGB888);
        const auto stride = static_cast<std::size_t>(packed.width()) * 3;
        rgb.resize(stride * static_cast<std::size_t>(packed.height()));
        for (int y = 0; y < packed.height(); ++y)
            std::memcpy(rgb.data() + static_cast<std::size_t>(y) * stride, packed.constScanLine(y), stride);
    }
    WritePngFile(fileName, image.width(), image.height(), rgb);
}

}  // namespace brindle
