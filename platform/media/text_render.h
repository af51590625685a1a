// Text rendering core shared by the D3DX font objects and the window run time: faces found by
// name through fontconfig, FreeType glyphs rasterised once per face and cached, strings drawn
// with antialiased coverage into any 0xAARRGGBB pixel buffer, clipped to a rectangle, and
// measured. Strings are single-byte (Windows-1252) text like every string of the program.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace textrender {

// A pixel buffer to draw into: `Width` x `Height` pixels of 0xAARRGGBB, rows `Pitch` pixels
// apart (Pitch >= Width), top row first.
struct Surface {
    uint32_t* Pixels = nullptr;
    int Width = 0;
    int Height = 0;
    int Pitch = 0;
};

// A rectangle in surface pixels; Right and Bottom are exclusive.
struct Box {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// Layout flags (the same values as the D3DX / window text format flags).
enum LayoutFlags : uint32_t {
    LayoutLeft = 0x0,
    LayoutCenter = 0x1,      // centre each line horizontally in the box
    LayoutRight = 0x2,       // right-align each line
    LayoutVCenter = 0x4,     // centre vertically (single-line layouts only)
    LayoutBottom = 0x8,      // align to the bottom (single-line layouts only)
    LayoutWordBreak = 0x10,  // break lines between words that would pass the right edge
    LayoutSingleLine = 0x20, // one line: line breaks are not honoured
    LayoutNoClip = 0x100,    // draw outside the box too (still clipped to the surface)
};

// One face at one pixel size, with its glyph cache. Made once and reused; drawing and measuring
// allocate nothing once the glyphs of a string have been rasterised.
class Font {
public:
    // Finds the installed face that best matches `familyName` (fontconfig substitutes look-alikes
    // for names that are not installed) at an em height of `pixelHeight` pixels. Bold picks the
    // bold face when there is one and emboldens the regular one otherwise. Returns nullptr when no
    // face can be loaded at all. Opening the same name, size and style again while the first
    // font lives gives the same object (and its glyph cache).
    static std::shared_ptr<Font> Open(const std::string& familyName, int pixelHeight, bool bold,
                                      bool italic = false);
    // Points to pixels at 96 dots per inch (12 pt -> 16 px), rounded, at least 1.
    static int PointsToPixels(double points);

    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    const std::string& FamilyName() const;  // the family actually used, e.g. "DejaVu Sans"
    const std::string& FilePath() const;    // the font file
    int PixelHeight() const;
    bool Bold() const;
    int Ascent() const;      // pixels above the baseline
    int Descent() const;     // pixels below the baseline (positive)
    int LineHeight() const;  // distance between baselines of two lines

    // Width in pixels of `text` laid out on one line (line breaks count as nothing).
    int MeasureWidth(std::string_view text);
    // Draws one line of `text` with the top of its line box at (x, top), blending each glyph's
    // coverage x the colour's alpha over the surface, only inside `clip` (and the surface).
    // Returns the pen position after the last glyph.
    int DrawLine(const Surface& surface, int x, int top, std::string_view text, uint32_t argb,
                 const Box& clip);

    // Lays `text` out in `box` by `flags` (LayoutFlags) and draws it; clipped to the box unless
    // LayoutNoClip. Returns the height of the laid-out text in pixels.
    int DrawInBox(const Surface& surface, std::string_view text, const Box& box, uint32_t flags,
                  uint32_t argb);

    // Number of glyphs rasterised so far (cache misses); for tests and diagnostics.
    uint64_t GlyphsRasterised() const;

    struct Impl;

private:
    explicit Font(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};
using FontPtr = std::shared_ptr<Font>;

}  // namespace textrender
