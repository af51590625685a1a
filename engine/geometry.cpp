#include "geometry.h"

#include <algorithm>
#include <climits>
#include <new>
#include <stdexcept>

#include "platform/runtime/errors.h"

namespace ZemDx {


namespace {

// Runs `grow`, which only makes room in the lists; running out of memory there raises
// ErrOutOfMemory.
template <class Grow>
void GrowOrOutOfMemory(Grow&& grow) {
    try {
        grow();
    } catch (const std::bad_alloc&) {
        rt::Raise(rt::ErrOutOfMemory);
    } catch (const std::length_error&) {
        rt::Raise(rt::ErrOutOfMemory);
    }
}

// Room for n entries in `list`; room that must grow at least doubles, so that adding one entry
// at a time costs amortised constant time, while room already made (ReserveTriangles) is
// used up to its last entry before the list moves.
template <class List>
void MakeRoom(List& list, size_t n) {
    if (list.capacity() < n) list.reserve(std::max(n, 2 * list.capacity()));
}

}  // namespace

void AddTriangle(float X1, float Y1, float Z1, float TU1, float TV1, int32_t Color1,
                 float X2, float Y2, float Z2, float TU2, float TV2, int32_t Color2,
                 float X3, float Y3, float Z3, float TU3, float TV3, int32_t Color3,
                 int32_t Texture) {
    const rt::Long count = rt::AddLng(TriangleCount, 1);
    const size_t n = static_cast<size_t>(count);
    Triangle t;
    t.V[0] = Vertex{X1, Y1, Z1, Color1, TU1, TV1};
    t.V[1] = Vertex{X2, Y2, Z2, Color2, TU2, TV2};
    t.V[2] = Vertex{X3, Y3, Z3, Color3, TU3, TV3};
    t.Texture = Texture;
    // Room in both lists first, so that a failure leaves them as they were; with the room made,
    // nothing below allocates or throws.
    GrowOrOutOfMemory([&] {
        MakeRoom(Triangles, n);
        MakeRoom(TriangleBuffers, n);
    });
    Triangles.resize(n - 1);
    Triangles.push_back(t);
    TriangleBuffers.resize(n);
    // Every buffer built so far is released, those of the older triangles too.
    TriangleBuffers.ReleaseAll();
    TriangleCount = count;
    TrianglesDirty = rt::True;
}

void ReserveTriangles(int64_t more) {
    const int64_t total = int64_t{TriangleCount} + std::max<int64_t>(more, 0);
    if (total > INT32_MAX) rt::Raise(rt::ErrOverflow);
    GrowOrOutOfMemory([&] {
        Triangles.reserve(static_cast<size_t>(total));
        TriangleBuffers.reserve(static_cast<size_t>(total));
    });
}

D3DCOLORVALUE ColorValue(int32_t R, int32_t G, int32_t B) {
    return D3DCOLORVALUE{static_cast<float>(R / 255.0), static_cast<float>(G / 255.0),
                         static_cast<float>(B / 255.0), 1.0f};
}

}  // namespace ZemDx
