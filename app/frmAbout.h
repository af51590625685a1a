// The about window "Quorvane -- About": a skin with a text on the program and its authors,
// the web address of the project (a click opens it in the desktop's browser) and Ok, which
// hides the window.
#pragma once
#include <cstdint>

#include "app/outline/shaped_form.h"
#include "platform/win32/controls.h"

// The project's web page, opened by a click on the painted address.
inline constexpr const char* kAuthorWebPage = "https://quorvane.example.org/";

class frmAbout : public Outline::ShapedForm {
public:
    frmAbout();

    // Click zones, in creation order.
    rt::Label cmdWebsite;  // (232, 152) 129 x 17, over the painted web address
    rt::Label cmdOk;       // (192, 168) 33 x 25

    // Shapes the window.
    void Form_Load() override;
    void cmdOk_Click();
    // Opens the web page with the desktop's default handler; the window stays open and a
    // failure is ignored.
    void cmdWebsite_Click();
};
