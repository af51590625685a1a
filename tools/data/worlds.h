// The worlds of the program's Data\Maps folder and the text of a world file.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace datagen {

// A world: Cells[r - 1][c - 1] is the code of row r, column c (1 to 11 wall with that texture,
// 12 open floor, 13 start cell).
struct World {
    std::string FileName;  // e.g. "First Steps.map"
    int16_t Floor = 0, Ceiling = 0;
    std::vector<std::vector<int16_t>> Cells;
};

// The world file text: the header "rows,cols,floor,ceiling", then one line of codes per row,
// every line ending in CR LF.
std::string WorldFileText(const World& w);

World MakeFirstWorld();   // a small house of two rooms
World MakeLabyrinth();    // a 64 x 64 maze with two-cell-wide passages
World MakeCastle();       // five rooms with their own wall textures, doors between them
std::vector<World> AllWorlds();

}  // namespace datagen
