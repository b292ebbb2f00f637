#include "demo/pictures.h"

#include "demo/font.h"
#include "platform/bmp.h"
#include "platform/gif.h"

#include <array>
#include <cmath>
#include <map>

namespace tavir::demo {

namespace fs = std::filesystem;
using platform::Status;

namespace {

// The region is drawn in a space of 1040 × 750 units, scaled to the picture.
constexpr double kSpaceWidth = 1040, kSpaceHeight = 750;
constexpr int kMapWidth = 640, kMapHeight = 462;

// Layer of the map page for a district code: 1 to 26 the rural districts,
// 27 and 28 the two cities; 0 for anything else.
int layerOf(int code) {
    if (code >= 1 && code <= 26) return code;
    if (code == 101) return 27;
    if (code == 102) return 28;
    return 0;
}

std::string labelOf(const DistrictInfo& d) { return d.code >= 100 ? "г. " + d.name : d.name; }

// Which layer every pixel belongs to (0 outside the region): the districts
// are the cells around their seeds, with wavy borders, and the two cities
// small round areas inside them.
struct LayerMap {
    int width, height;
    std::vector<uint8_t> layer;
    std::map<int, std::pair<double, double>> centre;  // layer -> centre of its pixels

    LayerMap(int w, int h, const std::vector<DistrictInfo>& districts) : width(w), height(h), layer(size_t(w) * size_t(h), 0) {
        const double sx = kSpaceWidth / w, sy = kSpaceHeight / h;
        std::map<int, std::array<double, 3>> sums;
        for (int py = 0; py < h; ++py) {
            for (int px = 0; px < w; ++px) {
                const double x = (px + 0.5) * sx, y = (py + 0.5) * sy;
                const double dx = (x - 520) / 458, dy = (y - 375) / 318;
                const double angle = std::atan2(dy, dx);
                const double edge = 1 + 0.06 * std::sin(3 * angle) + 0.04 * std::cos(5 * angle + 1) + 0.03 * std::sin(7 * angle + 2);
                if (std::sqrt(dx * dx + dy * dy) > edge) continue;
                int best = 0;
                double bestDistance = 1e18;
                for (const DistrictInfo& d : districts) {
                    const int l = layerOf(d.code);
                    if (l == 0) continue;
                    const double ddx = x - d.x, ddy = y - d.y;
                    double dist = std::sqrt(ddx * ddx + ddy * ddy);
                    if (l > 26) {
                        const double radius = l == 27 ? 34 : 24;
                        if (dist > radius) continue;
                        dist = -1;  // a city lies on top of its district
                    } else {
                        dist += 14 * std::sin(0.031 * x + l) * std::cos(0.027 * y + 2 * l);
                    }
                    if (dist < bestDistance) {
                        bestDistance = dist;
                        best = l;
                    }
                }
                layer[size_t(py) * size_t(w) + size_t(px)] = static_cast<uint8_t>(best);
                auto& s = sums[best];
                s[0] += px;
                s[1] += py;
                s[2] += 1;
            }
        }
        for (auto& [l, s] : sums) centre[l] = {s[0] / s[2], s[1] / s[2]};
    }
    int at(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return 0;
        return layer[size_t(y) * size_t(width) + size_t(x)];
    }
    bool border(int x, int y) const {
        const int l = at(x, y);
        return l != at(x + 1, y) || l != at(x, y + 1) || l != at(x - 1, y) || l != at(x, y - 1);
    }
};

using Rgb = std::array<uint8_t, 3>;

// Class colours of the colour schemes, from the lowest class to the highest.
Rgb classColour(int scheme, int cls) {
    static const std::array<std::array<Rgb, 2>, 7> kRamps{{
        {{{255, 224, 214}, {178, 24, 43}}},   // red
        {{{229, 245, 224}, {0, 109, 44}}},    // green
        {{{222, 235, 247}, {8, 69, 148}}},    // blue
        {{{254, 237, 222}, {166, 54, 3}}},    // brown
        {{{239, 237, 245}, {84, 39, 143}}},   // violet
        {{{240, 240, 240}, {64, 64, 64}}},    // grey
        {{{26, 150, 65}, {215, 25, 28}}},     // green to red
    }};
    const auto& ramp = kRamps[size_t(scheme - 1)];
    Rgb c{};
    const double t = (cls - 1) / 4.0;
    for (int i = 0; i < 3; ++i) c[size_t(i)] = static_cast<uint8_t>(std::lround(ramp[0][size_t(i)] + (ramp[1][size_t(i)] - ramp[0][size_t(i)]) * t));
    if (scheme == 7 && cls == 3) c = {255, 255, 191};  // the middle of a diverging scale is light
    return c;
}

// Writes every district's name at the centre of its area, with a light halo.
template <class Plot>
void drawNames(const LayerMap& map, const std::vector<DistrictInfo>& districts, Plot&& plot) {
    for (const DistrictInfo& d : districts) {
        const int l = layerOf(d.code);
        auto c = map.centre.find(l);
        if (l == 0 || c == map.centre.end()) continue;
        const std::string label = labelOf(d);
        const int x = static_cast<int>(c->second.first) - textWidth(label) / 2;
        const int y = static_cast<int>(c->second.second) - kGlyphHeight / 2 - (l > 26 ? 12 : 0);
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) drawText(label, x + dx, y + dy, 1, [&](int px, int py) { plot(px, py, false); });
        }
        drawText(label, x, y, 1, [&](int px, int py) { plot(px, py, true); });
    }
}

}  // namespace

Status writeMapImages(const fs::path& imagesDir, const std::vector<DistrictInfo>& districts) {
    const LayerMap map(kMapWidth, kMapHeight, districts);
    std::error_code ec;
    for (int scheme = 1; scheme <= 7; ++scheme) {
        for (int cls = 1; cls <= 5; ++cls) {
            const fs::path dir = imagesDir / std::to_string(scheme) / std::to_string(cls);
            fs::create_directories(dir, ec);
            if (ec) return Status::fail(platform::ErrorKind::Io, "Не создана папка " + dir.string() + ": " + ec.message());
            const Rgb fill = classColour(scheme, cls);
            for (int layer = 1; layer <= 28; ++layer) {
                platform::IndexedImage img(kMapWidth, kMapHeight, 0);
                img.palette = {{255, 255, 255}, fill, {90, 90, 90}, {255, 255, 255}};
                img.transparent = 0;
                for (int y = 0; y < kMapHeight; ++y) {
                    for (int x = 0; x < kMapWidth; ++x) {
                        if (map.at(x, y) == layer) img.at(x, y) = map.border(x, y) ? 2 : 1;
                    }
                }
                if (Status st = platform::writeGif(dir / (std::to_string(layer) + ".gif"), img); !st) return st;
            }
            platform::IndexedImage legend(20, 14, 1);
            legend.palette = {{90, 90, 90}, fill};
            for (int x = 0; x < 20; ++x) legend.at(x, 0) = legend.at(x, 13) = 0;
            for (int y = 0; y < 14; ++y) legend.at(0, y) = legend.at(19, y) = 0;
            if (Status st = platform::writeGif(dir / "legend.gif", legend); !st) return st;
        }
    }
    platform::IndexedImage names(kMapWidth, kMapHeight, 0);
    names.palette = {{255, 255, 255}, {20, 20, 20}, {255, 255, 255}, {120, 120, 120}};
    names.transparent = 0;
    for (int y = 0; y < kMapHeight; ++y) {
        for (int x = 0; x < kMapWidth; ++x) {
            if (map.at(x, y) && map.border(x, y)) names.at(x, y) = 3;
        }
    }
    drawNames(map, districts, [&](int x, int y, bool ink) {
        if (x >= 0 && y >= 0 && x < kMapWidth && y < kMapHeight) names.at(x, y) = ink ? 1 : 2;
    });
    return platform::writeGif(imagesDir / "name_r.gif", names);
}

Status writeRegionMap(const fs::path& path, const std::vector<DistrictInfo>& districts) {
    const int w = 800, h = 600, top = 40;
    const LayerMap map(w, h - top, districts);
    platform::RgbImage img(w, h, 236, 242, 248);
    for (int y = 0; y < h - top; ++y) {
        for (int x = 0; x < w; ++x) {
            const int l = map.at(x, y);
            if (l == 0) continue;
            if (map.border(x, y)) {
                img.set(x, y + top, 110, 110, 110);
            } else if (l > 26) {
                img.set(x, y + top, 250, 214, 165);
            } else {
                // Soft colours that differ between neighbours.
                const int shade = (l * 37) % 5;
                img.set(x, y + top, static_cast<uint8_t>(200 + shade * 9), static_cast<uint8_t>(228 - shade * 4), static_cast<uint8_t>(190 + shade * 6));
            }
        }
    }
    drawNames(map, districts, [&](int x, int y, bool ink) {
        if (ink) {
            img.set(x, y + top, 30, 30, 30);
        } else if (y >= 0 && y < h - top && map.at(x, y)) {
            img.set(x, y + top, 250, 250, 250);
        }
    });
    const std::string title = "Тарвинская область";
    drawText(title, (w - textWidth(title, 2)) / 2, 4, 2, [&](int x, int y) { img.set(x, y, 20, 50, 110); });
    return platform::writeBmp(path, img);
}

Status writeHelpPicture(const fs::path& path, const HelpTopic& topic) {
    const int w = 520, h = 300;
    platform::RgbImage img(w, h, 255, 255, 255);
    auto box = [&](int x0, int y0, int x1, int y1, Rgb c) {
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) img.set(x, y, c[0], c[1], c[2]);
        }
    };
    box(0, 0, w, h, {212, 208, 200});
    box(4, 4, w - 4, 30, {10, 36, 106});
    drawText(topic.title, 12, 8, 1, [&](int x, int y) { img.set(x, y, 255, 255, 255); });
    box(12, 40, w - 12, h - 12, {255, 255, 255});
    int y = 52;
    for (const std::string& line : topic.lines) {
        drawText(line, 24, y, 1, [&](int x, int py) { img.set(x, py, 0, 0, 0); });
        y += 20;
    }
    // A small grid standing for a report table.
    const int gx = 24, gy = y + 12, cw = 60, ch = 18;
    for (int r = 0; r <= 4; ++r) box(gx, gy + r * ch, gx + 7 * cw + 1, gy + r * ch + 1, {128, 128, 128});
    for (int c = 0; c <= 7; ++c) box(gx + c * cw, gy, gx + c * cw + 1, gy + 4 * ch + 1, {128, 128, 128});
    box(gx + 1, gy + 1, gx + 7 * cw, gy + ch, {230, 230, 230});
    return platform::writeBmp(path, img);
}

}  // namespace tavir::demo
