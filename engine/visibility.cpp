// Where points and primitives of the world land with respect to the device's viewport.
#include "engine/checked.h"
#include "engine/zemdx.h"
#include "platform/d3dx8/math.h"
#include "platform/runtime/errors.h"

namespace ZemDx {

namespace {

// The codes of a primitive's points, tested in vertex order, and their verdict.
template <size_t N>
rt::Long Verdict(const Vertex (&v)[N]) {
    rt::Long codes[N];
    for (size_t k = 0; k < N; ++k) codes[k] = ProjectionVisibilityPoint(D3DVECTOR{v[k].X, v[k].Y, v[k].Z});
    return VerdictOfCodes(codes);
}

}  // namespace

rt::Long ProjectionVisibilityPoint(const D3DVECTOR& V) {
    D3DVIEWPORT8 vp{};
    detail::Device().GetViewport(vp);
    D3DVECTOR p{};
    D3DXVec3Project(p, V, vp, matProj, matView, matWorld);

    // Strict comparisons: a point on an edge or on a depth limit is inside. The first test
    // that holds gives the code; a point nearer than MinZ shares the code of "below".
    const double x = p.x, y = p.y;
    if (x < vp.X) return VisLeft;
    if (x > static_cast<double>(rt::AddLng(vp.X, vp.Width))) return VisRight;
    if (y < vp.Y) return VisAbove;
    if (y > static_cast<double>(rt::AddLng(vp.Y, vp.Height))) return VisBelowOrNear;
    if (p.z > vp.MaxZ) return VisBeyond;
    if (p.z < vp.MinZ) return VisBelowOrNear;
    return VisInside;
}

rt::Long VerdictOfCodes(std::span<const rt::Long> codes) {
    auto all = [&](rt::Long code) {
        for (rt::Long c : codes)
            if (c != code) return false;
        return true;
    };
    if (all(VisInside)) return VerdictInside;
    for (rt::Long c : codes)
        if (c == VisInside) return VerdictPartly;
    for (rt::Long side : {VisBeyond, VisLeft, VisRight, VisAbove, VisBelowOrNear})
        if (all(side)) return VerdictOutside;
    return VerdictPartly;
}

rt::Long TriangleVisibility(const rt::Long& Index) { return Verdict(detail::Item(Triangles, Index).V); }

rt::Long QuadVisibility(const rt::Long& Index) { return Verdict(detail::Item(Quads, Index).V); }

}  // namespace ZemDx
