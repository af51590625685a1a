// Frames of a maze world drawn the way the engine draws them: every world triangle from a
// 72-byte vertex buffer of its own with SetTexture, SetStreamSource and DrawPrimitive (one
// strip triangle), in list order, after a depth-only clear; 640 x 480, vertical field of view
// a shade under 60 degrees, the camera standing in a cell and turning 0.12 rad per frame.
// Reports frames and triangles per second for worlds of 16, 32, 64 and 128 cells square.
// Run pinned to two processors, for example: taskset -c 0,1 ./device_bench
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/present.h"
#include "platform/d3dx8/math.h"
#include "bench/maze_world.h"

namespace {

using namespace mazeworld;

void BM_MazeFrame(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    float camX = 0, camZ = 0;
    const std::vector<Tri> tris = BuildWorld(n, camX, camZ);

    d3d8::SetPresentHandler([](int32_t, const uint32_t*, int, int) {});
    DirectX8 dx;
    Direct3D8Ptr d3d = dx.Direct3DCreate();
    D3DPRESENT_PARAMETERS pp{};
    pp.BackBufferWidth = 640;
    pp.BackBufferHeight = 480;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.BackBufferCount = 1;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.hDeviceWindow = 1;
    pp.Windowed = 1;
    pp.EnableAutoDepthStencil = 1;
    pp.AutoDepthStencilFormat = D3DFMT_D16;
    Direct3DDevice8Ptr dev = d3d->CreateDevice(0, D3DDEVTYPE_HAL, 1, D3DCREATE_SOFTWARE_VERTEXPROCESSING, pp);
    // The engine's start-up states.
    dev->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    dev->SetRenderState(D3DRS_ZENABLE, 1);
    dev->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    dev->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
    dev->SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP);
    dev->SetRenderState(D3DRS_LIGHTING, 1);
    dev->SetVertexShader(0x142);
    dev->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    dev->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    dev->SetRenderState(D3DRS_AMBIENT, 0x00FFFFFF);

    std::vector<Direct3DTexture8Ptr> textures;
    for (int i = 0; i < 11; ++i) textures.push_back(MakeWallTexture(i));
    std::vector<Direct3DVertexBuffer8Ptr> buffers;
    for (const Tri& t : tris) {
        auto vb = dev->CreateVertexBuffer(72, 0, 0x142, D3DPOOL_DEFAULT);
        D3DVertexBuffer8SetData(vb, 0, 72, 0, t.v);
        buffers.push_back(vb);
    }
    D3DMATERIAL8 material{};
    material.ambient = {1, 1, 1, 1};

    float heading = 0.0f;
    for (auto _ : state) {
        dev->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0xFF, 1.0f, 0);
        dev->BeginScene();
        D3DMATRIX world, rotY, rotX, rot, trans, view, proj;
        D3DXMatrixRotationYawPitchRoll(world, 0, 0, 0);
        dev->SetTransform(D3DTS_WORLD, world);
        D3DXMatrixRotationY(rotY, -heading);
        D3DXMatrixRotationX(rotX, 0.0f);
        D3DXMatrixMultiply(rot, rotY, rotX);
        D3DXMatrixTranslation(trans, -camX, -2.0f, -camZ);
        D3DXMatrixMultiply(view, trans, rot);
        dev->SetTransform(D3DTS_VIEW, view);
        D3DXMatrixPerspectiveFovLH(proj, 1.04719f, 0.75f, 1.0f, 10000.0f);
        dev->SetTransform(D3DTS_PROJECTION, proj);
        dev->SetMaterial(material);
        for (size_t i = 0; i < tris.size(); ++i) {
            dev->SetTexture(0, textures[static_cast<size_t>(tris[i].texture)]);
            dev->SetStreamSource(0, buffers[i], 24);
            dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 1);
        }
        dev->EndScene();
        dev->Present(nullptr, nullptr, 0, nullptr);
        heading += 0.12f;
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["tris/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * static_cast<double>(tris.size()),
                                                  benchmark::Counter::kIsRate);
    state.counters["triangles"] = static_cast<double>(tris.size());
    d3d8::SetPresentHandler(nullptr);
}

BENCHMARK(BM_MazeFrame)->Arg(16)->Arg(32)->Arg(64)->Arg(128)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
