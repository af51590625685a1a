#include "engine/geometry.h"

#include <sys/resource.h>

#include <chrono>
#include <climits>
#include <cstring>
#include <gtest/gtest.h>

#include "tests/unit/runtime/bounded_process.h"
#include "tests/unit/runtime/error_of.h"

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

TEST(ReserveTriangles, TheTrianglesToComeFillTheRoomWithoutMovingTheLists) {
    AddPlain(0);
    ReserveTriangles(1000);
    EXPECT_EQ(Triangles.capacity(), 1001u);
    EXPECT_EQ(TriangleBuffers.capacity(), 1001u);
    const Triangle* first = Triangles.data();
    for (int i = 1; i <= 1000; ++i) AddPlain(i);
    EXPECT_EQ(Triangles.data(), first);
    EXPECT_EQ(Triangles.capacity(), 1001u);
    EXPECT_EQ(TriangleBuffers.capacity(), 1001u);
    EXPECT_EQ(Triangles[1000].Texture, 1000);
    // Beyond the room the lists grow as before, one entry per triangle.
    AddPlain(1001);
    EXPECT_EQ(TriangleCount, 1002);
    EXPECT_EQ(Triangles.size(), 1002u);
    EXPECT_EQ(TriangleBuffers.size(), 1002u);
    // Room that is there already is kept; a count beyond 32 bits is refused.
    const size_t room = Triangles.capacity();
    ReserveTriangles(0);
    EXPECT_EQ(Triangles.capacity(), room);
    EXPECT_EQ(rttest::ErrorOf([] { ReserveTriangles(INT32_MAX); }), rt::ErrOverflow);
    EXPECT_EQ(Triangles.capacity(), room);
}

TEST(ReserveTriangles, RunningOutOfMemoryRaisesItAndLeavesTheListsAsTheyWere) {
#ifdef QV_TEST_UNDER_ASAN
    GTEST_SKIP() << "under AddressSanitizer a failed allocation ends the process";
#endif
    // 256 MB of data for the process: room for 100 million triangles (7.6 GB) cannot be had,
    // nor the list grown one triangle at a time past 2 million.
    auto run = [] {
        const rlimit limit{rlim_t{256} << 20, RLIM_INFINITY};
        if (::setrlimit(RLIMIT_DATA, &limit) != 0) std::_Exit(5);
        AddPlain(0);
        if (rttest::ErrorOf([] { ReserveTriangles(100000000); }) != rt::ErrOutOfMemory) std::_Exit(3);
        if (TriangleCount != 1 || Triangles.size() != 1 || TriangleBuffers.size() != 1) std::_Exit(4);
        int error = 0;
        while (error == 0) error = rttest::ErrorOf([] { AddPlain(7); });
        if (error != rt::ErrOutOfMemory) std::_Exit(6);
        const size_t n = static_cast<size_t>(TriangleCount);
        if (n < 1000000 || Triangles.size() != n || TriangleBuffers.size() != n) std::_Exit(7);
        std::_Exit(0);
    };
    EXPECT_EXIT(run(), testing::ExitedWithCode(0), "");
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
