#include "platform/d3d8/buffer_regions.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/device_state.h"

namespace d3d8detail {

void IncludeBuffer(const Direct3DVertexBuffer8& buffer) noexcept {
    RegionBounds* r = RegionOf(buffer);
    if (!r || r->state == RegionBounds::Unknown) return;
    r->stamp = 0;
    VertexLayout layout;
    if (!MakeLayout(buffer.FVF(), layout) || layout.transformed) {
        r->state = RegionBounds::Unknown;
        return;
    }
    const uint8_t* p = buffer.Data();
    const int32_t count = buffer.Length() / layout.size;
    if (count == 0) return;   // no vertex to draw from it
    float lo[3], hi[3];
    if (r->state == RegionBounds::Known) {
        std::memcpy(lo, r->lo, sizeof lo);
        std::memcpy(hi, r->hi, sizeof hi);
    } else {
        std::fill(lo, lo + 3, HUGE_VALF);
        std::fill(hi, hi + 3, -HUGE_VALF);
    }
    for (int32_t i = 0; i < count; ++i, p += layout.size) {
        float pos[3];
        std::memcpy(pos, p + layout.position, sizeof pos);
        for (int k = 0; k < 3; ++k) {
            if (!std::isfinite(pos[k])) {
                r->state = RegionBounds::Unknown;
                return;
            }
            lo[k] = std::min(lo[k], pos[k]);
            hi[k] = std::max(hi[k], pos[k]);
        }
    }
    std::memcpy(r->lo, lo, sizeof lo);
    std::memcpy(r->hi, hi, sizeof hi);
    r->state = RegionBounds::Known;
}

uint64_t NewTransformStamp() noexcept {
    static std::atomic<uint64_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

bool BoxBeyondOneSide(const RegionBounds& r, const D3DMATRIX& m) noexcept {
    // Each side is a linear function of the position (x + w, w - x, y + w, w - y, z, w - z),
    // negative beyond it. It is worked out in double precision, and must stay below a margin
    // far above what the float transform of one vertex can round by (a few units in the last
    // place of the sum of the magnitudes of its terms).
    double sx = std::fabs(m.m[3][0]), sy = std::fabs(m.m[3][1]), sz = std::fabs(m.m[3][2]), sw = std::fabs(m.m[3][3]);
    for (int k = 0; k < 3; ++k) {
        const double a = std::max(std::fabs(double(r.lo[k])), std::fabs(double(r.hi[k])));
        sx += a * std::fabs(m.m[k][0]);
        sy += a * std::fabs(m.m[k][1]);
        sz += a * std::fabs(m.m[k][2]);
        sw += a * std::fabs(m.m[k][3]);
    }
    const double margin = 1e-4 * (sx + sy + sz + sw);
    if (!std::isfinite(margin)) return false;
    // Each side's function is b + sum of a[k] x p[k]; its largest value over the box takes, for
    // each k, the end of the box's range where a[k] x p[k] is larger.
    auto column = [&](int j, int k) { return double(m.m[k][j]); };
    for (int side = 0; side < 6; ++side) {
        double most = 0;
        for (int k = 0; k < 4; ++k) {
            double a;
            switch (side) {
            case 0: a = column(0, k) + column(3, k); break;   // x + w
            case 1: a = column(3, k) - column(0, k); break;   // w - x
            case 2: a = column(1, k) + column(3, k); break;   // y + w
            case 3: a = column(3, k) - column(1, k); break;   // w - y
            case 4: a = column(2, k); break;                  // z
            default: a = column(3, k) - column(2, k); break;  // w - z
            }
            most += k == 3 ? a : std::max(a * r.lo[k], a * r.hi[k]);
        }
        if (most < -margin) return true;
    }
    return false;
}

}  // namespace d3d8detail
