// The text core: fontconfig face matching, FreeType rasterisation, a per-font glyph cache, line
// layout with the usual alignment and word-break rules, and coverage blending into ARGB pixels.
#include "platform/media/text_render.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include <fontconfig/fontconfig.h>

#include "platform/runtime/lsan.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <mutex>
#include <tuple>
#include <utility>
#include <vector>

namespace textrender {
namespace {

// Windows-1252 bytes 0x80..0x9F as Unicode code points (0 where the code page has none).
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

uint32_t CodePoint(uint8_t byte) {
    if (byte >= 0x80 && byte <= 0x9F) return kCp1252High[byte - 0x80];
    return byte;
}

// Bytes that take no room and draw nothing: control characters.
inline bool IsControl(uint8_t c) { return c < 0x20 || c == 0x7F; }

std::mutex& LibraryMutex() {
    static std::mutex m;
    return m;
}

FT_Library Library() {
    static FT_Library lib = [] {
        FT_Library l = nullptr;
        if (FT_Init_FreeType(&l) != 0) l = nullptr;
        return l;
    }();
    return lib;
}

struct Match {
    std::string file;
    int index = 0;
    std::string family;
    int weight = FC_WEIGHT_REGULAR;
    int slant = FC_SLANT_ROMAN;
};

// Loads fontconfig's configuration once. Its configuration parser loses a few bytes that
// nobody can free; the leak checker of sanitizer builds is told to look away while it runs.
bool InitFontconfig() {
    static const bool ok = [] {
#ifdef QV_LSAN
        __lsan_disable();
#endif
        const bool r = FcInit() == FcTrue;
#ifdef QV_LSAN
        __lsan_enable();
#endif
        return r;
    }();
    return ok;
}

// The installed face fontconfig picks for a family name, weight and slant.
bool FindFace(const std::string& family, bool bold, bool italic, Match& out) {
    if (!InitFontconfig()) return false;
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) return false;
    if (!family.empty())
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr) return false;
    FcChar8* file = nullptr;
    FcChar8* fam = nullptr;
    bool ok = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file != nullptr;
    if (ok) {
        out.file = reinterpret_cast<const char*>(file);
        if (FcPatternGetInteger(match, FC_INDEX, 0, &out.index) != FcResultMatch) out.index = 0;
        if (FcPatternGetString(match, FC_FAMILY, 0, &fam) == FcResultMatch && fam != nullptr)
            out.family = reinterpret_cast<const char*>(fam);
        if (FcPatternGetInteger(match, FC_WEIGHT, 0, &out.weight) != FcResultMatch)
            out.weight = FC_WEIGHT_REGULAR;
        if (FcPatternGetInteger(match, FC_SLANT, 0, &out.slant) != FcResultMatch)
            out.slant = FC_SLANT_ROMAN;
    }
    FcPatternDestroy(match);
    return ok;
}

struct Glyph {
    bool loaded = false;
    int left = 0, top = 0;    // bitmap offset from the pen position and the baseline
    int width = 0, rows = 0;  // bitmap size
    int advance = 0;          // whole pixels
    std::vector<uint8_t> coverage;
};

using FontKey = std::tuple<std::string, int, bool, bool>;

std::map<FontKey, std::weak_ptr<Font>>& FontTable() {
    static std::map<FontKey, std::weak_ptr<Font>> table;
    return table;
}

inline uint32_t BlendPixel(uint32_t dst, uint32_t rgb, uint32_t a) {
    // a in 0..255: dst = src * a + dst * (1 - a), alpha composited the same way.
    const uint32_t ia = 255 - a;
    const uint32_t dr = (dst >> 16) & 0xFF, dg = (dst >> 8) & 0xFF, db = dst & 0xFF, da = dst >> 24;
    const uint32_t sr = (rgb >> 16) & 0xFF, sg = (rgb >> 8) & 0xFF, sb = rgb & 0xFF;
    const uint32_t r = (sr * a + dr * ia + 127) / 255;
    const uint32_t g = (sg * a + dg * ia + 127) / 255;
    const uint32_t b = (sb * a + db * ia + 127) / 255;
    const uint32_t outA = a + (da * ia + 127) / 255;
    return (outA << 24) | (r << 16) | (g << 8) | b;
}

}  // namespace

struct Font::Impl {
    FT_Face face = nullptr;
    std::string family, file;
    int pixelHeight = 0;
    bool bold = false;
    bool embolden = false;  // bold asked for but the face found is regular
    bool slant = false;     // italic asked for but the face found is upright
    int ascent = 0, descent = 0;
    uint64_t rasterised = 0;
    std::array<Glyph, 256> glyphs;
    std::vector<std::pair<size_t, size_t>> lines;  // scratch of the layout, reused

    ~Impl() {
        if (face != nullptr) {
            std::lock_guard<std::mutex> lock(LibraryMutex());
            FT_Done_Face(face);
        }
    }

    const Glyph& Get(uint8_t c) {
        Glyph& g = glyphs[c];
        if (g.loaded) return g;
        g.loaded = true;
        ++rasterised;
        const FT_UInt index = FT_Get_Char_Index(face, CodePoint(c));
        if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_TARGET_NORMAL) != 0) return g;
        FT_GlyphSlot slot = face->glyph;
        if (embolden) FT_GlyphSlot_Embolden(slot);
        if (slant) FT_GlyphSlot_Oblique(slot);
        if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return g;
        const FT_Bitmap& bm = slot->bitmap;
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
        if (bm.pixel_mode == FT_PIXEL_MODE_GRAY && bm.buffer != nullptr) {
            g.width = static_cast<int>(bm.width);
            g.rows = static_cast<int>(bm.rows);
            g.coverage.resize(static_cast<size_t>(g.width) * g.rows);
            for (int y = 0; y < g.rows; ++y)
                std::copy_n(bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch, g.width,
                            g.coverage.begin() + static_cast<ptrdiff_t>(y) * g.width);
        }
        return g;
    }
};

int Font::PointsToPixels(double points) {
    const double px = std::nearbyint(points * 96.0 / 72.0);
    if (!(px >= 1.0)) return 1;
    return px > 1000.0 ? 1000 : static_cast<int>(px);
}

std::shared_ptr<Font> Font::Open(const std::string& familyName, int pixelHeight, bool bold,
                                 bool italic) {
    if (pixelHeight < 1) pixelHeight = 1;
    const FontKey key{familyName, pixelHeight, bold, italic};
    auto& table = FontTable();
    if (auto it = table.find(key); it != table.end())
        if (auto existing = it->second.lock()) return existing;

    Match match;
    if (!FindFace(familyName, bold, italic, match)) return nullptr;
    auto impl = std::make_unique<Impl>();
    {
        std::lock_guard<std::mutex> lock(LibraryMutex());
        FT_Library lib = Library();
        if (lib == nullptr || FT_New_Face(lib, match.file.c_str(), match.index, &impl->face) != 0) {
            impl->face = nullptr;
            return nullptr;
        }
    }
    if (FT_Set_Pixel_Sizes(impl->face, 0, static_cast<FT_UInt>(pixelHeight)) != 0) return nullptr;
    impl->family = match.family;
    impl->file = match.file;
    impl->pixelHeight = pixelHeight;
    impl->bold = bold;
    impl->embolden = bold && match.weight < FC_WEIGHT_DEMIBOLD;
    impl->slant = italic && match.slant == FC_SLANT_ROMAN;
    const FT_Size_Metrics& m = impl->face->size->metrics;
    impl->ascent = static_cast<int>((m.ascender + 63) >> 6);
    impl->descent = static_cast<int>((-m.descender + 63) >> 6);
    impl->lines.reserve(16);
    std::shared_ptr<Font> font(new Font(std::move(impl)));
    table[key] = font;
    return font;
}

Font::Font(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Font::~Font() = default;

const std::string& Font::FamilyName() const { return impl_->family; }
const std::string& Font::FilePath() const { return impl_->file; }
int Font::PixelHeight() const { return impl_->pixelHeight; }
bool Font::Bold() const { return impl_->bold; }
int Font::Ascent() const { return impl_->ascent; }
int Font::Descent() const { return impl_->descent; }
int Font::LineHeight() const { return impl_->ascent + impl_->descent; }
uint64_t Font::GlyphsRasterised() const { return impl_->rasterised; }

int Font::MeasureWidth(std::string_view text) {
    int w = 0;
    for (char ch : text) {
        const uint8_t c = static_cast<uint8_t>(ch);
        if (!IsControl(c)) w += impl_->Get(c).advance;
    }
    return w;
}

int Font::DrawLine(const Surface& s, int x, int top, std::string_view text, uint32_t argb,
                   const Box& clip) {
    const int cl = std::max(clip.Left, 0), ct = std::max(clip.Top, 0);
    const int cr = std::min(clip.Right, s.Width), cb = std::min(clip.Bottom, s.Height);
    const uint32_t alpha = argb >> 24, rgb = argb & 0x00FFFFFFu;
    const int baseline = top + impl_->ascent;
    for (char ch : text) {
        const uint8_t c = static_cast<uint8_t>(ch);
        if (IsControl(c)) continue;
        const Glyph& g = impl_->Get(c);
        const int gx = x + g.left, gy = baseline - g.top;
        if (s.Pixels != nullptr && alpha != 0 && cl < cr && ct < cb) {
            const int y0 = std::max(gy, ct), y1 = std::min(gy + g.rows, cb);
            const int x0 = std::max(gx, cl), x1 = std::min(gx + g.width, cr);
            for (int y = y0; y < y1; ++y) {
                const uint8_t* cov = g.coverage.data() + static_cast<size_t>(y - gy) * g.width;
                uint32_t* row = s.Pixels + static_cast<ptrdiff_t>(y) * s.Pitch;
                for (int px = x0; px < x1; ++px) {
                    const uint32_t cv = cov[px - gx];
                    if (cv == 0) continue;
                    const uint32_t a = (cv * alpha + 127) / 255;
                    row[px] = a == 255 ? (0xFF000000u | rgb) : BlendPixel(row[px], rgb, a);
                }
            }
        }
        x += g.advance;
    }
    return x;
}

namespace {

// Splits `text` into the lines of a layout: at line breaks unless single-line, and, with word
// break, between words where a line would pass `maxWidth`. A word wider than the box stays whole.
template <class Measure>
void BreakLines(std::string_view text, uint32_t flags, int maxWidth, Measure measure,
                std::vector<std::pair<size_t, size_t>>& lines) {
    lines.clear();
    const bool single = (flags & LayoutSingleLine) != 0;
    const bool wrap = (flags & LayoutWordBreak) != 0 && !single;
    size_t start = 0;
    while (true) {
        size_t end = text.size();
        size_t next = end;
        if (!single) {
            const size_t br = text.find_first_of("\r\n", start);
            if (br != std::string_view::npos) {
                end = br;
                next = br + ((text[br] == '\r' && br + 1 < text.size() && text[br + 1] == '\n') ? 2 : 1);
            }
        }
        if (!wrap) {
            lines.emplace_back(start, end);
        } else {
            // Greedy filling of the paragraph [start, end).
            size_t ls = start;
            while (true) {
                size_t lineEnd = ls;  // end of the words that fit
                size_t pos = ls;
                int width = 0;
                bool any = false;
                while (pos < end) {
                    size_t ws = pos;
                    while (ws < end && text[ws] == ' ') ++ws;
                    size_t we = ws;
                    while (we < end && text[we] != ' ') ++we;
                    if (ws == we) break;  // only spaces remain
                    const int w = measure(text.substr(pos, we - pos));
                    if (any && width + w > maxWidth) break;
                    width += w;
                    lineEnd = we;
                    pos = we;
                    any = true;
                }
                if (!any) lineEnd = end;
                lines.emplace_back(ls, lineEnd);
                ls = lineEnd;
                while (ls < end && text[ls] == ' ') ++ls;
                if (ls >= end) break;
            }
        }
        if (next >= text.size()) break;  // a break at the very end opens no new line
        start = next;
    }
}

}  // namespace

int Font::DrawInBox(const Surface& surface, std::string_view text, const Box& box,
                    uint32_t flags, uint32_t argb) {
    if (text.empty()) return 0;
    auto measure = [this](std::string_view t) { return MeasureWidth(t); };
    BreakLines(text, flags, box.Right - box.Left, measure, impl_->lines);
    const int lineHeight = LineHeight();
    const int total = static_cast<int>(impl_->lines.size()) * lineHeight;
    int y = box.Top;
    if (flags & LayoutSingleLine) {
        if (flags & LayoutBottom)
            y = box.Bottom - lineHeight;
        else if (flags & LayoutVCenter)
            y = box.Top + (box.Bottom - box.Top - lineHeight) / 2;
    }
    const Box clip = (flags & LayoutNoClip) ? Box{0, 0, surface.Width, surface.Height} : box;
    for (const auto& [a, b] : impl_->lines) {
        const std::string_view line = text.substr(a, b - a);
        int x = box.Left;
        if (flags & (LayoutCenter | LayoutRight)) {
            const int w = MeasureWidth(line);
            x = (flags & LayoutCenter) ? box.Left + (box.Right - box.Left - w) / 2 : box.Right - w;
        }
        DrawLine(surface, x, y, line, argb, clip);
        y += lineHeight;
    }
    return total;
}

}  // namespace textrender
