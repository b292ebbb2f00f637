// A small bitmap face with Latin and Cyrillic letters, for the texts drawn
// into the demo's pictures (district names, help pictures).
#pragma once

#include <functional>
#include <string_view>

namespace tavir::demo {

inline constexpr int kGlyphHeight = 16;

// Width in pixels of the text drawn at `scale`.
int textWidth(std::string_view utf8, int scale = 1);
// Calls plot(x, y) for every pixel of the text, its top left corner at (x, y).
void drawText(std::string_view utf8, int x, int y, int scale, const std::function<void(int, int)>& plot);

}  // namespace tavir::demo
