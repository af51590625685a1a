#include "app/frmWindowed_motion.h"

#include <cmath>
#include <cstdint>

#include "app/world_map.h"
#include "platform/runtime/types.h"

namespace GameMotion {

float TurnLeft(float heading) {
    float h = static_cast<float>(double(heading) - kTurnStep);
    if (h < 0.0f) h = static_cast<float>(double(h) + kHeadingWrap);
    return h;
}

float TurnRight(float heading) {
    float h = static_cast<float>(double(heading) + kTurnStep);
    if (h > static_cast<float>(kHeadingWrap)) h = static_cast<float>(double(h) - kHeadingWrap);
    return h;
}

float TiltDown(float pitch) {
    float p = static_cast<float>(double(pitch) - kTiltStep);
    if (p < -kTiltLimit) p = -kTiltLimit;
    return p;
}

float TiltUp(float pitch) {
    float p = static_cast<float>(double(pitch) + kTiltStep);
    if (p > kTiltLimit) p = kTiltLimit;
    return p;
}

void Step(float& posX, float& posZ, float speed, float heading, int direction) {
    const double s = double(speed), h = double(heading);
    posX = static_cast<float>(double(posX) - direction * s * std::sin(h));
    posZ = static_cast<float>(double(posZ) - direction * s * std::cos(h));
}

bool CellAt(double x, double z, int& row, int& col) {
    // A position far outside any grid (or not a number) has no cell; this also keeps the
    // rounding below within 32 bits.
    constexpr double kFar = 1.0e9;
    if (!(std::fabs(x) < kFar) || !(std::fabs(z) < kFar)) return false;
    const int32_t qx = int32_t(rt::RoundHalfEven(x)) / ModMain::kCellSize;
    const int32_t qz = int32_t(rt::RoundHalfEven(z)) / ModMain::kCellSize;
    const auto& map = ModMain::Map;
    if (!map.IsDimensioned()) return false;
    if (qx < 0 || qz < 0 || qx > map.UBound(1) || qz > map.UBound(2)) return false;
    row = qx;
    col = qz;
    return true;
}

bool PointBlocks(double x, double z) {
    int row = 0, col = 0;
    if (!CellAt(x, z, row, col)) return true;
    const rt::Integer code = ModMain::Map(row, col);
    return code != ModMain::kOpenFloor && code < ModMain::kStartCell;
}

int FirstBlockingCorner(double ex, double ez) {
    const double w = kHalfWidth;
    const double corners[4][2] = {{ex - w, ez + w}, {ex + w, ez - w}, {ex + w, ez + w}, {ex - w, ez - w}};
    for (int i = 0; i < 4; ++i)
        if (PointBlocks(corners[i][0], corners[i][1])) return i;
    return -1;
}

bool Walk(float& posX, float& posZ, float speed, float heading, int direction) {
    Step(posX, posZ, speed, heading, direction);
    if (FirstBlockingCorner(-double(posX), -double(posZ)) < 0) return true;
    Step(posX, posZ, speed, heading, -direction);
    return false;
}

}  // namespace GameMotion
