#include "app/win32/JpegImage.h"

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace vardak::app::win32 {

namespace {

constexpr JDIMENSION kMaxDimension = 8192;

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf escape;
};

[[noreturn]] void leaveOnError(j_common_ptr info) {
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    std::longjmp(manager->escape, 1);
}

void ignoreMessage(j_common_ptr) {}

// Decodes into `pixels`; false on any error. Kept free of objects with destructors
// so that the error escape skips none.
bool decodeInto(std::span<const uint8_t> bytes, std::vector<uint32_t>& pixels, int& width, int& height,
                std::vector<uint8_t>& row) {
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = leaveOnError;
    errors.base.output_message = ignoreMessage;
    if (setjmp(errors.escape)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK || info.image_width > kMaxDimension ||
        info.image_height > kMaxDimension) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    width = static_cast<int>(info.output_width);
    height = static_cast<int>(info.output_height);
    pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    row.resize(static_cast<size_t>(width) * 3);
    while (info.output_scanline < info.output_height) {
        const auto y = static_cast<size_t>(info.output_scanline);
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&info, rows, 1);
        for (size_t x = 0; x < static_cast<size_t>(width); ++x) {
            const uint8_t* rgb = &row[x * 3];
            pixels[y * static_cast<size_t>(width) + x] =
                rgb[0] | (static_cast<uint32_t>(rgb[1]) << 8) | (static_cast<uint32_t>(rgb[2]) << 16);
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace

std::optional<grell::Bitmap32> decodeJpeg(std::span<const uint8_t> bytes) {
    if (bytes.size() < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8) return std::nullopt;
    std::vector<uint32_t> pixels;
    std::vector<uint8_t> row;
    int width = 0;
    int height = 0;
    if (!decodeInto(bytes, pixels, width, height, row)) return std::nullopt;
    grell::Bitmap32 bitmap(width, height);
    bitmap.pixels() = std::move(pixels);
    return bitmap;
}

}  // namespace vardak::app::win32
