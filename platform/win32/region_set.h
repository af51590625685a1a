// A set of pixels kept as horizontal bands: each band covers rows y0..y1-1 with the same sorted,
// disjoint spans x0..x1-1 in every row. Neighbouring bands with equal spans are merged, so the
// form is canonical: two equal sets have equal bands.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/win32/regions.h"

namespace rt::detail {

struct Span {
    int32_t x0, x1;  // x1 exclusive
    bool operator==(const Span&) const = default;
};

struct Band {
    int32_t y0, y1;  // y1 exclusive
    std::vector<Span> spans;
    bool operator==(const Band&) const = default;
};

struct PixelRect {
    int32_t left, top, right, bottom;  // right, bottom exclusive
};

class RegionSet {
public:
    RegionSet() = default;
    static RegionSet Rect(int32_t left, int32_t top, int32_t right, int32_t bottom);
    // Pixels whose centres lie inside the polygon under the fill rule. Rows are limited to
    // -kLimit..kLimit-1 so a wild coordinate cannot make the set huge.
    static RegionSet Polygon(const POINTAPI* points, int32_t count, bool winding);
    // op: RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF.
    static RegionSet Combine(const RegionSet& a, const RegionSet& b, int32_t op);

    bool Contains(int32_t x, int32_t y) const;
    bool Empty() const { return bands_.empty(); }
    // NULLREGION, SIMPLEREGION (one rectangle) or COMPLEXREGION.
    int32_t Kind() const;
    // The set as rectangles, one per span per band.
    std::vector<PixelRect> Rectangles() const;
    const std::vector<Band>& Bands() const { return bands_; }
    bool operator==(const RegionSet&) const = default;

    static constexpr int32_t kLimit = 1 << 16;

private:
    void Append(int32_t y0, int32_t y1, std::vector<Span> spans);  // in increasing y
    std::vector<Band> bands_;
};

}  // namespace rt::detail
