// The game window's shape (its outline table turned into a window region) and its drag by the
// skin around the drawing area.
#include "app/frmWindowed.h"
#include "app/outline/make_form_region.h"
#include "app/outline/outline_tables.h"
#include "platform/win32/runtime.h"

int32_t frmWindowed::MakeFormRegion(float ScaleX, float ScaleY, int16_t OffsetX, int16_t OffsetY) {
    return Outline::MakeFormRegion(Outline::kWindowed, Outline::kWindowedCount, ScaleX, ScaleY,
                                   OffsetX, OffsetY, rt::Screen.TwipsPerPixelX,
                                   rt::Screen.TwipsPerPixelY, hFormRegion);
}

int16_t frmWindowed::ShapePointX(int16_t Index) const {
    return Outline::ShapePointX(Outline::kWindowed, Outline::kWindowedCount, Index);
}

int16_t frmWindowed::ShapePointY(int16_t Index) const {
    return Outline::ShapePointY(Outline::kWindowed, Outline::kWindowedCount, Index);
}

void frmWindowed::Form_MouseDown(int16_t Button, int16_t Shift, float X, float Y) {
    (void)Button;
    (void)Shift;
    (void)X;
    (void)Y;
    Outline::DragWindow(hWnd());
}
