// The options window "Quorvane -- Options": a list of the player figures (object files of
// Data\Models\Players), an empty preview box and the resolution list, which holds the one entry
// "Windowed". Nothing reads the choices: Accept and Cancel both only hide the window.
#pragma once
#include <cstdint>

#include "app/outline/shaped_form.h"
#include "platform/win32/controls.h"

class frmOptions : public Outline::ShapedForm {
public:
    frmOptions();

    // Controls, in creation order.
    rt::FileListBox FilePlayer;  // (16, 32) 105 x 67, "*.zemobj"
    rt::PictureBox picPlayer;    // (128, 48) 137 x 209, stays empty
    rt::ListBox lstResolution;   // (16, 112) 105 x 47
    rt::Label Label3;            // (16, 16) "Player:"
    rt::Label Label1;            // (16, 96) "Resolution :"
    rt::Label cmdCancel;         // (128, 280) 129 x 25, click zone
    rt::Label cmdAccept;         // (112, 264) 161 x 17, click zone; lies above cmdCancel on row 280

    // Shapes the window, lists the player figures and reduces the resolution list to
    // "Windowed", highlighted.
    void Form_Load() override;
    void cmdAccept_Click();
    void cmdCancel_Click();
};
