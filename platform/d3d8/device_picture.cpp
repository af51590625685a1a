// The back buffer as seen from outside the device: Present, direct access to the buffers, and
// on a two-sample device the picture resolved from the samples.
#include <algorithm>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/device_state.h"
#include "platform/d3d8/fail.h"

using d3d8detail::DeviceState;
using d3d8detail::Fail;

namespace d3d8 {
void DeliverFrame(int32_t hWnd, const uint32_t* argb, int width, int height);
}

namespace d3d8detail {

void SamplesBeforeDrawing(DeviceState& s) {
    SecondSample& two = *s.second;
    if (two.handedOut) {
        // Nothing is queued: the last Picture() finished every draw and none came since.
        std::copy(two.resolved.begin(), two.resolved.end(), s.color.begin());
        std::copy(two.resolved.begin(), two.resolved.end(), two.color.begin());
        two.handedOut = false;
    }
    two.resolvedCurrent = false;
}

std::vector<uint32_t>& Picture(DeviceState& s) {
    s.raster->Flush();
    if (!s.second) return s.color;
    SecondSample& two = *s.second;
    if (!two.resolvedCurrent) {
        ResolveSamples(s.color.data(), two.color.data(), two.resolved.data(), two.resolved.size());
        two.resolvedCurrent = true;
    }
    return two.resolved;
}

}  // namespace d3d8detail

void Direct3DDevice8::Present(const D3DRECT* SourceRect, const D3DRECT* DestRect, int32_t hDestWindowOverride,
                              const void* DirtyRegion) {
    D3D8_INTERCEPT("Present", hDestWindowOverride);
    if (SourceRect || DestRect || DirtyRegion)
        Fail("Direct3DDevice8.Present", D3DERR_INVALIDCALL, "only whole-buffer presents are supported");
    DeviceState& s = *s_;
    const std::vector<uint32_t>& picture = d3d8detail::Picture(s);
    const int32_t hWnd = hDestWindowOverride ? hDestWindowOverride
                                             : (s.pp.hDeviceWindow ? s.pp.hDeviceWindow : s.focusWindow);
    d3d8::DeliverFrame(hWnd, picture.data(), s.width, s.height);
}


// ---- Direct buffer access ---------------------------------------------------------------------

void Direct3DDevice8::Flush() { s_->raster->Flush(); }

// On a two-sample device this is the resolved picture: what is written there shows at the next
// Present, and goes into both samples before anything more is drawn.
uint32_t* Direct3DDevice8::BackBufferData() {
    uint32_t* data = d3d8detail::Picture(*s_).data();
    if (s_->second) s_->second->handedOut = true;
    return data;
}

int Direct3DDevice8::BackBufferWidth() const { return s_->width; }
int Direct3DDevice8::BackBufferHeight() const { return s_->height; }
int Direct3DDevice8::BackBufferPitch() const { return s_->width; }

std::vector<uint32_t> Direct3DDevice8::GetBackBufferPixels() { return d3d8detail::Picture(*s_); }

// On a two-sample device, sample 0's depths.
std::vector<uint16_t> Direct3DDevice8::GetDepthPixels() {
    s_->raster->Flush();
    return s_->depth;
}

