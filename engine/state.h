// The module variables of ZemDx in one record, each with its value at program start: zero, False,
// "" or no object; the tables have no slots until InitEngine makes them. The names the program
// uses (ZemDx::D3DDevice, ZemDx::Triangles ...) refer to the members of one instance.
//
// Members are destroyed in the reverse of this order, so the device objects, declared first, are
// released last: what was made with the device (meshes, textures, fonts, vertex buffers) goes
// before it.
#pragma once
#include <string>
#include <vector>

#include "engine/zemdx.h"

namespace ZemDx {

struct ModuleState {
    // Device objects.
    DirectX8Ptr DX;
    Direct3D8Ptr D3D;
    Direct3DDevice8Ptr D3DDevice;
    D3DX8Ptr D3DX;

    // Display settings.
    rt::Byte ZEnable = 0;
    rt::Long ScreenWidth = 0;
    rt::Long ScreenHeight = 0;
    rt::Boolean CullBackFaces = rt::False;
    rt::Long AmbientColor = 0;
    rt::Long VisibilityTest = 0;
    D3DMATERIAL8 Material{};
    rt::Boolean Wireframe = rt::False;

    // Camera and matrices.
    CameraState Camera;
    D3DMATRIX matView{}, matRotY{}, matRotX{}, matRot{}, matTrans{}, matWorld{}, matProj{};

    // Meshes, textures, overlays, texts.
    std::vector<clsZemMeshPtr> Meshes;
    rt::Long MeshCount = 0;
    std::vector<Direct3DTexture8Ptr> Textures;
    std::vector<TextureFile> TextureNames;
    rt::Long TextureCount = 0;
    TextureLoadFailure LastTextureFailure;
    std::vector<Overlay> Overlays;
    std::vector<rt::Boolean> OverlayUsed;
    rt::Long OverlayCount = 0;
    std::vector<TextLabel> Texts;
    rt::Long TextCount = 0;
    IFontPtr TextIFont;
    StdFontPtr TextStdFont;

    // The world lists.
    std::vector<Triangle> Triangles;
    rt::Long TriangleCount = 0;
    BufferList TriangleBuffers;
    rt::Boolean TrianglesDirty = rt::False;
    std::vector<Quad> Quads;
    rt::Long QuadCount = 0;
    BufferList QuadBuffers;
    rt::Boolean QuadsDirty = rt::False;
    TerrainData Terrain;
    rt::Boolean TerrainLoaded = rt::False;

    // Start-up.
    rt::Boolean LogoDone = rt::False;
    std::string AppPath;
};

ModuleState& State();

}  // namespace ZemDx
