// The world grid and its reader: a world map file is read into Map, FloorTexture and
// CeilingTexture.
//
// File format (text, lines ending in CR LF or CR; spaces anywhere are ignored):
//   line 1:         rows, cols, floor texture, ceiling texture
//   lines 2..rows+1: cols cell codes each, separated by commas
// Cell codes: 1..11 wall with that wall texture, kOpenFloor (12), kStartCell (13); see cells.h.
#pragma once
#include <string>

#include "app/cells.h"
#include "platform/runtime/array2d.h"
#include "platform/runtime/types.h"

namespace ModMain {

// The world grid: first index 0..rows, second 0..cols. Row 0 and column 0 hold 0. Indexing
// outside the bounds raises ErrSubscript, as does UBound before the first LoadMap.
extern rt::Array2D<rt::Integer>& Map;
// Floor and ceiling texture numbers (1..12 select a wall texture).
extern rt::Integer& FloorTexture;
extern rt::Integer& CeilingTexture;

// Reads the world map file `FileName` (full path, either separator) into Map, FloorTexture and
// CeilingTexture. Traps nothing; the errors it passes on:
//   ErrFileNotFound, ErrPathNotFound, ErrPathFileAccess
//                     the file cannot be opened (missing file, missing folder, a folder);
//   ErrInputPastEnd   fewer than rows + 1 lines;
//   ErrOverflow       rows or cols outside 32 bits, floor, ceiling or a cell outside 16 bits, rows
//                     or cols of 32767 or more (the 16-bit row and column counters overflow);
//   ErrSubscript      a negative rows or cols;
//   ErrOutOfMemory    a grid larger than 1 GiB, a line longer than the text-file line limit.
// Every error's detail names the file, and the line where no more precise detail is known.
// Time and memory are bounded by the file, not by its header: a row line writes only the cells it
// holds (the rest of the fresh grid is 0 already), so the pages of a large grid of short lines are
// never touched.
// Nothing is restored after a failure: the grid keeps what was read so far (the former grid when
// the new one could not be made). The file is closed in every case.
void LoadMap(const std::string& FileName);

}  // namespace ModMain
