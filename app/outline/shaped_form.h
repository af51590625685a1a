// What the five skinned, borderless windows have in common: each takes the shape of its skin
// picture through its own outline table, and, having no title bar, is dragged by a press
// anywhere on its skin. The menu windows also carry click zones over their painted buttons.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "app/outline/outline_tables.h"
#include "platform/win32/controls.h"
#include "platform/win32/form.h"

namespace Outline {

class ShapedForm : public rt::Form {
public:
    // The window's outline region, made by its load handler and handed to the window system,
    // which owns it from then on.
    int32_t hFormRegion = 0;

    // Dragging the window by its skin, with any mouse button. Presses on the window's controls
    // go to the controls and do not come here.
    void Form_MouseDown(int16_t Button, int16_t Shift, float X, float Y) override;
    // With a close-command action set, the system's close command runs it instead of unloading
    // the window; otherwise the window unloads.
    void Form_QueryUnload(int16_t& Cancel, int16_t UnloadMode) override;

protected:
    // `table` holds the `count` points of the window's outline.
    ShapedForm(std::string name, const Point16* table, int count);

    // The first step of each load handler: reads the window's handle, makes the outline region
    // for the screen's resolution and sets it on the window with redraw.
    void ApplyOutline();
    // The skin picture embedded under `resource` ("frmMenu.bmp"); none when it is missing.
    void LoadSkin(const char* resource);
    // Makes `zone` a click zone: no caption and a transparent background, so the painted button
    // beneath shows through; a click runs `onClick`.
    static void MakeClickZone(rt::Label& zone, std::function<void()> onClick);
    // What the system's close command does instead of unloading the window.
    void OnCloseCommand(std::function<void()> action) { closeCommand_ = std::move(action); }

private:
    int32_t MakeFormRegion(float ScaleX, float ScaleY, int16_t OffsetX, int16_t OffsetY);
    int16_t ShapePointX(int16_t Index) const;
    int16_t ShapePointY(int16_t Index) const;

    const Point16* table_;
    int count_;
    std::function<void()> closeCommand_;
};

}  // namespace Outline
