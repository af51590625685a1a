// The rasterizer behind the device: triangles and lines in screen space, with the pixel state
// they were drawn with, turned into pixels of the back and depth buffers. Primitives and clears
// are queued and drawn by worker threads, each owning interleaved bands of rows, so every pixel
// still sees the commands in submission order and the image does not depend on the number of
// workers.
//
// The stages, one file each: raster_queue.cpp (the queue and its threads), raster_tiles.cpp
// (depth tiles and their bounds), raster_setup.cpp (triangle and line setup), span.cpp with
// span_sse2.cpp and span_avx2.cpp (the spans of a triangle's rows), raster_clear.cpp (clears).
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/d3d8/d3d8.h"

namespace d3d8detail {

// Level 0 of the bound texture, as the sampler reads it.
struct TexInfo {
    const uint32_t* pixels = nullptr;   // null: no texture (reads as opaque white)
    int32_t width = 0, height = 0;
    uint32_t alphaOr = 0;               // 0xFF000000 for formats without alpha
    uint8_t addressU = D3DTADDRESS_WRAP, addressV = D3DTADDRESS_WRAP;
    bool pow2 = false;                  // both sizes powers of two
};

// Everything a pixel of a primitive depends on besides its interpolated values.
struct PixelState {
    TexInfo tex;
    uint8_t colorOp = D3DTOP_MODULATE, colorArg1 = D3DTA_TEXTURE, colorArg2 = D3DTA_CURRENT;
    uint8_t alphaOp = D3DTOP_SELECTARG1, alphaArg1 = D3DTA_TEXTURE, alphaArg2 = D3DTA_CURRENT;
    bool blend = false;
    uint8_t srcBlend = D3DBLEND_ONE, dstBlend = D3DBLEND_ZERO;
    bool depthTest = false, depthWrite = false;
    uint8_t depthFunc = D3DCMP_LESSEQUAL;
    int32_t clipX0 = 0, clipY0 = 0, clipX1 = 0, clipY1 = 0;  // viewport in pixels, x1/y1 exclusive
    bool multisample = false;   // a two-sample target draws at each sample's position, else at the centre
};

// A vertex after projection: pixel position, depth 0..1, 1/w, and the attributes already
// multiplied by 1/w so that they interpolate linearly in screen space.
struct ScreenVertex {
    float x, y, z, invW;
    float u, v;            // u/w, v/w
    float r, g, b, a;      // colour 0..255, each /w
};

// One entry of the queue: a triangle, a line, or a clear. A clear's rectangle and values are a
// ClearCommand of the batch (its `clears`), named by `index`; triangles and lines name their
// pixel state the same way.
struct Prim {
    enum Kind : uint8_t { Triangle, Line, Clear };
    Kind kind;
    bool flatColor;        // the three colours are equal: `color` holds it
    uint32_t color;        // packed ARGB when flatColor
    uint32_t index;        // triangle, line: index into the batch's pixel states; clear: into its clears
    ScreenVertex v[3];     // triangle: 3, line: 2; unused for a clear
};

// Fills a rectangle (x1, y1 exclusive) of the colour and/or the depth buffer.
struct ClearCommand {
    int x0, y0, x1, y1;
    bool color;
    uint32_t argb;
    bool depth;            // ignored when the target has no depth buffer
    uint16_t z;
};

// Which code draws the common textured span (span.cpp): the scalar loop is the reference, the
// others must give its very pixels.
enum class SpanPath : uint8_t { Scalar, Sse2, Avx2 };

// For every 16 x 16 tile of the depth buffer, a depth no smaller than any in the tile, so that
// a triangle wholly behind what is drawn there can be passed over. A tile written since its
// bound was taken is marked and measured again when next asked. Tile rows are strips, so each
// tile belongs to one drawing thread.
struct DepthTiles {
    int cols = 0, rows = 0;
    std::vector<uint16_t> bound;
    std::vector<uint8_t> written;
    void Resize(int width, int height) {
        cols = (width + 15) >> 4;
        rows = (height + 15) >> 4;
        bound.assign(static_cast<size_t>(cols) * static_cast<size_t>(rows), 0xFFFF);
        written.assign(bound.size(), 1);
    }
};

// The buffers drawn into.
struct Target {
    uint32_t* color = nullptr;
    uint16_t* depth = nullptr;   // null: no depth buffer
    int width = 0, height = 0;
    DepthTiles* tiles = nullptr;   // null: no tile bounds kept (must be set with `depth`)
    SpanPath spans = SpanPath::Scalar;
    // Two samples per pixel when set: the fields above are sample 0's buffers, these sample
    // 1's, of the same size (depth1 and tiles1 set exactly when depth and tiles are).
    uint32_t* color1 = nullptr;
    uint16_t* depth1 = nullptr;
    DepthTiles* tiles1 = nullptr;
};

// Teardown: the destructor finishes every queued command, then stops and joins the workers.
// Queued commands point into the target's buffers and, through the pixel states, into
// textures (kept alive by `keepAlive`, see SetState), so whoever owns the buffers must destroy
// (or at least Finish) the rasterizer before freeing them.
//
// Failures: a command that cannot be drawn (out of memory) leaves the rest of its batch undrawn
// in that thread's bands, and the next Flush raises it on the calling thread; the queue goes on.
class Rasterizer {
public:
    // `threads` 0: draw on the calling thread at flush time; otherwise up to that many workers.
    // A worker the system cannot start (no threads or memory left) is done without: fewer
    // workers, none at worst, draw the same picture.
    explicit Rasterizer(int threads);
    ~Rasterizer();
    Rasterizer(const Rasterizer&) = delete;
    Rasterizer& operator=(const Rasterizer&) = delete;

    void SetTarget(const Target& t) { target_ = t; }
    // The pixel state of the primitives added from now on. Keeps `keepAlive` until the
    // primitives drawn with it are finished.
    void SetState(const PixelState& s, const std::shared_ptr<const void>& keepAlive);
    void AddTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, bool flat, uint32_t color);
    void AddLine(const ScreenVertex& a, const ScreenVertex& b, bool flat, uint32_t color);
    // Fills a rectangle of the colour and/or depth buffer (in order with the primitives).
    void AddClear(int x0, int y0, int x1, int y1, bool color, uint32_t argb, bool depth, uint16_t z);
    // Finishes every primitive added so far. A command that could not be drawn since the last
    // Flush raises a run-time error here (D3DERR_OUTOFVIDEOMEMORY).
    void Flush();
    // The same for teardown: never raises, and a failure kept for the next Flush is dropped.
    void Finish() noexcept;

private:
    struct Batch {
        std::vector<Prim> prims;
        std::vector<PixelState> states;
        std::vector<ClearCommand> clears;
        std::vector<std::shared_ptr<const void>> keep;
        Target target;
        int pending = 0;   // workers yet to finish it
        bool failDrawing = false;   // a test switch's failure: drawing it runs out of memory
        // Empties it for reuse, keeping its storage.
        void Clear() {
            prims.clear();
            states.clear();
            clears.clear();
            keep.clear();
            failDrawing = false;
        }
    };
    void AddPrim(Prim::Kind kind, const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, bool flat,
                 uint32_t color);
    void Added(Batch& b);
    void Submit();
    void DrawBatch(const Batch& b, int band, int bands) const;
    // Draws the batch, keeping a failure for the next Flush instead of letting it out.
    void DrawBatchKeepingFailure(const Batch& b, int band, int bands) noexcept;
    std::exception_ptr Wait() noexcept;
    void WorkerLoop(int index);
    void StopWorkers() noexcept;
    Batch& Current();

    Target target_;
    PixelState state_;
    std::shared_ptr<const void> stateKeep_;
    bool stateDirty_ = true;
    std::unique_ptr<Batch> current_;

    int threads_ = 0;   // workers started: each draws band `index` of `threads_`
    std::mutex mutex_;
    std::condition_variable workCv_, doneCv_;
    std::vector<std::unique_ptr<Batch>> queue_;    // submitted, in order
    std::vector<size_t> nextIndex_;                // per worker: position in the submitted sequence
    size_t submittedBase_ = 0;                     // sequence number of queue_[0]
    std::vector<std::unique_ptr<Batch>> free_;
    bool stop_ = false;
    bool waitingForRoom_ = false;
    std::exception_ptr failure_;   // the first drawing failure since the last Flush
    // Batches submitted and finished so far, for waiting without the lock.
    std::atomic<size_t> submitted_{0}, finished_{0};

    // The workers, stopped and joined when this is destroyed. The last member, so the first
    // destroyed: whatever ends the rasterizer (its destructor, or its constructor failing after
    // starting some) joins them while the mutex, the condition variables and the queue they
    // wait on still exist.
    class Workers {
    public:
        explicit Workers(Rasterizer& r) : r_(r) {}
        ~Workers() { r_.StopWorkers(); }
        Workers(const Workers&) = delete;
        Workers& operator=(const Workers&) = delete;
        std::vector<std::thread> threads;

    private:
        Rasterizer& r_;
    };
    Workers workers_{*this};
};

// Draws one command into the rows of `band` (rows whose 16-row strip number modulo `bands` is
// `band`).
void DrawTriangle(const Target& t, const PixelState& s, const Prim& p, int band, int bands);
void DrawLine(const Target& t, const PixelState& s, const Prim& p, int band, int bands);
void DrawClear(const Target& t, const ClearCommand& c, int band, int bands);
// Any of the three, with the pixel state or clear the command names.
inline void DrawCommand(const Target& t, const PixelState* states, const ClearCommand* clears, const Prim& p, int band,
                        int bands) {
    switch (p.kind) {
    case Prim::Triangle: DrawTriangle(t, states[p.index], p, band, bands); break;
    case Prim::Line: DrawLine(t, states[p.index], p, band, bands); break;
    case Prim::Clear: DrawClear(t, clears[p.index], band, bands); break;
    }
}
// The same for a two-sample target (raster_samples.cpp): the command drawn into each sample.
void DrawSamples(const Target& t, const PixelState* states, const ClearCommand* clears, const Prim& p, int band,
                 int bands);

// The picture of two samples: each channel the average of the two, rounded up.
void ResolveSamples(const uint32_t* sample0, const uint32_t* sample1, uint32_t* out, size_t count);

constexpr int kStripShift = 4;   // rows per strip: 16

}  // namespace d3d8detail
