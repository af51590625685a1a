// Procedural wall textures. Every pattern repeats exactly every 128 pixels on both axes (brick
// rows, plank joints, tiles and noise periods all divide 128), so the walls tile without seams.
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "tools/data/noise.h"
#include "tools/data/textures.h"

namespace datagen {
namespace {

constexpr int S = kWallTextureSize;
constexpr double kPi = 3.14159265358979323846;

struct Col {
    double r, g, b;
};
Col operator*(Col c, double k) { return {c.r * k, c.g * k, c.b * k}; }
Col operator+(Col a, Col b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
Col Mix(Col a, Col b, double t) { return a * (1 - t) + b * t; }
int Wrap(int v) { return ((v % S) + S) % S; }
double Clamp01(double v) { return std::clamp(v, 0.0, 1.0); }

// Stores a colour, keeping every channel at 250 or below: no wall pixel can become the
// near-white transparent key, and highlights stay off pure white.
uint32_t Store(Col c) {
    return Rgb(std::min(c.r, 250.0), std::min(c.g, 250.0), std::min(c.b, 250.0));
}

template <class F>
Image Paint(F pixel) {
    Image img(S, S);
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x) img.At(x, y) = Store(pixel(x, y));
    return img;
}

// Distance (in pixels, >= 0) from (x, y) to the nearest edge of its cell in a running-bond
// layout of w x h cells whose odd rows are shifted by `shift`; also the cell's id.
struct BondCell {
    int id;
    int lx, ly;  // position inside the cell
};
BondCell Bond(int x, int y, int w, int h, int shift) {
    const int row = y / h;
    const int sx = Wrap(x + (row % 2) * shift);
    return {row * 64 + sx / w, sx % w, y % h};
}

// 1. Red brick with light mortar.
Col Brick(int x, int y) {
    const BondCell c = Bond(x, y, 32, 16, 16);
    const double n = Fbm(x, y, 16, S, 4, 11);
    if (c.lx < 2 || c.ly < 2) {
        const double m = 150 + 40 * n;
        return {m, m * 0.96, m * 0.9};
    }
    const double v = 0.78 + 0.4 * Hash01(c.id, 0, 12);
    Col base = Col{150, 58, 42} * v;
    base = Mix(base, Col{95, 40, 30}, 0.5 * Fbm(x, y, 8, S, 3, 13));
    // A slight bevel: lit from the top left.
    double shade = 1.0;
    if (c.ly == 2) shade = 1.12;
    if (c.lx == 2) shade *= 1.06;
    if (c.ly == 15) shade = 0.8;
    if (c.lx == 31) shade *= 0.88;
    return base * (shade * (0.88 + 0.24 * n));
}

// 2. Grey stone blocks with deep joints.
Col Stone(int x, int y) {
    const BondCell c = Bond(x, y, 64, 32, 32);
    if (c.lx < 3 || c.ly < 3) return Col{45, 44, 42} * (0.8 + 0.4 * Fbm(x, y, 8, S, 2, 21));
    const double n = Fbm(x, y, 32, S, 5, 22);
    const double v = 0.82 + 0.3 * Hash01(c.id, 1, 23);
    Col base = Col{128, 126, 120} * v * (0.7 + 0.6 * n);
    double d1, d2;
    int id;
    Worley(x, y, 32, S, 24, d1, d2, id);
    if (d2 - d1 < 1.2) base = base * 0.72;  // hairline cracks
    double shade = 1.0;
    if (c.ly < 6) shade = 1.15;
    else if (c.ly > 28) shade = 0.75;
    if (c.lx < 6) shade *= 1.08;
    else if (c.lx > 60) shade *= 0.82;
    return base * shade;
}

// 3. Wooden planks, horizontal, with staggered end joints.
Col Wood(int x, int y) {
    const int plank = y / 16, ly = y % 16;
    const int joint = int(Hash01(plank, 0, 31) * S);
    const int lx = Wrap(x - joint);
    const double tone = 0.85 + 0.3 * Hash01(plank, 1, 32);
    const double grain = ValueNoiseA(x, y, 64, 2, S, 33 + plank);
    const double rings = 0.5 + 0.5 * std::sin(2 * kPi * (ly / 16.0 * 2 + 3 * grain));
    Col base = Mix(Col{150, 98, 55}, Col{105, 62, 32}, 0.55 * rings) * tone;
    base = base * (0.9 + 0.2 * Fbm(x, y, 8, S, 3, 34));
    if (ly == 0) return base * 0.45;
    if (ly == 1) return base * 1.1;
    if (ly == 15) return base * 0.75;
    if (lx == 0) return base * 0.5;
    if (lx == 1) return base * 1.08;
    // Two nails near each joint.
    const int dx = std::min(lx, S - lx), dy = std::abs(ly - 8);
    if ((dx - 5) * (dx - 5) + dy * dy <= 2) return Col{70, 70, 72};
    return base;
}

// 4. Riveted steel plates.
Col Metal(int x, int y) {
    const int lx = x % 64, ly = y % 64;
    const double brushed = ValueNoiseA(x, y, 64, 1, S, 41);
    Col base = Col{118, 126, 134} * (0.85 + 0.25 * brushed + 0.1 * Fbm(x, y, 32, S, 3, 42));
    if (lx < 2 || ly < 2) return Col{40, 42, 46};
    if (lx == 2 || ly == 2) base = base * 1.25;
    if (lx == 63 || ly == 63) base = base * 0.7;
    // Rivets at the corners and edge middles of every plate.
    for (int ry : {7, 32, 57})
        for (int rx : {7, 32, 57}) {
            if (rx == 32 && ry == 32) continue;
            const double dx = lx - rx, dy = ly - ry, d = std::hypot(dx, dy);
            if (d <= 3.2) {
                const double light = Clamp01(0.6 - (dx + dy) / 6.0);
                return Mix(Col{70, 75, 82}, Col{210, 215, 220}, light);
            }
            if (d <= 4.2 && dx + dy > 0) return base * 0.7;  // shadow to the lower right
        }
    return base;
}

// 5. Glazed blue ceramic tiles.
Col Tiles(int x, int y) {
    const int lx = x % 16, ly = y % 16, id = (y / 16) * 8 + x / 16;
    if (lx < 2 || ly < 2) return Col{190, 188, 180} * (0.85 + 0.15 * Fbm(x, y, 4, S, 2, 51));
    const double v = 0.85 + 0.25 * Hash01(id, 0, 52);
    Col base = Col{38, 88, 165} * v;
    // Glaze: brighter toward the top left of each tile, a small highlight spot.
    const double g = 1.15 - 0.022 * (lx + ly);
    base = base * g;
    if (std::hypot(lx - 5.0, ly - 5.0) < 2.0) base = Mix(base, Col{200, 220, 245}, 0.6);
    return base * (0.95 + 0.1 * Fbm(x, y, 8, S, 2, 53));
}

// 6. Mossy cobblestones.
Col Cobble(int x, int y) {
    double d1, d2;
    int id;
    Worley(x + 0.5, y + 0.5, 32, S, 61, d1, d2, id);
    const double n = Fbm(x, y, 16, S, 4, 62);
    const double edge = d2 - d1;
    if (edge < 3.0) {
        Col earth = Mix(Col{60, 48, 36}, Col{55, 90, 40}, Clamp01(2 * n - 0.5));
        return earth * (0.7 + 0.3 * edge / 3.0);
    }
    const double tone = Hash01(id, 0, 63);
    Col base = Mix(Col{120, 115, 105}, Col{150, 135, 110}, tone);
    const double dome = Clamp01(edge / 12.0);
    return base * (0.6 + 0.5 * dome) * (0.85 + 0.3 * n);
}

// 7. Layered sandstone with faint block joints.
Col Sandstone(int x, int y) {
    const double warp = Fbm(x, y, 32, S, 3, 71);
    const double layer = std::sin(2 * kPi * (y / 128.0 * 6 + 0.8 * warp));
    Col base = Mix(Col{205, 172, 118}, Col{180, 140, 92}, 0.5 + 0.5 * layer);
    base = base * (0.9 + 0.2 * Fbm(x, y, 4, S, 3, 72));
    const BondCell c = Bond(x, y, 64, 32, 32);
    if (c.lx == 0 || c.ly == 0) return base * 0.7;
    if (c.lx == 1 || c.ly == 1) return base * 1.07;
    return base;
}

// 8. Concrete slabs with seams and stains.
Col Concrete(int x, int y) {
    const double n = Fbm(x, y, 32, S, 5, 81);
    const double speck = Hash01(x, y, 82);
    Col base = Col{142, 141, 137} * (0.8 + 0.35 * n);
    if (speck > 0.97) base = base * 0.7;
    if (speck < 0.02) base = base * 1.15;
    const double stain = Fbm(x, y, 64, S, 2, 83);
    if (stain > 0.62) base = base * (1.0 - (stain - 0.62) * 0.8);
    const int lx = x % 64, ly = y % 64;
    if (lx == 0 || ly == 0) return base * 0.55;
    if (lx == 1 || ly == 1) return base * 0.85;
    return base;
}

// 9. Dark veined marble.
Col Marble(int x, int y) {
    const double t = Fbm(x, y, 32, S, 5, 91);
    const double v = std::abs(std::sin(2 * kPi * (2.0 * x / S + 1.0 * y / S) + 7 * t));
    const double vein = std::pow(1 - v, 10);
    Col base = Mix(Col{38, 42, 50}, Col{62, 58, 70}, Fbm(x, y, 16, S, 3, 92));
    base = Mix(base, Col{205, 200, 190}, Clamp01(vein * 1.4));
    const int lx = x % 64, ly = y % 64;
    if (lx == 0 || ly == 0) return Col{20, 20, 24};
    return base;
}

// 10. Green technical panels with vents and indicator lights.
Col Tech(int x, int y) {
    const int lx = x % 32, ly = y % 64, id = (y / 64) * 4 + x / 32;
    Col base = Col{58, 82, 62} * (0.9 + 0.15 * Fbm(x, y, 16, S, 3, 101));
    if (lx == 0 || ly == 0) return Col{18, 24, 20};
    if (lx == 1 || ly == 1) base = base * 1.3;
    if (lx == 31 || ly == 63) base = base * 0.65;
    // Vent slots in the lower part of every panel.
    if (ly >= 40 && ly <= 56 && lx >= 6 && lx <= 25 && (ly % 4) < 2)
        return (ly % 4) == 0 ? Col{15, 20, 16} : base * 1.2;
    // Inset display line.
    if (ly >= 10 && ly <= 12 && lx >= 5 && lx <= 26) return Col{25, 35, 28};
    // One light per panel: green, amber or red.
    const double dl = std::hypot(lx - 24.5, ly - 22.5);
    if (dl < 2.5) {
        const double h = Hash01(id, 0, 102);
        Col lamp = h < 0.5 ? Col{90, 245, 110} : h < 0.8 ? Col{245, 190, 60} : Col{240, 70, 60};
        return Mix(lamp, Col{245, 245, 230}, Clamp01(1 - dl));
    }
    if (dl < 3.5) return Col{20, 26, 22};
    return base;
}

// 11. Acoustic ceiling tiles in a metal grid.
Col Ceiling(int x, int y) {
    const int lx = x % 32, ly = y % 32;
    if (lx < 2 || ly < 2) return lx == 0 || ly == 0 ? Col{120, 122, 126} : Col{175, 178, 182};
    Col base = Col{214, 210, 198} * (0.92 + 0.1 * Fbm(x, y, 16, S, 3, 111));
    // Perforations: a loose grid of small holes, some missing.
    if (lx % 5 == 3 && ly % 5 == 3 && Hash01(x, y, 112) > 0.25) return base * 0.62;
    if (lx == 2 || ly == 2) base = base * 0.9;
    return base;
}

}  // namespace

Image MakeWallTexture(int n) {
    switch (n) {
        case 1: return Paint(Brick);
        case 2: return Paint(Stone);
        case 3: return Paint(Wood);
        case 4: return Paint(Metal);
        case 5: return Paint(Tiles);
        case 6: return Paint(Cobble);
        case 7: return Paint(Sandstone);
        case 8: return Paint(Concrete);
        case 9: return Paint(Marble);
        case 10: return Paint(Tech);
        case 11: return Paint(Ceiling);
        default: throw std::out_of_range("wall texture number");
    }
}

const char* WallTextureName(int n) {
    static const char* const names[] = {"red brick",      "grey stone blocks", "wooden planks",
                                        "riveted steel",  "blue tiles",        "cobblestones",
                                        "sandstone",      "concrete slabs",    "dark marble",
                                        "tech panels",    "ceiling tiles"};
    return n >= 1 && n <= kWallTextureCount ? names[n - 1] : "";
}

}  // namespace datagen
