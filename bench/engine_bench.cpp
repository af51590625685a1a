// Frames of the maze worlds drawn by the engine: the walls, floor and ceiling go into the
// engine's triangle list with AddTriangle, the buffers are built by RefreshBuffers, and each
// frame is one Render with a depth-only clear, the camera standing in a cell and turning
// 0.12 rad per frame. The same mazes, camera and textures as the bare device benchmark
// (BM_MazeFrame, linked into this program), so the two figures compare the engine's own cost
// per frame. Run pinned to two processors, for example: taskset -c 0,1 ./engine_bench
#include <benchmark/benchmark.h>

#include <vector>

#include "engine/zemdx.h"
#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/present.h"
#include "platform/win32/form.h"
#include "platform/win32/headless/headless.h"
#include "tests/unit/engine/game_settings.h"
#include "bench/maze_world.h"

namespace {

// The benchmark maze's triangles into the engine's list, in the same order.
void BuildWorld(int n, float& camX, float& camZ) {
    for (const mazeworld::Tri& t : mazeworld::BuildWorld(n, camX, camZ)) {
        const mazeworld::Vertex* v = t.v;
        ZemDx::AddTriangle(v[0].x, v[0].y, v[0].z, v[0].u, v[0].v, static_cast<int32_t>(v[0].color), v[1].x, v[1].y,
                           v[1].z, v[1].u, v[1].v, static_cast<int32_t>(v[1].color), v[2].x, v[2].y, v[2].z, v[2].u,
                           v[2].v, static_cast<int32_t>(v[2].color), t.texture);
    }
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
    for (int i = 0; i < 11; ++i) ZemDx::Textures[static_cast<size_t>(i)] = mazeworld::MakeWallTexture(i);

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
