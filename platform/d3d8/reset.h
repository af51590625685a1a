// Puts the Direct3D stand-in's program-wide state back to its start, for tests that run one after
// another in one process: the desktop display mode, no present handler and no frame kept, and
// every test switch off (d3d8test::Reset), the span path forced for new devices among them.
// Devices and other objects belong to their holders; the draw front end's per-thread scratch and
// the span code's processor checks change no result and stay.
#pragma once

namespace d3d8 {

void ResetForTests();

}  // namespace d3d8
