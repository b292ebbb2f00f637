// Uncompressed 24-bit BMP pictures: the region map and the help pictures.
#pragma once

#include "platform/status.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tavir::platform {

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // 3 bytes a pixel, row by row from the top

    RgbImage() = default;
    RgbImage(int w, int h, uint8_t r, uint8_t g, uint8_t b);
    void set(int x, int y, uint8_t r, uint8_t g, uint8_t b);
};

std::string encodeBmp(const RgbImage& image);
Status writeBmp(const std::filesystem::path& path, const RgbImage& image);

}  // namespace tavir::platform
