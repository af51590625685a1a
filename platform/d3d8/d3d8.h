// The Direct3D 8 stand-in: the root objects, the device with its render and texture-stage
// state, vertex and index buffers. Drawing is done by our own software rasterizer (raster.h).
// The hook through which the window run time receives presented frames is in present.h, the
// test switches in testswitch.h.
//
// Failure behaviour: a failed call raises a run-time error whose number is the call's result
// code (for instance D3DERR_INVALIDCALL) and whose text names the call; the calls that return
// a result code (CheckDeviceType, CheckDeviceMultiSampleType, D3DVertexBuffer8SetData ...)
// return it instead.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/d3d8/d3d8types.h"

// ---- Result codes ---------------------------------------------------------------------------
constexpr int32_t D3D_OK = 0;
constexpr int32_t D3DERR_NOTAVAILABLE = static_cast<int32_t>(0x8876086Au);
constexpr int32_t D3DERR_INVALIDCALL = static_cast<int32_t>(0x8876086Cu);
constexpr int32_t D3DERR_OUTOFVIDEOMEMORY = static_cast<int32_t>(0x8876017Cu);

// ---- Adapters, device types, creation -------------------------------------------------------
constexpr int32_t D3DADAPTER_DEFAULT = 0;
constexpr int32_t D3DDEVTYPE_HAL = 1;
constexpr int32_t D3DDEVTYPE_REF = 2;
constexpr int32_t D3DCREATE_SOFTWARE_VERTEXPROCESSING = 0x20;
constexpr int32_t D3DCREATE_HARDWARE_VERTEXPROCESSING = 0x40;
constexpr int32_t D3DCREATE_MIXED_VERTEXPROCESSING = 0x80;

// ---- Formats --------------------------------------------------------------------------------
constexpr int32_t D3DFMT_UNKNOWN = 0;
constexpr int32_t D3DFMT_R8G8B8 = 20;
constexpr int32_t D3DFMT_A8R8G8B8 = 21;
constexpr int32_t D3DFMT_X8R8G8B8 = 22;
constexpr int32_t D3DFMT_R5G6B5 = 23;
constexpr int32_t D3DFMT_X1R5G5B5 = 24;
constexpr int32_t D3DFMT_A1R5G5B5 = 25;
constexpr int32_t D3DFMT_A4R4G4B4 = 26;
constexpr int32_t D3DFMT_D16 = 80;
constexpr int32_t D3DFMT_INDEX16 = 101;
constexpr int32_t D3DFMT_INDEX32 = 102;

constexpr int32_t D3DMULTISAMPLE_NONE = 0;
constexpr int32_t D3DMULTISAMPLE_2_SAMPLES = 2;
constexpr int32_t D3DSWAPEFFECT_DISCARD = 1;
constexpr int32_t D3DSWAPEFFECT_FLIP = 2;
constexpr int32_t D3DSWAPEFFECT_COPY = 3;

constexpr int32_t D3DPOOL_DEFAULT = 0;
constexpr int32_t D3DPOOL_MANAGED = 1;
constexpr int32_t D3DPOOL_SYSTEMMEM = 2;

// ---- Render states --------------------------------------------------------------------------
constexpr int32_t D3DRS_ZENABLE = 7;
constexpr int32_t D3DRS_FILLMODE = 8;
constexpr int32_t D3DRS_SHADEMODE = 9;
constexpr int32_t D3DRS_ZWRITEENABLE = 14;
constexpr int32_t D3DRS_ALPHATESTENABLE = 15;
constexpr int32_t D3DRS_SRCBLEND = 19;
constexpr int32_t D3DRS_DESTBLEND = 20;
constexpr int32_t D3DRS_CULLMODE = 22;
constexpr int32_t D3DRS_ZFUNC = 23;
constexpr int32_t D3DRS_ALPHAREF = 24;
constexpr int32_t D3DRS_ALPHAFUNC = 25;
constexpr int32_t D3DRS_DITHERENABLE = 26;
constexpr int32_t D3DRS_ALPHABLENDENABLE = 27;
constexpr int32_t D3DRS_FOGENABLE = 28;
constexpr int32_t D3DRS_SPECULARENABLE = 29;
constexpr int32_t D3DRS_LIGHTING = 137;
constexpr int32_t D3DRS_AMBIENT = 139;
constexpr int32_t D3DRS_COLORVERTEX = 141;
constexpr int32_t D3DRS_NORMALIZENORMALS = 143;
constexpr int32_t D3DRS_DIFFUSEMATERIALSOURCE = 145;
constexpr int32_t D3DRS_SPECULARMATERIALSOURCE = 146;
constexpr int32_t D3DRS_AMBIENTMATERIALSOURCE = 147;
constexpr int32_t D3DRS_EMISSIVEMATERIALSOURCE = 148;
constexpr int32_t D3DRS_MULTISAMPLEANTIALIAS = 161;
// One past the highest render state the device keeps.
constexpr int32_t D3DRS_MAX = 256;

constexpr int32_t D3DZB_FALSE = 0;
constexpr int32_t D3DZB_TRUE = 1;
constexpr int32_t D3DFILL_POINT = 1;
constexpr int32_t D3DFILL_WIREFRAME = 2;
constexpr int32_t D3DFILL_SOLID = 3;
constexpr int32_t D3DSHADE_FLAT = 1;
constexpr int32_t D3DSHADE_GOURAUD = 2;
constexpr int32_t D3DCULL_NONE = 1;
constexpr int32_t D3DCULL_CW = 2;
constexpr int32_t D3DCULL_CCW = 3;

constexpr int32_t D3DCMP_NEVER = 1;
constexpr int32_t D3DCMP_LESS = 2;
constexpr int32_t D3DCMP_EQUAL = 3;
constexpr int32_t D3DCMP_LESSEQUAL = 4;
constexpr int32_t D3DCMP_GREATER = 5;
constexpr int32_t D3DCMP_NOTEQUAL = 6;
constexpr int32_t D3DCMP_GREATEREQUAL = 7;
constexpr int32_t D3DCMP_ALWAYS = 8;

constexpr int32_t D3DBLEND_ZERO = 1;
constexpr int32_t D3DBLEND_ONE = 2;
constexpr int32_t D3DBLEND_SRCCOLOR = 3;
constexpr int32_t D3DBLEND_INVSRCCOLOR = 4;
constexpr int32_t D3DBLEND_SRCALPHA = 5;
constexpr int32_t D3DBLEND_INVSRCALPHA = 6;
constexpr int32_t D3DBLEND_DESTALPHA = 7;
constexpr int32_t D3DBLEND_INVDESTALPHA = 8;
constexpr int32_t D3DBLEND_DESTCOLOR = 9;
constexpr int32_t D3DBLEND_INVDESTCOLOR = 10;

constexpr int32_t D3DMCS_MATERIAL = 0;
constexpr int32_t D3DMCS_COLOR1 = 1;
constexpr int32_t D3DMCS_COLOR2 = 2;

// ---- Texture-stage states -------------------------------------------------------------------
constexpr int32_t D3DTSS_COLOROP = 1;
constexpr int32_t D3DTSS_COLORARG1 = 2;
constexpr int32_t D3DTSS_COLORARG2 = 3;
constexpr int32_t D3DTSS_ALPHAOP = 4;
constexpr int32_t D3DTSS_ALPHAARG1 = 5;
constexpr int32_t D3DTSS_ALPHAARG2 = 6;
constexpr int32_t D3DTSS_TEXCOORDINDEX = 11;
constexpr int32_t D3DTSS_ADDRESSU = 13;
constexpr int32_t D3DTSS_ADDRESSV = 14;
constexpr int32_t D3DTSS_MAGFILTER = 16;
constexpr int32_t D3DTSS_MINFILTER = 17;
constexpr int32_t D3DTSS_MIPFILTER = 18;
// One past the highest stage state the device keeps; stages 0 to 7.
constexpr int32_t D3DTSS_MAX = 32;
constexpr int32_t D3D_MAX_STAGES = 8;

constexpr int32_t D3DTOP_DISABLE = 1;
constexpr int32_t D3DTOP_SELECTARG1 = 2;
constexpr int32_t D3DTOP_SELECTARG2 = 3;
constexpr int32_t D3DTOP_MODULATE = 4;
constexpr int32_t D3DTOP_MODULATE2X = 5;
constexpr int32_t D3DTOP_MODULATE4X = 6;
constexpr int32_t D3DTOP_ADD = 7;

constexpr int32_t D3DTA_DIFFUSE = 0;
constexpr int32_t D3DTA_CURRENT = 1;
constexpr int32_t D3DTA_TEXTURE = 2;
constexpr int32_t D3DTA_TFACTOR = 3;

constexpr int32_t D3DTADDRESS_WRAP = 1;
constexpr int32_t D3DTADDRESS_MIRROR = 2;
constexpr int32_t D3DTADDRESS_CLAMP = 3;
constexpr int32_t D3DTADDRESS_BORDER = 4;

constexpr int32_t D3DTEXF_NONE = 0;
constexpr int32_t D3DTEXF_POINT = 1;
constexpr int32_t D3DTEXF_LINEAR = 2;

// ---- Transforms, clears, primitives, vertex formats -----------------------------------------
constexpr int32_t D3DTS_VIEW = 2;
constexpr int32_t D3DTS_PROJECTION = 3;
constexpr int32_t D3DTS_WORLD = 256;

constexpr int32_t D3DCLEAR_TARGET = 1;
constexpr int32_t D3DCLEAR_ZBUFFER = 2;
constexpr int32_t D3DCLEAR_STENCIL = 4;

constexpr int32_t D3DPT_POINTLIST = 1;
constexpr int32_t D3DPT_LINELIST = 2;
constexpr int32_t D3DPT_LINESTRIP = 3;
constexpr int32_t D3DPT_TRIANGLELIST = 4;
constexpr int32_t D3DPT_TRIANGLESTRIP = 5;
constexpr int32_t D3DPT_TRIANGLEFAN = 6;

constexpr int32_t D3DFVF_XYZ = 0x002;
constexpr int32_t D3DFVF_XYZRHW = 0x004;
constexpr int32_t D3DFVF_NORMAL = 0x010;
constexpr int32_t D3DFVF_PSIZE = 0x020;
constexpr int32_t D3DFVF_DIFFUSE = 0x040;
constexpr int32_t D3DFVF_SPECULAR = 0x080;
constexpr int32_t D3DFVF_TEXCOUNT_MASK = 0xF00;
constexpr int32_t D3DFVF_TEXCOUNT_SHIFT = 8;
constexpr int32_t D3DFVF_TEX0 = 0x000;
constexpr int32_t D3DFVF_TEX1 = 0x100;
constexpr int32_t D3DFVF_TEX2 = 0x200;

// The desktop's display mode, which GetAdapterDisplayMode reports: 1024 x 768, 32-bit
// X8R8G8B8, whatever the real screen is, unless a test sets another.
void SetDesktopDisplayMode(const D3DDISPLAYMODE& mode);

class Direct3D8;
class Direct3DDevice8;
class Direct3DVertexBuffer8;
class Direct3DIndexBuffer8;
using Direct3D8Ptr = std::shared_ptr<Direct3D8>;
using Direct3DDevice8Ptr = std::shared_ptr<Direct3DDevice8>;
using Direct3DVertexBuffer8Ptr = std::shared_ptr<Direct3DVertexBuffer8>;
using Direct3DIndexBuffer8Ptr = std::shared_ptr<Direct3DIndexBuffer8>;

// The automation root object.
class DirectX8 {
public:
    Direct3D8Ptr Direct3DCreate();
};
using DirectX8Ptr = std::shared_ptr<DirectX8>;

class Direct3D8 {
public:
    // Fills `mode` with the desktop's display mode. Raises for an adapter other than 0.
    void GetAdapterDisplayMode(int32_t Adapter, D3DDISPLAYMODE& mode);
    // D3D_OK when the device type can run with those formats, else a negative result code.
    int32_t CheckDeviceType(int32_t Adapter, int32_t CheckType, int32_t DisplayFormat,
                            int32_t BackBufferFormat, int32_t Windowed);
    // D3D_OK when the multisample type is supported: MULTISAMPLE_NONE and 2_SAMPLES are, for
    // every known format, windowed or not; any other type gives D3DERR_NOTAVAILABLE.
    int32_t CheckDeviceMultiSampleType(int32_t Adapter, int32_t DeviceType, int32_t RenderTargetFormat,
                                       int32_t Windowed, int32_t MultiSampleType);
    // Makes the device (HAL and REF both give the software device). The back buffer has the
    // requested size (1 to 8192 pixels each way; the device knows no window sizes, so 0 is
    // refused), a 16-bit depth buffer is made when
    // EnableAutoDepthStencil is set. hDeviceWindow 0 means the focus window.
    // Raises D3DERR_INVALIDCALL for bad parameters or a multisample type that is not supported.
    Direct3DDevice8Ptr CreateDevice(int32_t Adapter, int32_t DeviceType, int32_t hFocusWindow,
                                    int32_t BehaviorFlags, D3DPRESENT_PARAMETERS& PresentationParameters);
};

// A vertex buffer: `Length` bytes of vertices of format `FVF`.
namespace d3d8detail {
struct DeviceState;
struct RegionBounds;
inline std::atomic<uint32_t>& BoundCount(const Direct3DVertexBuffer8& buffer) noexcept;
// The kinds of vertex buffer made so far: a usage and a vertex format each.
struct BufferKind {
    int32_t usage, fvf;
};
extern BufferKind g_bufferKinds[65536];
inline RegionBounds* RegionOf(const Direct3DVertexBuffer8& buffer) noexcept;
}

class Direct3DVertexBuffer8 {
    struct Placement {};   // only Make places buffers

public:
    // A buffer of `length` zero bytes (pool 0 to 3), its bytes right behind the object. Small
    // buffers are carved from large blocks in the order they are made: the thousands of
    // one-triangle buffers of a world lie side by side in the order they are drawn, with no
    // allocation overhead each; larger ones take a heap block of their own.
    static std::shared_ptr<Direct3DVertexBuffer8> Make(int32_t length, int32_t usage, int32_t fvf, int32_t pool);
    // For Make's allocation only (the tag cannot be named elsewhere).
    Direct3DVertexBuffer8(Placement, int32_t length, int32_t usage, int32_t fvf, int32_t pool, bool carved);
    // A buffer released while a device draws from it leaves that device a copy of its vertices.
    ~Direct3DVertexBuffer8();
    Direct3DVertexBuffer8(const Direct3DVertexBuffer8&) = delete;
    Direct3DVertexBuffer8& operator=(const Direct3DVertexBuffer8&) = delete;
    int32_t Length() const { return length_; }
    int32_t Usage() const { return d3d8detail::g_bufferKinds[kind_].usage; }
    int32_t FVF() const { return d3d8detail::g_bufferKinds[kind_].fvf; }
    int32_t Pool() const { return pool_; }
    const uint8_t* Data() const { return reinterpret_cast<const uint8_t*>(this) + sizeof(Direct3DVertexBuffer8); }
    // Bytes to write directly (D3DVertexBuffer8SetData is the usual way): the device then no
    // longer passes over draws from this buffer by the bounds kept for its neighbours.
    uint8_t* Data();

private:
    friend d3d8detail::RegionBounds* d3d8detail::RegionOf(const Direct3DVertexBuffer8&) noexcept;
    friend std::atomic<uint32_t>& d3d8detail::BoundCount(const Direct3DVertexBuffer8&) noexcept;
    // The usage and vertex format, shared by most buffers, are kept once in a table of
    // kinds, so that a one-triangle buffer takes 8 bytes besides its vertices and counts.
    int32_t length_;
    uint16_t kind_;
    int8_t pool_;
    bool carved_;   // carved from the blocks, not in a heap block of its own
};

// An index buffer of 16-bit (D3DFMT_INDEX16) or 32-bit (D3DFMT_INDEX32) indices.
class Direct3DIndexBuffer8 {
public:
    Direct3DIndexBuffer8(int32_t length, int32_t usage, int32_t format, int32_t pool);
    int32_t Length() const { return static_cast<int32_t>(data_.size()); }
    int32_t Usage() const { return usage_; }
    int32_t Format() const { return format_; }
    int32_t Pool() const { return pool_; }
    const uint8_t* Data() const { return data_.data(); }
    uint8_t* Data() { return data_.data(); }

private:
    std::vector<uint8_t> data_;
    int32_t usage_, format_, pool_;
};

// Copy `size` bytes of `data` into the buffer at `offset` / out of it into `data`.
// D3D_OK, or D3DERR_INVALIDCALL (nothing copied) for no buffer, no data or a range that does
// not fit the buffer.
int32_t D3DVertexBuffer8SetData(const Direct3DVertexBuffer8Ptr& buffer, int32_t offset, int32_t size,
                                int32_t flags, const void* data);
int32_t D3DVertexBuffer8GetData(const Direct3DVertexBuffer8Ptr& buffer, int32_t offset, int32_t size,
                                int32_t flags, void* data);
int32_t D3DIndexBuffer8SetData(const Direct3DIndexBuffer8Ptr& buffer, int32_t offset, int32_t size,
                               int32_t flags, const void* data);
int32_t D3DIndexBuffer8GetData(const Direct3DIndexBuffer8Ptr& buffer, int32_t offset, int32_t size,
                               int32_t flags, void* data);

namespace d3d8detail {
class Rasterizer;
}

class Direct3DDevice8 {
public:
    Direct3DDevice8(const D3DPRESENT_PARAMETERS& pp, int32_t deviceType, int32_t hFocusWindow);
    ~Direct3DDevice8();
    Direct3DDevice8(const Direct3DDevice8&) = delete;
    Direct3DDevice8& operator=(const Direct3DDevice8&) = delete;

    // State. An unknown state number raises D3DERR_INVALIDCALL.
    void SetRenderState(int32_t State, int32_t Value);
    int32_t GetRenderState(int32_t State);
    void SetTextureStageState(int32_t Stage, int32_t Type, int32_t Value);
    int32_t GetTextureStageState(int32_t Stage, int32_t Type);
    // The vertex format (a D3DFVF_ combination) of the next draws.
    void SetVertexShader(int32_t Handle);
    int32_t GetVertexShader();
    void SetTransform(int32_t State, const D3DMATRIX& Matrix);
    void GetTransform(int32_t State, D3DMATRIX& Matrix);
    void SetMaterial(const D3DMATERIAL8& Material);
    void GetMaterial(D3DMATERIAL8& Material);
    // `Texture` nullptr: no texture on the stage.
    void SetTexture(int32_t Stage, const Direct3DTexture8Ptr& Texture);
    Direct3DTexture8Ptr GetTexture(int32_t Stage);
    void SetStreamSource(int32_t StreamNumber, const Direct3DVertexBuffer8Ptr& StreamData, int32_t Stride);
    void SetIndices(const Direct3DIndexBuffer8Ptr& IndexData, int32_t BaseVertexIndex);
    void SetViewport(const D3DVIEWPORT8& Viewport);
    void GetViewport(D3DVIEWPORT8& Viewport);

    // Drawing. Clear works in or out of a scene; draws only between BeginScene and EndScene.
    void Clear(int32_t Count, const D3DRECT* Rects, int32_t Flags, int32_t Color, float Z, int32_t Stencil);
    void BeginScene();
    void EndScene();
    void DrawPrimitive(int32_t PrimitiveType, int32_t StartVertex, int32_t PrimitiveCount);
    void DrawPrimitiveUP(int32_t PrimitiveType, int32_t PrimitiveCount, const void* VertexStreamZeroData,
                         int32_t VertexStreamZeroStride);
    void DrawIndexedPrimitive(int32_t PrimitiveType, int32_t MinIndex, int32_t NumIndices, int32_t StartIndex,
                              int32_t PrimitiveCount);
    // Shows the back buffer in the device window (or `hDestWindowOverride` when not 0).
    // Rectangles and dirty region must be null: only whole-buffer presents are supported.
    void Present(const D3DRECT* SourceRect, const D3DRECT* DestRect, int32_t hDestWindowOverride,
                 const void* DirtyRegion);

    // Resources.
    Direct3DVertexBuffer8Ptr CreateVertexBuffer(int32_t Length, int32_t Usage, int32_t FVF, int32_t Pool);
    Direct3DIndexBuffer8Ptr CreateIndexBuffer(int32_t Length, int32_t Usage, int32_t Format, int32_t Pool);
    // A texture with `Levels` mip levels (0: a full chain down to 1 x 1), pixels zero.
    Direct3DTexture8Ptr CreateTexture(int32_t Width, int32_t Height, int32_t Levels, int32_t Usage,
                                      int32_t Format, int32_t Pool);
    void GetCreationParameters(int32_t& DeviceType, int32_t& hFocusWindow);
    const D3DPRESENT_PARAMETERS& PresentParameters() const;

    // Direct access to the back buffer (0xAARRGGBB, rows top to bottom, `BackBufferPitch()`
    // pixels apart) for D3DX's text drawing and for tests. Flush() first finishes every draw
    // still in progress; BackBufferData() flushes too. With two samples per pixel the back
    // buffer is the picture resolved from them, and the depth buffer sample 0's.
    void Flush();
    uint32_t* BackBufferData();
    int BackBufferWidth() const;
    int BackBufferHeight() const;
    int BackBufferPitch() const;
    // A copy of the back buffer (after a flush).
    std::vector<uint32_t> GetBackBufferPixels();
    // A copy of the depth buffer, 0 = near .. 65535 = far (empty when there is none).
    std::vector<uint16_t> GetDepthPixels();
    bool InScene() const;

private:
    std::unique_ptr<d3d8detail::DeviceState> s_;
};
