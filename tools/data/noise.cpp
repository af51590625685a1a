#include "tools/data/noise.h"

#include <cmath>

namespace datagen {

double Hash01(int x, int y, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B1u;
    h ^= uint32_t(x) * 0x85EBCA77u;
    h = (h << 13) | (h >> 19);
    h ^= uint32_t(y) * 0xC2B2AE3Du;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return double(h) / 4294967296.0;
}

namespace {
int Wrap(int v, int n) { return ((v % n) + n) % n; }
double Smooth(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }
}  // namespace

double ValueNoise(double x, double y, double cell, int period, uint32_t seed) {
    return ValueNoiseA(x, y, cell, cell, period, seed);
}

double ValueNoiseA(double x, double y, double cellX, double cellY, int period, uint32_t seed) {
    const int nx = int(std::lround(period / cellX)), ny = int(std::lround(period / cellY));
    const double gx = x / cellX, gy = y / cellY;
    const int x0 = int(std::floor(gx)), y0 = int(std::floor(gy));
    const double fx = Smooth(gx - x0), fy = Smooth(gy - y0);
    auto v = [&](int i, int j) { return Hash01(Wrap(i, nx), Wrap(j, ny), seed); };
    const double a = v(x0, y0) + (v(x0 + 1, y0) - v(x0, y0)) * fx;
    const double b = v(x0, y0 + 1) + (v(x0 + 1, y0 + 1) - v(x0, y0 + 1)) * fx;
    return a + (b - a) * fy;
}

double Fbm(double x, double y, double cell, int period, int octaves, uint32_t seed) {
    double sum = 0, weight = 1, total = 0;
    for (int o = 0; o < octaves && cell >= 1.0; ++o) {
        sum += weight * ValueNoise(x, y, cell, period, seed + uint32_t(o) * 7919u);
        total += weight;
        weight *= 0.5;
        cell *= 0.5;
    }
    return total > 0 ? sum / total : 0.0;
}

void Worley(double x, double y, int cell, int period, uint32_t seed, double& d1, double& d2,
            int& id) {
    const int n = period / cell;
    const int cx = int(std::floor(x / cell)), cy = int(std::floor(y / cell));
    d1 = d2 = 1e30;
    id = 0;
    for (int j = -1; j <= 1; ++j) {
        for (int i = -1; i <= 1; ++i) {
            const int gx = cx + i, gy = cy + j;
            const int wx = Wrap(gx, n), wy = Wrap(gy, n);
            const double px = (gx + 0.15 + 0.7 * Hash01(wx, wy, seed)) * cell;
            const double py = (gy + 0.15 + 0.7 * Hash01(wx, wy, seed + 1)) * cell;
            const double d = std::hypot(px - x, py - y);
            if (d < d1) {
                d2 = d1;
                d1 = d;
                id = wy * n + wx;
            } else if (d < d2) {
                d2 = d;
            }
        }
    }
}

}  // namespace datagen
