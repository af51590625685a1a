// Building the vertex buffers of the quad list, the triangle list and the terrain strip.
#include <climits>
#include <new>

#include "engine/checked.h"
#include "engine/zemdx.h"
#include "platform/runtime/errors.h"

namespace ZemDx {

namespace {

constexpr int32_t kVertexSize = static_cast<int32_t>(sizeof(Vertex));

}  // namespace

rt::Boolean RefreshBuffers() {
    // A failure stops the build where it happens: the buffers made before it stay, the entry
    // that failed and the later ones keep what they held, and the failed list stays dirty.
    try {
        if (QuadCount >= 1 && QuadsDirty == rt::True) {
            const rt::Long count = QuadCount;
            for (rt::Long i = 0; i < count; ++i) {
                Direct3DDevice8& dev = detail::Device();
                VertexBufferPtr buffer = dev.CreateVertexBuffer(4 * kVertexSize, 0, D3DFVF_VERTEX, D3DPOOL_DEFAULT);
                detail::Item(QuadBuffers, i) = buffer;
                // The copy's result code is not looked at.
                D3DVertexBuffer8SetData(buffer, 0, 4 * kVertexSize, 0, detail::Item(Quads, i).V);
            }
            QuadsDirty = rt::False;
        }
        if (TriangleCount >= 1 && TrianglesDirty == rt::True) {
            const rt::Long count = TriangleCount;
            for (rt::Long i = 0; i < count; ++i) {
                Direct3DDevice8& dev = detail::Device();
                VertexBufferPtr buffer = dev.CreateVertexBuffer(3 * kVertexSize, 0, D3DFVF_VERTEX, D3DPOOL_DEFAULT);
                detail::Item(TriangleBuffers, i) = buffer;
                D3DVertexBuffer8SetData(buffer, 0, 3 * kVertexSize, 0, detail::Item(Triangles, i).V);
            }
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
    } catch (const rt::RuntimeError&) {
        return rt::False;
    } catch (const std::bad_alloc&) {
        return rt::False;
    }
}

}  // namespace ZemDx
