// The module variables of ZemDx (the world lists are in geometry.cpp). Each starts at zero,
// False, "" or no object; the tables have no slots until InitEngine makes them.
#include "engine/zemdx.h"

namespace ZemDx {

rt::Byte ZEnable = 0;
rt::Long ScreenWidth = 0;
rt::Long ScreenHeight = 0;
rt::Boolean CullBackFaces = rt::False;
rt::Long AmbientColor = 0;
rt::Long VisibilityTest = 0;
D3DMATERIAL8 Material{};
rt::Boolean Wireframe = rt::False;

DirectX8Ptr DX;
Direct3D8Ptr D3D;
Direct3DDevice8Ptr D3DDevice;
D3DX8Ptr D3DX;

CameraState Camera;
D3DMATRIX matView{}, matRotY{}, matRotX{}, matRot{}, matTrans{}, matWorld{}, matProj{};

std::vector<clsZemMeshPtr> Meshes;
rt::Long MeshCount = 0;

std::vector<Direct3DTexture8Ptr> Textures;
std::vector<TextureFile> TextureNames;
rt::Long TextureCount = 0;

std::vector<Overlay> Overlays;
std::vector<rt::Boolean> OverlayUsed;
rt::Long OverlayCount = 0;

std::vector<TextLabel> Texts;
rt::Long TextCount = 0;
IFontPtr TextIFont;
StdFontPtr TextStdFont;

rt::Boolean LogoDone = rt::False;
std::string AppPath;

}  // namespace ZemDx
