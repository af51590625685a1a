// Turning a decoded image into a texture: colour key, resampling to the texture size, mip chain.
#pragma once
#include <cstdint>

#include "platform/d3d8/d3d8types.h"
#include "platform/media/image.h"

namespace d3dx8detail {

// Replaces every pixel whose ARGB equals `key` exactly by transparent black. A key of 0 does
// nothing.
void ApplyColorKey(media::Image& image, uint32_t key);

// The smallest power of two >= n (n >= 1).
int NextPowerOfTwo(int n);

// Resamples `src` to `width` x `height` with a D3DX filter (NONE, POINT, LINEAR, TRIANGLE,
// BOX; the flag bits above the low byte are ignored).
void Resample(const uint32_t* src, int srcWidth, int srcHeight, uint32_t* dst, int width,
              int height, int filter);

// The number of levels of a full chain for a width x height top level (down to 1 x 1).
int FullMipCount(int width, int height);

// Fills a texture from an image: top level `width` x `height` resampled with `filter`, then
// `levels` levels in all, each half the size of the one above (at least 1), made from it with
// `mipFilter`. `hasAlpha` false stores alpha FF everywhere.
void BuildTexture(const media::Image& image, int width, int height, int levels, int filter,
                  int mipFilter, bool hasAlpha, int32_t format, Direct3DTexture8& out);

}  // namespace d3dx8detail
