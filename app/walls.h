// The wall builder: one textured block per wall cell.
#pragma once
#include <cstdint>

#include "platform/runtime/types.h"

namespace ModMain {

// Appends to the engine's triangle list the four side faces (two triangles each, eight in all)
// of the block over cell (Row, Col), with s = kCellSize (5): x from s Row to s Row + s, y from 0
// to s, z from s Col to s Col + s, every vertex white with alpha 0, every triangle with
// `Texture`. Seen from outside each triangle is wound counter-clockwise and the face shows the
// whole texture once. The corners are 16-bit values: a Row or Col for which s x (index + 1)
// leaves -32768..32767 raises ErrOverflow, and then no triangle is added.
void AddBlock(rt::Integer Row, rt::Integer Col, int32_t Texture);

}  // namespace ModMain
