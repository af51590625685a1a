#include "walls.h"

#include "app/cells.h"
#include "engine/geometry.h"

namespace ModMain {

void AddBlock(rt::Integer Row, rt::Integer Col, int32_t Texture) {
    // All four corner values first: an overflow then leaves no half-built block behind.
    const float a = rt::MulInt(kCellSize, Row);
    const float a5 = rt::MulInt(kCellSize, rt::AddInt(Row, 1));
    const float b = rt::MulInt(kCellSize, Col);
    const float b5 = rt::MulInt(kCellSize, rt::AddInt(Col, 1));
    constexpr float top = kCellSize;

    // Each face: top corner, other top corner, bottom corner below it; then back from that
    // bottom corner through the other bottom corner to the first top corner.
    auto face = [&](float x1, float z1, float x2, float z2) {
        ZemDx::AddTriangle(x1, top, z1, 0, 0, kWhite, x2, top, z2, 1, 0, kWhite, x2, 0, z2, 1, 1, kWhite, Texture);
        ZemDx::AddTriangle(x2, 0, z2, 1, 1, kWhite, x1, 0, z1, 0, 1, kWhite, x1, top, z1, 0, 0, kWhite, Texture);
    };
    face(a, b, a, b5);    // x = A
    face(a, b5, a5, b5);  // z = B + kCellSize
    face(a5, b, a, b);    // z = B
    face(a5, b5, a5, b);  // x = A + kCellSize
}

}  // namespace ModMain
