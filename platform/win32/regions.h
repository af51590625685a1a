// Window regions: rectangles and polygons, combined by set operations, handed to a window to give
// it its shape. Handles are 32-bit numbers; 0 is no region. Coordinates are pixels; a rectangle
// covers left..right-1 by top..bottom-1, a polygon the pixels whose centres lie inside it.
#pragma once
#include <cstdint>

struct POINTAPI {
    int32_t x;
    int32_t y;
};

// Polygon fill modes.
constexpr int32_t ALTERNATE = 1;  // even-odd
constexpr int32_t WINDING = 2;    // non-zero winding number

// CombineRgn modes.
constexpr int32_t RGN_AND = 1;
constexpr int32_t RGN_OR = 2;
constexpr int32_t RGN_XOR = 3;
constexpr int32_t RGN_DIFF = 4;
constexpr int32_t RGN_COPY = 5;

// Region kinds returned by CombineRgn (0 on failure).
constexpr int32_t RGN_ERROR = 0;
constexpr int32_t NULLREGION = 1;
constexpr int32_t SIMPLEREGION = 2;
constexpr int32_t COMPLEXREGION = 3;

// A new rectangular region (corners in any order); never fails.
int32_t CreateRectRgn(int32_t left, int32_t top, int32_t right, int32_t bottom);
// A new region bounded by the closed polygon points[0..count-1]; 0 when count < 0, points is
// null with count > 0, or fillMode is neither ALTERNATE nor WINDING. Fewer than 3 points give
// an empty region.
int32_t CreatePolygonRgn(const POINTAPI* points, int32_t count, int32_t fillMode);
// dest = src1 <mode> src2 (RGN_COPY uses src1 only). dest must already exist. Returns the kind
// of the result, or RGN_ERROR for an unknown handle or mode (dest is then unchanged).
int32_t CombineRgn(int32_t dest, int32_t src1, int32_t src2, int32_t mode);
// Frees a region; nonzero on success, 0 for an unknown handle or one a window owns.
int32_t DeleteObject(int32_t handle);
// Gives window hWnd the shape of region hRgn (0 removes the shape) at once; the window owns the
// region from then on and frees it with itself. Nonzero on success; on failure (unknown window
// or region) nothing changes and the caller still owns the region.
int32_t SetWindowRgn(int32_t hWnd, int32_t hRgn, int32_t redraw);

// Is pixel (x, y) inside the region? False for an unknown handle.
int32_t PtInRegion(int32_t hRgn, int32_t x, int32_t y);
