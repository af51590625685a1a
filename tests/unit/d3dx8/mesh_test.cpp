// .x meshes: geometry as written, frame hierarchies, materials and texture names, adjacency,
// DrawSubset's device calls, and damaged files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/testswitch.h"
#include "platform/d3dx8/d3dx8.h"
#include "platform/d3dx8/mesh_reader.h"
#include "platform/d3dx8/file_read.h"
#include "platform/runtime/errors.h"
#include "tests/unit/d3dx8/d3dx8_testing.h"
#include "tests/unit/runtime/bounded_process.h"
#include "tests/unit/runtime/program_style.h"
#include "tests/unit/runtime/tempdir.h"

namespace fs = std::filesystem;
using d3dx8detail::MeshData;

namespace {

std::string MeshPath(const std::string& name) {
    return std::string(QV_SOURCE_DIR) + "/tests/data/meshes/" + name;
}

std::string ReadText(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
}

bool Parse(const std::string& text, MeshData& out, std::string& why) {
    return d3dx8detail::ReadXFile(reinterpret_cast<const uint8_t*>(text.data()), text.size(), out, why);
}

MeshData ParseOk(const std::string& text) {
    MeshData m;
    std::string why;
    EXPECT_TRUE(Parse(text, m, why)) << why;
    return m;
}

// The corner positions of triangle f, as (x, y, z) triples.
std::vector<std::array<float, 3>> Corners(const MeshData& m, size_t f) {
    std::vector<std::array<float, 3>> c;
    for (int k = 0; k < 3; ++k) {
        const D3DXMeshVertex& v = m.Vertices[m.Indices[f * 3 + k]];
        c.push_back({v.x, v.y, v.z});
    }
    return c;
}

const char* kHeader = "xof 0303txt 0032\n";

class D3DXMeshTest : public ::testing::Test {
protected:
    void SetUp() override {
        d3d8test::Reset();
        device_ = d3dx8testing::MakeDevice(32, 32, false);
    }
    void TearDown() override { d3d8test::Reset(); }

    D3DXMeshPtr Load(const std::string& path) {
        return d3dx_.LoadMeshFromX(path, D3DXMESH_MANAGED, device_, adjacency_, materials_, count_);
    }
    int ErrorOf(const std::string& path) {
        return d3dx8testing::ErrorOf([&] { Load(path); });
    }

    Direct3DDevice8Ptr device_;
    D3DX8 d3dx_;
    D3DXBufferPtr adjacency_, materials_;
    int32_t count_ = -1;
};

}  // namespace

TEST_F(D3DXMeshTest, GeometryKeepsTheFilesPositionsTextureCoordinatesAndWinding) {
    const auto mesh = Load(MeshPath("two_materials.x"));
    ASSERT_TRUE(mesh);
    ASSERT_EQ(mesh->GetNumFaces(), 4);
    EXPECT_EQ(mesh->GetFVF(), 0x112);
    // The first face is 0,1,2 of the file: (-2,-1,0) (-2,1,0) (0,1,0), in that order.
    const auto& v = mesh->Vertices();
    const auto& ix = mesh->Indices();
    const D3DXMeshVertex& a = v[ix[0]];
    const D3DXMeshVertex& b = v[ix[1]];
    const D3DXMeshVertex& c = v[ix[2]];
    EXPECT_FLOAT_EQ(a.x, -2);
    EXPECT_FLOAT_EQ(a.y, -1);
    EXPECT_FLOAT_EQ(b.y, 1);
    EXPECT_FLOAT_EQ(c.x, 0);
    EXPECT_FLOAT_EQ(c.y, 1);
    EXPECT_FLOAT_EQ(a.z, 0);
    EXPECT_FLOAT_EQ(a.tu, 0);
    EXPECT_FLOAT_EQ(a.tv, 1);
    EXPECT_FLOAT_EQ(c.tu, 1);
    EXPECT_FLOAT_EQ(c.tv, 0);
    EXPECT_FLOAT_EQ(a.nz, -1);
    // Shared corners are one vertex: two quads of four corners each.
    EXPECT_EQ(mesh->GetNumVertices(), 8);
    const std::vector<int32_t> attributes = {0, 0, 1, 1};
    EXPECT_EQ(mesh->Attributes(), attributes);
}

TEST_F(D3DXMeshTest, MaterialsInFileOrderWithTheirColoursAndTextureNames) {
    Load(MeshPath("two_materials.x"));
    ASSERT_EQ(count_, 2);
    D3DMATERIAL8 m{};
    d3dx_.BufferGetMaterial(materials_, 0, m);
    EXPECT_FLOAT_EQ(m.diffuse.r, 1.0f);
    EXPECT_FLOAT_EQ(m.diffuse.g, 0.2f);
    EXPECT_FLOAT_EQ(m.diffuse.a, 1.0f);
    EXPECT_FLOAT_EQ(m.power, 12.5f);
    EXPECT_FLOAT_EQ(m.specular.r, 0.5f);
    EXPECT_FLOAT_EQ(m.specular.b, 0.3f);
    EXPECT_FLOAT_EQ(m.emissive.r, 0.1f);
    EXPECT_FLOAT_EQ(m.emissive.g, 0.05f);
    EXPECT_FLOAT_EQ(m.ambient.r, 0.0f);  // .x materials have no ambient colour
    EXPECT_EQ(d3dx_.BufferGetTextureName(materials_, 0), "Textures\\left.bmp");
    d3dx_.BufferGetMaterial(materials_, 1, m);
    EXPECT_FLOAT_EQ(m.diffuse.b, 1.0f);
    EXPECT_FLOAT_EQ(m.diffuse.a, 0.75f);
    EXPECT_FLOAT_EQ(m.power, 4.0f);
    EXPECT_FLOAT_EQ(m.emissive.b, 0.25f);
    EXPECT_EQ(d3dx_.BufferGetTextureName(materials_, 1), "right.png");
    EXPECT_THROW(d3dx_.BufferGetMaterial(materials_, 2, m), rt::RuntimeError);
    EXPECT_THROW(d3dx_.BufferGetTextureName(materials_, -1), rt::RuntimeError);
    EXPECT_THROW(d3dx_.BufferGetTextureName(nullptr, 0), rt::RuntimeError);
}

TEST_F(D3DXMeshTest, FrameHierarchyTransformsAndReferencedMaterials) {
    const auto mesh = Load(MeshPath("hierarchy.x"));
    ASSERT_EQ(mesh->GetNumFaces(), 2);
    ASSERT_EQ(count_, 2);
    D3DMATERIAL8 m{};
    d3dx_.BufferGetMaterial(materials_, 1, m);
    EXPECT_FLOAT_EQ(m.diffuse.g, 1.0f);  // the child mesh's {Green}
    EXPECT_EQ(d3dx_.BufferGetTextureName(materials_, 0), "");
    // Root triangle moved 5 along z; the child's turned a quarter about y, moved 3 along x,
    // then 5 along z by its parent.
    MeshData data = ParseOk(ReadText(MeshPath("hierarchy.x")));
    ASSERT_EQ(data.Attributes.size(), 2u);
    EXPECT_EQ(data.Attributes[0], 0);
    EXPECT_EQ(data.Attributes[1], 1);
    const auto root = Corners(data, 0);
    EXPECT_EQ(root[0], (std::array<float, 3>{0, 0, 6}));
    EXPECT_EQ(root[2], (std::array<float, 3>{1, 0, 6}));
    const auto child = Corners(data, 1);
    EXPECT_EQ(child[0], (std::array<float, 3>{3, 0, 4}));
    EXPECT_EQ(child[1], (std::array<float, 3>{3, 1, 5}));
    EXPECT_EQ(child[2], (std::array<float, 3>{5, 0, 5}));
}

TEST(D3DXMeshReader, NormalsTurnWithTheirFrame) {
    const std::string x = std::string(kHeader) +
                          "Frame F { FrameTransformMatrix { 0,0,-1,0, 0,1,0,0, 1,0,0,0, 0,0,0,1;; }\n"
                          "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;\n"
                          "MeshNormals { 1; 1;0;0;; 1; 3;0,0,0;; } } }";
    const MeshData m = ParseOk(x);
    ASSERT_EQ(m.Vertices.size(), 3u);
    EXPECT_NEAR(m.Vertices[0].nx, 0, 1e-6);
    EXPECT_NEAR(m.Vertices[0].nz, -1, 1e-6);
}

TEST(D3DXMeshReader, PolygonsBecomeFansAndMeshesWithoutMaterialsShareAttributeZero) {
    const std::string x = std::string(kHeader) +
                          "Mesh Quad { 4; 0;0;0;, 0;1;0;, 1;1;0;, 1;0;0;; 1; 4;0,1,2,3;; }";
    const MeshData m = ParseOk(x);
    ASSERT_EQ(m.Attributes.size(), 2u);
    EXPECT_TRUE(m.Materials.empty());
    const std::vector<uint32_t> want = {0, 1, 2, 0, 2, 3};
    EXPECT_EQ(m.Indices, want);
    EXPECT_EQ(m.Attributes[0], 0);
    EXPECT_EQ(m.Attributes[1], 0);
}

TEST(D3DXMeshReader, AMeshWithoutMaterialsBesideOneWithThemGetsAWhiteOne) {
    const std::string x = std::string(kHeader) +
                          "Mesh A { 3; 0;0;0;, 0;1;0;, 1;1;0;; 1; 3;0,1,2;;\n"
                          "  MeshMaterialList { 1; 1; 0;; Material { 1;0;0;1;; 0; 0;0;0;; 0;0;0;; } } }\n"
                          "Mesh B { 3; 0;0;1;, 0;1;1;, 1;1;1;; 1; 3;0,1,2;; }";
    const MeshData m = ParseOk(x);
    ASSERT_EQ(m.Materials.size(), 2u);
    EXPECT_EQ(m.Attributes[1], 1);
    EXPECT_FLOAT_EQ(m.Materials[1].MatD3D.diffuse.g, 1.0f);
}

TEST(D3DXMeshReader, ShortMaterialIndexListsRepeatTheLastIndex) {
    const std::string x = std::string(kHeader) +
                          "Mesh { 4; 0;0;0;, 0;1;0;, 1;1;0;, 1;0;0;; 2; 3;0,1,2;, 3;0,2,3;;\n"
                          "  MeshMaterialList { 2; 1; 1;;\n"
                          "    Material { 1;0;0;1;; 0; 0;0;0;; 0;0;0;; }\n"
                          "    Material { 0;1;0;1;; 0; 0;0;0;; 0;0;0;; } } }";
    const MeshData m = ParseOk(x);
    EXPECT_EQ(m.Attributes, (std::vector<int32_t>{1, 1}));
}

TEST(D3DXMeshReader, TheAssimpPathAgreesWithTheTextReader) {
    // Assimp turns .x data right-handed; with the conversion back, it must give the file's
    // positions, texture coordinates and winding, like our own reader.
    const std::string text = ReadText(MeshPath("two_materials.x"));
    MeshData ours, theirs;
    std::string why;
    ASSERT_TRUE(d3dx8detail::ReadXText(reinterpret_cast<const uint8_t*>(text.data()), text.size(), ours, why)) << why;
    ASSERT_TRUE(d3dx8detail::ReadXWithAssimp(reinterpret_cast<const uint8_t*>(text.data()), text.size(), theirs, why)) << why;
    ASSERT_EQ(ours.Attributes.size(), theirs.Attributes.size());
    for (size_t f = 0; f < ours.Attributes.size(); ++f) {
        EXPECT_EQ(ours.Attributes[f], theirs.Attributes[f]);
        for (int k = 0; k < 3; ++k) {
            const D3DXMeshVertex& a = ours.Vertices[ours.Indices[f * 3 + k]];
            const D3DXMeshVertex& b = theirs.Vertices[theirs.Indices[f * 3 + k]];
            EXPECT_FLOAT_EQ(a.x, b.x);
            EXPECT_FLOAT_EQ(a.y, b.y);
            EXPECT_FLOAT_EQ(a.z + 0.0f, b.z + 0.0f);
            EXPECT_FLOAT_EQ(a.tu, b.tu);
            EXPECT_FLOAT_EQ(a.tv, b.tv);
            EXPECT_FLOAT_EQ(a.nz, b.nz);
        }
    }
    ASSERT_EQ(theirs.Materials.size(), 2u);
    EXPECT_EQ(theirs.Materials[0].TextureFilename, "Textures\\left.bmp");
    EXPECT_FLOAT_EQ(theirs.Materials[1].MatD3D.diffuse.a, 0.75f);
}

TEST_F(D3DXMeshTest, AdjacencyPairsTrianglesThatShareAnEdgeByPosition) {
    Load(MeshPath("two_materials.x"));
    ASSERT_TRUE(adjacency_);
    const auto& adj = adjacency_->Adjacency;
    ASSERT_EQ(adj.size(), 12u);
    // Face 0 (0,1,2) and face 1 (0,2,3) share 2-0; face 1 and face 2 share the middle edge
    // although the two quads have their own vertices there.
    EXPECT_EQ(adj[0 * 3 + 2], 1);
    EXPECT_EQ(adj[1 * 3 + 0], 0);
    EXPECT_EQ(adj[1 * 3 + 1], 2);  // edge 2-3 of face 1 is edge 4-5 of face 2
    EXPECT_EQ(adj[2 * 3 + 0], 1);
    EXPECT_EQ(adj[0 * 3 + 0], -1);
}

TEST_F(D3DXMeshTest, DrawSubsetDrawsOneIndexedListPerMaterial) {
    const auto mesh = Load(MeshPath("two_materials.x"));
    device_->BeginScene();
    d3d8test::Record(true);
    mesh->DrawSubset(1);
    mesh->DrawSubset(7);  // no such material: nothing
    d3d8test::Record(false);
    device_->EndScene();
    EXPECT_EQ(d3d8test::CallCount("DrawIndexedPrimitive"), 1);
    bool shader = false;
    for (const auto& c : d3d8test::Calls()) {
        if (c.Method == "SetVertexShader") shader = !c.Args.empty() && c.Args[0] == 0x112;
        if (c.Method == "DrawIndexedPrimitive") {
            ASSERT_EQ(c.Args.size(), 5u);
            EXPECT_EQ(c.Args[0], D3DPT_TRIANGLELIST);
            EXPECT_EQ(c.Args[3], 6);  // subset 1 starts at the third triangle
            EXPECT_EQ(c.Args[4], 2);
        }
    }
    EXPECT_TRUE(shader);
}

TEST_F(D3DXMeshTest, FailuresRaiseAndLeaveTheOutputsAlone) {
    EXPECT_EQ(ErrorOf(MeshPath("no_such_mesh.x")), rt::ErrFileNotFound);
    EXPECT_EQ(count_, -1);
    EXPECT_FALSE(materials_);
    const TempDir dir;
    auto write = [&](const std::string& name, const std::string& text) { return dir.Write(name, text); };
    const std::string good = ReadText(MeshPath("two_materials.x"));
    EXPECT_EQ(ErrorOf(write("cut.x", good.substr(0, good.size() / 2))), D3DXERR_INVALIDDATA);
    // The error's name as its text; the file as the system names it, and why, in the detail.
    const std::string cut = write("cut.x", good.substr(0, good.size() / 2));
    const rt::RuntimeError invalid = d3dx8testing::RaisedBy([&] { Load(rttest::ProgramStyle(cut)); });
    EXPECT_EQ(invalid.Text(), "D3DXERR_INVALIDDATA");
    EXPECT_EQ(invalid.Detail().rfind(cut + ": ", 0), 0u) << invalid.Detail();
    EXPECT_EQ(ErrorOf(write("picture.x", "\x89PNG\r\n\x1a\n not a mesh")), D3DXERR_INVALIDDATA);
    EXPECT_EQ(ErrorOf(write("empty.x", "")), D3DXERR_INVALIDDATA);
    EXPECT_EQ(ErrorOf(write("nomesh.x", std::string(kHeader) + "Material M { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; }")),
              D3DXERR_INVALIDDATA);
    EXPECT_EQ(ErrorOf(write("badindex.x", std::string(kHeader) + "Mesh { 3; 0;0;0;, 0;1;0;, 1;1;0;; 1; 3;0,1,3;; }")),
              D3DXERR_INVALIDDATA);
    EXPECT_EQ(ErrorOf(write("badmat.x", std::string(kHeader) +
                                            "Mesh { 3; 0;0;0;, 0;1;0;, 1;1;0;; 1; 3;0,1,2;;\n"
                                            "MeshMaterialList { 1; 1; 1;; Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; } } }")),
              D3DXERR_INVALIDDATA);
    EXPECT_EQ(ErrorOf(write("unknownref.x", std::string(kHeader) +
                                                "Mesh { 3; 0;0;0;, 0;1;0;, 1;1;0;; 1; 3;0,1,2;;\n"
                                                "MeshMaterialList { 1; 1; 0;; { Nowhere } } }")),
              D3DXERR_INVALIDDATA);
    EXPECT_EQ(ErrorOf(write("hugecount.x", std::string(kHeader) + "Mesh { 4000000000; 0;0;0;; 0; }")),
              D3DXERR_INVALIDDATA);
    EXPECT_EQ(ErrorOf(write("bignumber.x", std::string(kHeader) + "Mesh { 3; 1e999;0;0;, 0;1;0;, 1;1;0;; 1; 3;0,1,2;; }")),
              D3DXERR_INVALIDDATA);
    std::string deep = kHeader;
    for (int i = 0; i < 1000; ++i) deep += "Frame {";
    EXPECT_EQ(ErrorOf(write("deep.x", deep)), D3DXERR_INVALIDDATA);
    EXPECT_EQ(count_, -1);
    EXPECT_FALSE(materials_);
    EXPECT_THROW(d3dx_.LoadMeshFromX(MeshPath("two_materials.x"), 0, nullptr, adjacency_, materials_, count_),
                 rt::RuntimeError);
    d3d8test::FailCall("LoadMeshFromX");
    EXPECT_EQ(ErrorOf(MeshPath("two_materials.x")), D3DERR_INVALIDCALL);
    EXPECT_EQ(count_, -1);
}

// An object names its mesh; a name that leads to a device, a FIFO or a huge file fails at once
// instead of blocking or reading without end.
TEST_F(D3DXMeshTest, DevicesFifosAndOversizedFilesAreRefused) {
    BoundThisTestProcess();
    const TempDir scratch;
    const fs::path dir = scratch.Path();
    ASSERT_EQ(::mkfifo((dir / "pipe.x").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", dir / "zero.x");
    EXPECT_EQ(ErrorOf((dir / "pipe.x").string()), rt::ErrFileNotFound);
    EXPECT_EQ(ErrorOf((dir / "zero.x").string()), rt::ErrFileNotFound);
    EXPECT_EQ(ErrorOf("\\dev\\zero"), rt::ErrFileNotFound);
    std::ofstream(dir / "big.x") << kHeader;
    fs::resize_file(dir / "big.x", d3dx8detail::MaxMeshFileBytes + 1);  // sparse
    EXPECT_EQ(ErrorOf((dir / "big.x").string()), rt::ErrOutOfMemory);
    EXPECT_EQ(count_, -1);
    EXPECT_FALSE(materials_);
}

TEST_F(D3DXMeshTest, BinaryFilesGoThroughAssimpAndKeepTheirValues) {
    // triangle_bin.x: one triangle (0,0,2) (0,1,2) (1,0,2) with texture coordinates (0,1) (0,0)
    // (1,1) and one material, "orange.bmp".
    const auto mesh = Load(MeshPath("triangle_bin.x"));
    ASSERT_EQ(mesh->GetNumFaces(), 1);
    ASSERT_EQ(count_, 1);
    const auto& v = mesh->Vertices();
    const auto& ix = mesh->Indices();
    const float want[3][5] = {{0, 0, 2, 0, 1}, {0, 1, 2, 0, 0}, {1, 0, 2, 1, 1}};
    for (int k = 0; k < 3; ++k) {
        const D3DXMeshVertex& p = v[ix[k]];
        EXPECT_FLOAT_EQ(p.x, want[k][0]) << k;
        EXPECT_FLOAT_EQ(p.y, want[k][1]) << k;
        EXPECT_FLOAT_EQ(p.z, want[k][2]) << k;
        EXPECT_FLOAT_EQ(p.tu, want[k][3]) << k;
        EXPECT_FLOAT_EQ(p.tv, want[k][4]) << k;
    }
    D3DMATERIAL8 m{};
    d3dx_.BufferGetMaterial(materials_, 0, m);
    EXPECT_FLOAT_EQ(m.diffuse.g, 0.5f);
    EXPECT_FLOAT_EQ(m.power, 8.0f);
    EXPECT_EQ(d3dx_.BufferGetTextureName(materials_, 0), "orange.bmp");
}
