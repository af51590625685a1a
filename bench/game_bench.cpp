// The game window's main loop, headless: each pass draws a frame with Render, pumps the window
// events once and counts, exactly as a run does. The world is set up by the run's own steps
// (display settings, label, weapon image, wall textures, world file, wall blocks, floor and
// ceiling, vertex buffers, camera) on a device without a splash.
// Reports frames per second ("fps") standing on the start cell and turning 0.12 rad per frame,
// the world's triangle count and the process's peak memory (VmHWM), in all and per triangle.
//   taskset -c 0,1 ./game_bench                    the shipped Labyrinth
//   taskset -c 0,1 ./game_bench --world=PATH       any world file
//   taskset -c 0,1 ./game_bench --maze=N           an N x N maze made like the Labyrinth
//   ./game_bench --frame-hash                      prints a hash of 64 turning frames' back
//                                                  buffers (to check that pictures stay the same)
// One world per process, so the peak memory is that world's.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>

#include "app/frmWindowed.h"
#include "app/frmWindowed_motion.h"
#include "app/frmWindowed_world.h"
#include "app/game_state.h"
#include "bench/maze_world.h"
#include "engine/zemdx.h"
#include "platform/win32/headless/headless.h"
#include "platform/win32/runtime.h"

namespace {

std::string g_world = std::string(QV_SOURCE_DIR) + "\\Data\\Maps\\Labyrinth.map";
std::string g_scratch;  // a generated maze file, removed at the end

// The process's peak resident memory in bytes (VmHWM), 0 when it cannot be read.
double PeakMemoryBytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::strtod(line.c_str() + 6, nullptr) * 1024.0;
    return 0;
}

// Sets the run up once; false (with the reason) when the world cannot be drawn.
bool StartRun(std::string& why) {
    static bool started = false, ok = false;
    static std::string reason;
    if (!started) {
        started = true;
        rt::headless::Use();
        GameWorld::SetDisplaySettings();
        ZemDx::InitEngine(rt::FormOf<frmWindowed>().picGame.hWnd(), 1, 1, rt::False, rt::False);
        GameWorld::MakeLabelAndImages();
        GameWorld::ReadAndBuildWorld(g_world);
        GameWorld::PlaceCamera();
        ModMain::Running = rt::True;
        ok = true;
        for (int i = 0; i < 11; ++i)
            if (ModMain::WallTextures[i] < 0) {
                ok = false;
                reason = "wall textures missing: no Data folder beside the program";
            }
        if (ok && ZemDx::Render(ZemDx::Camera, rt::False, 255) != rt::True) {
            ok = false;
            reason = "the frame could not be drawn";
        }
    }
    why = reason;
    return ok;
}

void MainLoop(benchmark::State& state, bool turning) {
    std::string why;
    if (!StartRun(why)) {
        state.SkipWithError(why.c_str());
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
    const double peak = PeakMemoryBytes();
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["triangles"] = double(ZemDx::TriangleCount);
    state.counters["peak_MB"] = peak / 1e6;
    state.counters["peak_B/tri"] = ZemDx::TriangleCount > 0 ? peak / double(ZemDx::TriangleCount) : 0;
}

// FNV-1a over the back buffers of 64 frames turning from the start cell.
int PrintFrameHash() {
    std::string why;
    if (!StartRun(why)) {
        std::fprintf(stderr, "game_bench: %s\n", why.c_str());
        return 1;
    }
    uint64_t h = 1469598103934665603ull;
    for (int f = 0; f < 64; ++f) {
        ZemDx::Camera.Heading = GameMotion::TurnRight(ZemDx::Camera.Heading);
        ZemDx::Render(ZemDx::Camera, rt::False, 255);
        for (uint32_t p : ZemDx::D3DDevice->GetBackBufferPixels())
            for (int b = 0; b < 4; ++b) h = (h ^ ((p >> (8 * b)) & 0xFF)) * 1099511628211ull;
    }
    std::printf("frames 64 triangles %d hash %016llx\n", static_cast<int>(ZemDx::TriangleCount),
                static_cast<unsigned long long>(h));
    return 0;
}

// Takes this program's own options out of argv; false for a bad value.
bool TakeOptions(int& argc, char** argv, bool& hashOnly) {
    int out = 1;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (std::strncmp(a, "--world=", 8) == 0) {
            g_world = a + 8;
        } else if (std::strncmp(a, "--maze=", 7) == 0) {
            char* end = nullptr;
            const long n = std::strtol(a + 7, &end, 10);
            if (*end != '\0' || n < 4 || n > 4000) {
                std::fprintf(stderr, "game_bench: --maze wants a side from 4 to 4000 cells\n");
                return false;
            }
            g_scratch = "/tmp/qv-maze-" + std::to_string(n) + "-" + std::to_string(getpid()) + ".map";
            if (!mazeworld::WriteMazeWorldFile(static_cast<int>(n), g_scratch)) {
                std::fprintf(stderr, "game_bench: cannot write %s\n", g_scratch.c_str());
                return false;
            }
            g_world = g_scratch;
        } else if (std::strcmp(a, "--frame-hash") == 0) {
            hashOnly = true;
        } else {
            argv[out++] = argv[i];
        }
    }
    argc = out;
    return true;
}

}  // namespace

// The run ends as the program's does: the engine is shut down and the process ends at once,
// without tearing down the windows and the engine's module state one by one.
int main(int argc, char** argv) {
    bool hashOnly = false;
    if (!TakeOptions(argc, argv, hashOnly)) return 2;
    int rc = 0;
    if (hashOnly) {
        rc = PrintFrameHash();
    } else {
        benchmark::Initialize(&argc, argv);
        if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
        // The device draws with helper threads: frames per second are counted against the wall clock.
        benchmark::RegisterBenchmark("BM_MainLoop/StartCell", MainLoop, false)
            ->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
        benchmark::RegisterBenchmark("BM_MainLoop/Turning", MainLoop, true)
            ->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
    }
    ZemDx::ShutdownEngine();
    if (!g_scratch.empty()) unlink(g_scratch.c_str());
    std::fflush(stdout);
    std::_Exit(rc);
}
