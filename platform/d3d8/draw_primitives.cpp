// Primitives: assembling the primitives of a draw from its vertices, rejecting and culling
// them, clipping to the near and far planes and the guard band, projecting to the screen, and
// handing triangles and lines with their pixel state to the rasterizer.
#include <algorithm>
#include <cmath>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/d3d8/draw_path.h"
#include "platform/d3d8/fail.h"

namespace d3d8detail {

namespace {

constexpr float kGuard = 4.0f;      // clip-space guard band: 4 viewports each way
constexpr float kMinW = 1.0e-5f;
constexpr float kScreenGuard = 32768.0f;

enum : unsigned {
    kLeft = 1, kRight = 2, kBottom = 4, kTop = 8, kNear = 16, kFar = 32,
    kGuardL = 64, kGuardR = 128, kGuardB = 256, kGuardT = 512, kBehind = 1024,
    kRejectMask = 63, kClipMask = kNear | kFar | kGuardL | kGuardR | kGuardB | kGuardT | kBehind,
};

inline unsigned Outcode(const ClipVertex& v) {
    unsigned c = 0;
    if (v.x < -v.w) c |= kLeft;
    if (v.x > v.w) c |= kRight;
    if (v.y < -v.w) c |= kBottom;
    if (v.y > v.w) c |= kTop;
    if (v.z < 0.0f) c |= kNear;
    if (v.z > v.w) c |= kFar;
    if (v.x < -kGuard * v.w) c |= kGuardL;
    if (v.x > kGuard * v.w) c |= kGuardR;
    if (v.y < -kGuard * v.w) c |= kGuardB;
    if (v.y > kGuard * v.w) c |= kGuardT;
    if (v.w < kMinW) c |= kBehind;
    return c;
}

// How far a vertex lies inside plane `plane` of those it may be cut by (negative: outside). In
// clip space: near, far, in front of the eye and the guard band's four sides.
inline float PlaneDistance(int plane, const ClipVertex& v) {
    switch (plane) {
    case 0: return v.z;                      // near
    case 1: return v.w - v.z;                // far
    case 2: return v.w - kMinW;              // in front of the eye
    case 3: return kGuard * v.w + v.x;
    case 4: return kGuard * v.w - v.x;
    case 5: return kGuard * v.w + v.y;
    default: return kGuard * v.w - v.y;
    }
}

// Pre-transformed vertices are cut in screen space, to the four sides of the guard band.
inline float PlaneDistance(int plane, const ScreenVertex& v) {
    switch (plane) {
    case 0: return v.x + kScreenGuard;
    case 1: return kScreenGuard - v.x;
    case 2: return v.y + kScreenGuard;
    default: return kScreenGuard - v.y;
    }
}

inline unsigned PlaneBit(int plane) {
    static constexpr unsigned bits[7] = {kNear, kFar, kBehind, kGuardL, kGuardR, kGuardB, kGuardT};
    return bits[plane];
}

// The point a fraction t of the way from a to b, every attribute alike; W names the fourth
// position field (w in clip space, 1/w on the screen).
template <class V, float V::*W>
inline V LerpFields(const V& a, const V& b, float t) {
    V r;
    for (float V::*f : {&V::x, &V::y, &V::z, W, &V::u, &V::v, &V::r, &V::g, &V::b, &V::a})
        r.*f = a.*f + (b.*f - a.*f) * t;
    return r;
}

inline ClipVertex Lerp(const ClipVertex& a, const ClipVertex& b, float t) {
    return LerpFields<ClipVertex, &ClipVertex::w>(a, b, t);
}

inline ScreenVertex Lerp(const ScreenVertex& a, const ScreenVertex& b, float t) {
    return LerpFields<ScreenVertex, &ScreenVertex::invW>(a, b, t);
}

// Sutherland-Hodgman, in clip space or on the screen: cuts the convex polygon of the n vertices
// in buf[0] by each plane p of 0 .. planeCount - 1 for which cuts(p) holds, keeping the side
// where PlaneDistance(p, vertex) >= 0, going back and forth between the two halves of buf.
// Returns the number of vertices left (fewer than 3: nothing to draw) and sets `cur` to the half
// that holds them. Each plane adds at most one vertex: 16 are plenty for a triangle.
template <class V, class Cuts>
inline int ClipPolygon(V (&buf)[2][16], int n, int planeCount, Cuts cuts, int& cur) {
    cur = 0;
    for (int plane = 0; plane < planeCount && n >= 3; ++plane) {
        if (!cuts(plane)) continue;
        int m = 0;
        for (int i = 0; i < n; ++i) {
            const V& p = buf[cur][i];
            const V& q = buf[cur][(i + 1) % n];
            const float dp = PlaneDistance(plane, p), dq = PlaneDistance(plane, q);
            if (dp >= 0) buf[1 - cur][m++] = p;
            if ((dp >= 0) != (dq >= 0)) buf[1 - cur][m++] = Lerp(p, q, dp / (dp - dq));
        }
        n = m;
        cur = 1 - cur;
    }
    return n;
}

inline bool AllFinite(const ClipVertex& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) && std::isfinite(v.w) &&
           std::isfinite(v.u) && std::isfinite(v.v);
}

}  // namespace

void DrawPath::EmitState() {
    DeviceState& s = s_;
    if (!s.pixelDirty) return;
    PixelState ps;
    const Direct3DTexture8Ptr& tex = s.textures[0];
    if (tex) {
        if (tex->Levels.empty()) Fail(call_, D3DERR_INVALIDCALL, "texture without levels");
        const Direct3DTexture8::Level& l0 = tex->Levels[0];
        if (l0.Width <= 0 || l0.Height <= 0 ||
            l0.Pixels.size() < static_cast<size_t>(l0.Width) * static_cast<size_t>(l0.Height))
            Fail(call_, D3DERR_INVALIDCALL, "texture without pixels");
        ps.tex.pixels = l0.Pixels.data();
        ps.tex.width = l0.Width;
        ps.tex.height = l0.Height;
        ps.tex.alphaOr = tex->HasAlpha ? 0u : 0xFF000000u;
        ps.tex.pow2 = (l0.Width & (l0.Width - 1)) == 0 && (l0.Height & (l0.Height - 1)) == 0;
    }
    const auto& t0 = s.tss[0];
    // A state outside the values the pixel stage knows reads as the state's default.
    auto clampU8 = [](int32_t v, int32_t lo, int32_t hi, int32_t dflt) {
        return static_cast<uint8_t>(v >= lo && v <= hi ? v : dflt);
    };
    ps.tex.addressU = clampU8(t0[D3DTSS_ADDRESSU], D3DTADDRESS_WRAP, D3DTADDRESS_BORDER, D3DTADDRESS_WRAP);
    ps.tex.addressV = clampU8(t0[D3DTSS_ADDRESSV], D3DTADDRESS_WRAP, D3DTADDRESS_BORDER, D3DTADDRESS_WRAP);
    ps.colorOp = clampU8(t0[D3DTSS_COLOROP], D3DTOP_DISABLE, D3DTOP_ADD, D3DTOP_MODULATE);
    ps.colorArg1 = static_cast<uint8_t>(t0[D3DTSS_COLORARG1] & 0xFF);
    ps.colorArg2 = static_cast<uint8_t>(t0[D3DTSS_COLORARG2] & 0xFF);
    ps.alphaOp = clampU8(t0[D3DTSS_ALPHAOP], D3DTOP_DISABLE, D3DTOP_ADD, D3DTOP_SELECTARG1);
    ps.alphaArg1 = static_cast<uint8_t>(t0[D3DTSS_ALPHAARG1] & 0xFF);
    ps.alphaArg2 = static_cast<uint8_t>(t0[D3DTSS_ALPHAARG2] & 0xFF);
    ps.blend = s.rs[D3DRS_ALPHABLENDENABLE] != 0;
    ps.srcBlend = clampU8(s.rs[D3DRS_SRCBLEND], D3DBLEND_ZERO, D3DBLEND_INVDESTCOLOR, D3DBLEND_ONE);
    ps.dstBlend = clampU8(s.rs[D3DRS_DESTBLEND], D3DBLEND_ZERO, D3DBLEND_INVDESTCOLOR, D3DBLEND_ZERO);
    ps.depthTest = s.rs[D3DRS_ZENABLE] != 0 && !s.depth.empty();
    ps.depthWrite = ps.depthTest && s.rs[D3DRS_ZWRITEENABLE] != 0;
    ps.depthFunc = clampU8(s.rs[D3DRS_ZFUNC], D3DCMP_NEVER, D3DCMP_ALWAYS, D3DCMP_LESSEQUAL);
    ps.clipX0 = s.viewport.X;
    ps.clipY0 = s.viewport.Y;
    ps.clipX1 = s.viewport.X + s.viewport.Width;
    ps.clipY1 = s.viewport.Y + s.viewport.Height;
    ps.multisample = s.second && s.rs[D3DRS_MULTISAMPLEANTIALIAS] != 0;
    s.raster->SetState(ps, std::shared_ptr<const void>(tex));
    s.pixelDirty = false;
}

ScreenVertex DrawPath::Project(const ClipVertex& v) const {
    ScreenVertex o;
    if (s_.layout.transformed) {
        const float rhw = (v.w > 0.0f && std::isfinite(v.w)) ? v.w : 1.0f;
        o.x = v.x;
        o.y = v.y;
        o.z = v.z;
        o.invW = rhw;
    } else {
        const float iw = 1.0f / v.w;
        o.x = c_.vpX + (1.0f + v.x * iw) * c_.vpHalfW;
        o.y = c_.vpY + (1.0f - v.y * iw) * c_.vpHalfH;
        o.z = c_.vpMinZ + v.z * iw * c_.vpDepth;
        o.invW = iw;
    }
    o.u = v.u * o.invW;
    o.v = v.v * o.invW;
    o.r = v.r * o.invW;
    o.g = v.g * o.invW;
    o.b = v.b * o.invW;
    o.a = v.a * o.invW;
    return o;
}

void DrawPath::EmitTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, bool flat,
                            uint32_t color) {
    if (c_.fill == D3DFILL_SOLID) {
        s_.raster->AddTriangle(a, b, c, flat, color);
    } else if (c_.fill == D3DFILL_WIREFRAME) {
        s_.raster->AddLine(a, b, flat, color);
        s_.raster->AddLine(b, c, flat, color);
        s_.raster->AddLine(c, a, flat, color);
    } else {
        s_.raster->AddLine(a, a, flat, color);
        s_.raster->AddLine(b, b, flat, color);
        s_.raster->AddLine(c, c, flat, color);
    }
}

void DrawPath::Triangle(int i0, int i1, int i2) {
    Scratch& sc = sc_;
    const ClipVertex& a = sc.verts[static_cast<size_t>(i0)];
    const ClipVertex& b = sc.verts[static_cast<size_t>(i1)];
    const ClipVertex& c = sc.verts[static_cast<size_t>(i2)];
    const uint32_t ca = sc.colors[static_cast<size_t>(i0)];
    const bool flat = ca == sc.colors[static_cast<size_t>(i1)] && ca == sc.colors[static_cast<size_t>(i2)];
    if (!AllFinite(a) || !AllFinite(b) || !AllFinite(c)) return;

    if (s_.layout.transformed) {
        ScreenVertex sa = Project(a), sb = Project(b), scv = Project(c);
        const float area = (sb.x - sa.x) * (scv.y - sa.y) - (scv.x - sa.x) * (sb.y - sa.y);
        if (area == 0.0f) return;
        if ((c_.cull == D3DCULL_CW && area > 0.0f) || (c_.cull == D3DCULL_CCW && area < 0.0f)) return;
        EmitState();
        const auto inGuard = [](const ScreenVertex& v) {
            return std::fabs(v.x) <= kScreenGuard && std::fabs(v.y) <= kScreenGuard;
        };
        if (inGuard(sa) && inGuard(sb) && inGuard(scv)) {
            EmitTriangle(sa, sb, scv, flat, ca);
            return;
        }
        // Pre-transformed vertices far off the screen: clip in screen space to the guard band.
        ScreenVertex buf[2][16];
        buf[0][0] = sa, buf[0][1] = sb, buf[0][2] = scv;
        int cur;
        const int n = ClipPolygon(buf, 3, 4, [](int) { return true; }, cur);
        for (int i = 1; i + 1 < n; ++i) EmitTriangle(buf[cur][0], buf[cur][i], buf[cur][i + 1], flat, ca);
        return;
    }

    const unsigned c0 = Outcode(a), c1 = Outcode(b), c2 = Outcode(c);
    if ((c0 & c1 & c2 & kRejectMask) != 0) return;
    // Orientation from the homogeneous determinant: its sign is that of the area of the
    // projected triangle in clip space, and the screen flips y.
    const float det = a.x * (b.y * c.w - c.y * b.w) - a.y * (b.x * c.w - c.x * b.w) + a.w * (b.x * c.y - c.x * b.y);
    if (det == 0.0f) return;
    const bool clockwise = det < 0.0f;
    if ((c_.cull == D3DCULL_CW && clockwise) || (c_.cull == D3DCULL_CCW && !clockwise)) return;
    EmitState();
    const unsigned clip = (c0 | c1 | c2) & kClipMask;
    if (clip == 0) {
        EmitTriangle(Project(a), Project(b), Project(c), flat, ca);
        return;
    }
    ClipVertex buf[2][16];
    buf[0][0] = a, buf[0][1] = b, buf[0][2] = c;
    int cur;
    const int n = ClipPolygon(buf, 3, 7, [clip](int plane) { return (clip & PlaneBit(plane)) != 0; }, cur);
    if (n < 3) return;
    ScreenVertex out[16];
    for (int i = 0; i < n; ++i) out[i] = Project(buf[cur][i]);
    for (int i = 1; i + 1 < n; ++i) EmitTriangle(out[0], out[i], out[i + 1], flat, ca);
}

void DrawPath::OneTriangle(const uint8_t* base, int32_t stride) {
    DeviceState& s = s_;
    float cx[3], cy[3], cz[3], cw[3];
    // Wholly beyond one side of the view volume: nothing to draw (nor would the general way
    // draw anything).
#if defined(__SSE2__)
    // The three vertices side by side (lane k: vertex k), transformed with the same products
    // and sums in the same order as the general transform: the same bits.
    float pos[3][3];
    for (int k = 0; k < 3; ++k) std::memcpy(pos[k], base + static_cast<size_t>(k) * static_cast<size_t>(stride), 12);
    const __m128 px = _mm_setr_ps(pos[0][0], pos[1][0], pos[2][0], 0.0f);
    const __m128 py = _mm_setr_ps(pos[0][1], pos[1][1], pos[2][1], 0.0f);
    const __m128 pz = _mm_setr_ps(pos[0][2], pos[1][2], pos[2][2], 0.0f);
    const auto& sp = s.wvpSplat;
    auto column = [&](int c) {
        return _mm_add_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(px, _mm_load_ps(sp[0][c])), _mm_mul_ps(py, _mm_load_ps(sp[1][c]))),
                                     _mm_mul_ps(pz, _mm_load_ps(sp[2][c]))),
                          _mm_load_ps(sp[3][c]));
    };
    const __m128 X = column(0), Y = column(1), Z = column(2), W = column(3);
    const __m128 negW = _mm_xor_ps(W, _mm_set1_ps(-0.0f));
    // One nibble per side of the view volume, a bit per vertex beyond it: x < -w, x > w,
    // y < -w, y > w, z > w, z < 0. A full nibble (7) rejects.
    auto beyond = [](__m128 c) { return static_cast<unsigned>(_mm_movemask_ps(c)) & 7u; };
    const unsigned sides = beyond(_mm_cmplt_ps(X, negW)) | (beyond(_mm_cmpgt_ps(X, W)) << 4) |
                           (beyond(_mm_cmplt_ps(Y, negW)) << 8) | (beyond(_mm_cmpgt_ps(Y, W)) << 12) |
                           (beyond(_mm_cmpgt_ps(Z, W)) << 16) | (beyond(_mm_cmplt_ps(Z, _mm_setzero_ps())) << 20);
    if (((sides + 0x111111u) & 0x888888u) != 0) return;
    alignas(16) float ox[4], oy[4], oz[4], ow[4];
    _mm_store_ps(ox, X);
    _mm_store_ps(oy, Y);
    _mm_store_ps(oz, Z);
    _mm_store_ps(ow, W);
    for (int k = 0; k < 3; ++k) {
        cx[k] = ox[k];
        cy[k] = oy[k];
        cz[k] = oz[k];
        cw[k] = ow[k];
    }
#else
    const D3DMATRIX& m = s.wvp;
    unsigned all = ~0u;   // the sides all three vertices are beyond
    for (int k = 0; k < 3; ++k) {
        ClipVertex v{};
        TransformPosition(m, base + static_cast<size_t>(k) * static_cast<size_t>(stride), v);
        all &= Outcode(v) & kRejectMask;
        cx[k] = v.x;
        cy[k] = v.y;
        cz[k] = v.z;
        cw[k] = v.w;
    }
    if (all != 0) return;
#endif
    const float det = cx[0] * (cy[1] * cw[2] - cy[2] * cw[1]) - cy[0] * (cx[1] * cw[2] - cx[2] * cw[1]) +
                      cw[0] * (cx[1] * cy[2] - cx[2] * cy[1]);
    if (det == 0.0f) return;
    const bool clockwise = det < 0.0f;
    if ((c_.cull == D3DCULL_CW && clockwise) || (c_.cull == D3DCULL_CCW && !clockwise)) return;
    // A NaN determinant passes the culling test above; the general way drops such triangles.
    // The positions are those the general transform gives, bit for bit: read the rest only.
    Read(base, stride, 3, false);
    for (int k = 0; k < 3; ++k) {
        ClipVertex& v = sc_.verts[static_cast<size_t>(k)];
        v.x = cx[k];
        v.y = cy[k];
        v.z = cz[k];
        v.w = cw[k];
    }
    Triangle(0, 1, 2);
}

void DrawPath::Line(int i0, int i1) {
    Scratch& sc = sc_;
    ClipVertex a = sc.verts[static_cast<size_t>(i0)], b = sc.verts[static_cast<size_t>(i1)];
    const uint32_t ca = sc.colors[static_cast<size_t>(i0)];
    const bool flat = ca == sc.colors[static_cast<size_t>(i1)];
    if (!AllFinite(a) || !AllFinite(b)) return;
    if (s_.layout.transformed) {
        ScreenVertex sa = Project(a), sb = Project(b);
        if (std::fabs(sa.x) > kScreenGuard || std::fabs(sa.y) > kScreenGuard || std::fabs(sb.x) > kScreenGuard ||
            std::fabs(sb.y) > kScreenGuard)
            return;
        EmitState();
        s_.raster->AddLine(sa, sb, flat, ca);
        return;
    }
    const unsigned c0 = Outcode(a), c1 = Outcode(b);
    if ((c0 & c1 & kRejectMask) != 0) return;
    const unsigned clip = (c0 | c1) & kClipMask;
    float t0 = 0.0f, t1 = 1.0f;
    for (int plane = 0; plane < 7; ++plane) {
        if (!(clip & PlaneBit(plane))) continue;
        const float da = PlaneDistance(plane, a), db = PlaneDistance(plane, b);
        if (da < 0 && db < 0) return;
        if (da < 0) t0 = std::max(t0, da / (da - db));
        if (db < 0) t1 = std::min(t1, da / (da - db));
    }
    if (t0 > t1) return;
    EmitState();
    const ClipVertex na = t0 > 0 ? Lerp(a, b, t0) : a;
    const ClipVertex nb = t1 < 1 ? Lerp(a, b, t1) : b;
    s_.raster->AddLine(Project(na), Project(nb), flat, ca);
}

void DrawPath::Assemble(int32_t type, int32_t primCount, const uint32_t* idx, int32_t indexBase) {
    auto at = [&](int32_t k) { return idx ? static_cast<int>(idx[k] - static_cast<uint32_t>(indexBase)) : k; };
    switch (type) {
    case D3DPT_TRIANGLELIST:
        for (int32_t i = 0; i < primCount; ++i) Triangle(at(3 * i), at(3 * i + 1), at(3 * i + 2));
        break;
    case D3DPT_TRIANGLESTRIP:
        for (int32_t i = 0; i < primCount; ++i) {
            if (i & 1)
                Triangle(at(i + 1), at(i), at(i + 2));
            else
                Triangle(at(i), at(i + 1), at(i + 2));
        }
        break;
    case D3DPT_TRIANGLEFAN:
        for (int32_t i = 0; i < primCount; ++i) Triangle(at(0), at(i + 1), at(i + 2));
        break;
    case D3DPT_LINELIST:
        for (int32_t i = 0; i < primCount; ++i) Line(at(2 * i), at(2 * i + 1));
        break;
    case D3DPT_LINESTRIP:
        for (int32_t i = 0; i < primCount; ++i) Line(at(i), at(i + 1));
        break;
    case D3DPT_POINTLIST:
        for (int32_t i = 0; i < primCount; ++i) Line(at(i), at(i));
        break;
    default: Fail(call_, D3DERR_INVALIDCALL, "primitive type");
    }
}


}  // namespace d3d8detail
