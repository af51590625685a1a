// The root objects (DirectX8, Direct3D8), vertex and index buffers with their data copies, the
// desktop display mode and the present hook.
#include <sys/mman.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <utility>

#include "platform/d3d8/buffer_regions.h"
#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/fail.h"
#include "platform/d3d8/present.h"
#include "platform/d3d8/reset.h"
#include "platform/d3d8/testswitch.h"
#include "platform/runtime/errors.h"

namespace d3d8detail {

const char* ResultName(int32_t code) {
    switch (code) {
    case D3D_OK: return "D3D_OK";
    case D3DERR_NOTAVAILABLE: return "D3DERR_NOTAVAILABLE";
    case D3DERR_INVALIDCALL: return "D3DERR_INVALIDCALL";
    case D3DERR_OUTOFVIDEOMEMORY: return "D3DERR_OUTOFVIDEOMEMORY";
    default: return "Direct3D error";
    }
}

void Fail(const char* call, int32_t code, const std::string& why) {
    std::string text = std::string(call) + " failed: " + ResultName(code);
    if (!why.empty()) text += " (" + why + ")";
    rt::Raise(code, text);
}

void Fail(const char* call, int32_t code, const char* why) {
    Fail(call, code, why ? std::string(why) : std::string());
}

}  // namespace d3d8detail

using d3d8detail::Fail;

namespace {

// The desktop mode and the present hook below are read and set on the thread that owns the
// device only (the rasterizer's workers never see them), so nothing here needs a lock.
constexpr D3DDISPLAYMODE kDesktopModeAtStart{1024, 768, 60, D3DFMT_X8R8G8B8};
D3DDISPLAYMODE g_desktopMode = kDesktopModeAtStart;

bool KnownBackBufferFormat(int32_t f) {
    return f == D3DFMT_X8R8G8B8 || f == D3DFMT_A8R8G8B8 || f == D3DFMT_R5G6B5 || f == D3DFMT_X1R5G5B5 ||
           f == D3DFMT_A1R5G5B5;
}

}  // namespace

void SetDesktopDisplayMode(const D3DDISPLAYMODE& mode) {
    g_desktopMode = mode;
}

Direct3D8Ptr DirectX8::Direct3DCreate() {
    D3D8_INTERCEPT("Direct3DCreate");
    return std::make_shared<Direct3D8>();
}

void Direct3D8::GetAdapterDisplayMode(int32_t Adapter, D3DDISPLAYMODE& mode) {
    D3D8_INTERCEPT("GetAdapterDisplayMode", Adapter);
    if (Adapter != D3DADAPTER_DEFAULT) Fail("Direct3D8.GetAdapterDisplayMode", D3DERR_INVALIDCALL, "no such adapter");
    mode = g_desktopMode;
}

int32_t Direct3D8::CheckDeviceType(int32_t Adapter, int32_t CheckType, int32_t DisplayFormat,
                                   int32_t BackBufferFormat, int32_t Windowed) {
    // The check answers with a code: only a switched-on failure of the call itself raises.
    D3D8_INTERCEPT("CheckDeviceType", Adapter, CheckType, DisplayFormat, BackBufferFormat, Windowed);
    int32_t forced;
    if (d3d8test::CheckDeviceTypeForced(forced)) return forced;
    if (Adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
    if (CheckType != D3DDEVTYPE_HAL && CheckType != D3DDEVTYPE_REF) return D3DERR_INVALIDCALL;
    if (!KnownBackBufferFormat(DisplayFormat)) return D3DERR_NOTAVAILABLE;
    if (BackBufferFormat != D3DFMT_UNKNOWN && !KnownBackBufferFormat(BackBufferFormat)) return D3DERR_NOTAVAILABLE;
    return D3D_OK;
}

int32_t Direct3D8::CheckDeviceMultiSampleType(int32_t Adapter, int32_t DeviceType, int32_t RenderTargetFormat,
                                              int32_t Windowed, int32_t MultiSampleType) {
    D3D8_INTERCEPT("CheckDeviceMultiSampleType", Adapter, DeviceType, RenderTargetFormat, Windowed, MultiSampleType);
    int32_t forced;
    if (d3d8test::CheckDeviceMultiSampleTypeForced(forced)) return forced;
    if (Adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
    if (DeviceType != D3DDEVTYPE_HAL && DeviceType != D3DDEVTYPE_REF) return D3DERR_INVALIDCALL;
    if (!KnownBackBufferFormat(RenderTargetFormat)) return D3DERR_NOTAVAILABLE;
    // The software device draws one or two samples per pixel, windowed or full screen alike.
    return MultiSampleType == D3DMULTISAMPLE_NONE || MultiSampleType == D3DMULTISAMPLE_2_SAMPLES ? D3D_OK
                                                                                                 : D3DERR_NOTAVAILABLE;
}

Direct3DDevice8Ptr Direct3D8::CreateDevice(int32_t Adapter, int32_t DeviceType, int32_t hFocusWindow,
                                           int32_t BehaviorFlags, D3DPRESENT_PARAMETERS& pp) {
    D3D8_INTERCEPT("CreateDevice", Adapter, DeviceType, hFocusWindow, BehaviorFlags);
    const char* call = "Direct3D8.CreateDevice";
    if (Adapter != D3DADAPTER_DEFAULT) Fail(call, D3DERR_INVALIDCALL, "no such adapter");
    if (DeviceType != D3DDEVTYPE_HAL && DeviceType != D3DDEVTYPE_REF) Fail(call, D3DERR_INVALIDCALL, "device type");
    const int32_t vp = BehaviorFlags & (D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_HARDWARE_VERTEXPROCESSING |
                                        D3DCREATE_MIXED_VERTEXPROCESSING);
    if (vp != D3DCREATE_SOFTWARE_VERTEXPROCESSING && vp != D3DCREATE_HARDWARE_VERTEXPROCESSING &&
        vp != D3DCREATE_MIXED_VERTEXPROCESSING)
        Fail(call, D3DERR_INVALIDCALL, "exactly one vertex processing flag is needed");
    if (hFocusWindow == 0 && pp.hDeviceWindow == 0) Fail(call, D3DERR_INVALIDCALL, "no window");
    if (pp.BackBufferWidth <= 0 || pp.BackBufferHeight <= 0 || pp.BackBufferWidth > 8192 || pp.BackBufferHeight > 8192)
        Fail(call, D3DERR_INVALIDCALL, "back buffer size");
    if (pp.BackBufferFormat != D3DFMT_UNKNOWN && !KnownBackBufferFormat(pp.BackBufferFormat))
        Fail(call, D3DERR_INVALIDCALL, "back buffer format");
    if (pp.BackBufferFormat == D3DFMT_UNKNOWN && !pp.Windowed) Fail(call, D3DERR_INVALIDCALL, "back buffer format");
    if (pp.BackBufferCount < 0 || pp.BackBufferCount > 3) Fail(call, D3DERR_INVALIDCALL, "back buffer count");
    if (pp.SwapEffect < D3DSWAPEFFECT_DISCARD || pp.SwapEffect > D3DSWAPEFFECT_COPY)
        Fail(call, D3DERR_INVALIDCALL, "swap effect");
    if (pp.MultiSampleType != D3DMULTISAMPLE_NONE && pp.MultiSampleType != D3DMULTISAMPLE_2_SAMPLES)
        Fail(call, D3DERR_INVALIDCALL, "multisample type not supported (none or two samples)");
    if (pp.EnableAutoDepthStencil && pp.AutoDepthStencilFormat != D3DFMT_D16)
        Fail(call, D3DERR_INVALIDCALL, "depth format not supported");
    // The back buffer count of 0 means one, as the platform reports back.
    if (pp.BackBufferCount == 0) pp.BackBufferCount = 1;
    if (pp.BackBufferFormat == D3DFMT_UNKNOWN) pp.BackBufferFormat = g_desktopMode.Format;
    return std::make_shared<Direct3DDevice8>(pp, DeviceType, hFocusWindow);
}

// ---- Buffers ----------------------------------------------------------------------------------

namespace {

// Vertex buffers of up to kMaxCarved bytes are carved, object and bytes together, from blocks of
// kBlockBytes aligned to their size, so that a piece finds its block from its address. Pieces
// are handed out in order; a block counts the pieces still alive in it and goes back to the
// system when the last one goes (the block being carved from is reused from its start instead).
using d3d8detail::kBlockBytes;
constexpr size_t kMaxCarved = 4096;
constexpr size_t kPieceAlign = 8;

constexpr size_t RoundUp(size_t n) { return (n + kPieceAlign - 1) & ~(kPieceAlign - 1); }

class BufferBlocks {
public:
    void* Carve(size_t bytes) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!current_ || current_->used + bytes > kBlockBytes) current_ = NewBlock();
        void* piece = reinterpret_cast<uint8_t*>(current_) + current_->used;
        current_->used += bytes;
        ++current_->live;
        return piece;
    }
    void Return(void* piece) noexcept {
        Block* const block = d3d8detail::BlockOf(piece);
        std::lock_guard<std::mutex> lock(mutex_);
        if (--block->live != 0) return;
        if (block == current_) {
            block->used = kHeader;
            ClearRegions(*block);
        } else {
            munmap(block, kBlockBytes);
        }
    }

    using Block = d3d8detail::BlockHeader;
    static constexpr size_t kHeader = RoundUp(sizeof(Block));

private:
    static void ClearRegions(Block& b) {
        for (d3d8detail::RegionBounds& r : b.regions) r = d3d8detail::RegionBounds{};   // Empty, no verdict
    }

    // A block at an address that is a multiple of its size: twice the size is mapped and the
    // parts before and after the aligned block are unmapped.
    static Block* NewBlock() {
        void* raw = mmap(nullptr, 2 * kBlockBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (raw == MAP_FAILED) throw std::bad_alloc();
        const uintptr_t start = reinterpret_cast<uintptr_t>(raw);
        const uintptr_t aligned = (start + kBlockBytes - 1) & ~(kBlockBytes - 1);
        if (aligned > start) munmap(raw, aligned - start);
        const uintptr_t tail = aligned + kBlockBytes, end = start + 2 * kBlockBytes;
        if (end > tail) munmap(reinterpret_cast<void*>(tail), end - tail);
        Block* b = new (reinterpret_cast<void*>(aligned)) Block;
        b->used = kHeader;
        b->live = 0;
        b->bound.store(0, std::memory_order_relaxed);
        ClearRegions(*b);
        return b;
    }

    std::mutex mutex_;
    Block* current_ = nullptr;
};

BufferBlocks& Blocks() {
    static BufferBlocks* blocks = new BufferBlocks;   // outlives every buffer, even static ones
    return *blocks;
}

// Make hands the size of the bytes to place behind the buffer to the allocator, and the
// allocator hands their place to the constructor, through these (the three steps run in a row
// on one thread).
thread_local size_t t_bytesWanted = 0;
thread_local uint8_t* t_placedBytes = nullptr;

// Places the shared object (its counts and the buffer) with the bytes wanted right behind it:
// carved from the blocks, or for a large buffer in a heap block of its own.
template <class T, bool Carved>
struct PlacingAllocator {
    using value_type = T;
    PlacingAllocator() = default;
    template <class U>
    PlacingAllocator(const PlacingAllocator<U, Carved>&) {}
    template <class U>
    struct rebind {
        using other = PlacingAllocator<U, Carved>;
    };
    T* allocate(size_t n) {
        const size_t head = RoundUp(n * sizeof(T));
        const size_t bytes = head + RoundUp(t_bytesWanted);
        auto* piece = static_cast<uint8_t*>(Carved ? Blocks().Carve(bytes) : ::operator new(bytes));
        t_placedBytes = piece + head;
        return reinterpret_cast<T*>(piece);
    }
    void deallocate(T* p, size_t) noexcept {
        if (Carved)
            Blocks().Return(p);
        else
            ::operator delete(p);
    }
    template <class U>
    bool operator==(const PlacingAllocator<U, Carved>&) const { return true; }
};

// The kinds of vertex buffer made so far, in the order they first came (g_bufferKinds); an
// entry never changes once it is counted, so it is read without the lock.
constexpr size_t kMaxKinds = 65536;
std::mutex g_kindsMutex;
std::atomic<size_t> g_kindCount{0};

// The number of the kind (usage, fvf), added when it is new. Raises D3DERR_OUTOFVIDEOMEMORY
// when the table is full (65536 different kinds of buffer).
uint16_t KindNumber(int32_t usage, int32_t fvf) {
    using d3d8detail::g_bufferKinds;
    thread_local size_t last = 0;   // most buffers in a row are of one kind
    if (last < g_kindCount.load(std::memory_order_acquire) && g_bufferKinds[last].usage == usage &&
        g_bufferKinds[last].fvf == fvf)
        return static_cast<uint16_t>(last);
    std::lock_guard<std::mutex> lock(g_kindsMutex);
    const size_t n = g_kindCount.load(std::memory_order_relaxed);
    for (size_t k = 0; k < n; ++k)
        if (g_bufferKinds[k].usage == usage && g_bufferKinds[k].fvf == fvf) return static_cast<uint16_t>(last = k);
    if (n == kMaxKinds) Fail("Direct3DDevice8.CreateVertexBuffer", D3DERR_OUTOFVIDEOMEMORY, "too many kinds of buffer");
    g_bufferKinds[n] = d3d8detail::BufferKind{usage, fvf};
    g_kindCount.store(n + 1, std::memory_order_release);
    return static_cast<uint16_t>(last = n);
}

}  // namespace

d3d8detail::BufferKind d3d8detail::g_bufferKinds[kMaxKinds];

Direct3DVertexBuffer8::Direct3DVertexBuffer8(Placement, int32_t length, int32_t usage, int32_t fvf, int32_t pool,
                                             bool carved)
    : length_(length < 0 ? 0 : length), kind_(KindNumber(usage, fvf)), pool_(static_cast<int8_t>(pool)),
      carved_(carved) {
    // The bytes lie right behind the object, where its allocator put them: the shared object
    // ends with the buffer.
    uint8_t* const placed = t_placedBytes;
    t_placedBytes = nullptr;
    if (placed != std::as_const(*this).Data()) {
        std::fputs("Direct3DVertexBuffer8: the bytes are not behind the buffer\n", stderr);
        std::abort();
    }
    std::memset(placed, 0, static_cast<size_t>(length_));
}

std::shared_ptr<Direct3DVertexBuffer8> Direct3DVertexBuffer8::Make(int32_t length, int32_t usage, int32_t fvf,
                                                                   int32_t pool) {
    t_bytesWanted = length < 0 ? 0 : static_cast<size_t>(length);
    t_placedBytes = nullptr;
    if (t_bytesWanted > kMaxCarved)
        return std::allocate_shared<Direct3DVertexBuffer8>(PlacingAllocator<Direct3DVertexBuffer8, false>(),
                                                           Placement(), length, usage, fvf, pool, false);
    return std::allocate_shared<Direct3DVertexBuffer8>(PlacingAllocator<Direct3DVertexBuffer8, true>(), Placement(),
                                                       length, usage, fvf, pool, true);
}

uint8_t* Direct3DVertexBuffer8::Data() {
    if (d3d8detail::RegionBounds* r = d3d8detail::RegionOf(*this)) r->state = d3d8detail::RegionBounds::Unknown;
    return const_cast<uint8_t*>(std::as_const(*this).Data());
}

Direct3DVertexBuffer8::~Direct3DVertexBuffer8() {
    // Devices draw from their stream without holding it: one drawing from this block is told.
    if (d3d8detail::BoundCount(*this).load(std::memory_order_acquire) != 0) d3d8detail::BufferDestroyed(*this);
}

namespace d3d8detail {

std::atomic<uint32_t> g_heapBound{0};

}  // namespace d3d8detail

Direct3DIndexBuffer8::Direct3DIndexBuffer8(int32_t length, int32_t usage, int32_t format, int32_t pool)
    : data_(static_cast<size_t>(length), 0), usage_(usage), format_(format), pool_(pool) {}

namespace {

bool RangeFits(int32_t length, int32_t offset, int32_t size) {
    return offset >= 0 && size >= 0 && static_cast<int64_t>(offset) + size <= length;
}

// The checks of the buffers' SetData and GetData: the test switches, then a buffer, data to
// copy and a range inside the buffer.
template <class Buffer>
int32_t CheckCopy(const char* method, const std::shared_ptr<Buffer>& buffer, int32_t offset, int32_t size,
                  int32_t flags, const void* data) {
    if (d3d8test::Active()) {
        const int32_t code = d3d8test::Intercept(method, {offset, size, flags});
        if (code != D3D_OK) return code;
    }
    if (!buffer || (!data && size > 0) || !RangeFits(buffer->Length(), offset, size)) return D3DERR_INVALIDCALL;
    return D3D_OK;
}

}  // namespace

int32_t D3DVertexBuffer8SetData(const Direct3DVertexBuffer8Ptr& buffer, int32_t offset, int32_t size,
                                int32_t flags, const void* data) {
    const int32_t code = CheckCopy("D3DVertexBuffer8SetData", buffer, offset, size, flags, data);
    if (code == D3D_OK && size > 0) {
        std::memcpy(const_cast<uint8_t*>(std::as_const(*buffer).Data()) + offset, data, static_cast<size_t>(size));
        d3d8detail::IncludeBuffer(*buffer);
    }
    return code;
}

int32_t D3DVertexBuffer8GetData(const Direct3DVertexBuffer8Ptr& buffer, int32_t offset, int32_t size,
                                int32_t flags, void* data) {
    const int32_t code = CheckCopy("D3DVertexBuffer8GetData", buffer, offset, size, flags, data);
    if (code == D3D_OK && size > 0) std::memcpy(data, std::as_const(*buffer).Data() + offset, static_cast<size_t>(size));
    return code;
}

int32_t D3DIndexBuffer8SetData(const Direct3DIndexBuffer8Ptr& buffer, int32_t offset, int32_t size,
                               int32_t flags, const void* data) {
    const int32_t code = CheckCopy("D3DIndexBuffer8SetData", buffer, offset, size, flags, data);
    if (code == D3D_OK && size > 0) std::memcpy(buffer->Data() + offset, data, static_cast<size_t>(size));
    return code;
}

int32_t D3DIndexBuffer8GetData(const Direct3DIndexBuffer8Ptr& buffer, int32_t offset, int32_t size,
                               int32_t flags, void* data) {
    const int32_t code = CheckCopy("D3DIndexBuffer8GetData", buffer, offset, size, flags, data);
    if (code == D3D_OK && size > 0) std::memcpy(data, buffer->Data() + offset, static_cast<size_t>(size));
    return code;
}

// ---- Present hook -----------------------------------------------------------------------------

namespace d3d8 {
namespace {
PresentHandler g_presentHandler;
bool g_keepFrames = false;
PresentedFrame g_lastFrame;
}  // namespace

void SetPresentHandler(PresentHandler handler, bool keepFrames) {
    g_presentHandler = std::move(handler);
    g_keepFrames = keepFrames;
}

const PresentedFrame& LastPresentedFrame() { return g_lastFrame; }

// Called by the device's Present: keeps the frame when asked to (or when nobody takes it) and
// hands it to the window run time.
void DeliverFrame(int32_t hWnd, const uint32_t* argb, int width, int height) {
    // A copy: the handler may install another while it runs.
    const PresentHandler handler = g_presentHandler;
    if (!handler || g_keepFrames) {
        g_lastFrame.hWnd = hWnd;
        g_lastFrame.width = width;
        g_lastFrame.height = height;
        g_lastFrame.pixels.assign(argb, argb + static_cast<size_t>(width) * height);
        ++g_lastFrame.count;
    }
    if (handler) handler(hWnd, argb, width, height);
}

void ResetForTests() {
    SetDesktopDisplayMode(kDesktopModeAtStart);
    SetPresentHandler(nullptr);
    g_lastFrame = PresentedFrame{};
    d3d8test::Reset();
}

}  // namespace d3d8
