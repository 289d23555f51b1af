#include "rgb_png.h"

#include <png.h>

#include <cstring>

namespace e2e {
namespace {

png_image rgb_image() {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    return image;
}

}  // namespace

bool write_rgb_png(const char* path, const std::vector<std::uint32_t>& rgb, int width, int height) {
    std::vector<png_byte> bytes(rgb.size() * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i) {
        bytes[i * 3] = png_byte(rgb[i] >> 16);
        bytes[i * 3 + 1] = png_byte(rgb[i] >> 8);
        bytes[i * 3 + 2] = png_byte(rgb[i]);
    }
    png_image image = rgb_image();
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, path, 0, bytes.data(), 0, nullptr) != 0;
}

bool read_rgb_png(const char* path, std::vector<std::uint32_t>& rgb, int& width, int& height) {
    png_image image = rgb_image();
    if (!png_image_begin_read_from_file(&image, path)) return false;
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> bytes(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr)) return false;
    width = int(image.width);
    height = int(image.height);
    rgb.resize(std::size_t(width) * std::size_t(height));
    for (std::size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = std::uint32_t(bytes[i * 3]) << 16 | std::uint32_t(bytes[i * 3 + 1]) << 8 | bytes[i * 3 + 2];
    return true;
}

}  // namespace e2e
