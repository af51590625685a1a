// Frames of the maze worlds drawn by the engine: the walls, floor and ceiling go into the
// engine's triangle list with AddTriangle, the buffers are built by RefreshBuffers, and each
// frame is one Render with a depth-only clear, the camera standing in a cell and turning
// 0.12 rad per frame. The same mazes, camera and textures as the bare device benchmark
// (BM_MazeFrame, linked into this program), so the two figures compare the engine's own cost
// per frame. Run pinned to two processors, for example: taskset -c 0,1 ./engine_bench
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

#include "engine/zemdx.h"
#include "platform/d3d8/d3d8.h"
#include "platform/win32/form.h"
#include "platform/win32/headless/headless.h"
#include "tests/unit/engine/game_settings.h"

namespace {

// A maze of n x n cells: rooms on odd cells, passages carved by a depth-first walk from (1, 1)
// with a fixed seed, everything else wall (the device benchmark's mazes).
std::vector<std::vector<bool>> MakeMaze(int n) {
    std::vector<std::vector<bool>> wall(static_cast<size_t>(n + 1), std::vector<bool>(static_cast<size_t>(n + 1), true));
    std::mt19937 rng(2024);
    std::vector<std::pair<int, int>> stack = {{1, 1}};
    wall[1][1] = false;
    const int dirs[4][2] = {{2, 0}, {-2, 0}, {0, 2}, {0, -2}};
    while (!stack.empty()) {
        auto [x, z] = stack.back();
        int order[4] = {0, 1, 2, 3};
        std::shuffle(order, order + 4, rng);
        bool moved = false;
        for (int k : order) {
            const int nx = x + dirs[k][0], nz = z + dirs[k][1];
            if (nx < 1 || nz < 1 || nx > n - 1 || nz > n - 1 || !wall[nx][nz]) continue;
            wall[(x + nx) / 2][(z + nz) / 2] = false;
            wall[nx][nz] = false;
            stack.push_back({nx, nz});
            moved = true;
            break;
        }
        if (!moved) stack.pop_back();
    }
    return wall;
}

struct P {
    float x, y, z, u, v;
};

void Add(const P& a, const P& b, const P& c, int32_t texture) {
    const int32_t white = 0x00FFFFFF;
    ZemDx::AddTriangle(a.x, a.y, a.z, a.u, a.v, white, b.x, b.y, b.z, b.u, b.v, white, c.x, c.y, c.z, c.u, c.v,
                       white, texture);
}

// The world into the engine's list: eight triangles per wall cell, then floor and ceiling.
void BuildWorld(int n, float& camX, float& camZ) {
    const auto wall = MakeMaze(n);
    for (int x = 1; x <= n; ++x)
        for (int z = 1; z <= n; ++z) {
            if (!wall[static_cast<size_t>(x)][static_cast<size_t>(z)]) continue;
            const float A = 5.0f * x, B = 5.0f * z, A1 = A + 5, B1 = B + 5;
            const int t = (x * 7 + z * 3) % 11;
            Add({A, 5, B, 0, 0}, {A, 5, B1, 1, 0}, {A, 0, B1, 1, 1}, t);
            Add({A, 0, B1, 1, 1}, {A, 0, B, 0, 1}, {A, 5, B, 0, 0}, t);
            Add({A, 5, B1, 0, 0}, {A1, 5, B1, 1, 0}, {A1, 0, B1, 1, 1}, t);
            Add({A1, 0, B1, 1, 1}, {A, 0, B1, 0, 1}, {A, 5, B1, 0, 0}, t);
            Add({A1, 5, B, 0, 0}, {A, 5, B, 1, 0}, {A, 0, B, 1, 1}, t);
            Add({A, 0, B, 1, 1}, {A1, 0, B, 0, 1}, {A1, 5, B, 0, 0}, t);
            Add({A1, 5, B1, 0, 0}, {A1, 5, B, 1, 0}, {A1, 0, B, 1, 1}, t);
            Add({A1, 0, B, 1, 1}, {A1, 0, B1, 0, 1}, {A1, 5, B1, 0, 0}, t);
        }
    const float X1 = (n + 1) * 5.0f, Z1 = (n + 1) * 5.0f, U = static_cast<float>(n), V = static_cast<float>(n);
    Add({5, 0, 5, 0, 0}, {X1, 0, 5, U, 0}, {X1, 0, Z1, U, V}, 9);
    Add({X1, 0, Z1, U, V}, {5, 0, Z1, 0, V}, {5, 0, 5, 0, 0}, 9);
    Add({X1, 5, Z1, U, V}, {X1, 5, 5, U, 0}, {5, 5, 5, 0, 0}, 10);
    Add({5, 5, 5, 0, 0}, {5, 5, Z1, 0, V}, {X1, 5, Z1, U, V}, 10);
    int cx = n / 2;
    if (cx % 2 == 0) --cx;
    camX = 5.0f * cx + 2.5f;
    camZ = 5.0f * cx + 2.5f;
}

// The device benchmark's procedural wall texture.
Direct3DTexture8Ptr MakeWallTexture(int seed) {
    auto t = std::make_shared<Direct3DTexture8>();
    t->Format = D3DFMT_A8R8G8B8;
    t->HasAlpha = true;
    Direct3DTexture8::Level l;
    l.Width = l.Height = 64;
    l.Pixels.resize(64 * 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            l.Pixels[static_cast<size_t>(y * 64 + x)] =
                0xFF000000u | static_cast<uint32_t>(((x * 4 + seed * 40) & 0xFF) << 16 | ((y * 4) & 0xFF) << 8 | ((x ^ y) * 4 & 0xFF));
    t->Levels.push_back(std::move(l));
    return t;
}

class DeviceWindow : public rt::Form {
public:
    DeviceWindow() : rt::Form("frmEngineBenchWindow") { ClientSize(640, 480); }
};

// Empties the engine's lists between worlds, so each run draws exactly its own maze.
void ClearWorld() {
    ZemDx::Triangles.clear();
    ZemDx::TriangleBuffers.clear();
    ZemDx::TriangleCount = 0;
    ZemDx::TrianglesDirty = rt::False;
}

void BM_EngineMazeFrame(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    rt::headless::Use();
    d3d8::SetPresentHandler([](int32_t, const uint32_t*, int, int) {});

    // The game window's display settings and start.
    enginetest::GameDisplaySettings();
    const rt::Long hWnd = rt::FormOf<DeviceWindow>().hWnd();
    if (ZemDx::InitEngine(hWnd, 1, 1, rt::False, rt::False) != rt::True) {
        state.SkipWithError("InitEngine failed");
        return;
    }
    // The eleven wall textures straight into the table (no files to read here).
    ZemDx::Textures.resize(11);
    ZemDx::TextureNames.resize(11);
    ZemDx::TextureCount = 11;
    for (int i = 0; i < 11; ++i) ZemDx::Textures[static_cast<size_t>(i)] = MakeWallTexture(i);

    ClearWorld();
    float camX = 0, camZ = 0;
    BuildWorld(n, camX, camZ);
    if (ZemDx::RefreshBuffers() != rt::True) {
        state.SkipWithError("RefreshBuffers failed");
        return;
    }
    ZemDx::Camera = ZemDx::CameraState{};
    ZemDx::Camera.PosX = -camX;
    ZemDx::Camera.PosY = -2.0f;
    ZemDx::Camera.PosZ = -camZ;
    ZemDx::Camera.FOV = 1.04719f;

    for (auto _ : state) {
        if (ZemDx::Render(ZemDx::Camera, rt::False, 255) != rt::True) {
            state.SkipWithError("Render failed");
            break;
        }
        ZemDx::Camera.Heading += 0.12f;
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["tris/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * static_cast<double>(ZemDx::TriangleCount), benchmark::Counter::kIsRate);
    state.counters["triangles"] = static_cast<double>(ZemDx::TriangleCount);
    ZemDx::ShutdownEngine();
    d3d8::SetPresentHandler(nullptr);
}

BENCHMARK(BM_EngineMazeFrame)->Arg(16)->Arg(32)->Arg(64)->Arg(128)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
