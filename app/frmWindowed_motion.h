// How the game window's keys move the viewer: turning, tilting, walking steps and the grid
// collision test. Every new value is worked out in double precision from the stored 32-bit
// values and then stored as a 32-bit float again, so repeated presses drift exactly as the
// stored values dictate (turning right then left from 0 gives 6.2820001, not 0).
#pragma once

namespace GameMotion {

constexpr double kTurnStep = 0.12;      // radians per Left or Right
constexpr double kHeadingWrap = 6.282;  // a shade under a full turn
constexpr double kTiltStep = 0.12;      // radians per Z or A
constexpr float kTiltLimit = static_cast<float>(3.14159265358979 / 2);  // 1.5707964
constexpr float kHalfWidth = 2.0f;      // the viewer's collision square: 2 each way

// New heading after one Left / Right press (kept between 0 and the wrap value).
float TurnLeft(float heading);
float TurnRight(float heading);
// New pitch after one Z (down) / A (up) press, clamped to a quarter turn either way.
float TiltDown(float pitch);
float TiltUp(float pitch);

// One walking step of `speed` along the heading: direction +1 forward, -1 back. The position
// is held negated (the eye stands at x = -posX, z = -posZ); posX changes first, then posZ.
void Step(float& posX, float& posZ, float speed, float heading, int direction);

// The grid cell under a point of the floor, by the collision test's own rule: each coordinate
// rounded to the nearest integer (halves to the even one), then divided by kCellSize with the
// quotient truncated toward zero. False when the point lies outside the world grid (or there is
// no grid): no cell is read then.
bool CellAt(double x, double z, int& row, int& col);

// Does the floor point (x, z) block the viewer? A cell blocks unless its code is kOpenFloor or
// kStartCell or more; row 0 and column 0 hold 0 and block. A point with no cell
// in the grid blocks too.
bool PointBlocks(double x, double z);

// Which of the viewer's four corners around the eye (ex, ez) blocks first, in the order
// (ex-2, ez+2), (ex+2, ez-2), (ex+2, ez+2), (ex-2, ez-2): its number 0 to 3, or -1 when none.
int FirstBlockingCorner(double ex, double ez);

// A walking step followed by the collision test: when a corner of the viewer's square at the
// new position blocks, the step is undone whole by stepping again the other way (recomputed,
// so the last bits of the position may differ). Returns true when the step stood.
bool Walk(float& posX, float& posZ, float speed, float heading, int direction);

}  // namespace GameMotion
