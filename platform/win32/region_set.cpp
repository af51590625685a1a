// Set operations on banded pixel sets and the polygon scan conversion behind the region calls.
#include "platform/win32/region_set.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace rt::detail {

namespace {

// Combines two sorted span lists of one row with a boolean operation on membership.
std::vector<Span> CombineSpans(const std::vector<Span>& a, const std::vector<Span>& b, int32_t op) {
    std::vector<int32_t> xs;
    xs.reserve((a.size() + b.size()) * 2);
    for (const Span& s : a) { xs.push_back(s.x0); xs.push_back(s.x1); }
    for (const Span& s : b) { xs.push_back(s.x0); xs.push_back(s.x1); }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    auto inside = [](const std::vector<Span>& v, size_t& i, int32_t x) {
        while (i < v.size() && v[i].x1 <= x) ++i;
        return i < v.size() && v[i].x0 <= x;
    };
    std::vector<Span> out;
    size_t ia = 0, ib = 0;
    for (size_t k = 0; k + 1 < xs.size(); ++k) {
        int32_t x = xs[k];
        bool ina = inside(a, ia, x), inb = inside(b, ib, x);
        bool in = false;
        switch (op) {
            case RGN_AND: in = ina && inb; break;
            case RGN_OR: in = ina || inb; break;
            case RGN_XOR: in = ina != inb; break;
            case RGN_DIFF: in = ina && !inb; break;
            default: break;
        }
        if (!in) continue;
        if (!out.empty() && out.back().x1 == x) out.back().x1 = xs[k + 1];
        else out.push_back({x, xs[k + 1]});
    }
    return out;
}

const std::vector<Span>* SpansAt(const std::vector<Band>& bands, size_t& i, int32_t y) {
    while (i < bands.size() && bands[i].y1 <= y) ++i;
    if (i < bands.size() && bands[i].y0 <= y) return &bands[i].spans;
    return nullptr;
}

}  // namespace

void RegionSet::Append(int32_t y0, int32_t y1, std::vector<Span> spans) {
    if (y0 >= y1 || spans.empty()) return;
    if (!bands_.empty() && bands_.back().y1 == y0 && bands_.back().spans == spans) {
        bands_.back().y1 = y1;
        return;
    }
    bands_.push_back({y0, y1, std::move(spans)});
}

RegionSet RegionSet::Rect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    RegionSet r;
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    r.Append(top, bottom, {{left, right}});
    if (left == right) r.bands_.clear();
    return r;
}

RegionSet RegionSet::Polygon(const POINTAPI* points, int32_t count, bool winding) {
    RegionSet r;
    if (!points || count < 3) return r;
    double minY = points[0].y, maxY = points[0].y;
    for (int32_t i = 1; i < count; ++i) {
        minY = std::min<double>(minY, points[i].y);
        maxY = std::max<double>(maxY, points[i].y);
    }
    int32_t y0 = static_cast<int32_t>(std::max<double>(std::floor(minY), -kLimit));
    int32_t y1 = static_cast<int32_t>(std::min<double>(std::ceil(maxY), kLimit));
    struct Crossing {
        double x;
        int dir;
    };
    std::vector<Crossing> xs;
    for (int32_t y = y0; y < y1; ++y) {
        double yc = y + 0.5;
        xs.clear();
        for (int32_t i = 0; i < count; ++i) {
            const POINTAPI& p = points[i];
            const POINTAPI& q = points[(i + 1) % count];
            if (p.y == q.y) continue;
            double ya = p.y, yb = q.y;
            int dir = yb > ya ? 1 : -1;
            if (yc < std::min(ya, yb) || yc >= std::max(ya, yb)) continue;
            double x = p.x + (yc - ya) * (static_cast<double>(q.x) - p.x) / (yb - ya);
            xs.push_back({x, dir});
        }
        std::sort(xs.begin(), xs.end(), [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
        std::vector<Span> spans;
        auto addSpan = [&](double xa, double xb) {
            // Pixels whose centre x + 0.5 lies in [xa, xb).
            double lo = std::ceil(xa - 0.5), hi = std::ceil(xb - 0.5);
            lo = std::clamp(lo, -2.0 * kLimit * 1024, 2.0 * kLimit * 1024);
            hi = std::clamp(hi, -2.0 * kLimit * 1024, 2.0 * kLimit * 1024);
            if (hi <= lo) return;
            Span s{static_cast<int32_t>(lo), static_cast<int32_t>(hi)};
            if (!spans.empty() && spans.back().x1 >= s.x0) spans.back().x1 = std::max(spans.back().x1, s.x1);
            else spans.push_back(s);
        };
        if (!winding) {
            for (size_t k = 0; k + 1 < xs.size(); k += 2) addSpan(xs[k].x, xs[k + 1].x);
        } else {
            int w = 0;
            for (size_t k = 0; k + 1 < xs.size(); ++k) {
                w += xs[k].dir;
                if (w != 0) addSpan(xs[k].x, xs[k + 1].x);
            }
        }
        r.Append(y, y + 1, std::move(spans));
    }
    return r;
}

RegionSet RegionSet::Combine(const RegionSet& a, const RegionSet& b, int32_t op) {
    std::vector<int32_t> ys;
    for (const Band& band : a.bands_) { ys.push_back(band.y0); ys.push_back(band.y1); }
    for (const Band& band : b.bands_) { ys.push_back(band.y0); ys.push_back(band.y1); }
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    RegionSet r;
    static const std::vector<Span> none;
    size_t ia = 0, ib = 0;
    for (size_t k = 0; k + 1 < ys.size(); ++k) {
        const std::vector<Span>* sa = SpansAt(a.bands_, ia, ys[k]);
        const std::vector<Span>* sb = SpansAt(b.bands_, ib, ys[k]);
        if (!sa && !sb) continue;
        r.Append(ys[k], ys[k + 1], CombineSpans(sa ? *sa : none, sb ? *sb : none, op));
    }
    return r;
}

bool RegionSet::Contains(int32_t x, int32_t y) const {
    auto it = std::upper_bound(bands_.begin(), bands_.end(), y,
                               [](int32_t v, const Band& b) { return v < b.y1; });
    if (it == bands_.end() || it->y0 > y) return false;
    auto s = std::upper_bound(it->spans.begin(), it->spans.end(), x,
                              [](int32_t v, const Span& sp) { return v < sp.x1; });
    return s != it->spans.end() && s->x0 <= x;
}

int32_t RegionSet::Kind() const {
    if (bands_.empty()) return NULLREGION;
    if (bands_.size() == 1 && bands_[0].spans.size() == 1) return SIMPLEREGION;
    return COMPLEXREGION;
}

std::vector<PixelRect> RegionSet::Rectangles() const {
    std::vector<PixelRect> out;
    for (const Band& b : bands_)
        for (const Span& s : b.spans) out.push_back({s.x0, b.y0, s.x1, b.y1});
    return out;
}

}  // namespace rt::detail
