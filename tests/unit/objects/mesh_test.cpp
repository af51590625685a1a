// The mesh class: materials and textures of a load, failed loads, the device calls of DrawMesh
// and the placement it draws at, and the mesh pass of the engine's frame.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "engine/clsZemAniMesh.h"
#include "objects_fixture.h"
#include "platform/d3d8/testswitch.h"
#include "platform/d3dx8/math.h"

using objtest::ArgsOf;
using objtest::ErrorOf;
using Inspector = clsZemMeshInspector;

namespace {

constexpr float kPi = 3.14159265f;

class Mesh : public objtest::EngineTest {
protected:
    rt::Long SlotOf(const std::string& name) {
        for (size_t i = 0; i < ZemDx::TextureNames.size(); ++i)
            if (ZemDx::Textures[i] && ZemDx::TextureNames[i].FileName == name) return static_cast<rt::Long>(i);
        return -1;
    }
    D3DMATRIX WorldTransform() {
        D3DMATRIX m;
        ZemDx::D3DDevice->GetTransform(D3DTS_WORLD, m);
        return m;
    }
    std::vector<std::string> DrawCalls() {
        std::vector<std::string> out;
        for (const auto& c : d3d8test::Calls())
            if (c.Method == "SetTransform" || c.Method == "SetMaterial" || c.Method == "SetTexture" ||
                c.Method == "DrawIndexedPrimitive")
                out.push_back(c.Method);
        return out;
    }
};

bool IsIdentity(const D3DMATRIX& m) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (m.m[r][c] != (r == c ? 1.0f : 0.0f)) return false;
    return true;
}

// The point (x, y, z) through `m` as a row vector.
D3DVECTOR Apply(const D3DMATRIX& m, float x, float y, float z) {
    return {x * m.m[0][0] + y * m.m[1][0] + z * m.m[2][0] + m.m[3][0],
            x * m.m[0][1] + y * m.m[1][1] + z * m.m[2][1] + m.m[3][1],
            x * m.m[0][2] + y * m.m[1][2] + z * m.m[2][2] + m.m[3][2]};
}

void ExpectPoint(const D3DVECTOR& p, float x, float y, float z) {
    EXPECT_NEAR(p.x, x, 1e-5f);
    EXPECT_NEAR(p.y, y, 1e-5f);
    EXPECT_NEAR(p.z, z, 1e-5f);
}

bool SameColour(const D3DCOLORVALUE& a, const D3DCOLORVALUE& b) {
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

}  // namespace

TEST_F(Mesh, LoadGivesEachMaterialItsColourAndTexture) {
    clsZemMesh m;
    d3d8test::Record(true);
    EXPECT_EQ(m.LoadMeshFromFile("meshes\\objects_panel.x"), 0);
    ASSERT_TRUE(m.Mesh);
    EXPECT_EQ(m.Mesh->GetNumFaces(), 6);
    ASSERT_EQ(Inspector::MaterialCount(m), 3);
    const auto& mats = Inspector::Materials(m);
    ASSERT_EQ(mats.size(), 3u);
    for (const D3DMATERIAL8& mat : mats) EXPECT_TRUE(SameColour(mat.ambient, mat.diffuse));
    EXPECT_FLOAT_EQ(mats[2].diffuse.r, 0.2f);
    EXPECT_FLOAT_EQ(mats[2].diffuse.g, 0.8f);
    EXPECT_FLOAT_EQ(mats[0].power, 8.0f);

    // Textures by their names below Data, through the cache, with the mesh colour key; the
    // material without a texture name keeps entry 0 and loads nothing.
    const auto& tex = Inspector::MeshTextures(m);
    ASSERT_EQ(tex.size(), 3u);
    EXPECT_EQ(tex[0], SlotOf("meshes\\objects_red.bmp"));
    EXPECT_EQ(tex[1], SlotOf("meshes\\objects_blue.bmp"));
    EXPECT_GE(tex[1], 0);
    EXPECT_EQ(tex[2], 0);
    EXPECT_EQ(ArgsOf("CreateTextureFromFileEx", 8),
              (std::vector<int64_t>{static_cast<int32_t>(0xFCFFFFFFu), static_cast<int32_t>(0xFCFFFFFFu)}));
}

TEST_F(Mesh, SharedMissingAndKeyedTextures) {
    clsZemMesh m;
    m.LoadMeshFromFile("meshes\\objects_shared_missing.x");
    const auto& tex = Inspector::MeshTextures(m);
    ASSERT_EQ(tex.size(), 4u);
    EXPECT_GE(tex[0], 0);
    EXPECT_EQ(tex[1], -1);  // no such file: no error
    EXPECT_EQ(tex[2], tex[0]);
    ASSERT_GE(tex[3], 0);
    // Only the pixel of exactly 0xFCFFFFFF turns transparent.
    const auto& px = ZemDx::Textures[static_cast<size_t>(tex[3])]->Levels.at(0).Pixels;
    EXPECT_EQ(px.at(0), 0u);
    EXPECT_EQ(px.at(1), 0xFFFFFFFFu);
    EXPECT_EQ(px.at(3), 0xFDFFFFFFu);
}

TEST_F(Mesh, ABinaryFileLoadsLikeItsTextForm) {
    clsZemMesh binary, text;
    ASSERT_EQ(binary.LoadMeshFromFile("meshes\\objects_binary.x"), 0);
    ASSERT_EQ(text.LoadMeshFromFile("meshes\\objects_binary_as_text.x"), 0);
    ASSERT_EQ(Inspector::MaterialCount(binary), 1);
    EXPECT_EQ(0, std::memcmp(&Inspector::Materials(binary)[0], &Inspector::Materials(text)[0], sizeof(D3DMATERIAL8)));
    EXPECT_FLOAT_EQ(Inspector::Materials(binary)[0].ambient.g, 0.5f);
    EXPECT_EQ(Inspector::MeshTextures(binary), std::vector<rt::Long>{0});
    ASSERT_EQ(binary.Mesh->GetNumFaces(), 2);
    ASSERT_EQ(binary.Mesh->GetNumVertices(), text.Mesh->GetNumVertices());
    EXPECT_EQ(binary.Mesh->Indices(), text.Mesh->Indices());
    for (int i = 0; i < binary.Mesh->GetNumVertices(); ++i) {
        const D3DXMeshVertex &b = binary.Mesh->Vertices()[static_cast<size_t>(i)], &t = text.Mesh->Vertices()[static_cast<size_t>(i)];
        ExpectPoint({b.x, b.y, b.z}, t.x, t.y, t.z);
        EXPECT_FLOAT_EQ(b.z, 2.0f);  // moved by its frame
    }
}

TEST_F(Mesh, AFailedLoadReplacesNothing) {
    clsZemMesh m;
    m.LoadMeshFromFile("meshes\\objects_panel.x");
    const D3DXMeshPtr before = m.Mesh;
    const std::vector<rt::Long> textures = Inspector::MeshTextures(m);

    EXPECT_EQ(ErrorOf([&] { m.LoadMeshFromFile("meshes\\objects_absent.x"); }), rt::ErrFileNotFound);
    const std::string damaged = WriteDataFile("damaged.x", "xof 0303txt 0032\nMesh { 3; 0;0;0;, 1;0;");
    EXPECT_EQ(ErrorOf([&] { m.LoadMeshFromFile(damaged); }), D3DXERR_INVALIDDATA);
    EXPECT_EQ(m.Mesh, before);
    EXPECT_EQ(Inspector::MaterialCount(m), 3);
    EXPECT_EQ(Inspector::MeshTextures(m), textures);

    // Without a device the loader has nothing to make the mesh for.
    ZemDx::D3DDevice = nullptr;
    EXPECT_EQ(ErrorOf([&] { m.LoadMeshFromFile("meshes\\objects_panel.x"); }), rt::ErrObjectNotSet);
}

TEST_F(Mesh, DrawSetsMaterialTextureAndSubsetInOrderAndEndsAtIdentity) {
    clsZemMesh m;
    m.LoadMeshFromFile("meshes\\objects_panel.x");
    m.PosZ(10.0f);
    ZemDx::D3DDevice->BeginScene();
    d3d8test::Record(true);
    m.DrawMesh();

    const std::vector<std::string> expected = {
        "SetTransform", "SetMaterial", "SetTexture", "DrawIndexedPrimitive", "SetMaterial", "SetTexture",
        "DrawIndexedPrimitive", "SetMaterial", "SetTexture", "DrawIndexedPrimitive", "SetTransform"};
    EXPECT_EQ(DrawCalls(), expected);
    EXPECT_EQ(ArgsOf("SetTransform", 0), (std::vector<int64_t>{D3DTS_WORLD, D3DTS_WORLD}));
    // Stage 0; the untextured material is drawn with no texture.
    EXPECT_EQ(ArgsOf("SetTexture", 0), (std::vector<int64_t>{0, 0, 0}));
    EXPECT_EQ(ArgsOf("SetTexture", 1), (std::vector<int64_t>{1, 1, 0}));
    // Subsets 0, 1, 2: two triangles each, one after the other in the index buffer.
    EXPECT_EQ(ArgsOf("DrawIndexedPrimitive", 3), (std::vector<int64_t>{0, 6, 12}));
    EXPECT_EQ(ArgsOf("DrawIndexedPrimitive", 4), (std::vector<int64_t>{2, 2, 2}));

    EXPECT_TRUE(IsIdentity(WorldTransform()));
    // Material and texture stay those of the last subset.
    D3DMATERIAL8 last;
    ZemDx::D3DDevice->GetMaterial(last);
    EXPECT_EQ(0, std::memcmp(&last, &Inspector::Materials(m)[2], sizeof last));
    EXPECT_EQ(ZemDx::D3DDevice->GetTexture(0), nullptr);
}

TEST_F(Mesh, DrawWithoutALoadOnlySetsTheWorldTwice) {
    clsZemMesh m;
    m.PosX(4.0f);
    ZemDx::D3DDevice->BeginScene();
    d3d8test::Record(true);
    m.DrawMesh();
    EXPECT_EQ(DrawCalls(), (std::vector<std::string>{"SetTransform", "SetTransform"}));
    EXPECT_TRUE(IsIdentity(WorldTransform()));
}

TEST_F(Mesh, AMissingTextureStopsTheDrawAtItsMaterialAtThePlacement) {
    // A quarter turn of yaw about the mesh's own origin, then the move to x = 10.
    clsZemMesh m;
    m.LoadMeshFromFile("meshes\\objects_shared_missing.x");
    m.SpinY(kPi / 2);
    m.PosX(10.0f);
    ZemDx::D3DDevice->BeginScene();
    d3d8test::Record(true);
    EXPECT_EQ(ErrorOf([&] { m.DrawMesh(); }), rt::ErrSubscript);
    EXPECT_EQ(d3d8test::CallCount("DrawIndexedPrimitive"), 1);
    const D3DMATRIX world = WorldTransform();
    ExpectPoint(Apply(world, 0, 0, 0), 10, 0, 0);
    ExpectPoint(Apply(world, 1, 0, 0), 10, 0, -1);
    ExpectPoint(Apply(world, 0, 0, 1), 11, 0, 0);
    ExpectPoint(Apply(world, 0, 1, 0), 10, 1, 0);

    // Pitch is SpinX and roll is SpinZ; roll applies first, then pitch, then yaw, then the move.
    clsZemMesh p;
    p.LoadMeshFromFile("meshes\\objects_shared_missing.x");
    p.SpinX(kPi / 2);
    p.SpinZ(kPi);
    p.PosY(-3.0f);
    EXPECT_EQ(ErrorOf([&] { p.DrawMesh(); }), rt::ErrSubscript);
    const D3DMATRIX w2 = WorldTransform();
    // The half roll takes (x, y, z) to (-x, -y, z), the quarter pitch that to (-x, -z, -y).
    ExpectPoint(Apply(w2, 1, 0, 0), -1, -3, 0);
    ExpectPoint(Apply(w2, 0, 1, 0), 0, -3, -1);
    ExpectPoint(Apply(w2, 0, 0, 1), 0, -4, 0);
}

TEST_F(Mesh, DrawFailuresOfTheDeviceAndTheMesh) {
    clsZemMesh m;
    m.LoadMeshFromFile("meshes\\objects_panel.x");
    m.PosX(2.0f);
    ZemDx::D3DDevice->BeginScene();
    // The second material fails: one subset is drawn and the world stays at the placement.
    d3d8test::Record(true);
    d3d8test::FailCall("SetMaterial", 2);
    EXPECT_EQ(ErrorOf([&] { m.DrawMesh(); }), D3DERR_INVALIDCALL);
    EXPECT_EQ(d3d8test::CallCount("DrawIndexedPrimitive"), 1);
    ExpectPoint(Apply(WorldTransform(), 0, 0, 0), 2, 0, 0);
    d3d8test::Reset();

    // A caller that drops the mesh but keeps the materials.
    m.Mesh = nullptr;
    EXPECT_EQ(ErrorOf([&] { m.DrawMesh(); }), rt::ErrObjectNotSet);
    ZemDx::D3DDevice = nullptr;
    clsZemMesh empty;
    EXPECT_EQ(ErrorOf([&] { empty.DrawMesh(); }), rt::ErrObjectNotSet);

    clsZemAniMesh animated;
    (void)animated;
    static_assert(std::is_empty_v<clsZemAniMesh>);
}
