#include "geometry.h"

#include <new>
#include <stdexcept>

#include "platform/runtime/errors.h"

namespace ZemDx {


namespace {

// Takes the triangle list and its buffers back to TriangleCount entries and raises ErrOutOfMemory.
[[noreturn]] void OutOfMemory() {
    Triangles.resize(static_cast<size_t>(TriangleCount));
    TriangleBuffers.resize(static_cast<size_t>(TriangleCount));
    rt::Raise(rt::ErrOutOfMemory);
}

}  // namespace

void AddTriangle(float X1, float Y1, float Z1, float TU1, float TV1, int32_t Color1,
                 float X2, float Y2, float Z2, float TU2, float TV2, int32_t Color2,
                 float X3, float Y3, float Z3, float TU3, float TV3, int32_t Color3,
                 int32_t Texture) {
    const rt::Long count = rt::AddLng(TriangleCount, 1);
    Triangle t;
    t.V[0] = Vertex{X1, Y1, Z1, Color1, TU1, TV1};
    t.V[1] = Vertex{X2, Y2, Z2, Color2, TU2, TV2};
    t.V[2] = Vertex{X3, Y3, Z3, Color3, TU3, TV3};
    t.Texture = Texture;
    try {
        // Grow both lists first, so that a failure leaves them as they were.
        Triangles.resize(static_cast<size_t>(count) - 1);
        TriangleBuffers.resize(static_cast<size_t>(count) - 1);
        Triangles.push_back(t);
        TriangleBuffers.resize(static_cast<size_t>(count));
    } catch (const std::bad_alloc&) {
        OutOfMemory();
    } catch (const std::length_error&) {
        OutOfMemory();
    }
    // Every buffer built so far is released, those of the older triangles too.
    TriangleBuffers.ReleaseAll();
    TriangleCount = count;
    TrianglesDirty = rt::True;
}

D3DCOLORVALUE ColorValue(int32_t R, int32_t G, int32_t B) {
    return D3DCOLORVALUE{static_cast<float>(R / 255.0), static_cast<float>(G / 255.0),
                         static_cast<float>(B / 255.0), 1.0f};
}

}  // namespace ZemDx
