#include "engine/geometry.h"

#include <chrono>
#include <cstring>
#include <gtest/gtest.h>

using namespace ZemDx;

namespace {
// A stand-in buffer object; the list only holds references to buffers.
std::shared_ptr<Direct3DVertexBuffer8> SomeBuffer() {
    static int dummy;
    return std::shared_ptr<Direct3DVertexBuffer8>(reinterpret_cast<Direct3DVertexBuffer8*>(&dummy),
                                                  [](Direct3DVertexBuffer8*) {});
}

void AddPlain(int32_t texture) {
    AddTriangle(0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, texture);
}
}  // namespace

TEST(AddTriangle, StoresColourBeforeTextureCoordinates) {
    const int32_t c1 = static_cast<int32_t>(0x80FF0000u), c2 = 0x0000FF00, c3 = 0x000000FF;
    AddTriangle(1, 2, 3, 0.25f, 0.75f, c1, 4, 5, 6, 0, 1, c2, 7, 8, 9, 1, 0, c3, 4);
    ASSERT_EQ(TriangleCount, 1);
    ASSERT_EQ(Triangles.size(), 1u);
    const Triangle& t = Triangles[0];
    EXPECT_EQ(t.Texture, 4);
    EXPECT_EQ(t.V[1].Color, c2);
    EXPECT_EQ(t.V[2].X, 7);
    EXPECT_EQ(t.V[2].TU, 1);
    // The 24 bytes of vertex 0 as a buffer receives them: 1, 2, 3, c1, 0.25, 0.75.
    unsigned char bytes[72];
    std::memcpy(bytes, &t.V[0], sizeof bytes);
    float f[6];
    int32_t color;
    std::memcpy(f, bytes, 12);
    std::memcpy(&color, bytes + 12, 4);
    std::memcpy(f + 3, bytes + 16, 8);
    EXPECT_EQ(f[0], 1);
    EXPECT_EQ(f[1], 2);
    EXPECT_EQ(f[2], 3);
    EXPECT_EQ(color, c1);
    EXPECT_EQ(f[3], 0.25f);
    EXPECT_EQ(f[4], 0.75f);
    std::memcpy(f, bytes + 48, 12);  // vertex 2 follows without a gap
    EXPECT_EQ(f[0], 7);
}

TEST(AddTriangle, StartsEmptyAndReleasesEveryBuffer) {
    EXPECT_EQ(TriangleCount, 0);
    EXPECT_EQ(TrianglesDirty, rt::False);
    EXPECT_TRUE(TriangleBuffers.empty());
    EXPECT_EQ(QuadCount, 0);
    EXPECT_EQ(TerrainLoaded, rt::False);

    for (int i = 0; i < 10; ++i) AddPlain(i);
    // Buffers built for every triangle, as a rebuild does.
    auto buffer = SomeBuffer();
    for (size_t i = 0; i < TriangleBuffers.size(); ++i) TriangleBuffers[i] = buffer;
    TrianglesDirty = rt::False;
    EXPECT_EQ(buffer.use_count(), 11);

    AddPlain(10);
    EXPECT_EQ(TriangleCount, 11);
    ASSERT_EQ(TriangleBuffers.size(), 11u);
    for (const auto& b : TriangleBuffers) EXPECT_EQ(b, nullptr);
    EXPECT_EQ(buffer.use_count(), 1);
    EXPECT_EQ(TrianglesDirty, rt::True);
    EXPECT_EQ(Triangles[3].Texture, 3);  // older triangles kept in order
    EXPECT_EQ(Triangles[10].Texture, 10);
}

TEST(AddTriangle, ReleasesABufferWrittenThroughIterationOrAPartialBuild) {
    for (int i = 0; i < 5; ++i) AddPlain(i);
    auto buffer = SomeBuffer();
    for (auto& b : TriangleBuffers) b = buffer;  // a loop over the list
    AddPlain(5);
    EXPECT_EQ(buffer.use_count(), 1);
    // A build that stopped at triangle 2 of 6, the dirty flag still set.
    TriangleBuffers[0] = buffer;
    TriangleBuffers[1] = buffer;
    AddPlain(6);
    EXPECT_EQ(buffer.use_count(), 1);
    for (const auto& b : TriangleBuffers) EXPECT_EQ(b, nullptr);
}

TEST(AddTriangle, AMillionTrianglesInWellUnderASecond) {
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 1000000; ++i) AddPlain(1);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(TriangleCount, 1000000);
    EXPECT_EQ(TriangleBuffers.size(), 1000000u);
    // Generous for sanitizer builds; the plain build takes a few milliseconds.
    EXPECT_LT(seconds, 5.0);
}

TEST(AddTriangle, ShutdownEmptiesTheBuffersButKeepsTheRecords) {
    AddPlain(1);
    TriangleBuffers.clear();
    EXPECT_TRUE(TriangleBuffers.empty());
    EXPECT_EQ(Triangles.size(), 1u);
    AddPlain(2);  // the list grows back to the count
    EXPECT_EQ(TriangleBuffers.size(), 2u);
}

TEST(ColorValue, ComponentsOver255NotClamped) {
    D3DCOLORVALUE c = ColorValue(255, 255, 255);
    EXPECT_EQ(c.r, 1.0f);
    EXPECT_EQ(c.g, 1.0f);
    EXPECT_EQ(c.b, 1.0f);
    EXPECT_EQ(c.a, 1.0f);
    c = ColorValue(0, 510, -255);
    EXPECT_EQ(c.r, 0.0f);
    EXPECT_EQ(c.g, 2.0f);
    EXPECT_EQ(c.b, -1.0f);
    EXPECT_EQ(c.a, 1.0f);
    EXPECT_EQ(ColorValue(128, 0, 0).r, static_cast<float>(128 / 255.0));
}
