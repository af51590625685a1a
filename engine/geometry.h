// The world's geometry records and the engine's triangle list, quad list and terrain strip.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/d3d8/d3d8types.h"
#include "platform/runtime/types.h"

class Direct3DVertexBuffer8;

namespace ZemDx {

// Vertex format of every world vertex: position, diffuse colour, one texture coordinate pair.
constexpr int32_t D3DFVF_VERTEX = 0x142;

// One point of a world primitive, laid out exactly as the vertex buffers hold it (24 bytes).
struct Vertex {
    float X = 0, Y = 0, Z = 0;
    int32_t Color = 0;  // 0xAARRGGBB
    float TU = 0, TV = 0;
};
static_assert(sizeof(Vertex) == 24);
static_assert(offsetof(Vertex, X) == 0 && offsetof(Vertex, Y) == 4 && offsetof(Vertex, Z) == 8);
static_assert(offsetof(Vertex, Color) == 12 && offsetof(Vertex, TU) == 16 && offsetof(Vertex, TV) == 20);

// Three vertices in drawing order (the 72 bytes of the triangle's buffer), then its texture.
struct Triangle {
    Vertex V[3];
    int32_t Texture = 0;  // index into the texture table
};
static_assert(offsetof(Triangle, V) == 0 && offsetof(Triangle, Texture) == 72);

// Four vertices in triangle-strip order (the 96 bytes of the quad's buffer), then its texture.
struct Quad {
    Vertex V[4];
    int32_t Texture = 0;
};
static_assert(offsetof(Quad, V) == 0 && offsetof(Quad, Texture) == 96);

using VertexBufferPtr = std::shared_ptr<Direct3DVertexBuffer8>;

// The terrain strip: its vertices in triangle-strip order, its texture and its one buffer.
struct TerrainData {
    std::vector<Vertex> Vertices;
    int32_t Texture = 0;
    VertexBufferPtr Buffer;
};

// A list of vertex buffer references parallel to a primitive list. It behaves like a
// std::vector, and in addition remembers below which index an entry may hold a buffer, so that
// emptying every entry costs only the entries that can have been written since the last time.
class BufferList {
public:
    size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    size_t capacity() const { return items_.capacity(); }
    // Room for n entries, so that growing to n moves no entry.
    void reserve(size_t n) { items_.reserve(n); }
    const VertexBufferPtr& operator[](size_t i) const { return items_[i]; }
    // Writable access: entry i may be given a buffer.
    VertexBufferPtr& operator[](size_t i) {
        if (i + 1 > used_) used_ = i + 1;
        return items_[i];
    }
    auto begin() const { return items_.cbegin(); }
    auto end() const { return items_.cend(); }
    auto begin() {
        used_ = items_.size();
        return items_.begin();
    }
    auto end() { return items_.end(); }
    // Releases every buffer and removes every entry.
    void clear() {
        items_.clear();
        used_ = 0;
    }
    // Adds or removes entries at the end; new entries are empty.
    void resize(size_t n) {
        items_.resize(n);
        if (used_ > n) used_ = n;
    }
    // Releases every buffer, keeping the entries (all empty).
    void ReleaseAll() {
        for (size_t i = 0; i < used_; ++i) items_[i].reset();
        used_ = 0;
    }

private:
    std::vector<VertexBufferPtr> items_;
    size_t used_ = 0;  // entries at or above this index are empty
};

// The world triangle list (in the order of addition) and its buffers, entry i the buffer of
// triangle i or empty.
extern std::vector<Triangle>& Triangles;
extern rt::Long& TriangleCount;
extern BufferList& TriangleBuffers;
extern rt::Boolean& TrianglesDirty;
// The quad list and its buffers.
extern std::vector<Quad>& Quads;
extern rt::Long& QuadCount;
extern BufferList& QuadBuffers;
extern rt::Boolean& QuadsDirty;
// The one terrain strip.
extern TerrainData& Terrain;
extern rt::Boolean& TerrainLoaded;

// Appends one triangle. Per vertex the arguments come as position, texture coordinates, colour.
// Afterwards TriangleBuffers has TriangleCount entries, all empty, and TrianglesDirty is True.
// Raises ErrOverflow when the count would pass the 32-bit range, ErrOutOfMemory when memory
// runs out; either leaves both lists as they were.
void AddTriangle(float X1, float Y1, float Z1, float TU1, float TV1, int32_t Color1,
                 float X2, float Y2, float Z2, float TU2, float TV2, int32_t Color2,
                 float X3, float Y3, float Z3, float TU3, float TV3, int32_t Color3,
                 int32_t Texture);

// Makes room in the triangle list and its buffer list for `more` triangles beyond TriangleCount,
// so that the next `more` AddTriangle calls move neither list and take no memory beyond it.
// Raises ErrOverflow when the count would pass the 32-bit range, ErrOutOfMemory when the room
// cannot be had; the lists' entries stay as they were.
void ReserveTriangles(int64_t more);

// The colour (R, G, B) on the scale 0 to 255 as a colour value with alpha 1; not clamped.
D3DCOLORVALUE ColorValue(int32_t R, int32_t G, int32_t B);

}  // namespace ZemDx
