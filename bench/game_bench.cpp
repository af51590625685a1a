// The game window's main loop on the large shipped world, headless: each pass draws a frame
// with Render, pumps the window events once and counts, exactly as a run does. The world is
// set up by the run's own steps (display settings, label, weapon image, wall textures, world
// file, wall blocks, floor and ceiling, vertex buffers, camera) on a device without a splash.
// Reports frames per second ("fps") standing on the start cell and turning 0.12 rad per frame.
// Run pinned to two processors for figures comparable with device_bench:
//   taskset -c 0,1 ./game_bench
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/frmWindowed.h"
#include "app/frmWindowed_motion.h"
#include "app/frmWindowed_world.h"
#include "app/game_state.h"
#include "engine/zemdx.h"
#include "platform/win32/headless/headless.h"
#include "platform/win32/runtime.h"

namespace {

void StartRun(const std::string& world) {
    static bool started = false;
    if (started) return;
    started = true;
    rt::headless::Use();
    GameWorld::SetDisplaySettings();
    ZemDx::InitEngine(rt::FormOf<frmWindowed>().picGame.hWnd(), 1, 1, rt::False, rt::False);
    GameWorld::MakeLabelAndImages();
    GameWorld::ReadAndBuildWorld(std::string(QV_SOURCE_DIR) + "\\Data\\Maps\\" + world);
    GameWorld::PlaceCamera();
    ModMain::Running = rt::True;
}

void MainLoop(benchmark::State& state, bool turning) {
    StartRun("Labyrinth.map");
    for (int i = 0; i < 11; ++i)
        if (ModMain::WallTextures[i] < 0) {
            state.SkipWithError("wall textures missing: no Data folder beside the program");
            return;
        }
    if (ZemDx::Render(ZemDx::Camera, rt::False, 255) != rt::True) {
        state.SkipWithError("the frame could not be drawn");
        return;
    }
    const float heading = ZemDx::Camera.Heading;
    for (auto _ : state) {
        if (turning) ZemDx::Camera.Heading = GameMotion::TurnRight(ZemDx::Camera.Heading);
        ZemDx::Render(ZemDx::Camera, rt::False, 255);
        rt::DoEvents();
        ModMain::FrameCount = ModMain::FrameCount + 1;
    }
    ZemDx::Camera.Heading = heading;
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["triangles"] = double(ZemDx::TriangleCount);
}

void BM_MainLoop_Labyrinth_StartCell(benchmark::State& state) { MainLoop(state, false); }
void BM_MainLoop_Labyrinth_Turning(benchmark::State& state) { MainLoop(state, true); }

}  // namespace

// The device draws with helper threads: frames per second are counted against the wall clock.
BENCHMARK(BM_MainLoop_Labyrinth_StartCell)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_MainLoop_Labyrinth_Turning)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

// The run ends as the program's does: the engine is shut down and the process ends at once,
// without tearing down the windows and the engine's module state one by one.
int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    ZemDx::ShutdownEngine();
    std::fflush(stdout);
    std::_Exit(0);
}
