// The steps of the start of a run that set up the engine and the world, in the order the game
// window's load handler takes them: display settings; the frame-rate label, the weapon image
// and the wall textures; the world file with its wall blocks, start cell, floor and ceiling
// and vertex buffers; the camera.
#pragma once
#include <cstdint>
#include <string>

#include "app/display_settings.h"  // SetDisplaySettings

namespace GameWorld {

// The "FPS - 0" label in the top-left corner, the weapon image in the bottom-right corner
// (texture slot 0 on a fresh engine) and wall textures 1 to 11 (slots 1 to 11) into
// ModMain::WallTextures. A weapon image that cannot be loaded raises the run-time error the
// load met, with a line naming the file; a wall texture that cannot be loaded does the same
// when the world first uses it (BuildWorld, AddFloorAndCeiling). Without a device nothing is
// raised: the run goes on without a picture.
void MakeLabelAndImages();

// The memory a run takes per world triangle, all counted: the engine's triangle list, the
// vertex buffers and what drawing a frame needs (game_bench measures 195 bytes at 1000 x 1000
// cells and 213 at 512 x 512; about a fifth more is kept as a margin). The one figure the
// world's memory estimate rests on: measure again when a triangle's cost changes.
constexpr uint64_t kBytesPerWorldTriangle = 240;

// Reads the world file `path` into the grid, checks that its wall blocks fit in the memory the
// machine can give (else ErrOutOfMemory, before anything is built), makes room in the engine's
// lists for all its triangles, adds a wall block for every wall cell, puts the viewer on the
// start cell (the last one wins), adds floor and ceiling and builds the vertex buffers. Bad input
// raises the run-time error the first failing step gives; its detail names the file as a host
// path (and the cell, or the floor or ceiling number, at fault). Memory that runs out while the
// world is built, its vertex buffers included, raises ErrOutOfMemory naming the file; without a
// device there are no buffers to build, and that is no error.
void ReadAndBuildWorld(const std::string& path);

// The triangles the world in the grid adds once built: 8 for each wall cell the build reaches,
// and the floor and ceiling; and the memory they need, in bytes.
uint64_t WorldTrianglesNeeded();
uint64_t WorldBytesNeeded();

// Scans the grid: wall blocks and the start cell.
void BuildWorld();
// Floor and ceiling over the whole grid.
void AddFloorAndCeiling();

// The eye 2 above the floor, the field of view, walking speed 1.
void PlaceCamera();

}  // namespace GameWorld
