#include "tools/outline/grid.h"

#include <algorithm>

namespace Outline {
namespace {

// Max (dilate) or min (erode) over a (2r+1) x (2r+1) square, as two one-dimensional passes.
Grid Morph(const Grid& g, int r, bool dilate) {
    Grid a(g.width, g.height), b(g.width, g.height);
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x) {
            bool v = !dilate;
            for (int k = -r; k <= r; ++k) {
                int xx = std::clamp(x + k, 0, g.width - 1);
                v = dilate ? (v || g.At(xx, y)) : (v && g.At(xx, y));
            }
            a.Set(x, y, v);
        }
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x) {
            bool v = !dilate;
            for (int k = -r; k <= r; ++k) {
                int yy = std::clamp(y + k, 0, g.height - 1);
                v = dilate ? (v || a.At(x, yy)) : (v && a.At(x, yy));
            }
            b.Set(x, y, v);
        }
    return b;
}

// Labels the 4-connected pieces of cells equal to `value`; returns the label per cell (0 = other).
std::vector<int> Label(const Grid& g, bool value, int& count) {
    std::vector<int> label(g.cell.size(), 0);
    std::vector<std::pair<int, int>> stack;
    count = 0;
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x) {
            if (g.At(x, y) != value || label[size_t(y) * g.width + x]) continue;
            ++count;
            stack.push_back({x, y});
            label[size_t(y) * g.width + x] = count;
            while (!stack.empty()) {
                auto [cx, cy] = stack.back();
                stack.pop_back();
                const int dx[] = {1, -1, 0, 0}, dy[] = {0, 0, 1, -1};
                for (int k = 0; k < 4; ++k) {
                    int nx = cx + dx[k], ny = cy + dy[k];
                    if (nx < 0 || ny < 0 || nx >= g.width || ny >= g.height) continue;
                    int& l = label[size_t(ny) * g.width + nx];
                    if (g.At(nx, ny) != value || l) continue;
                    l = count;
                    stack.push_back({nx, ny});
                }
            }
        }
    return label;
}

// Fills every background piece that does not reach the grid's edge. Returns true if any was filled.
bool FillHoles(Grid& g) {
    int n = 0;
    std::vector<int> label = Label(g, false, n);
    std::vector<bool> open(size_t(n) + 1, false);
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x)
            if (x == 0 || y == 0 || x == g.width - 1 || y == g.height - 1) open[size_t(label[size_t(y) * g.width + x])] = true;
    bool changed = false;
    for (size_t i = 0; i < g.cell.size(); ++i)
        if (!g.cell[i] && !open[size_t(label[i])]) {
            g.cell[i] = 1;
            changed = true;
        }
    return changed;
}

// Joins shape pixels that meet only at a corner by filling one of the two other pixels of the 2x2
// block. Returns true if any pixel was filled.
bool JoinCorners(Grid& g) {
    bool changed = false;
    for (int y = 0; y + 1 < g.height; ++y)
        for (int x = 0; x + 1 < g.width; ++x) {
            bool a = g.At(x, y), b = g.At(x + 1, y), c = g.At(x, y + 1), d = g.At(x + 1, y + 1);
            if (a && d && !b && !c) { g.Set(x + 1, y, true); changed = true; }
            else if (b && c && !a && !d) { g.Set(x, y, true); changed = true; }
        }
    return changed;
}

}  // namespace

long Grid::Count() const {
    return long(std::count_if(cell.begin(), cell.end(), [](uint8_t v) { return v != 0; }));
}

uint32_t BackgroundColour(const Picture& p) {
    if (p.width < 1 || p.height < 1) throw BadPicture("empty picture");
    const uint32_t c = p.At(0, 0);
    if (p.At(p.width - 1, 0) != c || p.At(0, p.height - 1) != c || p.At(p.width - 1, p.height - 1) != c)
        throw BadPicture("the four corner pixels differ: no background colour");
    return c;
}

Grid ShapePixels(const Picture& p) {
    const uint32_t bg = BackgroundColour(p);
    Grid g(p.width, p.height);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) g.Set(x, y, p.At(x, y) != bg);
    return g;
}

Grid Silhouette(const Grid& shape, int bridge) {
    // Work on a copy with a background margin, so that the closing treats the picture's edge like
    // any other background.
    const int m = bridge + 1;
    Grid g(shape.width + 2 * m, shape.height + 2 * m);
    for (int y = 0; y < shape.height; ++y)
        for (int x = 0; x < shape.width; ++x) g.Set(x + m, y + m, shape.At(x, y));
    if (bridge > 0) {
        g = Morph(Morph(g, bridge, true), bridge, false);
        // The silhouette never reaches beyond the picture.
        for (int y = 0; y < g.height; ++y)
            for (int x = 0; x < g.width; ++x)
                if (x < m || y < m || x >= m + shape.width || y >= m + shape.height) g.Set(x, y, false);
    }

    // Pixels touching at a corner belong together before the pieces are counted.
    while (JoinCorners(g)) {
    }
    // Keep the largest piece.
    int n = 0;
    std::vector<int> label = Label(g, true, n);
    std::vector<long> size(size_t(n) + 1, 0);
    for (int l : label) ++size[size_t(l)];
    int best = 0;
    for (int i = 1; i <= n; ++i)
        if (best == 0 || size[size_t(i)] > size[size_t(best)]) best = i;
    for (size_t i = 0; i < g.cell.size(); ++i) g.cell[i] = (best != 0 && label[i] == best) ? 1 : 0;

    // Filling a hole can leave pixels meeting at a corner, and joining them can close a hole.
    for (bool changed = true; changed;) {
        const bool filled = FillHoles(g);
        const bool joined = JoinCorners(g);
        changed = filled || joined;
    }

    Grid out(shape.width, shape.height);
    for (int y = 0; y < shape.height; ++y)
        for (int x = 0; x < shape.width; ++x) out.Set(x, y, g.At(x + m, y + m));
    return out;
}

}  // namespace Outline
