// The cost of showing a frame in the game's picture box: the 640 x 480 back buffer shrunk to
// 402 x 302 with the area filter alone (BM_ShrinkFrame), and the whole PresentToWindow of the
// headless run time, which also repaints the box into its window (BM_PresentToPictureBox).
// Compare with a frame of game_bench at the Labyrinth.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "platform/media/frame_scale.h"
#include "platform/win32/headless/headless.h"
#include "platform/win32/win32.h"

namespace {

std::vector<uint32_t> Frame() {
    std::vector<uint32_t> f(640 * 480);
    uint32_t seed = 1;
    for (uint32_t& p : f) p = seed = seed * 1664525u + 1013904223u;
    return f;
}

// The argument names the widest vectors allowed (0 SSE2, 1 AVX2, 2 AVX-512); the label says
// which the processor let the scaler use.
void BM_ShrinkFrame(benchmark::State& state) {
    using V = media::FrameScaler::Vectors;
    const std::vector<uint32_t> frame = Frame();
    std::vector<uint32_t> box(402 * 302);
    media::FrameScaler scaler(static_cast<V>(state.range(0)));
    for (auto _ : state) {
        scaler.Scale(frame.data(), 640, 480, box.data(), 402, 302, 402);
        benchmark::DoNotOptimize(box.data());
    }
    const V used = scaler.Uses();
    state.SetLabel(used == V::Avx512 ? "AVX-512" : used == V::Avx2 ? "AVX2" : "SSE2");
}
BENCHMARK(BM_ShrinkFrame)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

struct Window : rt::Form {
    Window() : Form("ShrinkBenchWindow") { ClientSize(500, 370); }
    rt::PictureBox pic{*this, "pic", 48, 34, 402, 302};
};

void BM_PresentToPictureBox(benchmark::State& state) {
    rt::headless::Use();
    auto& w = rt::FormOf<Window>();
    w.Show();
    const std::vector<uint32_t> frame = Frame();
    for (auto _ : state) rt::PresentToWindow(w.pic.hWnd(), frame.data(), 640, 480);
}
BENCHMARK(BM_PresentToPictureBox)->Unit(benchmark::kMicrosecond);

}  // namespace
