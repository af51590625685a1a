// A 1000 x 1000 world: reading the file with LoadMap, and building a wall block for every wall
// cell (eight triangles each) with the run's own BuildWorld.
#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "app/frmWindowed_world.h"
#include "app/world_map.h"
#include "engine/geometry.h"

namespace {

constexpr int kSide = 1000;

// A world with a wall border, a wall on every third cell inside and floor elsewhere.
// Removes the generated world file when the program ends.
struct Scratch {
    std::string path;
    ~Scratch() { unlink(path.c_str()); }
};

const std::string& WorldFile() {
    static const Scratch scratch{[] {
        std::string p = "/tmp/qv-bench-world-" + std::to_string(getpid()) + ".map";
        std::string text = std::to_string(kSide) + "," + std::to_string(kSide) + ",12,12\r\n";
        for (int r = 1; r <= kSide; ++r) {
            for (int c = 1; c <= kSide; ++c) {
                bool wall = r == 1 || c == 1 || r == kSide || c == kSide || (r * 7 + c) % 3 == 0;
                int code = (r == kSide / 2 && c == kSide / 2) ? 13 : wall ? 1 + (r + c) % 11 : 12;
                text += std::to_string(code);
                if (c < kSide) text += ',';
            }
            text += "\r\n";
        }
        FILE* f = std::fopen(p.c_str(), "wb");
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
        return p;
    }()};
    return scratch.path;
}

void ResetTriangles() {
    ZemDx::Triangles.clear();
    ZemDx::TriangleBuffers.clear();
    ZemDx::TriangleCount = 0;
}

void BM_LoadMap(benchmark::State& state) {
    const std::string& path = WorldFile();
    for (auto _ : state) {
        ModMain::LoadMap(path);
        benchmark::DoNotOptimize(ModMain::Map(kSide, kSide));
    }
    state.counters["cells/s"] = benchmark::Counter(double(kSide) * kSide, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_LoadMap)->Unit(benchmark::kMillisecond);

void BM_BuildWalls(benchmark::State& state) {
    ModMain::LoadMap(WorldFile());
    int64_t triangles = 0;
    for (auto _ : state) {
        ResetTriangles();
        GameWorld::BuildWorld();
        triangles = ZemDx::TriangleCount;
        benchmark::DoNotOptimize(ZemDx::Triangles.data());
    }
    state.counters["triangles"] = double(triangles);
    state.counters["triangles/s"] = benchmark::Counter(double(triangles), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_BuildWalls)->Unit(benchmark::kMillisecond);

void BM_LoadAndBuild(benchmark::State& state) {
    const std::string& path = WorldFile();
    for (auto _ : state) {
        ResetTriangles();
        ModMain::LoadMap(path);
        GameWorld::BuildWorld();
        benchmark::DoNotOptimize(ZemDx::Triangles.data());
    }
}
BENCHMARK(BM_LoadAndBuild)->Unit(benchmark::kMillisecond);

}  // namespace
