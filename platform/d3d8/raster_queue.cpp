// The queue of the rasterizer and its threads: commands gathered into batches, batches handed
// to the workers in order, each worker drawing its own bands of every batch, and the waits of
// the producer for room and for the end.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <new>
#include <string>
#include <utility>

#include "platform/d3d8/fail.h"
#include "platform/d3d8/raster.h"
#include "platform/d3d8/testswitch.h"
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace d3d8detail {

namespace {

constexpr size_t kBatchPrims = 128;
constexpr size_t kMaxBatchesInFlight = 256;

// Waking a sleeping thread takes long next to a frame's work (more so on a virtual machine), so
// the drawing threads and the producer waiting for them first watch for the event they wait
// for a short while, yielding the processor often, before they sleep. When a yield keeps a
// watcher off the processor for long, other work wants these processors: watching would only
// take time from it, so nobody watches for a while.
constexpr auto kSpin = std::chrono::microseconds(250);
constexpr auto kDisplaced = std::chrono::microseconds(1000);
constexpr auto kQuiet = std::chrono::milliseconds(20);
std::atomic<int64_t> g_quietUntil{0};   // steady-clock ticks until which nobody watches

template <class Ready>
bool SpinUntil(Ready ready) {
    using Clock = std::chrono::steady_clock;
    auto now = Clock::now();
    if (now.time_since_epoch().count() < g_quietUntil.load(std::memory_order_relaxed)) return ready();
    const auto until = now + kSpin;
    for (unsigned i = 1;; ++i) {
        if (ready()) return true;
        if ((i & 31) == 0) {
            const auto before = Clock::now();
            if (before > until) return false;
            std::this_thread::yield();
            now = Clock::now();
            if (now - before > kDisplaced) {
                g_quietUntil.store((now + kQuiet).time_since_epoch().count(), std::memory_order_relaxed);
                return ready();
            }
        } else {
#if defined(__SSE2__)
            _mm_pause();
#endif
        }
    }
}

// Raises a drawing failure kept by a worker, on the thread that flushes.
[[noreturn, gnu::cold]] void RaiseDrawingFailure(const std::exception_ptr& failure) {
    std::string why = "out of memory";
    try {
        std::rethrow_exception(failure);
    } catch (const std::bad_alloc&) {
    } catch (const std::exception& e) {
        why = e.what();
    } catch (...) {
    }
    Fail("Direct3DDevice8 drawing", D3DERR_OUTOFVIDEOMEMORY, why);
}

}  // namespace

// Workers are started one by one until all are running or the system refuses one; those
// started draw the bands between them.
Rasterizer::Rasterizer(int threads) {
    const size_t wanted = static_cast<size_t>(std::max(0, threads));
    nextIndex_.assign(wanted, 0);
    workers_.threads.reserve(wanted);
    queue_.reserve(kMaxBatchesInFlight);   // so that Submit never allocates
    for (size_t i = 0; i < wanted; ++i) {
        if (d3d8test::Active() && d3d8test::ThreadStartFails()) break;
        try {
            workers_.threads.emplace_back([this, i] { WorkerLoop(static_cast<int>(i)); });
        } catch (const std::exception&) {   // std::system_error, or std::bad_alloc for its state
            break;
        }
    }
    // The workers read it only once a batch is queued, under the mutex, so after this.
    threads_ = static_cast<int>(workers_.threads.size());
}

// Every queued command is finished before the workers are told to stop (by workers_, the first
// member destroyed), so no worker touches the target (or a texture of a pixel state) once this
// returns.
Rasterizer::~Rasterizer() { Finish(); }

void Rasterizer::StopWorkers() noexcept {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    workCv_.notify_all();
    for (std::thread& w : workers_.threads) w.join();
    workers_.threads.clear();
}

Rasterizer::Batch& Rasterizer::Current() {
    if (!current_) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!free_.empty()) {
            current_ = std::move(free_.back());
            free_.pop_back();
        }
        lock.unlock();
        if (!current_) {
            current_ = std::make_unique<Batch>();
            current_->prims.reserve(kBatchPrims);
        }
        current_->target = target_;
        stateDirty_ = true;
    }
    return *current_;
}

void Rasterizer::SetState(const PixelState& s, const std::shared_ptr<const void>& keepAlive) {
    state_ = s;
    stateKeep_ = keepAlive;
    stateDirty_ = true;
}

void Rasterizer::AddPrim(Prim::Kind kind, const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                         bool flat, uint32_t color) {
    Batch& bt = Current();
    if (stateDirty_) {
        bt.states.push_back(state_);
        if (stateKeep_ && (bt.keep.empty() || bt.keep.back() != stateKeep_)) bt.keep.push_back(stateKeep_);
        stateDirty_ = false;
    }
    Prim& p = bt.prims.emplace_back();
    p.kind = kind;
    p.flatColor = flat;
    p.color = color;
    p.index = static_cast<uint32_t>(bt.states.size() - 1);
    p.v[0] = a;
    p.v[1] = b;
    p.v[2] = c;
    Added(bt);
}

void Rasterizer::Added(Batch& b) {
    if (b.prims.size() >= kBatchPrims) Submit();
}

void Rasterizer::AddTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, bool flat,
                             uint32_t color) {
    AddPrim(Prim::Triangle, a, b, c, flat, color);
}

void Rasterizer::AddLine(const ScreenVertex& a, const ScreenVertex& b, bool flat, uint32_t color) {
    AddPrim(Prim::Line, a, b, b, flat, color);
}

void Rasterizer::AddClear(int x0, int y0, int x1, int y1, bool color, uint32_t argb, bool depth, uint16_t z) {
    if (x0 >= x1 || y0 >= y1 || (!color && !depth)) return;
    Batch& bt = Current();
    Prim& p = bt.prims.emplace_back();
    p = Prim{};
    p.kind = Prim::Clear;
    p.index = static_cast<uint32_t>(bt.clears.size());
    bt.clears.push_back(ClearCommand{x0, y0, x1, y1, color, argb, depth, z});
    Added(bt);
}

void Rasterizer::DrawBatch(const Batch& b, int band, int bands) const {
    if (b.failDrawing) [[unlikely]]
        throw std::bad_alloc();
    if (b.target.color1) {
        for (const Prim& p : b.prims) DrawSamples(b.target, b.states.data(), b.clears.data(), p, band, bands);
        return;
    }
    for (const Prim& p : b.prims) DrawCommand(b.target, b.states.data(), b.clears.data(), p, band, bands);
}

void Rasterizer::DrawBatchKeepingFailure(const Batch& b, int band, int bands) noexcept {
    try {
        DrawBatch(b, band, bands);
    } catch (...) {
        // The first failure is the one told; the worker goes on with the next batch.
        std::lock_guard<std::mutex> lock(mutex_);
        if (!failure_) failure_ = std::current_exception();
    }
}

void Rasterizer::Submit() {
    if (!current_) return;
    if (d3d8detail::g_testSwitchesActive.load(std::memory_order_relaxed)) [[unlikely]]
        current_->failDrawing = d3d8test::DrawingFails();
    if (threads_ == 0) {
        DrawBatchKeepingFailure(*current_, 0, 1);
        current_->Clear();
        stateDirty_ = true;
        return;
    }
    std::unique_lock<std::mutex> lock(mutex_);
    waitingForRoom_ = true;
    doneCv_.wait(lock, [this] { return queue_.size() < kMaxBatchesInFlight; });
    waitingForRoom_ = false;
    current_->pending = threads_;
    queue_.push_back(std::move(current_));
    submitted_.store(submittedBase_ + queue_.size(), std::memory_order_release);
    lock.unlock();
    workCv_.notify_all();
}

// Submits the batch being gathered and waits until every batch is drawn; returns the drawing
// failure kept since the last wait, if any.
std::exception_ptr Rasterizer::Wait() noexcept {
    if (current_ && !current_->prims.empty()) Submit();
    std::unique_lock<std::mutex> lock(mutex_, std::defer_lock);
    if (threads_ > 0) {
        const size_t all = submitted_.load(std::memory_order_relaxed);
        SpinUntil([&] { return finished_.load(std::memory_order_acquire) >= all; });
        lock.lock();
        doneCv_.wait(lock, [this] { return queue_.empty(); });
    }
    // Without workers only this thread keeps failures: no lock needed.
    return std::exchange(failure_, nullptr);
}

void Rasterizer::Flush() {
    if (std::exception_ptr failure = Wait()) [[unlikely]]
        RaiseDrawingFailure(failure);
}

void Rasterizer::Finish() noexcept { (void)Wait(); }

void Rasterizer::WorkerLoop(int index) {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        if (nextIndex_[static_cast<size_t>(index)] >= submittedBase_ + queue_.size()) {
            if (stop_) return;
            // Nothing to draw: look out for the next batch for a moment before sleeping.
            const size_t next = nextIndex_[static_cast<size_t>(index)];
            lock.unlock();
            const bool arrived = SpinUntil([&] { return submitted_.load(std::memory_order_acquire) > next; });
            lock.lock();
            if (!arrived)
                workCv_.wait(lock, [&] { return stop_ || nextIndex_[static_cast<size_t>(index)] < submittedBase_ + queue_.size(); });
            continue;
        }
        Batch* b = queue_[nextIndex_[static_cast<size_t>(index)] - submittedBase_].get();
        lock.unlock();
        // A batch that fails still counts as drawn by this worker, so nobody waits for it.
        DrawBatchKeepingFailure(*b, index, threads_);
        lock.lock();
        ++nextIndex_[static_cast<size_t>(index)];
        --b->pending;
        bool freed = false;
        while (!queue_.empty() && queue_.front()->pending == 0) {
            std::unique_ptr<Batch> done = std::move(queue_.front());
            queue_.erase(queue_.begin());
            ++submittedBase_;
            done->Clear();
            free_.push_back(std::move(done));
            freed = true;
        }
        if (freed) finished_.store(submittedBase_, std::memory_order_release);
        // Wake the producer only when it waits: for room in the queue, or for the queue to empty.
        if (freed && (queue_.empty() || waitingForRoom_)) doneCv_.notify_all();
    }
}

}  // namespace d3d8detail
