#pragma once
// A pixel grid of yes/no values (shape or background) and the silhouette of a skin picture.
#include <cstdint>
#include <vector>

#include "tools/outline/bmp.h"

namespace Outline {

struct Grid {
    int width = 0, height = 0;
    std::vector<uint8_t> cell;
    Grid() = default;
    Grid(int w, int h) : width(w), height(h), cell(size_t(w) * size_t(h), 0) {}
    // Outside the grid everything is background.
    bool At(int x, int y) const {
        return x >= 0 && y >= 0 && x < width && y < height && cell[size_t(y) * size_t(width) + size_t(x)] != 0;
    }
    void Set(int x, int y, bool v) { cell[size_t(y) * size_t(width) + size_t(x)] = v ? 1 : 0; }
    long Count() const;
};

// The background colour: the one colour of the four corner pixels. Throws BadPicture when the
// corners differ.
uint32_t BackgroundColour(const Picture& p);

// Pixels that differ from the background colour.
Grid ShapePixels(const Picture& p);

// The silhouette the outline follows: the shape pixels with notches narrower than about
// 2 * bridge + 1 pixels bridged (a closing), only the largest 4-connected piece kept, holes filled
// and pixels that touch only at a corner joined, so that its border is one simple closed path.
Grid Silhouette(const Grid& shape, int bridge);

}  // namespace Outline
