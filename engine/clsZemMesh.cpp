#include "engine/clsZemMesh.h"

#include <cstdint>

#include "engine/checked.h"
#include "engine/zemdx.h"
#include "platform/d3dx8/math.h"
#include "platform/runtime/errors.h"

namespace {

// Colour key of mesh textures.
constexpr rt::Long kMeshTextureKey = static_cast<rt::Long>(0xFCFFFFFFu);

}  // namespace

rt::Integer clsZemMesh::LoadMeshFromFile(const std::string& File) {
    D3DX8& d3dx = ZemDx::detail::UtilityObject();
    D3DXBufferPtr adjacency, materials;
    int32_t count = 0;
    D3DXMeshPtr loaded = d3dx.LoadMeshFromX(ZemDx::AppPath + "Data\\" + File, D3DXMESH_MANAGED, ZemDx::D3DDevice,
                                            adjacency, materials, count);
    Mesh = std::move(loaded);
    MaterialCount = count;

    Materials.assign(static_cast<size_t>(count > 0 ? count : 0), D3DMATERIAL8{});
    MeshTextures.assign(Materials.size(), 0);
    Untextured.assign(Materials.size(), false);
    for (int32_t i = 0; i < count; ++i) {
        D3DMATERIAL8& m = Materials[static_cast<size_t>(i)];
        d3dx.BufferGetMaterial(materials, i, m);
        m.ambient = m.diffuse;
        const std::string name = d3dx.BufferGetTextureName(materials, i);
        if (!name.empty()) MeshTextures[static_cast<size_t>(i)] = ZemDx::LoadTexture(name, kMeshTextureKey, rt::False);
        else Untextured[static_cast<size_t>(i)] = true;
    }
    return 0;
}

void clsZemMesh::DrawMesh() {
    D3DMATRIX rotation, translation, world;
    D3DXMatrixRotationYawPitchRoll(rotation, SpinY_, SpinX_, SpinZ_);
    D3DXMatrixTranslation(translation, PosX_, PosY_, PosZ_);
    D3DXMatrixMultiply(world, rotation, translation);
    Direct3DDevice8& dev = ZemDx::detail::Device();
    dev.SetTransform(D3DTS_WORLD, world);

    // The materials are counted with a 16-bit index: 32768 or more of them overflow, the last
    // index before the first pass or the step past 32767 after it.
    rt::ForInteger(0, MaterialCount - 1, [&](rt::Integer i) {
        dev.SetMaterial(ZemDx::detail::Item(Materials, i));
        // A material that names no texture is drawn with none, not with whatever texture
        // happens to sit in the table's first slot.
        if (Untextured[static_cast<size_t>(i)]) dev.SetTexture(0, nullptr);
        else dev.SetTexture(0, ZemDx::detail::Item(ZemDx::Textures, ZemDx::detail::Item(MeshTextures, i)));
        if (!Mesh) rt::Raise(rt::ErrObjectNotSet);
        Mesh->DrawSubset(i);
    });

    D3DMATRIX identity;
    D3DXMatrixIdentity(identity);
    dev.SetTransform(D3DTS_WORLD, identity);
}
