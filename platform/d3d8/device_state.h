// The inside of Direct3DDevice8: its buffers, states and the rasterizer it draws with.
#pragma once
#include <array>
#include <memory>
#include <vector>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/raster.h"

namespace d3d8detail {

// Where the parts of a vertex of a given format lie, in bytes from its start (-1: absent).
struct VertexLayout {
    int32_t fvf = 0;
    int size = 0;
    bool transformed = false;   // XYZRHW
    int position = 0, diffuse = -1, specular = -1, tex0 = -1;
};
// False for formats the device cannot read (no position, or more than 8 coordinate sets).
bool MakeLayout(int32_t fvf, VertexLayout& out);

// What the vertex side derives from the states for every draw; rebuilt only after a change.
struct DrawSetup {
    bool lighting = false;
    bool flatLit = false;              // lit colour the same for every vertex
    bool litRgbFromMaterial = false;   // lit colour from the material, alpha from the vertex
    uint32_t litColor = 0;
    int cull = 1, fill = 3;
    float vpX = 0, vpY = 0, vpHalfW = 0, vpHalfH = 0, vpMinZ = 0, vpDepth = 1;
};

// The second sample of a two-sample device and the picture resolved from both (sample 0 is
// the device's own `color` and `depth`).
struct SecondSample {
    std::vector<uint32_t> color;
    std::vector<uint16_t> depth;   // empty: no depth buffer
    DepthTiles depthTiles;
    // The average of the two samples: what Present shows and the back-buffer access returns.
    std::vector<uint32_t> resolved;
    bool resolvedCurrent = false;   // nothing drawn since `resolved` was made
    bool handedOut = false;         // `resolved` was handed out for writing since it was made
};

// Teardown order: members are destroyed in the reverse of their order here, so `raster`, the
// last, goes first: its destructor finishes the queued commands and joins the drawing threads
// while the buffers they draw into (`color`, `depth`, `depthTiles`, `second`) and the textures
// their pixel states point at still exist. Keep `raster` the last member.
struct DeviceState {
    D3DPRESENT_PARAMETERS pp{};
    int32_t deviceType = 0, focusWindow = 0;
    int width = 0, height = 0;
    std::vector<uint32_t> color;
    std::vector<uint16_t> depth;   // empty: no depth buffer
    DepthTiles depthTiles;         // bounds of the depth buffer's tiles, for the rasterizer

    std::array<int32_t, D3DRS_MAX> rs{};
    std::array<std::array<int32_t, D3DTSS_MAX>, D3D_MAX_STAGES> tss{};
    int32_t fvf = 0;
    VertexLayout layout;
    D3DMATRIX world{}, view{}, proj{};
    D3DMATRIX wvp{};          // world x view x projection
    alignas(16) float wvpSplat[4][4][4] = {};   // each element of wvp four times over, for SSE
    bool wvpDirty = true;
    uint64_t wvpStamp = 0;   // the number of the transform in wvp (NewTransformStamp)
    DrawSetup draw;
    bool drawDirty = true;   // render states, material, viewport or vertex format changed
    D3DMATERIAL8 material{};
    std::array<Direct3DTexture8Ptr, D3D_MAX_STAGES> textures;
    // Stream 0. `stream` is the bound buffer, not held (binding costs no reference counting):
    // the counts of BoundCount say which buffers may be bound, and a bound buffer that is
    // destroyed leaves the device a copy, held by `streamRef`.
    Direct3DVertexBuffer8* stream = nullptr;
    Direct3DVertexBuffer8Ptr streamRef;
    int32_t streamStride = 0;
    Direct3DIndexBuffer8Ptr indices;
    int32_t baseVertex = 0;
    D3DVIEWPORT8 viewport{};
    bool inScene = false;

    // The pixel state handed to the rasterizer; rebuilt before a draw when a state changed.
    bool pixelDirty = true;
    std::unique_ptr<SecondSample> second;   // null: one sample per pixel
    std::unique_ptr<Rasterizer> raster;   // the last member: see the teardown order above
};

// Leaves stream 0 of the device unset.
void UnbindStream(DeviceState& s);
// Makes `next` (or nothing) stream 0 of the device, keeping the counts of BoundCount.
void BindStream(DeviceState& s, Direct3DVertexBuffer8* next);
// Every device is listed while it exists, for the buffers destroyed while bound.
void ListDevice(DeviceState& s);
void UnlistDevice(DeviceState& s);

// Before anything is queued for drawing: on a two-sample device, what was written through the
// back-buffer access goes into both samples first, and the resolved picture is out of date.
void SamplesBeforeDrawing(DeviceState& s);
inline void BeforeDrawing(DeviceState& s) {
    if (s.second) SamplesBeforeDrawing(s);
}
// The picture of the back buffer with every queued draw finished: `color` for one sample, the
// resolved average of two.
std::vector<uint32_t>& Picture(DeviceState& s);

}  // namespace d3d8detail
