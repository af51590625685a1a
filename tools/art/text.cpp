#include "tools/art/text.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include <fontconfig/fontconfig.h>

#include <cmath>
#include <map>
#include <stdexcept>

namespace Art {
namespace {

FT_Library lib = nullptr;
std::map<std::string, FT_Face> faces;  // opened once per pattern

FT_Library Library() {
    if (!lib && FT_Init_FreeType(&lib) != 0) throw std::runtime_error("FreeType cannot start");
    return lib;
}

// The face that fontconfig picks for the pattern.
FT_Face Face(const std::string& pattern) {
    auto it = faces.find(pattern);
    if (it != faces.end()) return it->second;
    FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>(pattern.c_str()));
    if (!pat) throw std::runtime_error("bad font pattern: " + pattern);
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult res;
    FcPattern* match = FcFontMatch(nullptr, pat, &res);
    FcPatternDestroy(pat);
    if (!match) throw std::runtime_error("no font for " + pattern);
    FcChar8* file = nullptr;
    int index = 0;
    FcPatternGetString(match, FC_FILE, 0, &file);
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    FT_Face face = nullptr;
    std::string path = file ? reinterpret_cast<const char*>(file) : "";
    FcPatternDestroy(match);
    if (path.empty() || FT_New_Face(Library(), path.c_str(), index, &face) != 0)
        throw std::runtime_error("cannot open font " + path + " for " + pattern);
    faces[pattern] = face;
    return face;
}

FT_Face Sized(const TextStyle& style) {
    FT_Face face = Face(style.font);
    FT_Set_Char_Size(face, 0, FT_F26Dot6(std::lround(style.size * 64)), 72, 72);
    return face;
}

// Lays the text out from x = 0, calling `glyph` for each rendered glyph bitmap at its pen position.
template <class F>
float Layout(const TextStyle& style, const std::string& text, F glyph) {
    FT_Face face = Sized(style);
    float pen = 0;
    FT_UInt prev = 0;
    for (unsigned char ch : text) {
        FT_UInt gi = FT_Get_Char_Index(face, ch);
        if (prev && gi && FT_HAS_KERNING(face)) {
            FT_Vector k;
            FT_Get_Kerning(face, prev, gi, FT_KERNING_DEFAULT, &k);
            pen += k.x / 64.0f;
        }
        if (FT_Load_Glyph(face, gi, FT_LOAD_DEFAULT | FT_LOAD_NO_HINTING) != 0) continue;
        glyph(face->glyph, pen);
        pen += face->glyph->advance.x / 64.0f + style.tracking;
        prev = gi;
    }
    return pen - (text.empty() ? 0 : style.tracking);
}

}  // namespace

void ReleaseFonts() {
    for (auto& [pattern, face] : faces) FT_Done_Face(face);
    faces.clear();
    if (lib) FT_Done_FreeType(lib);
    lib = nullptr;
    FcFini();
}

float TextWidth(const TextStyle& style, const std::string& text) {
    return Layout(style, text, [](FT_GlyphSlot, float) {});
}

Mask TextMask(int w, int h, const TextStyle& style, const std::string& text, float x, float y) {
    float width = TextWidth(style, text);
    float x0 = style.align == Align::Left ? x : style.align == Align::Centre ? x - width / 2 : x - width;
    Mask m(w, h);
    Layout(style, text, [&](FT_GlyphSlot slot, float pen) {
        // Render at the sub-pixel pen position so that letter spacing stays even.
        float gx = x0 + pen;
        float frac = gx - std::floor(gx);
        FT_Outline_Translate(&slot->outline, FT_Pos(std::lround(frac * 64)), 0);
        if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return;
        const FT_Bitmap& bm = slot->bitmap;
        int ox = int(std::floor(gx)) + slot->bitmap_left;
        int oy = int(std::lround(y)) - slot->bitmap_top;
        for (unsigned r = 0; r < bm.rows; ++r)
            for (unsigned c = 0; c < bm.width; ++c) {
                int px = ox + int(c), py = oy + int(r);
                if (px < 0 || py < 0 || px >= w || py >= h) continue;
                float a = bm.buffer[r * bm.pitch + c] / 255.0f;
                float& d = m.Ref(px, py);
                d = d + a - d * a;
            }
    });
    return m;
}

void DrawText(Canvas& c, const TextStyle& style, const std::string& text, float x, float y,
              const TextLook& look) {
    Mask m = TextMask(c.Width(), c.Height(), style, text, x, y);
    Mask body = look.outline > 0 ? m.Dilated(look.outline) : m;
    if (look.shadowOpacity > 0)
        c.Fill(body.Shifted(look.shadowDx, look.shadowDy).Blurred(look.shadowBlur), Solid(Rgb{0, 0, 0}),
               look.shadowOpacity);
    if (look.outline > 0) c.Fill(body, Solid(look.outlineColour));
    c.Fill(m, look.paint);
}

}  // namespace Art
