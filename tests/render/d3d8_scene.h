// Helpers of the Direct3D stand-in's tests: a device on a small back buffer, the two vertex
// layouts the program draws with, and textures made in memory.
#pragma once
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/d3d8/d3d8.h"
#include "platform/d3dx8/math.h"

namespace d3d8testing {

// Format 0x142: position, diffuse colour, one texture coordinate set.
struct WorldVertex {
    float x, y, z;
    uint32_t color;
    float u, v;
};
static_assert(sizeof(WorldVertex) == 24);

// Format 0x1C4: pre-transformed position, diffuse, specular, one texture coordinate set.
struct ScreenVertexTL {
    float x, y, z, rhw;
    uint32_t diffuse, specular;
    float u, v;
};
static_assert(sizeof(ScreenVertexTL) == 32);

constexpr int32_t kWorldFVF = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;
constexpr int32_t kScreenFVF = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1;

inline D3DPRESENT_PARAMETERS PresentParameters(int width, int height, bool depth = true) {
    D3DPRESENT_PARAMETERS pp{};
    pp.BackBufferWidth = width;
    pp.BackBufferHeight = height;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.BackBufferCount = 1;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.hDeviceWindow = 7;
    pp.Windowed = 1;
    pp.EnableAutoDepthStencil = depth ? 1 : 0;
    pp.AutoDepthStencilFormat = D3DFMT_D16;
    return pp;
}

inline Direct3DDevice8Ptr MakeDevice(int width, int height, bool depth = true,
                                     int32_t multiSample = D3DMULTISAMPLE_NONE) {
    DirectX8 dx;
    Direct3D8Ptr d3d = dx.Direct3DCreate();
    D3DPRESENT_PARAMETERS pp = PresentParameters(width, height, depth);
    pp.MultiSampleType = multiSample;
    return d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, 7, D3DCREATE_SOFTWARE_VERTEXPROCESSING, pp);
}

// A texture of one level, `width` x `height`, filled by `texel(x, y)`.
template <class F>
Direct3DTexture8Ptr MakeTexture(int width, int height, bool alpha, F texel) {
    auto t = std::make_shared<Direct3DTexture8>();
    t->Format = alpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    t->HasAlpha = alpha;
    Direct3DTexture8::Level l;
    l.Width = width;
    l.Height = height;
    l.Pixels.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) l.Pixels[static_cast<size_t>(y) * width + x] = texel(x, y);
    t->Levels.push_back(std::move(l));
    return t;
}

// A checkerboard of `cells` x `cells` squares in two colours.
inline Direct3DTexture8Ptr Checker(int size, int cells, uint32_t a, uint32_t b) {
    return MakeTexture(size, size, false, [&](int x, int y) {
        return ((x * cells / size + y * cells / size) & 1) ? b : a;
    });
}

// A vertex buffer holding `verts`.
template <class V>
Direct3DVertexBuffer8Ptr MakeBuffer(Direct3DDevice8& dev, const std::vector<V>& verts, int32_t fvf) {
    const int32_t bytes = static_cast<int32_t>(verts.size() * sizeof(V));
    Direct3DVertexBuffer8Ptr vb = dev.CreateVertexBuffer(bytes, 0, fvf, D3DPOOL_DEFAULT);
    D3DVertexBuffer8SetData(vb, 0, bytes, 0, verts.data());
    return vb;
}

// The world, view and projection of a camera at the origin looking along +z with a 90 degree
// vertical field of view and the aspect of the buffer.
inline void SetCamera(Direct3DDevice8& dev, float aspect, float fov = 1.5707964f) {
    D3DMATRIX id, proj;
    D3DXMatrixIdentity(id);
    D3DXMatrixPerspectiveFovLH(proj, fov, aspect, 1.0f, 100.0f);
    dev.SetTransform(D3DTS_WORLD, id);
    dev.SetTransform(D3DTS_VIEW, id);
    dev.SetTransform(D3DTS_PROJECTION, proj);
}

inline uint32_t Pixel(const std::vector<uint32_t>& px, int width, int x, int y) {
    return px[static_cast<size_t>(y) * width + x];
}

}  // namespace d3d8testing
