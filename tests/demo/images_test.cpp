#include "demo/font.h"
#include "platform/bmp.h"
#include "platform/gif.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tavir::platform {
namespace {

// A reader of the GIF files written here (one image, global palette), with
// the LZW decoding done independently of the writer.
struct DecodedGif {
    int width = 0, height = 0, transparent = -1;
    std::vector<std::array<uint8_t, 3>> palette;
    std::vector<uint8_t> pixels;
};

bool decodeGif(const std::string& s, DecodedGif& out) {
    size_t p = 0;
    auto u8 = [&]() { return p < s.size() ? static_cast<uint8_t>(s[p++]) : uint8_t(0); };
    auto u16 = [&]() { const int lo = u8(); return lo | (u8() << 8); };
    if (s.compare(0, 6, "GIF89a") != 0) return false;
    p = 6;
    out.width = u16();
    out.height = u16();
    const uint8_t flags = u8();
    u8();
    u8();
    const int colours = 1 << ((flags & 7) + 1);
    for (int i = 0; i < colours; ++i) out.palette.push_back({u8(), u8(), u8()});
    while (p < s.size()) {
        const uint8_t block = u8();
        if (block == 0x21) {
            const uint8_t label = u8();
            for (uint8_t n = u8(); n; n = u8()) {
                if (label == 0xF9 && n == 4) {
                    const uint8_t f = u8();
                    u16();
                    const uint8_t t = u8();
                    if (f & 1) out.transparent = t;
                } else {
                    p += n;
                }
            }
        } else if (block == 0x2C) {
            p += 8;
            u8();
            const int minCode = u8();
            std::string data;
            for (uint8_t n = u8(); n; n = u8()) {
                data.append(s, p, n);
                p += n;
            }
            const int clear = 1 << minCode, eoi = clear + 1;
            int size = minCode + 1;
            std::vector<std::vector<uint8_t>> dict;
            auto reset = [&]() {
                dict.assign(size_t(clear + 2), {});
                for (int i = 0; i < clear; ++i) dict[size_t(i)] = {uint8_t(i)};
                size = minCode + 1;
            };
            reset();
            size_t bit = 0;
            int prev = -1;
            while (bit + size_t(size) <= data.size() * 8) {
                int code = 0;
                for (int i = 0; i < size; ++i, ++bit) code |= ((static_cast<uint8_t>(data[bit / 8]) >> (bit % 8)) & 1) << i;
                if (code == clear) {
                    reset();
                    prev = -1;
                    continue;
                }
                if (code == eoi) break;
                std::vector<uint8_t> entry;
                if (code < int(dict.size())) {
                    entry = dict[size_t(code)];
                } else if (code == int(dict.size()) && prev >= 0) {
                    entry = dict[size_t(prev)];
                    entry.push_back(entry[0]);
                } else {
                    return false;
                }
                out.pixels.insert(out.pixels.end(), entry.begin(), entry.end());
                if (prev >= 0 && dict.size() < 4096) {
                    std::vector<uint8_t> added = dict[size_t(prev)];
                    added.push_back(entry[0]);
                    dict.push_back(added);
                }
                if (int(dict.size()) == (1 << size) && size < 12) ++size;
                prev = code;
            }
        } else if (block == 0x3B) {
            return true;
        } else {
            return false;
        }
    }
    return false;
}

TEST(GifWriter, PixelsComeBackUnchangedThroughLongRunsNoiseAndTableResets) {
    struct Case {
        const char* name;
        int colours;
        int width, height;
    };
    for (const Case& c : {Case{"two colours", 2, 37, 11}, Case{"four colours", 4, 640, 462}, Case{"a full palette", 256, 300, 200},
                          Case{"one pixel", 3, 1, 1}}) {
        IndexedImage img(c.width, c.height);
        for (int i = 0; i < c.colours; ++i) img.palette.push_back({uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)});
        uint32_t x = 12345;
        for (size_t i = 0; i < img.pixels.size(); ++i) {
            x = x * 1103515245 + 12345;
            // Half the picture in long runs, half noise, so the code table fills and is reset.
            img.pixels[i] = i < img.pixels.size() / 2 ? uint8_t((i / 97) % size_t(c.colours)) : uint8_t((x >> 16) % uint32_t(c.colours));
        }
        img.transparent = c.colours > 1 ? 1 : -1;
        DecodedGif back;
        ASSERT_TRUE(decodeGif(encodeGif(img), back)) << c.name;
        EXPECT_EQ(back.width, c.width) << c.name;
        EXPECT_EQ(back.height, c.height) << c.name;
        EXPECT_EQ(back.transparent, img.transparent) << c.name;
        ASSERT_EQ(back.pixels, img.pixels) << c.name;
        for (int i = 0; i < c.colours; ++i) EXPECT_EQ(back.palette[size_t(i)], img.palette[size_t(i)]) << c.name;
    }
}

TEST(BmpWriter, RowsAreStoredBottomUpInBlueGreenRedPaddedToFourBytes) {
    RgbImage img(3, 2, 0, 0, 0);
    img.set(0, 0, 10, 20, 30);  // top left
    img.set(2, 1, 40, 50, 60);  // bottom right
    img.set(5, 5, 1, 1, 1);     // outside: ignored
    const std::string b = encodeBmp(img);
    ASSERT_EQ(b.size(), 54u + 2 * 12);
    auto at = [&](size_t i) { return static_cast<uint8_t>(b[i]); };
    EXPECT_EQ(b.substr(0, 2), "BM");
    EXPECT_EQ(at(2) | at(3) << 8, int(b.size()));
    EXPECT_EQ(at(28), 24);
    // First stored row is the bottom one: its third pixel is (40, 50, 60) as B, G, R.
    EXPECT_EQ(at(54 + 6), 60);
    EXPECT_EQ(at(54 + 7), 50);
    EXPECT_EQ(at(54 + 8), 40);
    EXPECT_EQ(at(54 + 12), 30);
    EXPECT_EQ(at(54 + 13), 20);
    EXPECT_EQ(at(54 + 14), 10);
}

TEST(BitmapFont, DrawsCyrillicLettersAndMeasuresWhatItDraws) {
    int minX = 1000, maxX = -1, dots = 0;
    demo::drawText("Тарвин", 0, 0, 1, [&](int x, int) {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        ++dots;
    });
    EXPECT_GT(dots, 40);
    EXPECT_GE(minX, 0);
    EXPECT_LT(maxX, demo::textWidth("Тарвин"));
    EXPECT_EQ(demo::textWidth("Тарвин", 2), 2 * demo::textWidth("Тарвин"));
    EXPECT_GT(demo::textWidth("Ш"), demo::textWidth("г"));
}

}  // namespace
}  // namespace tavir::platform
