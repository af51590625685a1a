// Where points and primitives of the world land with respect to the device's viewport.
#include "engine/checked.h"
#include "engine/zemdx.h"
#include "platform/d3dx8/math.h"
#include "platform/runtime/errors.h"

namespace ZemDx {

namespace {

bool IsOutsideCode(rt::Long code) {
    return code == VisBeyond || code == VisBelowOrNear || code == VisLeft || code == VisRight || code == VisAbove;
}

// One verdict over the points of a primitive, tested in vertex order: all inside, all outside
// on one side, or neither. Codes of different outside sides give "neither", even when nothing
// is visible.
template <size_t N>
rt::Long Verdict(const Vertex (&v)[N]) {
    rt::Long codes[N];
    for (size_t k = 0; k < N; ++k) codes[k] = ProjectionVisibilityPoint(D3DVECTOR{v[k].X, v[k].Y, v[k].Z});
    size_t inside = 0;
    for (rt::Long c : codes)
        if (c == VisInside) ++inside;
    if (inside == N) return VerdictInside;
    if (inside > 0) return VerdictPartly;
    if (!IsOutsideCode(codes[0])) return VerdictPartly;
    for (rt::Long c : codes)
        if (c != codes[0]) return VerdictPartly;
    return VerdictOutside;
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

rt::Long TriangleVisibility(const rt::Long& Index) { return Verdict(detail::Item(Triangles, Index).V); }

rt::Long QuadVisibility(const rt::Long& Index) { return Verdict(detail::Item(Quads, Index).V); }

}  // namespace ZemDx
