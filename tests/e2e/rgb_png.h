// Pictures of 0xRRGGBB pixels, row by row, to and from PNG files, for the
// end-to-end tools.
#pragma once

#include <cstdint>
#include <vector>

namespace e2e {

bool write_rgb_png(const char* path, const std::vector<std::uint32_t>& rgb, int width, int height);
// False when the file is no PNG that can be read.
bool read_rgb_png(const char* path, std::vector<std::uint32_t>& rgb, int& width, int& height);

}  // namespace e2e
