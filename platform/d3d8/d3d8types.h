// The plain records of the Direct3D 8 stand-in, shared by the device, D3DX and the engine.
// Layouts match what the program copies byte for byte (matrices, colours, materials).
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

struct D3DCOLORVALUE {
    float r, g, b, a;
};

struct D3DVECTOR {
    float x, y, z;
};

// Row-major 4 x 4 matrix; points are row vectors, so p' = p x M.
struct D3DMATRIX {
    float m[4][4];
};

struct D3DMATERIAL8 {
    D3DCOLORVALUE diffuse;
    D3DCOLORVALUE ambient;
    D3DCOLORVALUE specular;
    D3DCOLORVALUE emissive;
    float power;
};

struct D3DVIEWPORT8 {
    int32_t X, Y, Width, Height;
    float MinZ, MaxZ;
};

// A rectangle in pixels: x1, y1 inclusive, x2, y2 exclusive.
struct D3DRECT {
    int32_t x1, y1, x2, y2;
};

struct D3DDISPLAYMODE {
    int32_t Width, Height, RefreshRate, Format;
};

struct D3DPRESENT_PARAMETERS {
    int32_t BackBufferWidth;
    int32_t BackBufferHeight;
    int32_t BackBufferFormat;
    int32_t BackBufferCount;
    int32_t MultiSampleType;
    int32_t SwapEffect;
    int32_t hDeviceWindow;
    int32_t Windowed;
    int32_t EnableAutoDepthStencil;
    int32_t AutoDepthStencilFormat;
    int32_t Flags;
    int32_t FullScreen_RefreshRateInHz;
    int32_t FullScreen_PresentationInterval;
};

static_assert(sizeof(D3DMATRIX) == 64);
static_assert(sizeof(D3DMATERIAL8) == 68);
static_assert(sizeof(D3DPRESENT_PARAMETERS) == 52);

// A texture: a chain of mip levels, level 0 first, each Width x Height pixels of 0xAARRGGBB,
// rows top to bottom. `HasAlpha` is false for formats without alpha (then alpha reads as FF).
struct Direct3DTexture8 {
    struct Level {
        int32_t Width = 0, Height = 0;
        std::vector<uint32_t> Pixels;
    };
    int32_t Format = 0;
    bool HasAlpha = false;
    std::vector<Level> Levels;
};
using Direct3DTexture8Ptr = std::shared_ptr<Direct3DTexture8>;
