// Drawing into a pixel buffer: colours, filled rectangles and text, the text through the shared
// FreeType text core.
#include "platform/win32/paint.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <map>
#include <string>
#include <tuple>

#include "platform/media/text_render.h"

namespace rt::detail {

uint32_t ToArgb(int32_t colour) {
    uint32_t c = static_cast<uint32_t>(colour);
    if (c & 0x80000000u) {
        switch (c & 0xFF) {
            case 0x05: return 0xFFFFFFFFu;  // window background
            case 0x08: return 0xFF000000u;  // window text
            case 0x0D: return 0xFF0078D7u;  // highlight
            case 0x0E: return 0xFFFFFFFFu;  // highlight text
            case 0x12: return 0xFF000000u;  // button text
            default: return 0xFFF0F0F0u;    // button face and the rest
        }
    }
    return 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

void FillRect(const Canvas& c, int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t argb) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, c.width);
    bottom = std::min(bottom, c.height);
    if (left >= right) return;  // wholly beside the canvas
    for (int32_t y = top; y < bottom; ++y) std::fill(c.pixels + y * c.stride + left, c.pixels + y * c.stride + right, argb);
}

void FrameRect(const Canvas& c, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t thick,
               uint32_t argb) {
    FillRect(c, left, top, right, top + thick, argb);
    FillRect(c, left, bottom - thick, right, bottom, argb);
    FillRect(c, left, top, left + thick, bottom, argb);
    FillRect(c, right - thick, top, right, bottom, argb);
}

namespace {

// Mixes `argb` into pixel (x, y) by `alpha` (0 to 1; more counts as 1), leaving it opaque. Nothing
// happens outside the canvas or when alpha is 0 or less.
void BlendPixel(const Canvas& c, int32_t x, int32_t y, uint32_t argb, float alpha) {
    if (x < 0 || y < 0 || x >= c.width || y >= c.height || alpha <= 0) return;
    uint32_t& d = c.pixels[static_cast<size_t>(y) * c.stride + x];
    uint32_t out = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        float s = float((argb >> shift) & 0xFF), t = float((d >> shift) & 0xFF);
        out |= uint32_t(std::lround(t + (s - t) * std::min(alpha, 1.0f))) << shift;
    }
    d = out;
}

}  // namespace

void FillShape(const Canvas& c, int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t argb,
               const std::function<bool(float, float)>& inside) {
    for (int32_t y = top; y < bottom; ++y)
        for (int32_t x = left; x < right; ++x) {
            int hits = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx)
                    hits += inside(float(x - left) + (sx + 0.5f) / 4, float(y - top) + (sy + 0.5f) / 4);
            BlendPixel(c, x, y, argb, hits / 16.0f);
        }
}

namespace {

textrender::Font* FontFor(const StdFont& f) {
    using Key = std::tuple<std::string, int, bool, bool>;
    static std::map<Key, textrender::FontPtr> cache;
    Key key{f.Name, textrender::Font::PointsToPixels(f.Size), f.Bold, f.Italic};
    auto it = cache.find(key);
    if (it == cache.end())
        it = cache.emplace(key, textrender::Font::Open(f.Name, std::get<1>(key), f.Bold, f.Italic)).first;
    return it->second.get();
}

}  // namespace

void DrawTextLine(const Canvas& c, int32_t x, int32_t y, const std::string& text, const StdFont& font,
                  uint32_t argb, int32_t clipLeft, int32_t clipTop, int32_t clipRight, int32_t clipBottom) {
    if (text.empty()) return;
    textrender::Font* f = FontFor(font);
    if (!f) return;
    textrender::Surface s{c.pixels, c.width, c.height, c.stride};
    textrender::Box clip{clipLeft, clipTop, clipRight, clipBottom};
    f->DrawLine(s, x, y, text, argb, clip);
}

int32_t LineHeight(const StdFont& font) {
    textrender::Font* f = FontFor(font);
    return f ? std::max(1, f->LineHeight()) : 13;
}

}  // namespace rt::detail
