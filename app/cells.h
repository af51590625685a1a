// The cells of the world grid: the codes a world file gives them and their size in world units.
// Header only, so the data tools that write world files use the same codes.
#pragma once
#include <cstdint>

namespace ModMain {

// Cell codes: 1 to 11 are walls with that wall texture; then open floor and the start cell.
constexpr int16_t kOpenFloor = 12;
constexpr int16_t kStartCell = 13;

// A cell is a cube kCellSize world units on a side: cell (row, col) spans x from kCellSize x row
// and z from kCellSize x col, and walls and the ceiling stand kCellSize above the floor.
constexpr int16_t kCellSize = 5;

// The colour of every vertex of the world (walls, floor, ceiling) and of the weapon image:
// white, alpha byte 0.
constexpr int32_t kWhite = 0x00FFFFFF;

}  // namespace ModMain
