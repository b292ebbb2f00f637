#include "platform/bmp.h"

#include <fstream>

namespace tavir::platform {

RgbImage::RgbImage(int w, int h, uint8_t r, uint8_t g, uint8_t b) : width(w), height(h), rgb(size_t(w) * size_t(h) * 3) {
    for (size_t i = 0; i < rgb.size(); i += 3) {
        rgb[i] = r;
        rgb[i + 1] = g;
        rgb[i + 2] = b;
    }
}

void RgbImage::set(int x, int y, uint8_t r, uint8_t g, uint8_t b) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    const size_t i = (size_t(y) * size_t(width) + size_t(x)) * 3;
    rgb[i] = r;
    rgb[i + 1] = g;
    rgb[i + 2] = b;
}

namespace {

void put(std::string& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

}  // namespace

std::string encodeBmp(const RgbImage& image) {
    const uint32_t rowBytes = (uint32_t(image.width) * 3 + 3) & ~3u;
    const uint32_t dataSize = rowBytes * uint32_t(image.height);
    std::string out = "BM";
    put(out, 54 + dataSize, 4);
    put(out, 0, 4);
    put(out, 54, 4);
    put(out, 40, 4);  // BITMAPINFOHEADER
    put(out, uint32_t(image.width), 4);
    put(out, uint32_t(image.height), 4);  // positive: rows stored bottom-up
    put(out, 1, 2);
    put(out, 24, 2);
    put(out, 0, 4);
    put(out, dataSize, 4);
    put(out, 2835, 4);  // 72 dpi
    put(out, 2835, 4);
    put(out, 0, 4);
    put(out, 0, 4);
    for (int y = image.height - 1; y >= 0; --y) {
        const size_t start = out.size();
        for (int x = 0; x < image.width; ++x) {
            const size_t i = (size_t(y) * size_t(image.width) + size_t(x)) * 3;
            out.push_back(static_cast<char>(image.rgb[i + 2]));
            out.push_back(static_cast<char>(image.rgb[i + 1]));
            out.push_back(static_cast<char>(image.rgb[i]));
        }
        out.append(rowBytes - (out.size() - start), '\0');
    }
    return out;
}

Status writeBmp(const std::filesystem::path& path, const RgbImage& image) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    const std::string bytes = encodeBmp(image);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!f) return Status::fail(ErrorKind::Io, "Не записан файл " + path.string());
    return Status::ok();
}

}  // namespace tavir::platform
