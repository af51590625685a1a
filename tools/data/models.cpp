#include "tools/data/models.h"

#include <cstdio>
#include <vector>

namespace datagen {
namespace {

struct Box {
    float x0, y0, z0, x1, y1, z1;
    int texture;  // index into the file's texture list
};

// Appends the twelve triangles of a box, outer faces wound like the world's wall blocks:
// clockwise seen from inside, so back-face culling shows only the outside.
void AddBox(std::string& out, const Box& b, int& triangles) {
    struct V {
        float x, y, z, u, v;
    };
    auto quad = [&](V a, V c, V d, V e) {
        // a b c d in the order top corner, other top corner, bottom below it, last bottom.
        const V tris[2][3] = {{a, c, d}, {d, e, a}};
        for (const auto& t : tris) {
            out += "# triangle\r\n";
            for (const V& v : t) {
                char line[160];
                std::snprintf(line, sizeof line, "%g,%g,%g,%g,%g,&HFFFFFFFF,%d\r\n", v.x, v.y, v.z,
                              v.u, v.v, b.texture);
                out += line;
            }
            ++triangles;
        }
    };
    const float X0 = b.x0, X1 = b.x1, Y0 = b.y0, Y1 = b.y1, Z0 = b.z0, Z1 = b.z1;
    quad({X0, Y1, Z0, 0, 0}, {X0, Y1, Z1, 1, 0}, {X0, Y0, Z1, 1, 1}, {X0, Y0, Z0, 0, 1});
    quad({X0, Y1, Z1, 0, 0}, {X1, Y1, Z1, 1, 0}, {X1, Y0, Z1, 1, 1}, {X0, Y0, Z1, 0, 1});
    quad({X1, Y1, Z0, 0, 0}, {X0, Y1, Z0, 1, 0}, {X0, Y0, Z0, 1, 1}, {X1, Y0, Z0, 0, 1});
    quad({X1, Y1, Z1, 0, 0}, {X1, Y1, Z0, 1, 0}, {X1, Y0, Z0, 1, 1}, {X1, Y0, Z1, 0, 1});
    quad({X0, Y1, Z0, 0, 0}, {X1, Y1, Z0, 1, 0}, {X1, Y1, Z1, 1, 1}, {X0, Y1, Z1, 0, 1});
    quad({X0, Y0, Z1, 0, 0}, {X1, Y0, Z1, 1, 0}, {X1, Y0, Z0, 1, 1}, {X0, Y0, Z0, 0, 1});
}

}  // namespace

std::string MarineObjectText() {
    const std::vector<Box> parts = {
        {-0.45f, 0.0f, -0.2f, -0.08f, 0.9f, 0.2f, 0},  // left leg
        {0.08f, 0.0f, -0.2f, 0.45f, 0.9f, 0.2f, 0},    // right leg
        {-0.5f, 0.9f, -0.3f, 0.5f, 1.6f, 0.3f, 1},     // body
        {-0.8f, 0.85f, -0.15f, -0.5f, 1.55f, 0.15f, 0},  // left arm
        {0.5f, 0.85f, -0.15f, 0.8f, 1.55f, 0.15f, 0},    // right arm
        {-0.22f, 1.6f, -0.22f, 0.22f, 2.0f, 0.22f, 1},   // head
    };
    std::string body;
    int triangles = 0;
    for (const Box& b : parts) AddBox(body, b, triangles);

    std::string s;
    s += "# Marine: the default player figure, about 2 units tall, facing +z.\r\n";
    s += "# textures, groups, animations\r\n";
    s += "2,1,1\r\n";
    s += "Textures\\4.bmp,&HFFFFFFFE\r\n";
    s += "Textures\\10.bmp,&HFFFFFFFE\r\n";
    s += "# one group: the whole figure\r\n";
    s += std::to_string(triangles) + "\r\n";
    s += body;
    s += "# animation 1: two frames 40 ms apart, stopping at the last\r\n";
    s += "1,2:0:1:40,1\r\n";
    return s;
}

}  // namespace datagen
