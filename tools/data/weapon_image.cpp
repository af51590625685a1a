// The weapon image: a hand phaser held in the viewer's right hand, seen from behind, pointing
// from the lower-right corner of the view toward its middle. Drawn at four times the size with
// hard-edged shapes, then reduced: a pixel belongs to the weapon when at least half of its
// sixteen samples do, and takes their average colour; the rest is the exact key colour, so no
// background colour bleeds into the edge pixels.
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "tools/data/noise.h"
#include "tools/data/textures.h"

namespace datagen {
namespace {

constexpr int kOut = 256;
constexpr int kSS = 4;
constexpr int kBig = kOut * kSS;

struct P {
    double x, y;
};
struct Col {
    double r, g, b;
};
Col Scale(Col c, double k) { return {c.r * k, c.g * k, c.b * k}; }
Col Mix(Col a, Col b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// The canvas at four times the size; a sample with `set` false is background.
struct Canvas {
    std::vector<Col> c = std::vector<Col>(size_t(kBig) * kBig);
    std::vector<bool> set = std::vector<bool>(size_t(kBig) * kBig, false);

    // Paints every sample (in output-pixel coordinates) for which `inside` holds.
    void Fill(const std::function<bool(P)>& inside, const std::function<Col(P)>& colour) {
        for (int y = 0; y < kBig; ++y)
            for (int x = 0; x < kBig; ++x) {
                const P p{(x + 0.5) / kSS, (y + 0.5) / kSS};
                if (inside(p)) {
                    c[size_t(y) * kBig + x] = colour(p);
                    set[size_t(y) * kBig + x] = true;
                }
            }
    }
};

bool InPolygon(const std::vector<P>& poly, P p) {
    bool in = false;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        if ((poly[i].y > p.y) != (poly[j].y > p.y) &&
            p.x < (poly[j].x - poly[i].x) * (p.y - poly[i].y) / (poly[j].y - poly[i].y) + poly[i].x)
            in = !in;
    }
    return in;
}

// Distance from p to the segment ab, and where along it (0 to 1) the nearest point lies.
double SegDist(P a, P b, P p, double* along = nullptr) {
    const double vx = b.x - a.x, vy = b.y - a.y;
    const double t = std::clamp(((p.x - a.x) * vx + (p.y - a.y) * vy) / (vx * vx + vy * vy), 0.0, 1.0);
    if (along) *along = t;
    return std::hypot(a.x + t * vx - p.x, a.y + t * vy - p.y);
}

// A rounded limb (finger, thumb) from a to b: shaded like a cylinder lit from the upper left.
void Capsule(Canvas& cv, P a, P b, double r, Col base) {
    cv.Fill([=](P p) { return SegDist(a, b, p) <= r; },
            [=](P p) {
                const double d = SegDist(a, b, p);
                // Which side of the axis: the side toward the upper left is lit.
                const double nx = -(b.y - a.y), ny = b.x - a.x;
                const double side = ((p.x - a.x) * nx + (p.y - a.y) * ny) / std::hypot(nx, ny);
                const double lit = (nx + ny < 0 ? side : -side) / r;  // -1 shadowed .. 1 lit
                const double k = 0.78 + 0.3 * lit - 0.25 * std::pow(d / r, 4);
                return Scale(base, k);
            });
}

// Light falls from the upper left: a face is shaded by how far along (dx, dy) a point lies.
std::function<Col(P)> Gradient(Col from, Col to, P a, P b) {
    return [=](P p) {
        const double vx = b.x - a.x, vy = b.y - a.y;
        const double t = std::clamp(((p.x - a.x) * vx + (p.y - a.y) * vy) / (vx * vx + vy * vy), 0.0, 1.0);
        const double grain = 0.96 + 0.08 * ValueNoise(p.x * 4, p.y * 4, 8, 1024, 7);
        return Scale(Mix(from, to, t), grain);
    };
}

// Background pixels that the reduction left enclosed by the weapon (a gap between two
// fingers, say) would show the scene through the hand: give them the colour of their weapon
// neighbours. Background is what can be reached from the picture's edge.
void FillEnclosedBackground(Image& img) {
    const int w = img.Width, h = img.Height;
    std::vector<bool> outside(size_t(w) * h, false);
    std::vector<std::pair<int, int>> stack;
    auto visit = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= w || y >= h) return;
        const size_t i = size_t(y) * w + x;
        if (outside[i] || img.At(x, y) != kWeaponKey) return;
        outside[i] = true;
        stack.push_back({x, y});
    };
    for (int i = 0; i < w; ++i) {
        visit(i, 0);
        visit(i, h - 1);
    }
    for (int i = 0; i < h; ++i) {
        visit(0, i);
        visit(w - 1, i);
    }
    while (!stack.empty()) {
        const auto [x, y] = stack.back();
        stack.pop_back();
        visit(x + 1, y);
        visit(x - 1, y);
        visit(x, y + 1);
        visit(x, y - 1);
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (img.At(x, y) != kWeaponKey || outside[size_t(y) * w + x]) continue;
            double r = 0, g = 0, b = 0;
            int n = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int a = x + dx, c = y + dy;
                    if (a < 0 || c < 0 || a >= w || c >= h || img.At(a, c) == kWeaponKey) continue;
                    const uint32_t p = img.At(a, c);
                    r += Red(p);
                    g += Green(p);
                    b += Blue(p);
                    ++n;
                }
            img.At(x, y) = n ? Rgb(r / n, g / n, b / n) : 0x202020;
        }
}

}  // namespace

Image MakeWeaponImage() {
    Canvas cv;

    // Sleeve of the uniform, coming in from the lower-right corner, with a gold cuff.
    const std::vector<P> sleeve{{168, 256}, {256, 256}, {256, 178}, {232, 170}, {186, 214}};
    cv.Fill([&](P p) { return InPolygon(sleeve, p); },
            Gradient({58, 62, 96}, {22, 24, 40}, {190, 200}, {250, 250}));
    const std::vector<P> cuff{{176, 235}, {192, 212}, {236, 182}, {246, 192}, {200, 226}, {186, 248}};
    cv.Fill([&](P p) { return InPolygon(cuff, p); },
            Gradient({222, 186, 92}, {140, 105, 40}, {190, 200}, {230, 230}));

    // Grip, below the body, angled back toward the hand.
    const std::vector<P> grip{{140, 158}, {178, 176}, {184, 232}, {146, 222}};
    cv.Fill([&](P p) { return InPolygon(grip, p); },
            Gradient({78, 78, 86}, {34, 34, 40}, {140, 160}, {184, 232}));

    // Body: a long tapered box in perspective, its rear near the hand, its muzzle toward the
    // middle of the view. Top face light, side face darker, underside darkest.
    const P tipTop{52, 84}, tipTopR{70, 76}, rearTopR{222, 142}, rearTop{196, 166};
    const P tipBot{50, 98}, rearBot{192, 190};
    const std::vector<P> top{tipTop, tipTopR, rearTopR, rearTop};
    const std::vector<P> side{tipTop, rearTop, rearBot, tipBot};
    const std::vector<P> back{rearTop, rearTopR, {226, 158}, rearBot};
    cv.Fill([&](P p) { return InPolygon(side, p); },
            Gradient({150, 156, 168}, {92, 96, 108}, {60, 90}, {200, 180}));
    cv.Fill([&](P p) { return InPolygon(top, p); },
            Gradient({198, 204, 214}, {226, 230, 236}, {60, 80}, {210, 150}));
    cv.Fill([&](P p) { return InPolygon(back, p); },
            Gradient({110, 114, 124}, {70, 72, 82}, {200, 150}, {226, 180}));

    // A dark seam along the side, and the control strip on the top face with three lights.
    cv.Fill([&](P p) { return SegDist({56, 92}, {194, 178}, p) <= 0.9; },
            [](P) { return Col{60, 62, 72}; });
    const std::vector<P> strip{{120, 114}, {132, 108}, {190, 142}, {178, 150}};
    cv.Fill([&](P p) { return InPolygon(strip, p); }, [](P) { return Col{44, 46, 56}; });
    const P lights[] = {{136, 121}, {152, 130}, {168, 139}};
    const Col lamp[] = {{240, 70, 50}, {245, 190, 60}, {90, 220, 120}};
    for (int i = 0; i < 3; ++i) {
        const P c = lights[i];
        const Col l = lamp[i];
        cv.Fill([=](P p) { return std::hypot(p.x - c.x, p.y - c.y) <= 2.6; },
                [=](P p) { return Mix(l, Col{250, 245, 230}, std::max(0.0, 1 - std::hypot(p.x - c.x, p.y - c.y) / 1.5)); });
    }

    // Emitter at the muzzle: a blue crystal glowing from its middle.
    const P em{56, 88};
    cv.Fill([=](P p) { return std::hypot((p.x - em.x) / 1.0, (p.y - em.y) / 1.3) <= 8; },
            [=](P p) {
                const double d = std::hypot(p.x - em.x, (p.y - em.y) / 1.3) / 8;
                return Mix(Col{200, 240, 250}, Col{30, 90, 200}, std::pow(d, 0.7));
            });

    // The right hand seen from behind: the back of the hand wrapped around the grip, its
    // knuckles toward the muzzle, the curled fingertips showing at the front of the grip, the
    // wrist running into the sleeve.
    const Col skin{214, 162, 128};
    for (int i = 0; i < 4; ++i) {
        const double y = 190 + i * 12.5;
        Capsule(cv, {138.0 + i * 1.5, y}, {150.0 + i * 1.5, y + 2}, 6.0 - i * 0.3, Scale(skin, 0.8));
    }
    const std::vector<P> hand{{150, 176}, {170, 166}, {198, 172}, {216, 194}, {214, 222},
                              {200, 244}, {178, 250}, {158, 240}, {148, 214}};
    cv.Fill([&](P p) { return InPolygon(hand, p); },
            [&](P p) {
                // Rounded: lit from the upper left, falling off toward the lower right edge.
                const double t = std::clamp(((p.x - 150) * 0.6 + (p.y - 170) * 0.8) / 80.0, 0.0, 1.0);
                const double grain = 0.97 + 0.06 * ValueNoise(p.x * 4, p.y * 4, 16, 1024, 9);
                return Scale(Mix(Scale(skin, 1.08), Scale(skin, 0.62), t), grain);
            });
    // Knuckles: a row of soft highlights along the front edge of the hand.
    for (int i = 0; i < 4; ++i) {
        const P k{156.0 + i * 2.0, 184.0 + i * 13.0};
        cv.Fill([=](P p) { return std::hypot((p.x - k.x) / 1.3, p.y - k.y) <= 5.0; },
                [=](P p) {
                    const double d = std::hypot((p.x - k.x) / 1.3, p.y - k.y) / 5.0;
                    return Scale(skin, 1.12 - 0.2 * d);
                });
    }
    // Tendons on the back of the hand, faint darker lines toward the wrist.
    for (int i = 0; i < 3; ++i) {
        const P a{164.0 + i * 2, 190.0 + i * 13}, b{200.0, 214.0 + i * 8};
        cv.Fill([=](P p) { return SegDist(a, b, p) <= 0.8; }, [=](P) { return Scale(skin, 0.82); });
    }
    // The thumb's tip over the far side of the body, in front of the hand.
    Capsule(cv, {168, 162}, {148, 152}, 6.0, Scale(skin, 0.95));

    // Reduce to the output size.
    Image img(kOut, kOut, kWeaponKey);
    for (int y = 0; y < kOut; ++y)
        for (int x = 0; x < kOut; ++x) {
            double r = 0, g = 0, b = 0;
            int n = 0;
            for (int sy = 0; sy < kSS; ++sy)
                for (int sx = 0; sx < kSS; ++sx) {
                    const size_t i = size_t(y * kSS + sy) * kBig + size_t(x * kSS + sx);
                    if (!cv.set[i]) continue;
                    r += cv.c[i].r;
                    g += cv.c[i].g;
                    b += cv.c[i].b;
                    ++n;
                }
            if (n * 2 < kSS * kSS) continue;
            uint32_t c = Rgb(r / n, g / n, b / n);
            if (c == kWeaponKey) c = 0x00FE00;  // never the key inside the weapon
            img.At(x, y) = c;
        }
    FillEnclosedBackground(img);
    return img;
}

}  // namespace datagen
