// The game window's view on the screen, for the end-to-end tests that watch it change: the
// picture box at (48, 34) in the window, 402 x 302, with the frame-rate label in its top-left
// corner (100 x 15 of 640 x 480, scaled).
#pragma once
#include "tests/e2e/harness.h"

namespace e2e {

struct GameView {
    int x0 = 0, y0 = 0;  // the view's top-left pixel on the screen
    static constexpr int kW = 402, kH = 302;
    static constexpr int kLabelW = 66, kLabelH = 12;

    static GameView Of(const Geometry& window) { return {window.x + 48, window.y + 34}; }
    static bool InLabel(int x, int y) { return x < kLabelW && y < kLabelH; }
};

// Pixels of the view outside the frame-rate label that differ between two screenshots.
inline int ViewDifference(const Image& a, const Image& b, GameView v) {
    int n = 0;
    for (int y = 0; y < GameView::kH; ++y)
        for (int x = 0; x < GameView::kW; ++x)
            if (!GameView::InLabel(x, y) && a.At(v.x0 + x, v.y0 + y) != b.At(v.x0 + x, v.y0 + y)) ++n;
    return n;
}

}  // namespace e2e
