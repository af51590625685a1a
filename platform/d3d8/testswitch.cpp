// Test-only switches of the platform objects: armed faults, forced check results, call record.
#include <atomic>
#include <map>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/fail.h"
#include "platform/d3d8/testswitch.h"

namespace d3d8detail {
std::atomic<bool> g_testSwitchesActive{false};
}

namespace d3d8test {
namespace {

// The numbers (1-based) of the events that fail: the nth .. nth+count-1 after the `done` events
// so far (count -1: every one from the nth on).
struct FailingNumbers {
    int64_t first = 0, last = 0;   // last -1: no end; first 0: none
    FailingNumbers() = default;
    FailingNumbers(int64_t done, int nth, int count)
        : first(done + (nth < 1 ? 1 : nth)), last(count < 0 ? -1 : first + count - 1) {}
    bool Armed() const { return first != 0; }
    bool Covers(int64_t k) const { return Armed() && k >= first && (last < 0 || k <= last); }
};

struct Fault {
    std::string method;
    FailingNumbers calls;   // numbered per method
    int32_t code;
};

// Numbered events of the rasterizer (thread starts, batches) of which a range fails.
struct FailingRange {
    int64_t count = 0;   // events so far
    FailingNumbers failing;
    bool Armed() const { return failing.Armed(); }
    void Arm(int nth, int n) { failing = FailingNumbers(count, nth, n); }
    bool Next() { return failing.Covers(++count); }
};

struct Switches {
    std::vector<Fault> faults;
    FailingRange threadStarts, drawings;
    std::map<std::string, int64_t, std::less<>> counts;
    bool recording = false;
    std::vector<CallRecord> calls;
    bool deviceTypeForced = false, multiSampleForced = false;
    int32_t deviceTypeCode = 0, multiSampleCode = 0;
    std::optional<d3d8detail::SpanPath> spanPath;   // read only when a device is made
};

Switches& S() {
    static Switches s;
    return s;
}

void UpdateActive() {
    const Switches& s = S();
    d3d8detail::g_testSwitchesActive.store(s.recording || !s.faults.empty() || s.deviceTypeForced || s.multiSampleForced ||
                                               s.threadStarts.Armed() || s.drawings.Armed(),
                   std::memory_order_relaxed);
}

}  // namespace

bool Active() { return d3d8detail::g_testSwitchesActive.load(std::memory_order_relaxed); }

void Reset() {
    S() = Switches{};
    UpdateActive();
}

void FailCall(const std::string& Method, int nth, int count, int32_t code) {
    Switches& s = S();
    s.faults.push_back({Method, FailingNumbers(s.counts[Method], nth, count), code == 0 ? D3DERR_INVALIDCALL : code});
    UpdateActive();
}

void FailThreadStart(int nth, int count) {
    S().threadStarts.Arm(nth, count);
    UpdateActive();
}

void FailDrawing(int nth, int count) {
    S().drawings.Arm(nth, count);
    UpdateActive();
}

bool ThreadStartFails() { return S().threadStarts.Next(); }
bool DrawingFails() { return S().drawings.Next(); }

void SetCheckDeviceTypeResult(int32_t code) {
    S().deviceTypeForced = true;
    S().deviceTypeCode = code;
    UpdateActive();
}

void SetCheckDeviceMultiSampleTypeResult(int32_t code) {
    S().multiSampleForced = true;
    S().multiSampleCode = code;
    UpdateActive();
}

bool CheckDeviceTypeForced(int32_t& code) {
    if (!S().deviceTypeForced) return false;
    code = S().deviceTypeCode;
    return true;
}

bool CheckDeviceMultiSampleTypeForced(int32_t& code) {
    if (!S().multiSampleForced) return false;
    code = S().multiSampleCode;
    return true;
}

void ForceSpanPath(std::optional<d3d8detail::SpanPath> path) { S().spanPath = path; }

bool SpanPathForced(d3d8detail::SpanPath& path) {
    if (!S().spanPath) return false;
    path = *S().spanPath;
    return true;
}

void Record(bool on) {
    S().recording = on;
    UpdateActive();
}

const std::vector<CallRecord>& Calls() { return S().calls; }

int CallCount(const std::string& Method) {
    int n = 0;
    for (const CallRecord& c : S().calls)
        if (c.Method == Method) ++n;
    return n;
}

void ClearCalls() { S().calls.clear(); }

int32_t Intercept(const char* Method, std::initializer_list<int64_t> Args) {
    if (!Active()) return D3D_OK;
    Switches& s = S();
    auto it = s.counts.find(std::string_view(Method));
    if (it == s.counts.end()) it = s.counts.emplace(Method, 0).first;
    const int64_t n = ++it->second;
    if (s.recording) s.calls.push_back({Method, std::vector<int64_t>(Args)});
    for (const Fault& f : s.faults)
        if (f.method == Method && f.calls.Covers(n)) return f.code;
    return D3D_OK;
}

}  // namespace d3d8test
