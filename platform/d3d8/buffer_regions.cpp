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
    // negative beyond it; it is negative over the whole box when it is at all eight corners.
    // The corners are worked out in double precision; the margin is far above what the
    // float transform of one vertex can round by (a few units in the last place of the sum of
    // the magnitudes of its terms).
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
    double most[6];
    std::fill(most, most + 6, -HUGE_VAL);   // the largest value of each side's function
    for (int c = 0; c < 8; ++c) {
        const double p[3] = {(c & 1) ? r.hi[0] : r.lo[0], (c & 2) ? r.hi[1] : r.lo[1], (c & 4) ? r.hi[2] : r.lo[2]};
        double v[4];
        for (int j = 0; j < 4; ++j) v[j] = p[0] * m.m[0][j] + p[1] * m.m[1][j] + p[2] * m.m[2][j] + m.m[3][j];
        const double side[6] = {v[0] + v[3], v[3] - v[0], v[1] + v[3], v[3] - v[1], v[2], v[3] - v[2]};
        for (int s = 0; s < 6; ++s) most[s] = std::max(most[s], side[s]);
    }
    for (double s : most)
        if (s < -margin) return true;
    return false;
}

}  // namespace d3d8detail
