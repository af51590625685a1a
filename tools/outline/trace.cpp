#include "tools/outline/trace.h"

#include <map>
#include <stdexcept>
#include <utility>

namespace Outline {
namespace {

long long Cross(Pt o, Pt a, Pt b) {
    return (long long)(a.x - o.x) * (b.y - o.y) - (long long)(a.y - o.y) * (b.x - o.x);
}

}  // namespace

Poly TraceBorder(const Grid& g) {
    // Directed pixel edges with the shape on their right (clockwise on the screen, y downwards).
    std::map<std::pair<int, int>, Pt> next;
    size_t edges = 0;
    auto add = [&](Pt from, Pt to) {
        if (!next.emplace(std::make_pair(from.x, from.y), to).second)
            throw std::runtime_error("the silhouette touches itself at (" + std::to_string(from.x) + ", " +
                                     std::to_string(from.y) + ")");
        ++edges;
    };
    bool found = false;
    Pt start;
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x) {
            if (!g.At(x, y)) continue;
            if (!found) { start = {x, y}; found = true; }
            if (!g.At(x, y - 1)) add({x, y}, {x + 1, y});
            if (!g.At(x + 1, y)) add({x + 1, y}, {x + 1, y + 1});
            if (!g.At(x, y + 1)) add({x + 1, y + 1}, {x, y + 1});
            if (!g.At(x - 1, y)) add({x, y + 1}, {x, y});
        }
    if (!found) throw std::runtime_error("the picture has no shape");

    Poly walk;
    Pt p = start;
    do {
        walk.push_back(p);
        auto it = next.find({p.x, p.y});
        if (it == next.end()) throw std::runtime_error("the border does not close");
        p = it->second;
    } while (!(p == start) && walk.size() <= edges);
    if (walk.size() != edges)
        throw std::runtime_error("the silhouette has more than one border (holes or several pieces)");

    Poly corners;
    const size_t n = walk.size();
    for (size_t i = 0; i < n; ++i)
        if (Cross(walk[(i + n - 1) % n], walk[i], walk[(i + 1) % n]) != 0) corners.push_back(walk[i]);
    return corners;
}

Traced TracePicture(const Picture& picture, int bridge) {
    Traced t;
    t.shape = ShapePixels(picture);
    t.silhouette = Silhouette(t.shape, bridge);
    t.outline = TraceBorder(t.silhouette);
    // The border of a clean silhouette always passes these checks; they guard the tables against a
    // fault in the steps above.
    const std::string fault = SimplePolygonFault(t.outline);
    if (!fault.empty()) throw std::runtime_error("traced outline is not simple: " + fault);
    if (TwiceArea(t.outline) <= 0) throw std::runtime_error("traced outline does not run clockwise");
    if (Rasterise(t.outline, picture.width, picture.height).cell != t.silhouette.cell)
        throw std::runtime_error("traced outline does not cover its silhouette");
    return t;
}

}  // namespace Outline
