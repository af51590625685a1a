#include "app/outline/make_form_region.h"

#include <cmath>
#include <vector>

#include "platform/runtime/errors.h"
#include "platform/runtime/types.h"
#include "platform/win32/messages.h"
#include "platform/win32/regions.h"

namespace Outline {

int16_t ShapePointX(const Point16* table, int count, int16_t index) {
    if (table == nullptr || index < 0 || index >= count) return 0;
    return table[index].x;
}

int16_t ShapePointY(const Point16* table, int count, int16_t index) {
    if (table == nullptr || index < 0 || index >= count) return 0;
    return table[index].y;
}

int32_t ScreenCoordinate(int16_t value, float scale, float twipsPerPixel, int16_t offset) {
    // The outline is drawn at 15 twips per pixel; the screen's own twips per pixel rescale it.
    const double product = static_cast<double>(value) * static_cast<double>(scale) * 15.0;
    const double divisor = static_cast<double>(twipsPerPixel);
    if (std::isnan(product) || std::isnan(divisor)) rt::Raise(rt::ErrOverflow);
    if (divisor == 0.0) {
        if (product == 0.0) rt::Raise(rt::ErrOverflow);  // 0 / 0 has no value
        rt::Raise(rt::ErrDivisionByZero);
    }
    const double sum = product / divisor + static_cast<double>(offset);
    if (!std::isfinite(sum)) rt::Raise(rt::ErrOverflow);
    return rt::CLng(sum);  // half to even; 6 outside the 32-bit range
}

int32_t MakeFormRegion(int count, const PointReader& shapeX, const PointReader& shapeY,
                       float scaleX, float scaleY, int16_t offsetX, int16_t offsetY,
                       float twipsX, float twipsY, int32_t& hFormRegion) {
    hFormRegion = CreateRectRgn(0, 0, 0, 0);
    // Outline indexes are 16-bit; no table comes near that many points.
    if (count > 32767) rt::Raise(rt::ErrOverflow);
    std::vector<POINTAPI> points(count > 0 ? static_cast<size_t>(count) : 0);
    for (int i = 0; i < count; ++i) {
        const int16_t index = static_cast<int16_t>(i);
        points[i].x = ScreenCoordinate(shapeX(index), scaleX, twipsX, offsetX);
        points[i].y = ScreenCoordinate(shapeY(index), scaleY, twipsY, offsetY);
    }
    const int32_t polygon = CreatePolygonRgn(points.data(), static_cast<int32_t>(points.size()), ALTERNATE);
    CombineRgn(hFormRegion, polygon, polygon, RGN_COPY);
    DeleteObject(polygon);
    return hFormRegion;
}

int32_t MakeFormRegion(const Point16* table, int count, float scaleX, float scaleY,
                       int16_t offsetX, int16_t offsetY, float twipsX, float twipsY,
                       int32_t& hFormRegion) {
    return MakeFormRegion(
        count, [&](int16_t i) { return ShapePointX(table, count, i); },
        [&](int16_t i) { return ShapePointY(table, count, i); }, scaleX, scaleY, offsetX, offsetY,
        twipsX, twipsY, hFormRegion);
}

void DragWindow(int32_t hWnd) {
    ReleaseCapture();
    // No cursor position travels with the press: the window system reads the mouse itself.
    const int32_t noPosition = 0;
    SendMessageA(hWnd, WM_NCLBUTTONDOWN, HTCAPTION, &noPosition);
}

}  // namespace Outline
