// Building the vertex buffers of the quad list, the triangle list and the terrain strip.
#include <malloc.h>

#include <climits>

#include "engine/checked.h"
#include "engine/zemdx.h"
#include "platform/runtime/errors.h"

namespace ZemDx {

namespace {

constexpr int32_t kVertexSize = static_cast<int32_t>(sizeof(Vertex));

// One buffer for each entry 0 to count - 1 of a primitive list: made, stored in the entry's
// place of `buffers` (releasing what was there), then given the entry's vertices.
template <class Primitive>
void BuildBuffers(std::vector<Primitive>& list, rt::Long count, BufferList& buffers) {
    constexpr int32_t bytes = static_cast<int32_t>(sizeof(Primitive::V));
    for (rt::Long i = 0; i < count; ++i) {
        VertexBufferPtr buffer = detail::Device().CreateVertexBuffer(bytes, 0, D3DFVF_VERTEX, D3DPOOL_DEFAULT);
        detail::Item(buffers, i) = buffer;
        // The copy's result code is not looked at.
        D3DVertexBuffer8SetData(buffer, 0, bytes, 0, detail::Item(list, i).V);
    }
}

}  // namespace

rt::Boolean RefreshBuffers() {
    // A failure stops the build where it happens: the buffers made before it stay, the entry
    // that failed and the later ones keep what they held, and the failed list stays dirty.
    return detail::Trapped(rt::False, [&]() -> rt::Boolean {
        if (QuadCount >= 1 && QuadsDirty == rt::True) {
            BuildBuffers(Quads, QuadCount, QuadBuffers);
            QuadsDirty = rt::False;
        }
        if (TriangleCount >= 1 && TrianglesDirty == rt::True) {
            // Lists grown one triangle at a time, without room made for them first, have left
            // the memory of their earlier, smaller arrays free but still held by the process;
            // it goes back to the system before the buffers, the largest part of a world, are
            // made.
            malloc_trim(0);
            BuildBuffers(Triangles, TriangleCount, TriangleBuffers);
            TrianglesDirty = rt::False;
        }
        if (TerrainLoaded == rt::True) {
            // The whole strip goes into one buffer, rebuilt on every call.
            const int64_t bytes = (detail::UpperBound(Terrain.Vertices) + 1) * kVertexSize;
            if (bytes > INT32_MAX) rt::Raise(rt::ErrOverflow);
            Direct3DDevice8& dev = detail::Device();
            Terrain.Buffer = dev.CreateVertexBuffer(static_cast<int32_t>(bytes), 0, D3DFVF_VERTEX, D3DPOOL_DEFAULT);
            D3DVertexBuffer8SetData(Terrain.Buffer, 0, static_cast<int32_t>(bytes), 0, Terrain.Vertices.data());
        }
        return rt::True;
    });
}

}  // namespace ZemDx
