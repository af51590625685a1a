// The camera matrices, the drawing of a frame and the vertex buffers of the world lists.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "engine/clsZemMesh.h"
#include "engine/zemdx.h"
#include "engine_test_util.h"
#include "platform/d3d8/present.h"
#include "platform/d3d8/testswitch.h"

using namespace enginetest;
using Calls = std::vector<std::vector<int64_t>>;

namespace {

class Frame : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(StartEngine(), rt::True); }

    // The game window's camera at the start of a run without a start cell.
    static ZemDx::CameraState StartCamera() {
        ZemDx::CameraState c;
        c.PosY = -2.0f;
        c.FOV = 1.04719f;
        return c;
    }

    static void AddTriangles(int n, int32_t texture) {
        for (int i = 0; i < n; ++i)
            ZemDx::AddTriangle(float(i), 0, 5, 0, 0, -1, float(i) + 1, 0, 5, 1, 0, -1, float(i), 1, 5, 0, 1, -1,
                               texture);
    }

    static int Presents() { return d3d8::LastPresentedFrame().count; }

    // `triangles` triangles and a `side` x `side` overlay in the top-left corner, all with wall
    // texture 1 (slot 0), their buffers built.
    static void TexturedWorldAndOverlay(int triangles, rt::Integer side) {
        ZemDx::AppPath = RepoAppPath();
        ASSERT_EQ(ZemDx::LoadTexture("Textures\\1.bmp", 0, rt::False), 0);
        AddTriangles(triangles, 0);
        ASSERT_EQ(ZemDx::RefreshBuffers(), rt::True);
        ASSERT_EQ(ZemDx::AddOverlay(0, 0, side, side, 0, 1, 0, 0, 0, 1, 1, 0, 1, -1), 0);
    }
};

}  // namespace

// ---- matrices ----------------------------------------------------------------------------------

TEST_F(Frame, StartCameraMatrices) {
    ASSERT_EQ(ZemDx::SetupMatrices(StartCamera()), rt::True);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            const float id = r == c ? 1.0f : 0.0f;
            EXPECT_NEAR(ZemDx::matWorld.m[r][c], id, 1e-6) << r << c;
            const float view = r == 3 && c == 1 ? -2.0f : id;
            EXPECT_NEAR(ZemDx::matView.m[r][c], view, 1e-6) << r << c;
        }
    EXPECT_NEAR(ZemDx::matProj.m[0][0], 2.30942, 1e-4);
    EXPECT_NEAR(ZemDx::matProj.m[1][1], 1.73207, 1e-4);
    EXPECT_NEAR(ZemDx::matProj.m[2][2], 1.00010, 1e-5);
    EXPECT_NEAR(ZemDx::matProj.m[3][2], -1.00010, 1e-5);
    EXPECT_EQ(ZemDx::matProj.m[2][3], 1.0f);
    EXPECT_EQ(ZemDx::matProj.m[3][3], 0.0f);
    // The horizontal field of view, narrower than the vertical one.
    EXPECT_NEAR(2 * std::atan(1 / ZemDx::matProj.m[0][0]), 0.8173, 1e-4);

    // The device holds the same matrices.
    D3DMATRIX m{};
    ZemDx::D3DDevice->GetTransform(D3DTS_VIEW, m);
    EXPECT_EQ(std::memcmp(&m, &ZemDx::matView, sizeof m), 0);
    ZemDx::D3DDevice->GetTransform(D3DTS_PROJECTION, m);
    EXPECT_EQ(std::memcmp(&m, &ZemDx::matProj, sizeof m), 0);
}

TEST_F(Frame, HeadingAndPitchTurnTheView) {
    // A quarter-turn heading looks along +x: a point ahead on +x lands in front of the eye.
    ZemDx::CameraState cam = StartCamera();
    cam.Heading = 1.5708f;
    ASSERT_EQ(ZemDx::SetupMatrices(cam), rt::True);
    const D3DMATRIX& v = ZemDx::matView;
    // The world point (10, 2, 0): view z = x*m02 + y*m12 + z*m22 + m32.
    const float vz = 10 * v.m[0][2] + 2 * v.m[1][2] + v.m[3][2];
    const float vx = 10 * v.m[0][0] + 2 * v.m[1][0] + v.m[3][0];
    EXPECT_NEAR(vz, 10.0f, 1e-3);
    EXPECT_NEAR(vx, 0.0f, 1e-3);
    // A positive pitch looks up: a point straight ahead drops below the view's centre.
    cam = StartCamera();
    cam.Pitch = 0.3f;
    ASSERT_EQ(ZemDx::SetupMatrices(cam), rt::True);
    const float vy = 2 * ZemDx::matView.m[1][1] + 10 * ZemDx::matView.m[2][1] + ZemDx::matView.m[3][1];
    EXPECT_LT(vy, 0.0f);
    // The world rotation is the yaw-pitch-roll matrix.
    cam.RotY = 0.5f;
    ASSERT_EQ(ZemDx::SetupMatrices(cam), rt::True);
    EXPECT_NEAR(ZemDx::matWorld.m[0][0], std::cos(0.5f), 1e-6);
}

TEST_F(Frame, FailedTransformEndsSetupAndAbandonsTheFrame) {
    d3d8test::FailCall("SetTransform", 2);  // the view
    EXPECT_EQ(ZemDx::SetupMatrices(StartCamera()), rt::False);
    EXPECT_NEAR(ZemDx::matView.m[3][1], -2.0f, 1e-6);  // computed before the failure

    AddTriangles(3, 0);
    ASSERT_EQ(ZemDx::RefreshBuffers(), rt::True);
    const int before = Presents();
    d3d8test::Reset();
    d3d8test::Record(true);
    d3d8test::FailCall("SetTransform", 1);
    EXPECT_EQ(ZemDx::Render(StartCamera(), rt::False, 255), rt::False);
    EXPECT_TRUE(CallsOf("DrawPrimitive").empty());
    EXPECT_TRUE(CallsOf("SetMaterial").empty());
    EXPECT_EQ(CallsOf("EndScene").size(), 1u);
    EXPECT_EQ(Presents(), before);
    EXPECT_FALSE(ZemDx::D3DDevice->InScene());
}

// ---- frames ------------------------------------------------------------------------------------

TEST_F(Frame, FrameCallsInOrder) {
    ASSERT_NO_FATAL_FAILURE(TexturedWorldAndOverlay(2, 8));
    ASSERT_EQ(ZemDx::AddText("FPS - 0", 0, 0, 15, 100, 0, "Verdana", 12, rt::True, -1), 0);
    const int before = Presents();
    d3d8test::Record(true);
    ASSERT_EQ(ZemDx::Render(StartCamera(), rt::False, 255), rt::True);
    std::vector<std::string> methods;
    for (const auto& c : d3d8test::Calls())
        if (c.Method != "GetViewport") methods.push_back(c.Method);
    const std::vector<std::string> expected = {
        "Clear", "BeginScene", "SetTransform", "SetTransform", "SetTransform", "SetMaterial",
        "SetTexture", "SetStreamSource", "DrawPrimitive", "SetTexture", "SetStreamSource", "DrawPrimitive",
        "SetVertexShader", "SetTexture", "DrawPrimitiveUP", "SetVertexShader", "DrawText", "EndScene",
        "Present"};
    EXPECT_EQ(methods, expected);
    EXPECT_EQ(CallsOf("Clear"), (Calls{{0, 2, 0xFF, 0}}));
    EXPECT_EQ(CallsOf("SetTransform"), (Calls{{256}, {2}, {3}}));
    EXPECT_EQ(CallsOf("SetStreamSource"), (Calls{{0, 24}, {0, 24}}));
    EXPECT_EQ(CallsOf("DrawPrimitive"), (Calls{{5, 0, 1}, {5, 0, 1}}));
    EXPECT_EQ(CallsOf("Present"), (Calls{{0}}));
    EXPECT_EQ(Presents(), before + 1);
    D3DMATERIAL8 m{};
    ZemDx::D3DDevice->GetMaterial(m);
    EXPECT_EQ(m.ambient.r, 1.0f);
    EXPECT_EQ(m.diffuse.r, 0.0f);
}

TEST_F(Frame, ClearTargetOnlyWhenExactlyTrue) {
    d3d8test::Record(true);
    ASSERT_EQ(ZemDx::Render(StartCamera(), rt::True, 0x00123456), rt::True);
    ASSERT_EQ(ZemDx::Render(StartCamera(), 1, 0x00123456), rt::True);
    EXPECT_EQ(CallsOf("Clear"), (Calls{{0, 3, 0x00123456, 0}, {0, 2, 0xFF, 0}}));
    // Cleared to the colour, and the depth buffer to the far end.
    const auto px = ZemDx::D3DDevice->GetBackBufferPixels();
    EXPECT_EQ(px[0] & 0x00FFFFFF, 0x00123456u);
    const auto depth = ZemDx::D3DDevice->GetDepthPixels();
    EXPECT_EQ(depth[0], 65535);
}

TEST_F(Frame, EmptyWorldStillDrawsTextsAndPresents) {
    ASSERT_EQ(ZemDx::AddText("FPS - 0", 0, 0, 15, 100, 0, "Verdana", 12, rt::True, -1), 0);
    const int before = Presents();
    ASSERT_EQ(ZemDx::Render(StartCamera(), rt::True, 0), rt::True);
    EXPECT_EQ(Presents(), before + 1);
    // Some white text in the label's rectangle on the black frame.
    const auto& frame = d3d8::LastPresentedFrame();
    int white = 0;
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 100; ++x)
            if ((frame.pixels[static_cast<size_t>(y) * frame.width + x] & 0xFFFFFF) == 0xFFFFFF) ++white;
    EXPECT_GT(white, 20);
}

TEST_F(Frame, FailedTextureInTheListAbandonsEveryFrame) {
    ZemDx::AppPath = RepoAppPath();
    ASSERT_EQ(ZemDx::LoadTexture("Textures\\1.bmp", 0, rt::False), 0);
    AddTriangles(2, 0);
    AddTriangles(1, -1);
    AddTriangles(1, 0);
    ASSERT_EQ(ZemDx::RefreshBuffers(), rt::True);
    const int before = Presents();
    d3d8test::Record(true);
    for (int frame = 0; frame < 2; ++frame) EXPECT_EQ(ZemDx::Render(StartCamera(), rt::False, 255), rt::False);
    // Each frame draws the two triangles before the bad one and stops there: its scene is
    // ended, nothing of it is presented.
    EXPECT_EQ(CallsOf("DrawPrimitive").size(), 4u);
    EXPECT_EQ(CallsOf("BeginScene").size(), 2u);
    EXPECT_EQ(CallsOf("EndScene").size(), 2u);
    EXPECT_TRUE(CallsOf("DrawPrimitiveUP").empty());
    EXPECT_EQ(Presents(), before);
}

// Render takes each triangle's texture from the list in every frame: a change made after the
// buffers were built counts from the next frame on.
TEST_F(Frame, ATextureChangedInTheListCountsFromTheNextFrame) {
    ZemDx::AppPath = RepoAppPath();
    ASSERT_EQ(ZemDx::LoadTexture("Textures\\1.bmp", 0, rt::False), 0);
    AddTriangles(3, 0);
    ASSERT_EQ(ZemDx::RefreshBuffers(), rt::True);
    EXPECT_EQ(ZemDx::Render(StartCamera(), rt::False, 255), rt::True);
    ZemDx::Triangles[1].Texture = -1;
    d3d8test::Record(true);
    EXPECT_EQ(ZemDx::Render(StartCamera(), rt::False, 255), rt::False);
    EXPECT_EQ(CallsOf("DrawPrimitive").size(), 1u);
    ZemDx::Triangles[1].Texture = 0;
    EXPECT_EQ(ZemDx::Render(StartCamera(), rt::False, 255), rt::True);
    EXPECT_EQ(CallsOf("DrawPrimitive").size(), 4u);
}

TEST_F(Frame, EmptyTextureSlotDrawsWithoutTexture) {
    AddTriangles(1, 1);  // slot 1 exists but holds no texture
    ASSERT_EQ(ZemDx::RefreshBuffers(), rt::True);
    d3d8test::Record(true);
    EXPECT_EQ(ZemDx::Render(StartCamera(), rt::False, 255), rt::True);
    EXPECT_EQ(CallsOf("SetTexture").front(), (std::vector<int64_t>{0, 0}));
}

TEST_F(Frame, OverlayWithFailedTextureAbandonsTheFrame) {
    ASSERT_EQ(ZemDx::AddOverlay(384, 224, 256, 256, -1, 1, 0, 0, 0, 1, 1, 0, 1, 0x00FFFFFF), 0);
    ASSERT_EQ(ZemDx::AddText("FPS - 0", 0, 0, 15, 100, 0, "Verdana", 12, rt::True, -1), 0);
    d3d8test::Record(true);
    EXPECT_EQ(ZemDx::Render(StartCamera(), rt::False, 255), rt::False);
    EXPECT_EQ(CallsOf("EndScene").size(), 1u);
    EXPECT_TRUE(CallsOf("Present").empty());
    // The overlays' format does not outlive the frame.
    EXPECT_EQ(ZemDx::D3DDevice->GetVertexShader(), 0x142);
}

TEST_F(Frame, AFailedFrameLeavesTheNextOneToDrawAsUsual) {
    ASSERT_NO_FATAL_FAILURE(TexturedWorldAndOverlay(3, 64));
    ASSERT_EQ(ZemDx::Render(StartCamera(), rt::True, 0x00102030), rt::True);
    const std::vector<uint32_t> good = d3d8::LastPresentedFrame().pixels;
    // A world draw, then the overlay's draw (with the overlays' format switched on), then the
    // end of the scene: each failing once, each frame after one drawn and shown in full.
    for (const char* call : {"DrawPrimitive", "DrawPrimitiveUP", "EndScene"}) {
        const int before = Presents();
        d3d8test::FailCall(call, 1);
        EXPECT_EQ(ZemDx::Render(StartCamera(), rt::True, 0x00102030), rt::False) << call;
        EXPECT_EQ(Presents(), before) << call;
        EXPECT_EQ(ZemDx::Render(StartCamera(), rt::True, 0x00102030), rt::True) << call;
        EXPECT_EQ(Presents(), before + 1) << call;
        EXPECT_EQ(d3d8::LastPresentedFrame().pixels, good) << call;
    }
}

TEST_F(Frame, WireframeDrawsLineStrips) {
    AddTriangles(2, 1);
    ASSERT_EQ(ZemDx::RefreshBuffers(), rt::True);
    ZemDx::Wireframe = 1;  // any value but 0
    d3d8test::Record(true);
    EXPECT_EQ(ZemDx::Render(StartCamera(), rt::False, 255), rt::True);
    EXPECT_EQ(CallsOf("DrawPrimitive"), (Calls{{3, 0, 1}, {3, 0, 1}}));
}

TEST_F(Frame, VisibilityTestSkipsOnlyWhollyOutsideTriangles) {
    // Ahead of the eye, far to the left of the view (all three points left), and straddling.
    ZemDx::AddTriangle(-1, 1, 10, 0, 0, -1, 1, 1, 10, 0, 0, -1, 0, 3, 10, 0, 0, -1, 1);
    ZemDx::AddTriangle(-90, 1, 10, 0, 0, -1, -80, 1, 10, 0, 0, -1, -85, 3, 10, 0, 0, -1, 1);
    ZemDx::AddTriangle(-90, 1, 10, 0, 0, -1, 90, 1, 10, 0, 0, -1, 0, 3, 10, 0, 0, -1, 1);
    ASSERT_EQ(ZemDx::RefreshBuffers(), rt::True);
    d3d8test::Record(true);
    ZemDx::VisibilityTest = 1;
    EXPECT_EQ(ZemDx::Render(StartCamera(), rt::False, 255), rt::True);
    EXPECT_EQ(CallsOf("DrawPrimitive").size(), 2u);
    EXPECT_EQ(CallsOf("GetViewport").size(), 9u);
    // Any other value than 1: no test, everything drawn.
    d3d8test::ClearCalls();
    ZemDx::VisibilityTest = -1;
    EXPECT_EQ(ZemDx::Render(StartCamera(), rt::False, 255), rt::True);
    EXPECT_EQ(CallsOf("DrawPrimitive").size(), 3u);
    EXPECT_TRUE(CallsOf("GetViewport").empty());
}

TEST_F(Frame, QuadsAndTerrainPasses) {
    ZemDx::Quad q;
    for (int k = 0; k < 4; ++k) q.V[k] = ZemDx::Vertex{float(k & 1), float(k >> 1), 5, -1, 0, 0};
    q.Texture = 1;
    ZemDx::Quads.assign(2, q);
    ZemDx::QuadCount = 2;
    ZemDx::QuadBuffers.resize(2);
    ZemDx::QuadsDirty = rt::True;
    ZemDx::Terrain.Vertices.assign(6, ZemDx::Vertex{0, 0, 5, -1, 0, 0});
    ZemDx::Terrain.Texture = 1;
    ZemDx::TerrainLoaded = rt::True;
    d3d8test::Record(true);
    ASSERT_EQ(ZemDx::RefreshBuffers(), rt::True);
    EXPECT_EQ(CallsOf("CreateVertexBuffer"), (Calls{{96, 0, 0x142, 0}, {96, 0, 0x142, 0}, {144, 0, 0x142, 0}}));
    EXPECT_EQ(ZemDx::QuadsDirty, rt::False);
    EXPECT_EQ(ZemDx::TerrainLoaded, rt::True);  // the terrain is rebuilt on every call
    ASSERT_TRUE(ZemDx::Terrain.Buffer);
    EXPECT_EQ(ZemDx::Terrain.Buffer->Length(), 144);

    d3d8test::ClearCalls();
    EXPECT_EQ(ZemDx::Render(StartCamera(), rt::False, 255), rt::True);
    // Quads first, then the terrain strip with its last index minus one primitives.
    EXPECT_EQ(CallsOf("DrawPrimitive"), (Calls{{5, 0, 2}, {5, 0, 2}, {5, 0, 4}}));
    // Only the value True (-1) loads the terrain.
    ZemDx::TerrainLoaded = 1;
    d3d8test::ClearCalls();
    EXPECT_EQ(ZemDx::Render(StartCamera(), rt::False, 255), rt::True);
    EXPECT_EQ(CallsOf("DrawPrimitive").size(), 2u);
    // A quad that lies wholly below the view is skipped under the visibility test.
    for (auto& v : ZemDx::Quads[1].V) v.Y = -500;
    ZemDx::VisibilityTest = 1;
    d3d8test::ClearCalls();
    EXPECT_EQ(ZemDx::Render(StartCamera(), rt::False, 255), rt::True);
    EXPECT_EQ(CallsOf("DrawPrimitive").size(), 1u);
}

TEST_F(Frame, TerrainFlagWithoutVerticesFailsInsteadOfReadingNothing) {
    ZemDx::TerrainLoaded = rt::True;
    EXPECT_EQ(ZemDx::RefreshBuffers(), rt::False);
    EXPECT_FALSE(ZemDx::Terrain.Buffer);
    EXPECT_EQ(ZemDx::Render(StartCamera(), rt::False, 255), rt::False);
}

TEST_F(Frame, MeshCountWithoutMeshesAbandonsTheFrame) {
    ZemDx::MeshCount = 1;
    EXPECT_EQ(ZemDx::Render(StartCamera(), rt::False, 255), rt::False);
    ZemDx::Meshes.push_back(nullptr);
    EXPECT_EQ(ZemDx::Render(StartCamera(), rt::False, 255), rt::False);
}

TEST_F(Frame, QuadOrTriangleCountWithoutItsListAbandonsTheFrame) {
    // A count that says there are primitives while the list has none: the pass has no last
    // index to run to, and the frame stops there instead of being shown without them.
    ZemDx::QuadCount = 1;
    d3d8test::Record(true);
    EXPECT_EQ(ZemDx::Render(StartCamera(), rt::False, 255), rt::False);
    EXPECT_TRUE(CallsOf("Present").empty());
    ZemDx::QuadCount = 0;
    ZemDx::TriangleCount = 2;
    EXPECT_EQ(ZemDx::Render(StartCamera(), rt::False, 255), rt::False);
    EXPECT_TRUE(CallsOf("Present").empty());
}

TEST_F(Frame, MeshPassDrawsAfterTheWorldAndHonoursTheBoxVerdict) {
    AddTriangles(1, 1);
    ASSERT_EQ(ZemDx::RefreshBuffers(), rt::True);
    // Two meshes never loaded: each sets its placement and the identity, and draws nothing.
    auto ahead = std::make_shared<clsZemMesh>();
    ahead->PosZ(10.0f);
    ahead->PosY(2.0f);
    ahead->SetBBox(1, 1, 1);
    auto behind = std::make_shared<clsZemMesh>();
    behind->PosX(-500.0f);
    behind->PosY(2.0f);
    behind->PosZ(10.0f);
    behind->SetBBox(1, 1, 1);
    ZemDx::Meshes = {ahead, behind};
    ZemDx::MeshCount = 2;
    d3d8test::Record(true);
    EXPECT_EQ(ZemDx::Render(StartCamera(), rt::False, 255), rt::True);
    EXPECT_EQ(CallsOf("SetTransform"), (Calls{{256}, {2}, {3}, {256}, {256}, {256}, {256}}));
    // With the tests on, the mesh wholly left of the view is skipped.
    d3d8test::ClearCalls();
    ZemDx::VisibilityTest = 1;
    EXPECT_EQ(ZemDx::Render(StartCamera(), rt::False, 255), rt::True);
    EXPECT_EQ(CallsOf("SetTransform"), (Calls{{256}, {2}, {3}, {256}, {256}}));
    // The count, not the list, says whether the pass runs.
    d3d8test::ClearCalls();
    ZemDx::MeshCount = 0;
    EXPECT_EQ(ZemDx::Render(StartCamera(), rt::False, 255), rt::True);
    EXPECT_EQ(CallsOf("SetTransform").size(), 3u);
}

TEST(FrameWithoutDevice, RenderFailsQuietly) {
    rt::headless::Use();
    EXPECT_EQ(ZemDx::Render(ZemDx::CameraState{}, rt::True, 0), rt::False);
    EXPECT_EQ(ZemDx::SetupMatrices(ZemDx::CameraState{}), rt::False);
}

// ---- vertex buffers ----------------------------------------------------------------------------

TEST_F(Frame, BufferHoldsTheVertexBytes) {
    const int32_t c1 = static_cast<int32_t>(0x80FF0102), c2 = 7, c3 = 9;
    ZemDx::AddTriangle(1, 2, 3, 0.25f, 0.75f, c1, 4, 5, 6, 0, 1, c2, 7, 8, 9, 1, 0, c3, 4);
    ASSERT_EQ(ZemDx::RefreshBuffers(), rt::True);
    const auto& buffer = ZemDx::TriangleBuffers[0];
    ASSERT_TRUE(buffer);
    EXPECT_EQ(buffer->Length(), 72);
    EXPECT_EQ(buffer->FVF(), 0x142);
    EXPECT_EQ(buffer->Pool(), D3DPOOL_DEFAULT);
    float f[6];
    std::memcpy(f, buffer->Data(), 24);
    int32_t color = 0;
    std::memcpy(&color, buffer->Data() + 12, 4);
    EXPECT_EQ(f[0], 1.0f);
    EXPECT_EQ(f[1], 2.0f);
    EXPECT_EQ(f[2], 3.0f);
    EXPECT_EQ(color, c1);
    EXPECT_EQ(f[4], 0.25f);
    EXPECT_EQ(f[5], 0.75f);
    EXPECT_EQ(std::memcmp(buffer->Data(), ZemDx::Triangles[0].V, 72), 0);
}

TEST_F(Frame, RefreshWithNothingToDoMakesNothing) {
    d3d8test::Record(true);
    EXPECT_EQ(ZemDx::RefreshBuffers(), rt::True);
    AddTriangles(2, 0);
    EXPECT_EQ(ZemDx::RefreshBuffers(), rt::True);
    EXPECT_EQ(ZemDx::RefreshBuffers(), rt::True);
    EXPECT_EQ(CallsOf("CreateVertexBuffer").size(), 2u);
    // A dirty flag with a count of 0 stays as it is.
    ZemDx::QuadsDirty = rt::True;
    EXPECT_EQ(ZemDx::RefreshBuffers(), rt::True);
    EXPECT_EQ(ZemDx::QuadsDirty, rt::True);
}

TEST_F(Frame, AddingAfterRefreshRebuildsAll) {
    AddTriangles(3, 0);
    ASSERT_EQ(ZemDx::RefreshBuffers(), rt::True);
    std::weak_ptr<Direct3DVertexBuffer8> old = ZemDx::TriangleBuffers[0];
    AddTriangles(1, 0);
    EXPECT_TRUE(old.expired());
    EXPECT_EQ(ZemDx::TrianglesDirty, rt::True);
    d3d8test::Record(true);
    ASSERT_EQ(ZemDx::RefreshBuffers(), rt::True);
    EXPECT_EQ(CallsOf("CreateVertexBuffer").size(), 4u);
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(ZemDx::TriangleBuffers[i]) << i;
    EXPECT_EQ(ZemDx::TrianglesDirty, rt::False);
}

TEST_F(Frame, BufferFailureAtTriangleFiveOfTen) {
    AddTriangles(10, 0);
    d3d8test::FailCall("CreateVertexBuffer", 6);
    EXPECT_EQ(ZemDx::RefreshBuffers(), rt::False);
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(ZemDx::TriangleBuffers[i]) << i;
    for (int i = 5; i < 10; ++i) EXPECT_FALSE(ZemDx::TriangleBuffers[i]) << i;
    EXPECT_EQ(ZemDx::TrianglesDirty, rt::True);
    // A frame now stops at the first triangle without a buffer.
    d3d8test::Record(true);
    EXPECT_EQ(ZemDx::Render(StartCamera(), rt::False, 255), rt::False);
    EXPECT_EQ(CallsOf("DrawPrimitive").size(), 6u);  // the sixth, with no buffer, is refused
    EXPECT_TRUE(CallsOf("Present").empty());
    // The next build makes all ten, and the next frame draws them.
    EXPECT_EQ(ZemDx::RefreshBuffers(), rt::True);
    EXPECT_EQ(ZemDx::TrianglesDirty, rt::False);
    EXPECT_EQ(ZemDx::Render(StartCamera(), rt::False, 255), rt::True);
}

TEST_F(Frame, QuadPassFinishedBeforeATriangleFailureStaysClean) {
    ZemDx::Quads.assign(1, ZemDx::Quad{});
    ZemDx::QuadCount = 1;
    ZemDx::QuadBuffers.resize(1);
    ZemDx::QuadsDirty = rt::True;
    AddTriangles(2, 0);
    d3d8test::FailCall("CreateVertexBuffer", 2);
    EXPECT_EQ(ZemDx::RefreshBuffers(), rt::False);
    EXPECT_EQ(ZemDx::QuadsDirty, rt::False);
    EXPECT_EQ(ZemDx::TrianglesDirty, rt::True);
}

TEST(BuffersWithoutDevice, RefreshFails) {
    ZemDx::AddTriangle(0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0);
    EXPECT_EQ(ZemDx::RefreshBuffers(), rt::False);
    EXPECT_EQ(ZemDx::TrianglesDirty, rt::True);
}
