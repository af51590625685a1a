#include "tools/outline/polygon.h"

#include <algorithm>
#include <set>
#include <utility>

namespace Outline {
namespace {

long long Cross(Pt o, Pt a, Pt b) {
    return (long long)(a.x - o.x) * (b.y - o.y) - (long long)(a.y - o.y) * (b.x - o.x);
}

int Sign(long long v) { return (v > 0) - (v < 0); }

bool OnSegment(Pt a, Pt b, Pt p) {
    return Cross(a, b, p) == 0 && std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) &&
           std::min(a.y, b.y) <= p.y && p.y <= std::max(a.y, b.y);
}

// Whether the closed segments ab and cd have any point in common.
bool Meet(Pt a, Pt b, Pt c, Pt d) {
    int d1 = Sign(Cross(a, b, c)), d2 = Sign(Cross(a, b, d));
    int d3 = Sign(Cross(c, d, a)), d4 = Sign(Cross(c, d, b));
    if (d1 * d2 < 0 && d3 * d4 < 0) return true;
    return OnSegment(a, b, c) || OnSegment(a, b, d) || OnSegment(c, d, a) || OnSegment(c, d, b);
}

std::string At(const Poly& p, size_t i) {
    return "point " + std::to_string(i) + " (" + std::to_string(p[i].x) + ", " + std::to_string(p[i].y) + ")";
}

}  // namespace

long long TwiceArea(const Poly& p) {
    long long s = 0;
    for (size_t i = 0; i < p.size(); ++i) {
        const Pt& a = p[i];
        const Pt& b = p[(i + 1) % p.size()];
        s += (long long)a.x * b.y - (long long)b.x * a.y;
    }
    return s;
}

bool CentreInside(const Poly& p, int x, int y) {
    // Doubled coordinates keep the centre (x + 1/2, y + 1/2) on the integer lattice.
    const long long cx = 2LL * x + 1, cy = 2LL * y + 1;
    bool in = false;
    for (size_t i = 0; i < p.size(); ++i) {
        const long long ax = 2LL * p[i].x, ay = 2LL * p[i].y;
        const long long bx = 2LL * p[(i + 1) % p.size()].x, by = 2LL * p[(i + 1) % p.size()].y;
        const long long cr = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
        if (cr == 0 && std::min(ax, bx) <= cx && cx <= std::max(ax, bx) && std::min(ay, by) <= cy &&
            cy <= std::max(ay, by))
            return false;  // on the edge
        if ((ay > cy) != (by > cy)) {
            // x of the edge at height cy, compared without division.
            const long long lhs = (cx - ax) * (by - ay), rhs = (bx - ax) * (cy - ay);
            if (by > ay ? lhs < rhs : lhs > rhs) in = !in;
        }
    }
    return in;
}

Grid Rasterise(const Poly& p, int width, int height) {
    Grid g(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) g.Set(x, y, CentreInside(p, x, y));
    return g;
}

std::string SimplePolygonFault(const Poly& p) {
    const size_t n = p.size();
    if (n < 3) return "fewer than three points";
    std::set<std::pair<int, int>> seen;
    for (size_t i = 0; i < n; ++i)
        if (!seen.insert({p[i].x, p[i].y}).second) return At(p, i) + " occurs twice";
    for (size_t i = 0; i < n; ++i)
        if (Cross(p[(i + n - 1) % n], p[i], p[(i + 1) % n]) == 0)
            return At(p, i) + " lies on one line with its neighbours";
    for (size_t i = 0; i < n; ++i)
        for (size_t j = i + 2; j < n; ++j) {
            if (i == 0 && j == n - 1) continue;  // neighbours through the closing edge
            if (Meet(p[i], p[(i + 1) % n], p[j], p[(j + 1) % n]))
                return "edges from " + At(p, i) + " and from " + At(p, j) + " meet";
        }
    return "";
}

}  // namespace Outline
