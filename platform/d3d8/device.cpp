// Direct3DDevice8: creation with the platform's default states, the state setters and getters,
// resources, clearing and scenes (present and the buffers' access: device_picture.cpp).
#include <algorithm>
#include <cstring>
#include <cstdlib>
#include <mutex>
#include <sched.h>
#include <utility>

#include "platform/d3d8/buffer_regions.h"
#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/device_state.h"
#include "platform/d3d8/fail.h"
#include "platform/d3d8/raster_span.h"

using d3d8detail::DeviceState;
using d3d8detail::Fail;

namespace {

D3DMATRIX Identity() {
    D3DMATRIX m{};
    for (int i = 0; i < 4; ++i) m.m[i][i] = 1.0f;
    return m;
}

// Drawing threads: the processors this process may use (QV_D3D8_THREADS overrides; 0 draws
// on the calling thread).
int RasterThreads() {
    if (const char* env = std::getenv("QV_D3D8_THREADS")) {
        const int n = std::atoi(env);
        return std::clamp(n, 0, 16);
    }
    cpu_set_t set;
    int n = 1;
    if (sched_getaffinity(0, sizeof(set), &set) == 0) n = CPU_COUNT(&set);
    if (n <= 1) return 0;
    return std::min(n, 8);
}

bool ValidRenderState(int32_t s) { return s >= 1 && s < D3DRS_MAX; }

}  // namespace

Direct3DDevice8::Direct3DDevice8(const D3DPRESENT_PARAMETERS& pp, int32_t deviceType, int32_t hFocusWindow)
    : s_(std::make_unique<DeviceState>()) {
    d3d8detail::SpanPath spans;
    const char* why = nullptr;
    if (!d3d8detail::SpanPathForNewDevices(spans, why)) Fail("Direct3D8.CreateDevice", D3DERR_NOTAVAILABLE, why);
    DeviceState& s = *s_;
    s.pp = pp;
    s.deviceType = deviceType;
    s.focusWindow = hFocusWindow;
    s.width = pp.BackBufferWidth;
    s.height = pp.BackBufferHeight;
    const size_t pixels = static_cast<size_t>(s.width) * static_cast<size_t>(s.height);
    s.color.assign(pixels, 0xFF000000u);
    if (pp.EnableAutoDepthStencil) s.depth.assign(pixels, 0xFFFF);
    if (pp.MultiSampleType == D3DMULTISAMPLE_2_SAMPLES) {
        s.second = std::make_unique<d3d8detail::SecondSample>();
        s.second->color.assign(pixels, 0xFF000000u);
        s.second->depth = s.depth;
        s.second->resolved.assign(pixels, 0xFF000000u);
        s.second->resolvedCurrent = true;
    }

    // The platform's defaults.
    s.rs[D3DRS_ZENABLE] = pp.EnableAutoDepthStencil ? D3DZB_TRUE : D3DZB_FALSE;
    s.rs[D3DRS_FILLMODE] = D3DFILL_SOLID;
    s.rs[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
    s.rs[D3DRS_ZWRITEENABLE] = 1;
    s.rs[D3DRS_ALPHATESTENABLE] = 0;
    s.rs[D3DRS_SRCBLEND] = D3DBLEND_ONE;
    s.rs[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
    s.rs[D3DRS_CULLMODE] = D3DCULL_CCW;
    s.rs[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
    s.rs[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
    s.rs[D3DRS_DITHERENABLE] = 0;
    s.rs[D3DRS_ALPHABLENDENABLE] = 0;
    s.rs[D3DRS_LIGHTING] = 1;
    s.rs[D3DRS_AMBIENT] = 0;
    s.rs[D3DRS_COLORVERTEX] = 1;
    s.rs[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
    s.rs[D3DRS_SPECULARMATERIALSOURCE] = D3DMCS_COLOR2;
    s.rs[D3DRS_AMBIENTMATERIALSOURCE] = D3DMCS_MATERIAL;
    s.rs[D3DRS_EMISSIVEMATERIALSOURCE] = D3DMCS_MATERIAL;
    s.rs[D3DRS_MULTISAMPLEANTIALIAS] = 1;
    for (int st = 0; st < D3D_MAX_STAGES; ++st) {
        auto& t = s.tss[static_cast<size_t>(st)];
        t[D3DTSS_COLOROP] = st == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        t[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        t[D3DTSS_COLORARG2] = D3DTA_CURRENT;
        t[D3DTSS_ALPHAOP] = st == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        t[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        t[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        t[D3DTSS_TEXCOORDINDEX] = st;
        t[D3DTSS_ADDRESSU] = D3DTADDRESS_WRAP;
        t[D3DTSS_ADDRESSV] = D3DTADDRESS_WRAP;
        t[D3DTSS_MAGFILTER] = D3DTEXF_POINT;
        t[D3DTSS_MINFILTER] = D3DTEXF_POINT;
        t[D3DTSS_MIPFILTER] = D3DTEXF_NONE;
    }
    s.world = s.view = s.proj = Identity();
    s.viewport = D3DVIEWPORT8{0, 0, s.width, s.height, 0.0f, 1.0f};

    s.raster = std::make_unique<d3d8detail::Rasterizer>(RasterThreads());
    d3d8detail::Target target;
    target.color = s.color.data();
    target.depth = s.depth.empty() ? nullptr : s.depth.data();
    if (target.depth) {
        s.depthTiles.Resize(s.width, s.height);
        target.tiles = &s.depthTiles;
    }
    target.width = s.width;
    target.height = s.height;
    target.spans = spans;
    if (s.second) {
        d3d8detail::SecondSample& two = *s.second;
        target.color1 = two.color.data();
        if (target.depth) {
            target.depth1 = two.depth.data();
            two.depthTiles.Resize(s.width, s.height);
            target.tiles1 = &two.depthTiles;
        }
    }
    s.raster->SetTarget(target);
    d3d8detail::ListDevice(s);
}

// The queued draws are finished first (they read the bound textures and write the buffers);
// DeviceState then destroys the rasterizer, joining its threads, before the buffers (see the
// teardown order in device_state.h). A drawing failure nobody flushed is dropped with the device.
Direct3DDevice8::~Direct3DDevice8() {
    if (s_ && s_->raster) s_->raster->Finish();
    if (s_) {
        d3d8detail::UnbindStream(*s_);
        d3d8detail::UnlistDevice(*s_);
    }
}

namespace d3d8detail {

namespace {

// The devices that exist. Made on first use and never destroyed: a device or buffer held by a
// static elsewhere is destroyed at exit in an order no file decides (the engine's state, when
// an X error handler calls exit), and must still find the list.
struct DeviceList {
    // Recursive: a copy left to a device may be destroyed while the list is being gone through.
    std::recursive_mutex mutex;
    std::vector<DeviceState*> devices;
};

DeviceList& Devices() {
    static DeviceList* const list = new DeviceList;
    return *list;
}

}  // namespace

void ListDevice(DeviceState& s) {
    DeviceList& list = Devices();
    std::lock_guard<std::recursive_mutex> lock(list.mutex);
    list.devices.push_back(&s);
}

void UnlistDevice(DeviceState& s) {
    DeviceList& list = Devices();
    std::lock_guard<std::recursive_mutex> lock(list.mutex);
    list.devices.erase(std::remove(list.devices.begin(), list.devices.end(), &s), list.devices.end());
}

void BindStream(DeviceState& s, Direct3DVertexBuffer8* next) {
    // The counts change only when the stream moves to another block: none for the next
    // triangle's buffer beside the last.
    std::atomic<uint32_t>* const was = s.stream ? &BoundCount(*s.stream) : nullptr;
    std::atomic<uint32_t>* const now = next ? &BoundCount(*next) : nullptr;
    if (was != now) [[unlikely]] {
        if (now) now->fetch_add(1, std::memory_order_relaxed);
        if (was) was->fetch_sub(1, std::memory_order_release);
    }
    s.stream = next;
    // Usually nothing is held: no reference counting then.
    if (s.streamRef) [[unlikely]] {
        if (s.streamRef.get() != next) s.streamRef.reset();
    }
}

void UnbindStream(DeviceState& s) { BindStream(s, nullptr); }

// A buffer that may be some device's stream is being destroyed: each device drawing from it
// goes on drawing from a copy of it, as if it had held the buffer.
void BufferDestroyed(const Direct3DVertexBuffer8& buffer) noexcept {
    DeviceList& list = Devices();
    std::lock_guard<std::recursive_mutex> lock(list.mutex);
    for (DeviceState* device : list.devices) {
        if (device->stream != &buffer) continue;
        Direct3DVertexBuffer8Ptr copy;
        try {
            copy = Direct3DVertexBuffer8::Make(buffer.Length(), buffer.Usage(), buffer.FVF(), buffer.Pool());
            if (buffer.Length() > 0)
                std::memcpy(const_cast<uint8_t*>(std::as_const(*copy).Data()), buffer.Data(),
                            static_cast<size_t>(buffer.Length()));
            IncludeBuffer(*copy);   // the copy lies among other buffers: their bounds take it in
        } catch (...) {
            // Out of memory: the device is left without a stream, and its next draw fails as such.
        }
        BindStream(*device, copy.get());
        device->streamRef = std::move(copy);
    }
}

}  // namespace d3d8detail

// ---- States ---------------------------------------------------------------------------------

void Direct3DDevice8::SetRenderState(int32_t State, int32_t Value) {
    D3D8_INTERCEPT("SetRenderState", State, Value);
    if (!ValidRenderState(State)) Fail("Direct3DDevice8.SetRenderState", D3DERR_INVALIDCALL, "unknown state");
    s_->rs[static_cast<size_t>(State)] = Value;
    s_->pixelDirty = true;
    s_->drawDirty = true;
}

int32_t Direct3DDevice8::GetRenderState(int32_t State) {
    D3D8_INTERCEPT("GetRenderState", State);
    if (!ValidRenderState(State)) Fail("Direct3DDevice8.GetRenderState", D3DERR_INVALIDCALL, "unknown state");
    return s_->rs[static_cast<size_t>(State)];
}

void Direct3DDevice8::SetTextureStageState(int32_t Stage, int32_t Type, int32_t Value) {
    D3D8_INTERCEPT("SetTextureStageState", Stage, Type, Value);
    if (Stage < 0 || Stage >= D3D_MAX_STAGES || Type < 1 || Type >= D3DTSS_MAX)
        Fail("Direct3DDevice8.SetTextureStageState", D3DERR_INVALIDCALL, "unknown stage or state");
    s_->tss[static_cast<size_t>(Stage)][static_cast<size_t>(Type)] = Value;
    s_->pixelDirty = true;
}

int32_t Direct3DDevice8::GetTextureStageState(int32_t Stage, int32_t Type) {
    D3D8_INTERCEPT("GetTextureStageState", Stage, Type);
    if (Stage < 0 || Stage >= D3D_MAX_STAGES || Type < 1 || Type >= D3DTSS_MAX)
        Fail("Direct3DDevice8.GetTextureStageState", D3DERR_INVALIDCALL, "unknown stage or state");
    return s_->tss[static_cast<size_t>(Stage)][static_cast<size_t>(Type)];
}

void Direct3DDevice8::SetVertexShader(int32_t Handle) {
    D3D8_INTERCEPT("SetVertexShader", Handle);
    d3d8detail::VertexLayout layout;
    if (!d3d8detail::MakeLayout(Handle, layout))
        Fail("Direct3DDevice8.SetVertexShader", D3DERR_INVALIDCALL, "vertex format not supported");
    s_->fvf = Handle;
    s_->layout = layout;
    s_->drawDirty = true;
}

int32_t Direct3DDevice8::GetVertexShader() {
    D3D8_INTERCEPT("GetVertexShader");
    return s_->fvf;
}

void Direct3DDevice8::SetTransform(int32_t State, const D3DMATRIX& Matrix) {
    D3D8_INTERCEPT("SetTransform", State);
    DeviceState& s = *s_;
    switch (State) {
    case D3DTS_WORLD: s.world = Matrix; break;
    case D3DTS_VIEW: s.view = Matrix; break;
    case D3DTS_PROJECTION: s.proj = Matrix; break;
    default: Fail("Direct3DDevice8.SetTransform", D3DERR_INVALIDCALL, "unknown transform");
    }
    s.wvpDirty = true;
}

void Direct3DDevice8::GetTransform(int32_t State, D3DMATRIX& Matrix) {
    D3D8_INTERCEPT("GetTransform", State);
    switch (State) {
    case D3DTS_WORLD: Matrix = s_->world; break;
    case D3DTS_VIEW: Matrix = s_->view; break;
    case D3DTS_PROJECTION: Matrix = s_->proj; break;
    default: Fail("Direct3DDevice8.GetTransform", D3DERR_INVALIDCALL, "unknown transform");
    }
}

void Direct3DDevice8::SetMaterial(const D3DMATERIAL8& Material) {
    D3D8_INTERCEPT("SetMaterial");
    s_->material = Material;
    s_->drawDirty = true;
}

void Direct3DDevice8::GetMaterial(D3DMATERIAL8& Material) {
    D3D8_INTERCEPT("GetMaterial");
    Material = s_->material;
}

void Direct3DDevice8::SetTexture(int32_t Stage, const Direct3DTexture8Ptr& Texture) {
    D3D8_INTERCEPT("SetTexture", Stage, Texture ? 1 : 0);
    if (Stage < 0 || Stage >= D3D_MAX_STAGES) Fail("Direct3DDevice8.SetTexture", D3DERR_INVALIDCALL, "stage");
    auto& slot = s_->textures[static_cast<size_t>(Stage)];
    if (slot != Texture) {
        slot = Texture;
        if (Stage == 0) s_->pixelDirty = true;
    }
}

Direct3DTexture8Ptr Direct3DDevice8::GetTexture(int32_t Stage) {
    D3D8_INTERCEPT("GetTexture", Stage);
    if (Stage < 0 || Stage >= D3D_MAX_STAGES) Fail("Direct3DDevice8.GetTexture", D3DERR_INVALIDCALL, "stage");
    return s_->textures[static_cast<size_t>(Stage)];
}

void Direct3DDevice8::SetStreamSource(int32_t StreamNumber, const Direct3DVertexBuffer8Ptr& StreamData,
                                      int32_t Stride) {
    D3D8_INTERCEPT("SetStreamSource", StreamNumber, Stride);
    if (StreamNumber != 0 || Stride < 0 || Stride > 1024) [[unlikely]]
        Fail("Direct3DDevice8.SetStreamSource", D3DERR_INVALIDCALL, "stream or stride");
    DeviceState& s = *s_;
    Direct3DVertexBuffer8* const next = StreamData.get();
    if (s.stream != next) [[likely]] {
        if (next) {
            // Small buffers made one after another lie one after another (a one-triangle
            // buffer takes 96 bytes with its bookkeeping), and a world is drawn in the order
            // it was made: ask early for the buffers a few draws ahead. Only a hint: an address
            // that is not one of them costs nothing.
            __builtin_prefetch(reinterpret_cast<const char*>(next) + 1024);
            __builtin_prefetch(reinterpret_cast<const char*>(next) + 1024 + 64);
        }
        d3d8detail::BindStream(s, next);
    }
    s.streamStride = Stride;
}

void Direct3DDevice8::SetIndices(const Direct3DIndexBuffer8Ptr& IndexData, int32_t BaseVertexIndex) {
    D3D8_INTERCEPT("SetIndices", BaseVertexIndex);
    if (BaseVertexIndex < 0) Fail("Direct3DDevice8.SetIndices", D3DERR_INVALIDCALL, "base vertex index");
    s_->indices = IndexData;
    s_->baseVertex = BaseVertexIndex;
}

void Direct3DDevice8::SetViewport(const D3DVIEWPORT8& v) {
    D3D8_INTERCEPT("SetViewport", v.X, v.Y, v.Width, v.Height);
    const bool ok = v.X >= 0 && v.Y >= 0 && v.Width > 0 && v.Height > 0 &&
                    static_cast<int64_t>(v.X) + v.Width <= s_->width &&
                    static_cast<int64_t>(v.Y) + v.Height <= s_->height && v.MinZ >= 0.0f && v.MaxZ <= 1.0f &&
                    v.MinZ <= v.MaxZ;
    if (!ok) Fail("Direct3DDevice8.SetViewport", D3DERR_INVALIDCALL, "viewport outside the render target");
    s_->viewport = v;
    s_->pixelDirty = true;
    s_->drawDirty = true;
}

void Direct3DDevice8::GetViewport(D3DVIEWPORT8& Viewport) {
    D3D8_INTERCEPT("GetViewport");
    Viewport = s_->viewport;
}

// ---- Clear and scenes --------------------------------------------------------------------

void Direct3DDevice8::Clear(int32_t Count, const D3DRECT* Rects, int32_t Flags, int32_t Color, float Z,
                            int32_t Stencil) {
    D3D8_INTERCEPT("Clear", Count, Flags, Color, Stencil);
    DeviceState& s = *s_;
    const char* call = "Direct3DDevice8.Clear";
    if (Count < 0 || (Count > 0 && !Rects)) Fail(call, D3DERR_INVALIDCALL, "rectangles");
    if ((Flags & ~(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) != 0) Fail(call, D3DERR_INVALIDCALL, "flags");
    if ((Flags & D3DCLEAR_ZBUFFER) && s.depth.empty()) Fail(call, D3DERR_INVALIDCALL, "no depth buffer");
    if (Flags & D3DCLEAR_STENCIL) Fail(call, D3DERR_INVALIDCALL, "no stencil buffer");
    if ((Flags & D3DCLEAR_ZBUFFER) && !(Z >= 0.0f && Z <= 1.0f)) Fail(call, D3DERR_INVALIDCALL, "depth value");
    const bool color = (Flags & D3DCLEAR_TARGET) != 0, depth = (Flags & D3DCLEAR_ZBUFFER) != 0;
    const uint16_t z = static_cast<uint16_t>(Z * 65535.0f + 0.5f);
    // Clears are limited to the viewport, then to each rectangle.
    const int vx0 = s.viewport.X, vy0 = s.viewport.Y, vx1 = vx0 + s.viewport.Width, vy1 = vy0 + s.viewport.Height;
    d3d8detail::BeforeDrawing(s);
    if (Count == 0) {
        s.raster->AddClear(vx0, vy0, vx1, vy1, color, static_cast<uint32_t>(Color), depth, z);
        return;
    }
    for (int32_t i = 0; i < Count; ++i) {
        const D3DRECT& r = Rects[i];
        s.raster->AddClear(std::max(r.x1, vx0), std::max(r.y1, vy0), std::min(r.x2, vx1), std::min(r.y2, vy1), color,
                           static_cast<uint32_t>(Color), depth, z);
    }
}

void Direct3DDevice8::BeginScene() {
    D3D8_INTERCEPT("BeginScene");
    if (s_->inScene) Fail("Direct3DDevice8.BeginScene", D3DERR_INVALIDCALL, "already in a scene");
    s_->inScene = true;
}

void Direct3DDevice8::EndScene() {
    D3D8_INTERCEPT("EndScene");
    if (!s_->inScene) Fail("Direct3DDevice8.EndScene", D3DERR_INVALIDCALL, "not in a scene");
    s_->inScene = false;
}

// ---- Resources ------------------------------------------------------------------------------

Direct3DVertexBuffer8Ptr Direct3DDevice8::CreateVertexBuffer(int32_t Length, int32_t Usage, int32_t FVF,
                                                             int32_t Pool) {
    D3D8_INTERCEPT("CreateVertexBuffer", Length, Usage, FVF, Pool);
    const char* call = "Direct3DDevice8.CreateVertexBuffer";
    if (Length <= 0 || Length > (256 << 20)) Fail(call, D3DERR_INVALIDCALL, "length");
    if (Pool < D3DPOOL_DEFAULT || Pool > D3DPOOL_SYSTEMMEM) Fail(call, D3DERR_INVALIDCALL, "pool");
    d3d8detail::VertexLayout layout;
    if (FVF != 0 && !d3d8detail::MakeLayout(FVF, layout)) Fail(call, D3DERR_INVALIDCALL, "vertex format");
    if (FVF != 0 && Length < layout.size) Fail(call, D3DERR_INVALIDCALL, "shorter than one vertex");
    return Direct3DVertexBuffer8::Make(Length, Usage, FVF, Pool);
}

Direct3DIndexBuffer8Ptr Direct3DDevice8::CreateIndexBuffer(int32_t Length, int32_t Usage, int32_t Format,
                                                           int32_t Pool) {
    D3D8_INTERCEPT("CreateIndexBuffer", Length, Usage, Format, Pool);
    const char* call = "Direct3DDevice8.CreateIndexBuffer";
    if (Length <= 0 || Length > (256 << 20)) Fail(call, D3DERR_INVALIDCALL, "length");
    if (Format != D3DFMT_INDEX16 && Format != D3DFMT_INDEX32) Fail(call, D3DERR_INVALIDCALL, "index format");
    if (Pool < D3DPOOL_DEFAULT || Pool > D3DPOOL_SYSTEMMEM) Fail(call, D3DERR_INVALIDCALL, "pool");
    return std::make_shared<Direct3DIndexBuffer8>(Length, Usage, Format, Pool);
}

Direct3DTexture8Ptr Direct3DDevice8::CreateTexture(int32_t Width, int32_t Height, int32_t Levels, int32_t Usage,
                                                   int32_t Format, int32_t Pool) {
    D3D8_INTERCEPT("CreateTexture", Width, Height, Levels, Usage, Format, Pool);
    const char* call = "Direct3DDevice8.CreateTexture";
    if (Width <= 0 || Height <= 0 || Width > 4096 || Height > 4096) Fail(call, D3DERR_INVALIDCALL, "size");
    if (Levels < 0) Fail(call, D3DERR_INVALIDCALL, "levels");
    if (Format != D3DFMT_A8R8G8B8 && Format != D3DFMT_X8R8G8B8 && Format != D3DFMT_R5G6B5 &&
        Format != D3DFMT_X1R5G5B5 && Format != D3DFMT_A1R5G5B5 && Format != D3DFMT_A4R4G4B4 && Format != D3DFMT_R8G8B8)
        Fail(call, D3DERR_INVALIDCALL, "format");
    auto tex = std::make_shared<Direct3DTexture8>();
    tex->Format = Format;
    tex->HasAlpha = Format == D3DFMT_A8R8G8B8 || Format == D3DFMT_A1R5G5B5 || Format == D3DFMT_A4R4G4B4;
    int w = Width, h = Height;
    for (int level = 0; Levels == 0 || level < Levels; ++level) {
        Direct3DTexture8::Level l;
        l.Width = w;
        l.Height = h;
        l.Pixels.assign(static_cast<size_t>(w) * h, 0);
        tex->Levels.push_back(std::move(l));
        if (w == 1 && h == 1) break;
        w = std::max(1, w / 2);
        h = std::max(1, h / 2);
    }
    return tex;
}

void Direct3DDevice8::GetCreationParameters(int32_t& DeviceType, int32_t& hFocusWindow) {
    DeviceType = s_->deviceType;
    hFocusWindow = s_->focusWindow;
}

const D3DPRESENT_PARAMETERS& Direct3DDevice8::PresentParameters() const { return s_->pp; }

bool Direct3DDevice8::InScene() const { return s_->inScene; }
