// The engine module ZemDx: the Direct3D device from start-up to shut-down, the display settings
// the application writes before the start, the camera and its matrices, the world lists (in
// geometry.h), the texture cache, the screen overlays and text labels, and the visibility tests.
//
// Every procedure that may fail traps its own run-time errors and reports the failure by its
// result (False or -1), as the callers expect; the drawing helpers that have no trap of their
// own (DrawOverlays, DrawTexts, the visibility tests) let errors through to Render.
//
// The module variables below name the members of one ModuleState (state.h).
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "engine/geometry.h"
#include "engine/mesh_fwd.h"
#include "platform/d3d8/d3d8.h"
#include "platform/d3dx8/d3dx8.h"
#include "platform/media/stdfont.h"
#include "platform/runtime/types.h"

namespace ZemDx {

// ---- records ---------------------------------------------------------------------------------

// The viewer. The eye position is held negated; Heading and Pitch in radians (Heading 0 looks
// along +z, growing toward +x; a positive Pitch looks up); FOV the vertical field of view;
// RotX/RotY/RotZ turn the whole world.
struct CameraState {
    float PosX = 0, PosY = 0, PosZ = 0;
    float Heading = 0, Pitch = 0, FOV = 0;
    float RotX = 0, RotY = 0, RotZ = 0;
};

// The name a texture slot was filled from (the cache key).
struct TextureFile {
    std::string FileName;
};

// Why a texture load failed: the name LoadTexture was given, and the run-time error it met
// (its number, text and detail). The detail names the file as a host path: the error's own
// detail when it has one, else the file's host path alone. Number 0: no failure.
struct TextureLoadFailure {
    std::string FileName;
    int32_t Number = 0;
    std::string Reason;
    std::string Detail;
};

// A pre-transformed vertex of a screen overlay (format 0x1C4, 32 bytes).
struct TLVertex {
    float X = 0, Y = 0, Z = 0, RHW = 0;
    int32_t Diffuse = 0, Specular = 0;
    float TU = 0, TV = 0;
};
static_assert(sizeof(TLVertex) == 32);
static_assert(offsetof(TLVertex, Diffuse) == 16 && offsetof(TLVertex, TU) == 24);

// One overlay slot: four vertices in strip order (top-right, top-left, bottom-right,
// bottom-left), drawn as one array of stride 32, and the texture index.
struct Overlay {
    TLVertex V[4];
    int32_t Texture = 0;
};
static_assert(offsetof(Overlay, V) == 0 && offsetof(Overlay, Texture) == 128);

// One text label slot; an empty Text marks a free slot.
struct TextLabel {
    std::string Text;
    RECT Rect;
    int32_t Color = 0;
    int32_t Format = 0;
    D3DXFontPtr Font;
};

// ---- constants of the engine ------------------------------------------------------------------

// Vertex format of the overlays: pre-transformed position, diffuse, specular, one texture pair.
constexpr int32_t D3DFVF_TLVERTEX = 0x1C4;

// Point codes of ProjectionVisibilityPoint.
constexpr int32_t VisInside = 1;
constexpr int32_t VisLeft = 3;
constexpr int32_t VisRight = 4;
constexpr int32_t VisAbove = 5;
constexpr int32_t VisBelowOrNear = 6;  // below the viewport, or nearer than MinZ
constexpr int32_t VisBeyond = 7;
// Verdicts of VerdictOfCodes (TriangleVisibility, QuadVisibility and the objects' box test).
constexpr int32_t VerdictPartly = 0;
constexpr int32_t VerdictInside = 1;
constexpr int32_t VerdictOutside = 2;

// ---- display settings (written by the caller before InitEngine) -------------------------------

extern rt::Byte& ZEnable;
extern rt::Long& ScreenWidth;
extern rt::Long& ScreenHeight;
extern rt::Boolean& CullBackFaces;   // True: clockwise faces are culled
extern rt::Long& AmbientColor;
extern rt::Long& VisibilityTest;     // 1: Render screens primitives with the visibility tests
extern D3DMATERIAL8& Material;       // set before each frame
extern rt::Boolean& Wireframe;       // not False: line strips instead of triangle strips

// ---- device objects ---------------------------------------------------------------------------

extern DirectX8Ptr& DX;
extern Direct3D8Ptr& D3D;
extern Direct3DDevice8Ptr& D3DDevice;
extern D3DX8Ptr& D3DX;

// ---- camera and matrices ----------------------------------------------------------------------

extern CameraState& Camera;
extern D3DMATRIX& matView, &matRotY, &matRotX, &matRot, &matTrans, &matWorld, &matProj;

// ---- meshes, textures, overlays, texts --------------------------------------------------------

extern std::vector<clsZemMeshPtr>& Meshes;
extern rt::Long& MeshCount;

extern std::vector<Direct3DTexture8Ptr>& Textures;
extern std::vector<TextureFile>& TextureNames;
extern rt::Long& TextureCount;
// The failure of the last LoadTexture call; cleared by a call that succeeds. LoadTexture only
// answers -1, so a caller that must say which file failed and why reads it here.
extern TextureLoadFailure& LastTextureFailure;

extern std::vector<Overlay>& Overlays;
extern std::vector<rt::Boolean>& OverlayUsed;
extern rt::Long& OverlayCount;

extern std::vector<TextLabel>& Texts;
extern rt::Long& TextCount;
extern IFontPtr& TextIFont;
extern StdFontPtr& TextStdFont;

// ---- start-up ---------------------------------------------------------------------------------

extern rt::Boolean& LogoDone;   // the splash window has had its second
extern std::string& AppPath;    // the program's folder, ending with "\"

// ---- procedures -------------------------------------------------------------------------------

// Device life cycle.
rt::Boolean InitEngine(const rt::Long& hWnd, const rt::Byte& Windowed, const rt::Byte& Lighting,
                       const rt::Boolean& AntiAlias, const rt::Boolean& ShowLogo);
void ShutdownEngine();
rt::Boolean CheckMultiSample(const rt::Byte& Adapter, const rt::Long& Format);

// Frame drawing.
rt::Boolean SetupMatrices(const CameraState& Cam);
rt::Boolean Render(const CameraState& Cam, const rt::Boolean& ClearTarget, const rt::Long& BackColor);

// Vertex buffers of the world lists.
rt::Boolean RefreshBuffers();

// Texture cache.
rt::Long LoadTexture(const std::string& FileName, const rt::Long& ColorKey, const rt::Boolean& ForceNew);

// Screen overlays.
rt::Long AddOverlay(const float& X, const float& Y, const rt::Integer& Width, const rt::Integer& Height,
                    const rt::Long& TexIndex, const float& TU0, const float& TV0, const float& TU1,
                    const float& TV1, const float& TU2, const float& TV2, const float& TU3,
                    const float& TV3, const rt::Long& Color);
void DrawOverlays();

// Screen text labels.
rt::Long AddText(const std::string& Text, const rt::Integer& Top, const rt::Integer& Left,
                 const rt::Integer& Bottom, const rt::Integer& Right, const rt::Long& Format,
                 const std::string& FontName, const rt::Integer& FontSize, const rt::Boolean& Bold,
                 const rt::Long& Color);
// UpdateText changes what its arguments name and keeps what they leave alone: a coordinate of
// KeepCoordinate, a format of KeepFormat, a colour of KeepColor, an empty text. A font name
// that is not empty replaces the label's font and nothing else.
constexpr rt::Integer KeepCoordinate = -1;
constexpr rt::Long KeepFormat = -12345;
constexpr rt::Long KeepColor = -1;
rt::Boolean UpdateText(const rt::Long& Index, const rt::Boolean& Bold, const std::string& Text,
                       const rt::Integer& Top, const rt::Integer& Left, const rt::Integer& Bottom,
                       const rt::Integer& Right, const rt::Long& Format, const std::string& FontName,
                       const rt::Integer& FontSize, const rt::Long& Color);
void DrawTexts();

// Visibility tests against the device's viewport, through the current matrices.
rt::Long ProjectionVisibilityPoint(const D3DVECTOR& V);
// The verdict over the point codes of a primitive's vertices or a box's corners: VerdictInside
// when all are inside, VerdictOutside when all lie outside on one and the same side, otherwise
// VerdictPartly (codes of different sides give "partly" even when nothing is visible).
rt::Long VerdictOfCodes(std::span<const rt::Long> codes);
rt::Long TriangleVisibility(const rt::Long& Index);
rt::Long QuadVisibility(const rt::Long& Index);

}  // namespace ZemDx
