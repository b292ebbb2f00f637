// GIF89a images with a palette of up to 256 colours and an optional
// transparent colour, LZW-compressed: the district pictures of the map page.
#pragma once

#include "platform/status.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tavir::platform {

struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;                     // palette indexes, row by row from the top
    std::vector<std::array<uint8_t, 3>> palette;     // 1 to 256 colours (RGB)
    int transparent = -1;                            // palette index shown as transparent, or -1

    IndexedImage() = default;
    IndexedImage(int w, int h, uint8_t fill = 0) : width(w), height(h), pixels(size_t(w) * size_t(h), fill) {}
    uint8_t& at(int x, int y) { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

// The bytes of a GIF89a file holding the image.
std::string encodeGif(const IndexedImage& image);
Status writeGif(const std::filesystem::path& path, const IndexedImage& image);

}  // namespace tavir::platform
