// Vertices: the layout of a vertex format, the transform and lighting state derived once per
// change, and reading, transforming and lighting the vertices of a draw.
#include <algorithm>
#include <cstring>

#include "platform/d3d8/buffer_regions.h"
#include "platform/d3d8/draw_path.h"
#include "platform/d3d8/fail.h"

namespace d3d8detail {

bool MakeLayout(int32_t fvf, VertexLayout& out) {
    VertexLayout l;
    l.fvf = fvf;
    const int32_t pos = fvf & 0x00E;
    int off = 0;
    if (pos == D3DFVF_XYZ) {
        off = 12;
    } else if (pos == D3DFVF_XYZRHW) {
        off = 16;
        l.transformed = true;
    } else {
        return false;   // no position, or blend weights the device does not support
    }
    const int32_t known = 0x00E | D3DFVF_NORMAL | D3DFVF_PSIZE | D3DFVF_DIFFUSE | D3DFVF_SPECULAR |
                          D3DFVF_TEXCOUNT_MASK | static_cast<int32_t>(0xFFFF0000u);
    if ((fvf & ~known) != 0) return false;
    if (fvf & D3DFVF_NORMAL) off += 12;
    if (fvf & D3DFVF_PSIZE) off += 4;
    if (fvf & D3DFVF_DIFFUSE) {
        l.diffuse = off;
        off += 4;
    }
    if (fvf & D3DFVF_SPECULAR) {
        l.specular = off;
        off += 4;
    }
    const int texCount = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    if (texCount > 8) return false;
    for (int i = 0; i < texCount; ++i) {
        // Coordinate set i has 2 floats unless its two format bits say 3 (1), 4 (2) or 1 (3).
        const int sizeCode = (fvf >> (16 + 2 * i)) & 3;
        const int floats = sizeCode == 0 ? 2 : sizeCode == 1 ? 3 : sizeCode == 2 ? 4 : 1;
        if (i == 0) l.tex0 = off;
        if (i == 0 && floats < 2) l.tex0 = -1;   // a one-coordinate set is not sampled
        off += 4 * floats;
    }
    l.size = off;
    out = l;
    return true;
}

namespace {

inline float ToUnit(uint32_t c, int shift) { return static_cast<float>((c >> shift) & 0xFFu) / 255.0f; }

inline uint32_t PackUnit(float r, float g, float b, float a) {
    auto ch = [](float v) {
        v = std::clamp(v, 0.0f, 1.0f);
        return static_cast<uint32_t>(v * 255.0f + 0.5f);
    };
    return (ch(a) << 24) | (ch(r) << 16) | (ch(g) << 8) | ch(b);
}

// a x b, for row vectors (p' = p x a x b).
inline D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b) {
    D3DMATRIX r{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) sum += a.m[i][k] * b.m[k][j];
            r.m[i][j] = sum;
        }
    return r;
}

}  // namespace

void UpdateTransform(DeviceState& s) {
    const D3DMATRIX wvp = Multiply(Multiply(s.world, s.view), s.proj);
    s.wvp = wvp;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            for (int k = 0; k < 4; ++k) s.wvpSplat[r][c][k] = wvp.m[r][c];
    s.wvpStamp = NewTransformStamp();
    s.wvpDirty = false;
}

void DrawPath::Begin() {
    BeginDraw(s_, call_);
    Setup();
}

void DrawPath::Setup() {
    DeviceState& s = s_;
    if (!s.drawDirty) {
        c_ = s.draw;
        return;
    }
    c_.lighting = s.rs[D3DRS_LIGHTING] != 0 && !s.layout.transformed;
    c_.cull = s.rs[D3DRS_CULLMODE];
    c_.fill = s.rs[D3DRS_FILLMODE];
    c_.vpX = static_cast<float>(s.viewport.X);
    c_.vpY = static_cast<float>(s.viewport.Y);
    c_.vpHalfW = static_cast<float>(s.viewport.Width) * 0.5f;
    c_.vpHalfH = static_cast<float>(s.viewport.Height) * 0.5f;
    c_.vpMinZ = s.viewport.MinZ;
    c_.vpDepth = s.viewport.MaxZ - s.viewport.MinZ;

    // With no lights, a lit vertex is emissive + ambient x ambient source, with the alpha of the
    // diffuse source. Sources are the material unless the state names a vertex colour.
    c_.flatLit = false;
    c_.litRgbFromMaterial = false;
    if (c_.lighting) {
        const bool colorVertex = s.rs[D3DRS_COLORVERTEX] != 0;
        auto fromVertex = [&](int32_t src) {
            return colorVertex && ((src == D3DMCS_COLOR1 && s.layout.diffuse >= 0) ||
                                   (src == D3DMCS_COLOR2 && s.layout.specular >= 0));
        };
        const bool alphaFromVertex = fromVertex(s.rs[D3DRS_DIFFUSEMATERIALSOURCE]);
        // Colour from the material alone: one colour for every vertex, or (the usual case) with
        // the alpha of each vertex's diffuse colour.
        if (!fromVertex(s.rs[D3DRS_AMBIENTMATERIALSOURCE]) && !fromVertex(s.rs[D3DRS_EMISSIVEMATERIALSOURCE]) &&
            (!alphaFromVertex || s.rs[D3DRS_DIFFUSEMATERIALSOURCE] == D3DMCS_COLOR1)) {
            const uint32_t amb = static_cast<uint32_t>(s.rs[D3DRS_AMBIENT]);
            const D3DMATERIAL8& m = s.material;
            c_.litColor = PackUnit(m.emissive.r + ToUnit(amb, 16) * m.ambient.r,
                                   m.emissive.g + ToUnit(amb, 8) * m.ambient.g,
                                   m.emissive.b + ToUnit(amb, 0) * m.ambient.b, alphaFromVertex ? 0.0f : m.diffuse.a);
            c_.flatLit = !alphaFromVertex;
            c_.litRgbFromMaterial = alphaFromVertex;
        }
    }
    s.draw = c_;
    s.drawDirty = false;
}

void DrawPath::Fetch(const uint8_t* base, int32_t stride, int32_t count) { Read(base, stride, count, true); }

void DrawPath::Read(const uint8_t* base, int32_t stride, int32_t count, bool transform) {
    DeviceState& s = s_;
    const VertexLayout& l = s.layout;
    Scratch& sc = sc_;
    if (sc.verts.size() < static_cast<size_t>(count)) {
        sc.verts.resize(static_cast<size_t>(count));
        sc.colors.resize(static_cast<size_t>(count));
    }
    const D3DMATRIX& m = s.wvp;
    const uint32_t amb = static_cast<uint32_t>(s.rs[D3DRS_AMBIENT]);
    const bool colorVertex = s.rs[D3DRS_COLORVERTEX] != 0;
    for (int32_t i = 0; i < count; ++i) {
        const uint8_t* p = base + static_cast<size_t>(i) * static_cast<size_t>(stride);
        ClipVertex& v = sc.verts[static_cast<size_t>(i)];
        if (l.transformed) {
            float pos[4];
            std::memcpy(pos, p + l.position, 16);
            v.x = pos[0];
            v.y = pos[1];
            v.z = pos[2];
            v.w = pos[3];   // rhw, used as given
        } else if (transform) {
            TransformPosition(m, p + l.position, v);
        }
        if (l.tex0 >= 0) {
            float uv[2];
            std::memcpy(uv, p + l.tex0, 8);
            v.u = uv[0];
            v.v = uv[1];
        } else {
            v.u = v.v = 0.0f;
        }
        uint32_t diffuse = 0xFFFFFFFFu, specular = 0;
        if (l.diffuse >= 0) std::memcpy(&diffuse, p + l.diffuse, 4);
        if (l.specular >= 0) std::memcpy(&specular, p + l.specular, 4);
        uint32_t color;
        if (!c_.lighting) {
            color = diffuse;
        } else if (c_.flatLit) {
            color = c_.litColor;
        } else if (c_.litRgbFromMaterial) {
            color = c_.litColor | (diffuse & 0xFF000000u);
        } else {
            auto source = [&](int32_t state, const D3DCOLORVALUE& mat, float out[4]) {
                uint32_t c = 0;
                bool vertex = false;
                if (colorVertex && state == D3DMCS_COLOR1 && l.diffuse >= 0) c = diffuse, vertex = true;
                if (colorVertex && state == D3DMCS_COLOR2 && l.specular >= 0) c = specular, vertex = true;
                if (vertex) {
                    out[0] = ToUnit(c, 16), out[1] = ToUnit(c, 8), out[2] = ToUnit(c, 0), out[3] = ToUnit(c, 24);
                } else {
                    out[0] = mat.r, out[1] = mat.g, out[2] = mat.b, out[3] = mat.a;
                }
            };
            float ambSrc[4], emiSrc[4], difSrc[4];
            source(s.rs[D3DRS_AMBIENTMATERIALSOURCE], s.material.ambient, ambSrc);
            source(s.rs[D3DRS_EMISSIVEMATERIALSOURCE], s.material.emissive, emiSrc);
            source(s.rs[D3DRS_DIFFUSEMATERIALSOURCE], s.material.diffuse, difSrc);
            color = PackUnit(emiSrc[0] + ToUnit(amb, 16) * ambSrc[0], emiSrc[1] + ToUnit(amb, 8) * ambSrc[1],
                             emiSrc[2] + ToUnit(amb, 0) * ambSrc[2], difSrc[3]);
        }
        sc.colors[static_cast<size_t>(i)] = color;
        v.r = static_cast<float>((color >> 16) & 0xFF);
        v.g = static_cast<float>((color >> 8) & 0xFF);
        v.b = static_cast<float>(color & 0xFF);
        v.a = static_cast<float>(color >> 24);
    }
}

}  // namespace d3d8detail
