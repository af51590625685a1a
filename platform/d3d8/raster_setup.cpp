// Triangle and line setup: positions snapped to sixteenths of a pixel, edge functions with the
// top-left rule, the rows a band owns, attribute planes, the depth-tile rejection, and the span
// of each row handed to the span stage. Lines step along their major axis.
#include <algorithm>
#include <cmath>

#include "platform/d3d8/raster_span.h"
#include "platform/d3d8/raster_tiles.h"

namespace d3d8detail {

namespace {

constexpr int64_t kSubpixels = 16;   // positions are snapped to 1/16 pixel

inline int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

inline int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

Plane MakePlane(double a0, double a1, double a2, double x10, double y10, double x20, double y20, double invDet) {
    const double d1 = a1 - a0, d2 = a2 - a0;
    return Plane{static_cast<float>(a0), static_cast<float>((d1 * y20 - d2 * y10) * invDet),
                 static_cast<float>((d2 * x10 - d1 * x20) * invDet)};
}

}  // namespace

void DrawTriangle(const Target& t, const PixelState& s, const Prim& p, int band, int bands) {
    int64_t X[3], Y[3];
    for (int i = 0; i < 3; ++i) {
        X[i] = std::llrint(static_cast<double>(p.v[i].x) * kSubpixels);
        Y[i] = std::llrint(static_cast<double>(p.v[i].y) * kSubpixels);
    }
    int idx[3] = {0, 1, 2};
    const int64_t area = (X[1] - X[0]) * (Y[2] - Y[0]) - (X[2] - X[0]) * (Y[1] - Y[0]);
    if (area == 0) return;
    if (area < 0) std::swap(idx[1], idx[2]);

    int64_t minX = std::min({X[0], X[1], X[2]}), maxX = std::max({X[0], X[1], X[2]});
    int64_t minY = std::min({Y[0], Y[1], Y[2]}), maxY = std::max({Y[0], Y[1], Y[2]});
    int x0 = static_cast<int>(std::max<int64_t>(CeilDiv(minX, kSubpixels), s.clipX0));
    int x1 = static_cast<int>(std::min<int64_t>(FloorDiv(maxX, kSubpixels), s.clipX1 - 1));
    int y0 = static_cast<int>(std::max<int64_t>(CeilDiv(minY, kSubpixels), s.clipY0));
    int y1 = static_cast<int>(std::min<int64_t>(FloorDiv(maxY, kSubpixels), s.clipY1 - 1));
    if (x0 > x1 || y0 > y1) return;
    y0 = NextOwnedRow(y0, band, bands);
    if (y0 > y1) return;

    struct Edge {
        int64_t a, kx, ky, bias;   // E(px, py) = a * px + kx + ky * py; covered when E + bias > 0
    } e[3];
    for (int k = 0; k < 3; ++k) {
        const int ia = idx[k], ib = idx[(k + 1) % 3];
        const int64_t dx = X[ib] - X[ia], dy = Y[ib] - Y[ia];
        const bool topLeft = dy < 0 || (dy == 0 && dx > 0);
        e[k] = Edge{-kSubpixels * dy, -dx * Y[ia] + dy * X[ia], kSubpixels * dx, topLeft ? 1 : 0};
    }

    // Attribute planes from the snapped positions, relative to vertex 0.
    const double fx[3] = {X[0] / double(kSubpixels), X[1] / double(kSubpixels), X[2] / double(kSubpixels)};
    const double fy[3] = {Y[0] / double(kSubpixels), Y[1] / double(kSubpixels), Y[2] / double(kSubpixels)};
    const double x10 = fx[1] - fx[0], y10 = fy[1] - fy[0], x20 = fx[2] - fx[0], y20 = fy[2] - fy[0];
    const double invDet = 1.0 / (x10 * y20 - x20 * y10);
    TrianglePlanes pl;
    pl.ox = static_cast<float>(fx[0]);
    pl.oy = static_cast<float>(fy[0]);
    const ScreenVertex &a = p.v[0], &b = p.v[1], &c = p.v[2];
    pl.z = MakePlane(a.z, b.z, c.z, x10, y10, x20, y20, invDet);
    // Wholly behind what this band's tiles hold: every pixel would fail a less(-or-equal) test.
    if (t.tiles && s.depthTest && (s.depthFunc == D3DCMP_LESS || s.depthFunc == D3DCMP_LESSEQUAL)) {
        if (!std::isnan(a.z) && !std::isnan(b.z) && !std::isnan(c.z)) {
            const float zmin = std::min({a.z, b.z, c.z});
            // A pixel's depth is the plane evaluated in single precision, which may fall short of
            // the nearest vertex by the rounding of its terms; allow for that with room to spare.
            const float ex = std::max(std::fabs(static_cast<float>(x0) - pl.ox), std::fabs(static_cast<float>(x1) - pl.ox));
            const float ey = std::max(std::fabs(static_cast<float>(y0) - pl.oy), std::fabs(static_cast<float>(y1) - pl.oy));
            const double terms = std::fabs(pl.z.base) + std::fabs(pl.z.dx) * (static_cast<double>(ex) + (x1 - x0)) +
                                 std::fabs(pl.z.dy) * ey;
            const double slack = terms * 1.0e-6 + 1.0e-6;
            const double lowest = static_cast<double>(zmin) - slack;
            const uint32_t lowest16 = lowest > 0.0 && std::isfinite(terms) ? DepthToBuffer(static_cast<float>(lowest)) : 0;
            if (lowest16 >= 2 && BehindTiles(t, x0, x1, y0, y1, band, bands, lowest16 - 1)) return;
        }
    }
    pl.invW = MakePlane(a.invW, b.invW, c.invW, x10, y10, x20, y20, invDet);
    pl.u = MakePlane(a.u, b.u, c.u, x10, y10, x20, y20, invDet);
    pl.v = MakePlane(a.v, b.v, c.v, x10, y10, x20, y20, invDet);
    if (!p.flatColor) {
        pl.r = MakePlane(a.r, b.r, c.r, x10, y10, x20, y20, invDet);
        pl.g = MakePlane(a.g, b.g, c.g, x10, y10, x20, y20, invDet);
        pl.b = MakePlane(a.b, b.b, c.b, x10, y10, x20, y20, invDet);
        pl.a = MakePlane(a.a, b.a, c.a, x10, y10, x20, y20, invDet);
    } else {
        pl.r = pl.g = pl.b = pl.a = Plane{0.0f, 0.0f, 0.0f};   // not read: the colour is flat
    }

    const bool fast = IsTexturedWhite(t, s, p);
    for (int y = y0; y <= y1;) {
        int64_t lo = x0, hi = x1;
        for (const Edge& ed : e) {
            // a * px >= 1 - bias - (kx + ky * py)
            const int64_t r = 1 - ed.bias - (ed.kx + ed.ky * y);
            if (ed.a > 0) {
                lo = std::max(lo, CeilDiv(r, ed.a));
            } else if (ed.a < 0) {
                hi = std::min(hi, FloorDiv(r, ed.a));
            } else if (r > 0) {
                hi = lo - 1;
            }
        }
        if (lo <= hi) {
            if (!fast) {
                ShadeSpanGeneral(t, s, p, pl, y, static_cast<int>(lo), static_cast<int>(hi));
            } else if (s.blend) {
                ShadeSpanTexturedWhite<true>(t, s, pl, y, static_cast<int>(lo), static_cast<int>(hi));
            } else {
                ShadeSpanTexturedWhite<false>(t, s, pl, y, static_cast<int>(lo), static_cast<int>(hi));
            }
        }
        y = NextBandRow(y, band, bands);
    }
}

void DrawLine(const Target& t, const PixelState& s, const Prim& p, int band, int bands) {
    const ScreenVertex &a = p.v[0], &b = p.v[1];
    const float dx = b.x - a.x, dy = b.y - a.y;
    const bool xMajor = std::fabs(dx) >= std::fabs(dy);
    const float s0 = xMajor ? a.x : a.y, s1 = xMajor ? b.x : b.y;
    const float m0 = xMajor ? a.y : a.x, dm = xMajor ? dy : dx;
    const float len = s1 - s0;
    int i0 = FloorToInt(s0 + 0.5f), i1 = FloorToInt(s1 + 0.5f);
    const int step = i1 >= i0 ? 1 : -1;
    for (int i = i0;; i += step) {
        float tt = len != 0.0f ? (static_cast<float>(i) - s0) / len : 0.0f;
        tt = std::clamp(tt, 0.0f, 1.0f);
        const int m = FloorToInt(m0 + tt * dm + 0.5f);
        const int x = xMajor ? i : m, y = xMajor ? m : i;
        if (x >= s.clipX0 && x < s.clipX1 && y >= s.clipY0 && y < s.clipY1 && OwnsRow(y, band, bands)) {
            const float z = a.z + tt * (b.z - a.z);
            const float iw = a.invW + tt * (b.invW - a.invW);
            const float w = 1.0f / iw;
            const float u = (a.u + tt * (b.u - a.u)) * w, v = (a.v + tt * (b.v - a.v)) * w;
            uint32_t diffuse = p.color;
            if (!p.flatColor)
                diffuse = PackColor((a.r + tt * (b.r - a.r)) * w, (a.g + tt * (b.g - a.g)) * w,
                                    (a.b + tt * (b.b - a.b)) * w, (a.a + tt * (b.a - a.a)) * w);
            if (s.depthWrite) MarkDepthWritten(t, y, x, x);
            ShadePixel(t, s, x, y, z, u, v, diffuse);
        }
        if (i == i1) break;
    }
}

}  // namespace d3d8detail
