#include "tools/data/worlds.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "app/cells.h"
#include "tools/data/noise.h"

namespace datagen {
namespace {

using ModMain::kOpenFloor;
using ModMain::kStartCell;

// Turns a drawn plan into codes: '1'-'9' walls 1-9, 'A' 10, 'B' 11, '.' open, 'S' start.
std::vector<std::vector<int16_t>> FromPlan(const std::vector<std::string>& plan) {
    std::vector<std::vector<int16_t>> cells;
    for (const std::string& line : plan) {
        if (line.size() != plan.front().size()) throw std::logic_error("ragged plan");
        std::vector<int16_t> row;
        for (char ch : line) {
            if (ch >= '1' && ch <= '9') row.push_back(int16_t(ch - '0'));
            else if (ch == 'A') row.push_back(10);
            else if (ch == 'B') row.push_back(11);
            else if (ch == '.') row.push_back(kOpenFloor);
            else if (ch == 'S') row.push_back(kStartCell);
            else throw std::logic_error("unknown plan character");
        }
        cells.push_back(std::move(row));
    }
    return cells;
}

// A grid of open floor, rows x cols, to draw rooms on (1-based helpers below).
struct Grid {
    std::vector<std::vector<int16_t>> c;
    Grid(int rows, int cols) : c(size_t(rows), std::vector<int16_t>(size_t(cols), kOpenFloor)) {}
    int16_t& at(int r, int col) { return c[size_t(r - 1)][size_t(col - 1)]; }
    // The walls of a room from (r0, c0) to (r1, c1) inclusive, all in one texture.
    void Room(int r0, int c0, int r1, int c1, int16_t tex) {
        for (int r = r0; r <= r1; ++r)
            for (int col = c0; col <= c1; ++col)
                if (r == r0 || r == r1 || col == c0 || col == c1) at(r, col) = tex;
    }
    void Fill(int r0, int c0, int r1, int c1, int16_t code) {
        for (int r = r0; r <= r1; ++r)
            for (int col = c0; col <= c1; ++col) at(r, col) = code;
    }
};

}  // namespace

std::string WorldFileText(const World& w) {
    const size_t rows = w.Cells.size(), cols = rows ? w.Cells.front().size() : 0;
    std::string s = std::to_string(rows) + "," + std::to_string(cols) + "," +
                    std::to_string(w.Floor) + "," + std::to_string(w.Ceiling) + "\r\n";
    for (const auto& row : w.Cells) {
        for (size_t i = 0; i < row.size(); ++i) {
            if (i) s += ',';
            s += std::to_string(row[i]);
        }
        s += "\r\n";
    }
    return s;
}

World MakeFirstWorld() {
    // Heading 0 looks along the columns (the second index): from the start the viewer looks
    // down the length of the first room, through the wide opening, at the pillars beyond.
    World w;
    w.FileName = "First Steps.map";
    w.Floor = 8;
    w.Ceiling = 11;
    w.Cells = FromPlan({
        "1111111111111111111111",
        "1.........3..........1",
        "1.........3....9.....1",
        "1..S.......4...9.....1",
        "1..........4.........1",
        "1.........3..........1",
        "1.........3....5.....1",
        "1333..33333..........1",
        "1..........2.....22..1",
        "1..........2.....22..1",
        "1..7.............22..1",
        "1..7.................1",
        "1111111111111111111111",
    });
    return w;
}

World MakeLabyrinth() {
    // A perfect maze grown by a depth-first walk over 21 x 21 rooms of 2 x 2 cells with
    // one-cell walls between them: 21 * 3 + 1 = 64 cells a side. The walls' textures change
    // with the region of the maze, so the walker can tell the parts apart.
    constexpr int kRooms = 21;
    constexpr int kSize = kRooms * 3 + 1;
    Grid g(kSize, kSize);
    auto wallTexture = [](int r, int c) -> int16_t {
        const int region = ((r - 1) / 22) * 3 + (c - 1) / 22;  // 3 x 3 regions
        static const int16_t tex[] = {2, 1, 7, 9, 2, 3, 4, 10, 6};
        int16_t t = tex[region];
        // Now and then a block of a neighbouring kind, so long walls are not all alike.
        if (Hash01(r, c, 5) < 0.06) t = tex[(region + 1) % 9];
        return t;
    };
    for (int r = 1; r <= kSize; ++r)
        for (int c = 1; c <= kSize; ++c)
            if ((r - 1) % 3 == 0 || (c - 1) % 3 == 0) g.at(r, c) = wallTexture(r, c);

    std::vector<bool> seen(kRooms * kRooms, false);
    std::vector<std::pair<int, int>> stack{{0, 0}};
    seen[0] = true;
    uint32_t step = 0;
    while (!stack.empty()) {
        const auto [i, j] = stack.back();
        std::pair<int, int> next[4];
        int n = 0;
        const int di[] = {1, -1, 0, 0}, dj[] = {0, 0, 1, -1};
        for (int d = 0; d < 4; ++d) {
            const int a = i + di[d], b = j + dj[d];
            if (a >= 0 && b >= 0 && a < kRooms && b < kRooms && !seen[size_t(a * kRooms + b)])
                next[n++] = {a, b};
        }
        if (n == 0) {
            stack.pop_back();
            continue;
        }
        const auto [a, b] = next[int(Hash01(int(step++), i * kRooms + j, 77) * n)];
        seen[size_t(a * kRooms + b)] = true;
        // Open the wall between room (i, j) and room (a, b): two cells wide.
        const int r0 = 2 + 3 * i, c0 = 2 + 3 * j;
        if (a != i) {
            const int wr = 1 + 3 * std::max(i, a);
            g.at(wr, c0) = g.at(wr, c0 + 1) = kOpenFloor;
        } else {
            const int wc = 1 + 3 * std::max(j, b);
            g.at(r0, wc) = g.at(r0 + 1, wc) = kOpenFloor;
        }
        stack.push_back({a, b});
    }
    // The start: the room with the longest straight view down a passage along +z (where the
    // viewer looks first), on the room's low cell so its whole collision square is open.
    int bestRun = -1, startRow = 2, startCol = 2;
    for (int i = 0; i < kRooms; ++i)
        for (int j = 0; j < kRooms; ++j) {
            const int r0 = 2 + 3 * i, c0 = 2 + 3 * j;
            int run = 0;
            while (c0 + run + 1 <= kSize && g.at(r0, c0 + run + 1) == kOpenFloor &&
                   g.at(r0 + 1, c0 + run + 1) == kOpenFloor)
                ++run;
            if (run > bestRun) {
                bestRun = run;
                startRow = r0;
                startCol = c0;
            }
        }
    g.at(startRow, startCol) = kStartCell;
    World w;
    w.FileName = "Labyrinth.map";
    w.Floor = 6;
    w.Ceiling = 8;
    w.Cells = std::move(g.c);
    return w;
}

World MakeCastle() {
    // Five rooms, each walled in its own material, joined by two-cell-wide doors.
    Grid g(24, 32);
    g.Room(1, 1, 12, 16, 1);     // great hall: brick
    g.Room(1, 16, 12, 32, 3);    // library: wood
    g.Room(12, 1, 24, 11, 5);    // bath: tiles
    g.Room(12, 11, 24, 22, 4);   // armoury: steel
    g.Room(12, 22, 24, 32, 10);  // engine room: tech panels
    g.Fill(5, 16, 6, 16, kOpenFloor);     // hall - library
    g.Fill(12, 5, 12, 6, kOpenFloor);     // hall - bath
    g.Fill(12, 13, 12, 14, kOpenFloor);   // hall - armoury
    g.Fill(12, 26, 12, 27, kOpenFloor);   // library - engine room
    g.Fill(17, 11, 18, 11, kOpenFloor);   // bath - armoury
    g.Fill(19, 22, 20, 22, kOpenFloor);   // armoury - engine room
    // Furnishings: marble pillars in the hall, a sandstone hearth and shelves in the library,
    // a stone basin in the bath, crates in the armoury, machines in the engine room.
    for (auto [r, c] : {std::pair{4, 4}, {4, 12}, {9, 4}, {9, 12}}) g.at(r, c) = 9;
    g.Fill(6, 23, 7, 24, 7);
    g.Fill(3, 19, 3, 21, 3);
    g.Fill(3, 27, 3, 29, 3);
    g.Fill(10, 19, 10, 21, 3);
    g.Fill(17, 5, 18, 6, 2);
    g.at(15, 15) = g.at(15, 16) = g.at(21, 18) = 3;
    g.at(16, 15) = 4;
    g.Fill(15, 26, 16, 27, 10);
    g.Fill(20, 28, 21, 29, 4);
    g.at(6, 8) = kStartCell;
    World w;
    w.FileName = "Castle Rooms.map";
    w.Floor = 9;
    w.Ceiling = 11;
    w.Cells = std::move(g.c);
    return w;
}

std::vector<World> AllWorlds() { return {MakeFirstWorld(), MakeLabyrinth(), MakeCastle()}; }

}  // namespace datagen
