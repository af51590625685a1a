// Bounds kept for the small vertex buffers carved side by side from shared blocks: the buffers
// whose place starts in one 8 KiB region of a block (about sixty one-triangle buffers, made one
// after another, so usually neighbours in the world) share a box around all their positions.
// A draw from such a buffer is passed over at once when the whole box lies beyond one side of
// the view volume, a verdict worked out once per region and transform instead of per triangle.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "platform/d3d8/d3d8.h"

namespace d3d8detail {

struct RegionBounds {
    enum State : uint8_t {
        Empty,     // no buffer yet
        Known,     // every position of its buffers lies in lo..hi
        Unknown,   // a buffer without positions, with positions that are not finite, or
                   // written where the region cannot see it: never passed over in bulk
    };
    float lo[3], hi[3];
    State state;
    bool outside;      // the verdict for the transform numbered `stamp`
    uint64_t stamp;    // 0: no verdict
};

// The blocks small buffers are carved from (objects.cpp): kBlockBytes each, at an address that
// is a multiple of their size, so that a piece finds its block from its own address. The
// header holds the bounds of each 8 KiB region.
constexpr size_t kBlockBytes = size_t{1} << 20;
constexpr int kRegionShift = 13;
constexpr size_t kRegions = kBlockBytes >> kRegionShift;
struct BlockHeader {
    size_t used;   // bytes handed out, from the block's start (the header included)
    size_t live;   // pieces not yet returned
    std::atomic<uint32_t> bound;   // devices whose stream 0 is a buffer of this block
    RegionBounds regions[kRegions];
};

// The block a carved piece (or a carved buffer object, which lies in its piece) belongs to.
inline BlockHeader* BlockOf(const void* piece) noexcept {
    return reinterpret_cast<BlockHeader*>(reinterpret_cast<uintptr_t>(piece) & ~(kBlockBytes - 1));
}

// The region of a carved buffer; null for a buffer whose bytes are on the heap.
inline RegionBounds* RegionOf(const Direct3DVertexBuffer8& buffer) noexcept {
    if (!buffer.carved_) return nullptr;
    const uintptr_t at = reinterpret_cast<uintptr_t>(&buffer);
    return &BlockOf(&buffer)->regions[(at & (kBlockBytes - 1)) >> kRegionShift];
}

// The number of devices drawing from a buffer of the same block as `buffer` (for a buffer in a
// heap block of its own: from any such buffer). A buffer is destroyed with no device to tell
// when it is 0; it changes only when a device's stream moves to another block.
extern std::atomic<uint32_t> g_heapBound;   // the count of every buffer in a heap block
inline std::atomic<uint32_t>& BoundCount(const Direct3DVertexBuffer8& buffer) noexcept {
    if (!buffer.carved_) return g_heapBound;
    return BlockOf(&buffer)->bound;
}

// A buffer that may be some device's stream (its BoundCount is not 0) is being destroyed: each
// device drawing from it is left a copy (device.cpp).
void BufferDestroyed(const Direct3DVertexBuffer8& buffer) noexcept;

// Widens the buffer's region to the positions it now holds (its format's vertices one after
// another), or makes the region Unknown when they cannot be read as positions.
void IncludeBuffer(const Direct3DVertexBuffer8& buffer) noexcept;

// A number for a newly computed transform, never given before and never 0.
uint64_t NewTransformStamp() noexcept;

// True when every point of the region's box is, by a margin larger than any rounding of the
// transform, beyond one of the six sides of the view volume (x < -w, x > w, y < -w, y > w,
// z < 0, z > w) after `m`: then each vertex drawn from it would be rejected one by one.
bool BoxBeyondOneSide(const RegionBounds& r, const D3DMATRIX& m) noexcept;

}  // namespace d3d8detail
