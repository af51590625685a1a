// The one instance of ZemDx's module state, and the module variables as names for its members.
#include "engine/state.h"

namespace ZemDx {

namespace {
// Destroyed at exit like any static, also when Xlib ends the program from its I/O error
// handler; the d3d8 statics its device and buffers use on the way (the list of devices, the
// buffers' blocks) are never destroyed, so the order against this file's does not matter.
ModuleState g_state;
}  // namespace

ModuleState& State() { return g_state; }

rt::Byte& ZEnable = g_state.ZEnable;
rt::Long& ScreenWidth = g_state.ScreenWidth;
rt::Long& ScreenHeight = g_state.ScreenHeight;
rt::Boolean& CullBackFaces = g_state.CullBackFaces;
rt::Long& AmbientColor = g_state.AmbientColor;
rt::Long& VisibilityTest = g_state.VisibilityTest;
D3DMATERIAL8& Material = g_state.Material;
rt::Boolean& Wireframe = g_state.Wireframe;

DirectX8Ptr& DX = g_state.DX;
Direct3D8Ptr& D3D = g_state.D3D;
Direct3DDevice8Ptr& D3DDevice = g_state.D3DDevice;
D3DX8Ptr& D3DX = g_state.D3DX;

CameraState& Camera = g_state.Camera;
D3DMATRIX& matView = g_state.matView;
D3DMATRIX& matRotY = g_state.matRotY;
D3DMATRIX& matRotX = g_state.matRotX;
D3DMATRIX& matRot = g_state.matRot;
D3DMATRIX& matTrans = g_state.matTrans;
D3DMATRIX& matWorld = g_state.matWorld;
D3DMATRIX& matProj = g_state.matProj;

std::vector<clsZemMeshPtr>& Meshes = g_state.Meshes;
rt::Long& MeshCount = g_state.MeshCount;

std::vector<Direct3DTexture8Ptr>& Textures = g_state.Textures;
std::vector<TextureFile>& TextureNames = g_state.TextureNames;
rt::Long& TextureCount = g_state.TextureCount;
TextureLoadFailure& LastTextureFailure = g_state.LastTextureFailure;

std::vector<Overlay>& Overlays = g_state.Overlays;
std::vector<rt::Boolean>& OverlayUsed = g_state.OverlayUsed;
rt::Long& OverlayCount = g_state.OverlayCount;

std::vector<TextLabel>& Texts = g_state.Texts;
rt::Long& TextCount = g_state.TextCount;
IFontPtr& TextIFont = g_state.TextIFont;
StdFontPtr& TextStdFont = g_state.TextStdFont;

std::vector<Triangle>& Triangles = g_state.Triangles;
rt::Long& TriangleCount = g_state.TriangleCount;
BufferList& TriangleBuffers = g_state.TriangleBuffers;
rt::Boolean& TrianglesDirty = g_state.TrianglesDirty;
std::vector<Quad>& Quads = g_state.Quads;
rt::Long& QuadCount = g_state.QuadCount;
BufferList& QuadBuffers = g_state.QuadBuffers;
rt::Boolean& QuadsDirty = g_state.QuadsDirty;
TerrainData& Terrain = g_state.Terrain;
rt::Boolean& TerrainLoaded = g_state.TerrainLoaded;

rt::Boolean& LogoDone = g_state.LogoDone;
std::string& AppPath = g_state.AppPath;

}  // namespace ZemDx
