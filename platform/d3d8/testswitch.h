// The test interface of the platform objects, for tests and for the implementation of the
// platform layers: the Direct3D stand-in's objects and D3DX's calls (Intercept) ask it; the
// engine and the layers above never include it.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "platform/d3d8/d3d8.h"

namespace d3d8detail {
enum class SpanPath : uint8_t;   // raster.h
}

// Test-only switches: make chosen calls fail, force the answers of the capability checks and
// the span path of new devices, and record the calls made. Every platform object checks the
// switch on each call; it costs one flag test while nothing is armed or recorded.
namespace d3d8test {

struct CallRecord {
    std::string Method;            // "SetRenderState", "CreateVertexBuffer", "CreateFont" ...
    std::vector<int64_t> Args;     // the numeric arguments, in order
};

// Disarms every fault, forgets the forced results, stops recording and clears the record.
void Reset();
// Calls of `Method` number nth, nth+1, ..., nth+count-1 from now (1 = the next) fail with
// `code` (count -1: every call from the nth on).
void FailCall(const std::string& Method, int nth = 1, int count = 1, int32_t code = D3DERR_INVALIDCALL);
// Forced results of the checks (until Reset).
void SetCheckDeviceTypeResult(int32_t code);
void SetCheckDeviceMultiSampleTypeResult(int32_t code);
bool CheckDeviceTypeForced(int32_t& code);
bool CheckDeviceMultiSampleTypeForced(int32_t& code);
// The span path of the devices created from now on, one of d3d8detail::AvailableSpanPaths()
// (tests draw the same scenes on each); nullopt: the usual choice (QV_SPAN_PATH, else the
// widest the processor has). Device creation reads it itself: it leaves Active() as it is.
void ForceSpanPath(std::optional<d3d8detail::SpanPath> path);
bool SpanPathForced(d3d8detail::SpanPath& path);
// Recording of calls.
void Record(bool on);
const std::vector<CallRecord>& Calls();
int CallCount(const std::string& Method);
void ClearCalls();

// The rasterizer's own failures: the starts of drawing threads number nth .. nth+count-1 from
// now fail as when the system has no thread to give (count -1: every one from the nth on), and
// the drawing of the batches (up to 128 primitives and clears, or what a flush finds) numbered
// nth .. nth+count-1 from now runs out of memory.
void FailThreadStart(int nth = 1, int count = 1);
void FailDrawing(int nth = 1, int count = 1);
// For the rasterizer: counts a thread start or a batch and says whether it must fail.
bool ThreadStartFails();
bool DrawingFails();

// True while any switch is armed or recording is on.
bool Active();
// For every platform call: counts and records the call; returns the failure code when this
// call must fail, else D3D_OK. Used by other platform modules too (D3DX's CreateFont ...).
int32_t Intercept(const char* Method, std::initializer_list<int64_t> Args = {});

}  // namespace d3d8test
