#include "app/outline/shaped_form.h"

#include "app/outline/make_form_region.h"
#include "platform/runtime/types.h"
#include "platform/win32/regions.h"
#include "platform/win32/runtime.h"
#include "resources/resources.h"

namespace Outline {

ShapedForm::ShapedForm(std::string name, const Point16* table, int count)
    : rt::Form(std::move(name)), table_(table), count_(count) {
    BorderStyle(rt::vbBSNone);
}

void ShapedForm::ApplyOutline() {
    const int32_t window = hWnd();
    SetWindowRgn(window, MakeFormRegion(1.0f, 1.0f, 0, 0), -1);
}

void ShapedForm::LoadSkin(const char* resource) {
    const auto skin = GetResource(resource);
    if (!skin.empty()) Picture(rt::LoadPictureFromMemory(skin.data(), skin.size()));
}

void ShapedForm::MakeClickZone(rt::Label& zone, std::function<void()> onClick) {
    zone.Caption("");
    zone.Transparent(true);
    zone.Click = std::move(onClick);
}

void ShapedForm::Form_MouseDown(int16_t Button, int16_t Shift, float X, float Y) {
    (void)Button;
    (void)Shift;
    (void)X;
    (void)Y;
    DragWindow(hWnd());
}

void ShapedForm::Form_QueryUnload(int16_t& Cancel, int16_t UnloadMode) {
    if (!closeCommand_ || UnloadMode != rt::vbFormControlMenu) return;
    Cancel = rt::True;
    closeCommand_();
}

int32_t ShapedForm::MakeFormRegion(float ScaleX, float ScaleY, int16_t OffsetX, int16_t OffsetY) {
    return Outline::MakeFormRegion(
        count_, [this](int16_t i) { return ShapePointX(i); }, [this](int16_t i) { return ShapePointY(i); },
        ScaleX, ScaleY, OffsetX, OffsetY, rt::Screen.TwipsPerPixelX, rt::Screen.TwipsPerPixelY,
        hFormRegion);
}

int16_t ShapedForm::ShapePointX(int16_t Index) const { return Outline::ShapePointX(table_, count_, Index); }

int16_t ShapedForm::ShapePointY(int16_t Index) const { return Outline::ShapePointY(table_, count_, Index); }

}  // namespace Outline
