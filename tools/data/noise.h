// Tileable procedural noise for the wall textures: every function repeats with the period it is
// given, so a texture built from them wraps without a seam.
#pragma once
#include <cstdint>

namespace datagen {

// A repeatable pseudo-random value in [0, 1) from integer coordinates and a seed.
double Hash01(int x, int y, uint32_t seed);

// Smooth value noise in [0, 1) at (x, y), with lattice cells `cell` units wide; it repeats
// every `period` units on both axes (`period` must be a multiple of `cell`).
double ValueNoise(double x, double y, double cell, int period, uint32_t seed);

// Value noise with lattice cells `cellX` by `cellY` units (stretched grain); repeats every
// `period` units on both axes.
double ValueNoiseA(double x, double y, double cellX, double cellY, int period, uint32_t seed);

// Sum of `octaves` layers of value noise, each with half the cell size and half the weight of
// the one before; the result is normalised to [0, 1).
double Fbm(double x, double y, double cell, int period, int octaves, uint32_t seed);

// Cellular (Worley) noise: the distances to the nearest and second-nearest of the feature
// points scattered one per grid square of `cell` units, wrapping every `period` units.
// `id` receives a number identifying the nearest point's square.
void Worley(double x, double y, int cell, int period, uint32_t seed, double& d1, double& d2,
            int& id);

}  // namespace datagen
