// The vertex side of drawing, shared by its files: a vertex in clip space, the per-thread
// scratch lists, and DrawPath, which turns one draw call's vertices into screen-space
// primitives for the rasterizer. draw_vertices.cpp reads, transforms and lights vertices;
// draw_primitives.cpp assembles, rejects, culls and clips primitives and hands them on;
// draw.cpp holds the device's draw calls.
#pragma once
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/d3d8/device_state.h"
#include "platform/d3d8/fail.h"

namespace d3d8detail {

// A vertex in clip space with its attributes; colour channels 0..255.
struct ClipVertex {
    float x, y, z, w;
    float u, v;
    float r, g, b, a;
};

// Scratch space of the thread that draws, so drawing allocates nothing once warmed up.
struct Scratch {
    std::vector<ClipVertex> verts;
    std::vector<uint32_t> colors;
    std::vector<uint32_t> indices;
};

// The world x view x projection product and its stamp, after a transform changed.
void UpdateTransform(DeviceState& s);

// The clip-space position of an untransformed vertex whose x, y, z floats are at `p`: the row
// vector (x, y, z, 1) times `m`. The one-triangle way's 4-wide transform makes the same products
// and sums in the same order, so both give the same bits.
inline void TransformPosition(const D3DMATRIX& m, const uint8_t* p, ClipVertex& v) {
    float pos[3];
    std::memcpy(pos, p, 12);
    v.x = pos[0] * m.m[0][0] + pos[1] * m.m[1][0] + pos[2] * m.m[2][0] + m.m[3][0];
    v.y = pos[0] * m.m[0][1] + pos[1] * m.m[1][1] + pos[2] * m.m[2][1] + m.m[3][1];
    v.z = pos[0] * m.m[0][2] + pos[1] * m.m[1][2] + pos[2] * m.m[2][2] + m.m[3][2];
    v.w = pos[0] * m.m[0][3] + pos[1] * m.m[1][3] + pos[2] * m.m[2][3] + m.m[3][3];
}

// What every draw checks first: a scene begun and a vertex format set (else the call fails);
// then the samples brought up to date and the transform product made current.
inline void BeginDraw(DeviceState& s, const char* call) {
    if (!s.inScene) Fail(call, D3DERR_INVALIDCALL, "draw outside a scene");
    if (s.layout.size == 0) Fail(call, D3DERR_INVALIDCALL, "no vertex format set");
    BeforeDrawing(s);
    if (s.wvpDirty) UpdateTransform(s);
}

// The drawing half of the device, kept apart from the state calls. `call` names the draw call
// served ("Direct3DDevice8.DrawPrimitiveUP") in the errors raised while drawing.
class DrawPath {
public:
    DrawPath(DeviceState& s, Scratch& scratch, const char* call) : s_(s), sc_(scratch), call_(call) {}

    // The checks of every draw (BeginDraw), then the derived states (Setup).
    void Begin();
    // The states derived from the render states, the material and the viewport, brought up to
    // date; needed before anything is fetched or assembled.
    void Setup();
    // Transforms `count` vertices read from `base` (stride bytes apart) into the scratch list.
    void Fetch(const uint8_t* base, int32_t stride, int32_t count);
    void Assemble(int32_t type, int32_t primCount, const uint32_t* indices, int32_t indexBase);
    // One triangle of an untransformed format from the three vertices at `base`, `stride` bytes
    // apart. Rejects triangles wholly outside one side of the view volume, or culled, from their
    // positions alone before reading anything else; the rest go the general way.
    void OneTriangle(const uint8_t* base, int32_t stride);

private:
    // Fetch, or with `transform` false everything but the clip-space position of an
    // untransformed format, which the caller has worked out and stores itself.
    void Read(const uint8_t* base, int32_t stride, int32_t count, bool transform);
    void Triangle(int i0, int i1, int i2);
    void Line(int i0, int i1);
    void EmitState();
    ScreenVertex Project(const ClipVertex& v) const;
    void EmitTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, bool flat, uint32_t color);

    DeviceState& s_;
    Scratch& sc_;
    const char* call_;
    DrawSetup c_;
};

}  // namespace d3d8detail
