// Coverage rules of the rasterizer (pixel centres, shared edges, viewport), the promise that
// drawing on worker threads gives the same image as drawing on one, also with fewer workers
// than asked for, and drawing failures reaching the caller.
#include <gtest/gtest.h>

#include <pthread.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/testswitch.h"
#include "platform/runtime/errors.h"
#include "tests/render/d3d8_scene.h"

using namespace d3d8testing;

namespace {

class Raster : public ::testing::Test {
protected:
    void SetUp() override { d3d8test::Reset(); }
    // A device that adds its draws: every covered pixel gains 1 in blue per covering triangle.
    Direct3DDevice8Ptr Counting(int w, int h) {
        Direct3DDevice8Ptr dev = MakeDevice(w, h, false);
        dev->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        dev->SetRenderState(D3DRS_LIGHTING, 0);
        dev->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
        dev->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
        dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
        dev->SetVertexShader(kScreenFVF);
        dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
        dev->BeginScene();
        return dev;
    }
    static void Tri(Direct3DDevice8& dev, float x0, float y0, float x1, float y1, float x2, float y2) {
        const uint32_t c = 0x00000001;
        ScreenVertexTL v[3] = {{x0, y0, 0, 1, c, 0, 0, 0}, {x1, y1, 0, 1, c, 0, 0, 0}, {x2, y2, 0, 1, c, 0, 0, 0}};
        dev.DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, 32);
    }
};

TEST_F(Raster, PixelCentresAreAtIntegerCoordinatesWithTopLeftEdgesIncluded) {
    auto dev = Counting(8, 8);
    // The rectangle from (2, 1) to (6, 5): centres 2..5 across and 1..4 down are inside; the
    // right and bottom edges pass exactly through the centres of column 6 and row 5.
    Tri(*dev, 2, 1, 6, 1, 2, 5);
    Tri(*dev, 6, 1, 6, 5, 2, 5);
    const auto px = dev->GetBackBufferPixels();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const uint32_t want = (x >= 2 && x < 6 && y >= 1 && y < 5) ? 1u : 0u;
            EXPECT_EQ(Pixel(px, 8, x, y) & 0xFF, want) << x << "," << y;
        }
    // Half-pixel positions: (0.5, 0.5)-(2.5, 2.5) covers the centres 1 and 2.
    auto dev2 = Counting(4, 4);
    Tri(*dev2, 0.5f, 0.5f, 2.5f, 0.5f, 0.5f, 2.5f);
    Tri(*dev2, 2.5f, 0.5f, 2.5f, 2.5f, 0.5f, 2.5f);
    const auto px2 = dev2->GetBackBufferPixels();
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(Pixel(px2, 4, x, y) & 0xFF, (x >= 1 && x <= 2 && y >= 1 && y <= 2) ? 1u : 0u) << x << "," << y;
}

TEST_F(Raster, TrianglesSharingEdgesCoverEveryPixelOnce) {
    // A fan of thin triangles around an off-centre point, with edges at awkward slopes, tiles
    // the square (1,1)-(31,31): each pixel inside is hit exactly once, none outside.
    auto dev = Counting(32, 32);
    const float cx = 13.37f, cy = 17.71f;
    std::vector<std::pair<float, float>> ring;
    for (int i = 0; i < 6; ++i) ring.push_back({1.0f + i * 5.0f + 0.3f * (i % 2), 1.0f});
    for (int i = 0; i < 6; ++i) ring.push_back({31.0f, 1.0f + i * 5.0f + 0.7f * (i % 2)});
    for (int i = 0; i < 6; ++i) ring.push_back({31.0f - i * 5.0f - 0.1f * (i % 2), 31.0f});
    for (int i = 0; i < 6; ++i) ring.push_back({1.0f, 31.0f - i * 5.0f - 0.45f * (i % 2)});
    for (size_t i = 0; i < ring.size(); ++i) {
        const auto& a = ring[i];
        const auto& b = ring[(i + 1) % ring.size()];
        Tri(*dev, cx, cy, a.first, a.second, b.first, b.second);
    }
    const auto px = dev->GetBackBufferPixels();
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const uint32_t want = (x >= 1 && x < 31 && y >= 1 && y < 31) ? 1u : 0u;
            EXPECT_EQ(Pixel(px, 32, x, y) & 0xFF, want) << x << "," << y;
        }
}

TEST_F(Raster, DrawsAndClearsStayInsideTheViewport) {
    auto dev = Counting(8, 8);
    dev->SetViewport({2, 3, 4, 2, 0.0f, 1.0f});
    dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00000010, 1.0f, 0);
    Tri(*dev, -10, -10, 30, -10, -10, 30);
    const auto px = dev->GetBackBufferPixels();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool in = x >= 2 && x < 6 && y >= 3 && y < 5;
            EXPECT_EQ(Pixel(px, 8, x, y) & 0xFFFFFF, in ? 0x11u : 0u) << x << "," << y;
        }
    D3DRECT r{0, 0, 3, 8};
    dev->Clear(1, &r, D3DCLEAR_TARGET, 0x00000020, 1.0f, 0);   // cut to the viewport too
    const auto px2 = dev->GetBackBufferPixels();
    EXPECT_EQ(Pixel(px2, 8, 2, 3), 0x20u);
    EXPECT_EQ(Pixel(px2, 8, 3, 3) & 0xFFFFFF, 0x11u);
    EXPECT_EQ(Pixel(px2, 8, 1, 3), 0u);
    EXPECT_THROW(dev->SetViewport({6, 0, 4, 4, 0.0f, 1.0f}), rt::RuntimeError);
}

// A busy scene: many overlapping, clipped, blended, textured world triangles, drawn on a
// 97 x 83 device from a cleared buffer.
void DrawBusyScene(Direct3DDevice8& dev) {
    SetCamera(dev, 97.0f / 83.0f);
    dev.SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    dev.SetRenderState(D3DRS_LIGHTING, 0);
    dev.SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    dev.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    dev.SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    dev.SetVertexShader(kWorldFVF);
    auto tex = MakeTexture(16, 16, true, [](int x, int y) { return ((x ^ y) & 4) ? 0x80FF8040u : 0xFF2080C0u; });
    dev.Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    dev.BeginScene();
    std::mt19937 rng(12345);
    std::uniform_real_distribution<float> pos(-6.0f, 6.0f), depth(-1.0f, 12.0f), uv(-2.0f, 3.0f);
    for (int i = 0; i < 3000; ++i) {
        std::vector<WorldVertex> t(3);
        for (auto& v : t) v = {pos(rng), pos(rng), depth(rng), static_cast<uint32_t>(rng()), uv(rng), uv(rng)};
        dev.SetTexture(0, (i % 3) ? tex : nullptr);
        dev.DrawPrimitiveUP(i % 7 == 0 ? D3DPT_LINESTRIP : D3DPT_TRIANGLELIST, i % 7 == 0 ? 2 : 1, t.data(), 24);
    }
    dev.EndScene();
}

// The threads of this process.
int ThreadCount() {
    int n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) ++n;
    return n;
}

// The busy scene on a device of its own; `workers` gets the number of drawing threads it started.
std::vector<uint32_t> BusyScene(int* workers = nullptr) {
    const int before = ThreadCount();
    Direct3DDevice8Ptr dev = MakeDevice(97, 83);
    if (workers) *workers = ThreadCount() - before;
    DrawBusyScene(*dev);
    return dev->GetBackBufferPixels();
}

// QV_D3D8_THREADS set while it exists.
struct DrawingThreads {
    explicit DrawingThreads(const char* n) { setenv("QV_D3D8_THREADS", n, 1); }
    ~DrawingThreads() { unsetenv("QV_D3D8_THREADS"); }
};

// The pixels that differ.
size_t Differing(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    if (a.size() != b.size()) return std::max(a.size(), b.size());
    size_t n = 0;
    for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
    return n;
}

std::vector<uint32_t> OneThreadsPicture() {
    DrawingThreads threads("0");
    return BusyScene();
}

TEST_F(Raster, WorkerThreadsDrawTheSameImageAsOneThread) {
    const auto one = OneThreadsPicture();
    DrawingThreads threads("3");
    const auto three = BusyScene();
    EXPECT_EQ(Differing(one, three), 0u);
    size_t drawn = 0;
    for (uint32_t p : one) drawn += p != 0;
    EXPECT_GT(drawn, one.size() / 2);   // the scene really covers the buffer
}

// A drawing thread the system refuses to start: the device is made with those started before
// (none at worst, drawing on the calling thread) and draws the same picture with them.
TEST_F(Raster, WorkersThatCannotStartAreDoneWithout) {
    const auto one = OneThreadsPicture();
    DrawingThreads threads("3");
    // A thread started first brings along whatever else the first start does (ThreadSanitizer
    // starts a thread of its own), so that the counts below are the workers alone.
    (void)MakeDevice(8, 8);
    for (int refused = 1; refused <= 3; ++refused) {
        d3d8test::FailThreadStart(refused, -1);
        int workers = -1;
        const auto picture = BusyScene(&workers);
        EXPECT_EQ(workers, refused - 1) << "refused from start " << refused;
        EXPECT_EQ(Differing(one, picture), 0u) << "refused from start " << refused;
        d3d8test::Reset();
    }
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define QV_HUGE_SHADOW 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define QV_HUGE_SHADOW 1
#endif
#endif

// The same with a real refusal: in a child process whose address space has room for the scene
// and one thread's stack but not eight, a device asking for eight drawing threads starts fewer
// and draws the same picture. The child is bounded in time (a hang ends it).
TEST_F(Raster, WorkersBeyondTheAddressSpaceLimitAreDoneWithout) {
#ifdef QV_HUGE_SHADOW
    GTEST_SKIP() << "the sanitizers reserve more address space than any limit this test could set";
#else
    const auto one = OneThreadsPicture();
    DrawingThreads threads("8");
    size_t stack = 8u << 20;
    pthread_attr_t attr;
    if (pthread_getattr_default_np(&attr) == 0) {
        pthread_attr_getstacksize(&attr, &stack);
        pthread_attr_destroy(&attr);
    }
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        alarm(20);
        size_t pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlim_t room = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + stack * 3 / 2;
        const rlimit limit{room, room};
        if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(2);
        int workers = -1;
        const auto picture = BusyScene(&workers);
        if (workers >= 8) _exit(3);
        _exit(Differing(one, picture) == 0 ? 0 : 4);
    }
    int status = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > end) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            FAIL() << "the child hung";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(WIFEXITED(status)) << "the child died of signal " << WTERMSIG(status);
    EXPECT_NE(WEXITSTATUS(status), 3) << "every thread started: the limit did not bite";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "2: no limit set, 4: another picture";
#endif
}

// A batch that cannot be drawn (out of memory) fails the next Flush, here Present's, with the
// device's out-of-memory error, on the calling thread, with workers or without; the device goes
// on drawing, and one destroyed with such a failure never flushed goes quietly.
TEST_F(Raster, ADrawingFailureFailsTheNextFlushAndDrawingGoesOn) {
    const auto one = OneThreadsPicture();
    for (const char* n : {"0", "3"}) {
        DrawingThreads threads(n);
        Direct3DDevice8Ptr dev = MakeDevice(97, 83);
        d3d8test::FailDrawing(2);
        DrawBusyScene(*dev);
        try {
            dev->Present(nullptr, nullptr, 0, nullptr);
            ADD_FAILURE() << "no error with " << n << " threads";
        } catch (const rt::RuntimeError& e) {
            EXPECT_EQ(e.Number(), D3DERR_OUTOFVIDEOMEMORY) << n;
            EXPECT_NE(std::string(e.what()).find("out of memory"), std::string::npos) << e.what();
        }
        d3d8test::Reset();
        dev->Present(nullptr, nullptr, 0, nullptr);   // told once
        DrawBusyScene(*dev);
        EXPECT_EQ(Differing(one, dev->GetBackBufferPixels()), 0u) << n << " threads";

        d3d8test::FailDrawing(1, -1);
        DrawBusyScene(*dev);
        dev.reset();
        d3d8test::Reset();
    }
}

}  // namespace
