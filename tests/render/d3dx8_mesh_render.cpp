// A mesh read from a .x file, drawn subset by subset the way the engine draws meshes (each
// material set with its ambient equal to its diffuse colour, its texture loaded with the
// engine's colour key), compared with a reference image. Lit by the white ambient light alone,
// each texel is multiplied by the material's emissive + diffuse colour. The left quad is the
// red-tinted checker with a white corner marking the texture's top-left (white x (1.1, 0.25,
// 0.2) = FF4033); the right quad is the blue-tinted striped texture, opaque although its
// material's alpha is 0.75, since stage 0 takes alpha from the texture.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/d3d8/d3d8.h"
#include "platform/d3dx8/d3dx8.h"
#include "d3dx8_refimage.h"
#include "tests/unit/d3dx8/d3dx8_testing.h"

namespace {

constexpr int kW = 160, kH = 120;

D3DMATRIX Identity() {
    D3DMATRIX m{};
    for (int i = 0; i < 4; ++i) m.m[i][i] = 1;
    return m;
}

}  // namespace

TEST(D3DX8MeshRender, TwoMaterialsWithTheirTextures) {
    auto dev = d3dx8testing::MakeDevice(kW, kH, true);

    const std::string dir = std::string(QV_SOURCE_DIR) + "/tests/data/meshes/";
    D3DX8 d3dx;
    D3DXBufferPtr adjacency, materials;
    int32_t count = 0;
    const auto mesh = d3dx.LoadMeshFromX(dir + "two_materials.x", D3DXMESH_MANAGED, dev, adjacency, materials, count);
    ASSERT_EQ(count, 2);
    std::vector<D3DMATERIAL8> mats(2);
    std::vector<Direct3DTexture8Ptr> textures(2);
    for (int i = 0; i < count; ++i) {
        d3dx.BufferGetMaterial(materials, i, mats[i]);
        mats[i].ambient = mats[i].diffuse;
        const std::string name = d3dx.BufferGetTextureName(materials, i);
        textures[i] = d3dx.CreateTextureFromFileEx(dev, dir + name, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                                   D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_FILTER_LINEAR,
                                                   D3DX_FILTER_LINEAR, static_cast<int32_t>(0xFCFFFFFFu),
                                                   nullptr, nullptr);
    }

    // Eye at z = -5 looking along +z; 60 degree vertical field of view.
    D3DMATRIX view = Identity();
    view.m[3][2] = 5;
    const float ys = 1.0f / std::tan(3.14159265f / 6), xs = ys * 3 / 4, zn = 1, zf = 100;
    D3DMATRIX proj{};
    proj.m[0][0] = xs;
    proj.m[1][1] = ys;
    proj.m[2][2] = zf / (zf - zn);
    proj.m[2][3] = 1;
    proj.m[3][2] = -zn * zf / (zf - zn);

    dev->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    dev->SetRenderState(D3DRS_LIGHTING, 1);
    dev->SetRenderState(D3DRS_AMBIENT, static_cast<int32_t>(0xFFFFFFFFu));
    dev->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    dev->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    dev->SetTransform(D3DTS_WORLD, Identity());
    dev->SetTransform(D3DTS_VIEW, view);
    dev->SetTransform(D3DTS_PROJECTION, proj);
    dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, static_cast<int32_t>(0xFF303030u), 1.0f, 0);
    dev->BeginScene();
    for (int i = 0; i < count; ++i) {
        dev->SetMaterial(mats[i]);
        dev->SetTexture(0, textures[i]);
        mesh->DrawSubset(i);
    }
    dev->EndScene();

    d3dx8ref::ExpectMatchesReference("d3dx8_mesh", dev->GetBackBufferPixels(), kW, kH, 2, 0);
}
