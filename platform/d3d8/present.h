// How presented frames leave the device: the window run time's handler, or (without one) the
// last frame kept for tests.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

namespace d3d8 {

// The window run time installs this, whatever its backend, to show presented frames in the
// window `hWnd` (it scales the frame to the window's client area). Pass an empty function to
// remove it. With `keepFrames` each frame is also kept as the last presented frame (the headless
// backend asks for it: its tests look at whole frames).
using PresentHandler = std::function<void(int32_t hWnd, const uint32_t* argb, int width, int height)>;
void SetPresentHandler(PresentHandler handler, bool keepFrames = false);

// The last frame presented while no handler was installed, or while the handler's keepFrames
// was set (for tests).
struct PresentedFrame {
    int32_t hWnd = 0;
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    int count = 0;   // presents so far
};
const PresentedFrame& LastPresentedFrame();

}  // namespace d3d8
