// The vertex side of drawing, shared by its files: a vertex in clip space, the per-thread
// scratch lists, and DrawPath, which turns one draw call's vertices into screen-space
// primitives for the rasterizer. draw_vertices.cpp reads, transforms and lights vertices;
// draw_primitives.cpp assembles, rejects, culls and clips primitives and hands them on;
// draw.cpp holds the device's draw calls.
#pragma once
#include <cstdint>
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

// What every draw checks first: a scene begun and a vertex format set (else the call fails);
// then the samples brought up to date and the transform product made current.
inline void BeginDraw(DeviceState& s, const char* call) {
    if (!s.inScene) Fail(call, D3DERR_INVALIDCALL, "draw outside a scene");
    if (s.layout.size == 0) Fail(call, D3DERR_INVALIDCALL, "no vertex format set");
    BeforeDrawing(s);
    if (s.wvpDirty) UpdateTransform(s);
}

// The drawing half of the device, kept apart from the state calls.
class DrawPath {
public:
    DrawPath(DeviceState& s, Scratch& scratch) : s_(s), sc_(scratch) {}

    // The checks of every draw (BeginDraw), then the derived states (Setup).
    void Begin(const char* call);
    // The states derived from the render states, the material and the viewport, brought up to
    // date; needed before anything is fetched or assembled.
    void Setup();
    // Transforms `count` vertices read from `base` (stride bytes apart) into the scratch list.
    void Fetch(const uint8_t* base, int32_t stride, int32_t count);
    void Assemble(const char* call, int32_t type, int32_t primCount, const uint32_t* indices, int32_t indexBase);
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
    DrawSetup c_;
};

}  // namespace d3d8detail
