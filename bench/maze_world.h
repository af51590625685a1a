// The maze worlds of the frame benchmarks: a maze of n x n cells built the way the game builds
// a world (eight triangles per wall cell, two each for floor and ceiling over the whole grid),
// an open cell near the middle for the camera, and a procedural 64 x 64 wall texture. The device
// benchmark draws these triangles with bare device calls, the engine benchmark through the
// engine's own lists, so their figures compare.
#pragma once
#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/d3d8/d3d8.h"

namespace mazeworld {

struct Vertex {
    float x, y, z;
    uint32_t color;
    float u, v;
};

struct Tri {
    Vertex v[3];
    int texture;
};

// A maze of n x n cells (rows and columns 1..n): rooms on odd cells, passages carved by a
// depth-first walk, everything else wall. Returns true for a wall.
inline std::vector<std::vector<bool>> MakeMaze(int n) {
    std::vector<std::vector<bool>> wall(static_cast<size_t>(n + 1), std::vector<bool>(static_cast<size_t>(n + 1), true));
    std::mt19937 rng(2024);
    std::vector<std::pair<int, int>> stack = {{1, 1}};
    wall[1][1] = false;
    const int dirs[4][2] = {{2, 0}, {-2, 0}, {0, 2}, {0, -2}};
    while (!stack.empty()) {
        auto [x, z] = stack.back();
        int order[4] = {0, 1, 2, 3};
        std::shuffle(order, order + 4, rng);
        bool moved = false;
        for (int k : order) {
            const int nx = x + dirs[k][0], nz = z + dirs[k][1];
            if (nx < 1 || nz < 1 || nx > n - 1 || nz > n - 1 || !wall[nx][nz]) continue;
            wall[(x + nx) / 2][(z + nz) / 2] = false;
            wall[nx][nz] = false;
            stack.push_back({nx, nz});
            moved = true;
            break;
        }
        if (!moved) stack.pop_back();
    }
    return wall;
}

// The open cell near the middle where the camera stands: row and column alike, odd like every
// room.
inline int MiddleRoom(int n) {
    const int middle = n / 2;
    return middle % 2 == 0 ? middle - 1 : middle;
}

// The wall texture (0 to 10) of wall cell (x, z).
inline int WallTextureOf(int x, int z) { return (x * 7 + z * 3) % 11; }

inline void AddTri(std::vector<Tri>& out, int tex, Vertex a, Vertex b, Vertex c) { out.push_back({{a, b, c}, tex}); }

// The world's triangles: a block of eight for every wall cell, then two for the floor and two
// for the ceiling over the whole grid. Also gives an open cell near the middle.
inline std::vector<Tri> BuildWorld(int n, float& camX, float& camZ) {
    const auto wall = MakeMaze(n);
    std::vector<Tri> tris;
    const uint32_t white = 0x00FFFFFF;
    for (int x = 1; x <= n; ++x)
        for (int z = 1; z <= n; ++z) {
            if (!wall[static_cast<size_t>(x)][static_cast<size_t>(z)]) continue;
            const float A = 5.0f * x, B = 5.0f * z, A1 = A + 5, B1 = B + 5;
            const int t = WallTextureOf(x, z);
            AddTri(tris, t, {A, 5, B, white, 0, 0}, {A, 5, B1, white, 1, 0}, {A, 0, B1, white, 1, 1});
            AddTri(tris, t, {A, 0, B1, white, 1, 1}, {A, 0, B, white, 0, 1}, {A, 5, B, white, 0, 0});
            AddTri(tris, t, {A, 5, B1, white, 0, 0}, {A1, 5, B1, white, 1, 0}, {A1, 0, B1, white, 1, 1});
            AddTri(tris, t, {A1, 0, B1, white, 1, 1}, {A, 0, B1, white, 0, 1}, {A, 5, B1, white, 0, 0});
            AddTri(tris, t, {A1, 5, B, white, 0, 0}, {A, 5, B, white, 1, 0}, {A, 0, B, white, 1, 1});
            AddTri(tris, t, {A, 0, B, white, 1, 1}, {A1, 0, B, white, 0, 1}, {A1, 5, B, white, 0, 0});
            AddTri(tris, t, {A1, 5, B1, white, 0, 0}, {A1, 5, B, white, 1, 0}, {A1, 0, B, white, 1, 1});
            AddTri(tris, t, {A1, 0, B, white, 1, 1}, {A1, 0, B1, white, 0, 1}, {A1, 5, B1, white, 0, 0});
        }
    const float X1 = (n + 1) * 5.0f, Z1 = (n + 1) * 5.0f, U = static_cast<float>(n), V = static_cast<float>(n);
    AddTri(tris, 9, {5, 0, 5, white, 0, 0}, {X1, 0, 5, white, U, 0}, {X1, 0, Z1, white, U, V});
    AddTri(tris, 9, {X1, 0, Z1, white, U, V}, {5, 0, Z1, white, 0, V}, {5, 0, 5, white, 0, 0});
    AddTri(tris, 10, {X1, 5, Z1, white, U, V}, {X1, 5, 5, white, U, 0}, {5, 5, 5, white, 0, 0});
    AddTri(tris, 10, {5, 5, 5, white, 0, 0}, {5, 5, Z1, white, 0, V}, {X1, 5, Z1, white, U, V});
    const int cx = MiddleRoom(n);
    camX = 5.0f * cx + 2.5f;
    camZ = 5.0f * cx + 2.5f;
    return tris;
}

// The same maze as a world file the game reads: "rows,columns,floor,ceiling", then one line of
// cell codes per row (walls 1 to 11, open floor 12, the start cell 13 on the open cell near the
// middle), floor texture 10 and ceiling 11, so the game builds exactly BuildWorld's triangles.
// Returns false when the file cannot be written.
inline bool WriteMazeWorldFile(int n, const std::string& path) {
    const auto wall = MakeMaze(n);
    const int cx = MiddleRoom(n);
    std::string text = std::to_string(n) + "," + std::to_string(n) + ",10,11\r\n";
    for (int x = 1; x <= n; ++x) {
        for (int z = 1; z <= n; ++z) {
            const int code = (x == cx && z == cx) ? 13
                             : wall[static_cast<size_t>(x)][static_cast<size_t>(z)] ? 1 + WallTextureOf(x, z)
                                                                                    : 12;
            text += std::to_string(code);
            text += z < n ? "," : "\r\n";
        }
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && written;
}

inline Direct3DTexture8Ptr MakeWallTexture(int seed) {
    auto t = std::make_shared<Direct3DTexture8>();
    t->Format = D3DFMT_A8R8G8B8;
    t->HasAlpha = true;
    Direct3DTexture8::Level l;
    l.Width = l.Height = 64;
    l.Pixels.resize(64 * 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            l.Pixels[static_cast<size_t>(y * 64 + x)] =
                0xFF000000u | static_cast<uint32_t>(((x * 4 + seed * 40) & 0xFF) << 16 | ((y * 4) & 0xFF) << 8 | ((x ^ y) * 4 & 0xFF));
    t->Levels.push_back(std::move(l));
    return t;
}

}  // namespace mazeworld
