// The about window "Quorvane -- About": a skin with a text on the program and its authors,
// the web address of the project (a click opens it in the desktop's browser) and Ok, which
// hides the window.
#pragma once
#include <cstdint>

#include "platform/win32/controls.h"
#include "platform/win32/form.h"

// The project's web page, opened by a click on the painted address.
inline constexpr const char* kAuthorWebPage = "https://quorvane.example.org/";

class frmAbout : public rt::Form {
public:
    frmAbout();

    // Click zones, in creation order.
    rt::Label cmdWebsite;  // (232, 152) 129 x 17, over the painted web address
    rt::Label cmdOk;       // (192, 168) 33 x 25

    // The window's outline region (handed to the window system in Form_Load).
    int32_t hFormRegion = 0;

    // Shapes the window.
    void Form_Load() override;
    void cmdOk_Click();
    // Opens the web page with the desktop's default handler; the window stays open and a
    // failure is ignored.
    void cmdWebsite_Click();

    // Dragging the window by its skin.
    void Form_MouseDown(int16_t Button, int16_t Shift, float X, float Y) override;
    // The system's close command hides the window like Ok.
    void Form_QueryUnload(int16_t& Cancel, int16_t UnloadMode) override;

private:
    int32_t MakeFormRegion(float ScaleX, float ScaleY, int16_t OffsetX, int16_t OffsetY);
    int16_t ShapePointX(int16_t Index) const;
    int16_t ShapePointY(int16_t Index) const;
};
