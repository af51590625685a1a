// The selection window "Quorvane -- Select Simulation": the world files of Data\Maps\ in a file
// list. Accept records that a world has been chosen and hides the window; Cancel only hides it.
// The window is never unloaded before the program ends, so the list and its highlight last, and
// the run reads the folder and the highlighted name when it starts.
#pragma once

#include "app/outline/shaped_form.h"
#include "platform/win32/controls.h"
#include "platform/win32/runtime.h"

class frmSelect : public Outline::ShapedForm {
public:
    frmSelect();

    // Controls, in creation order.
    rt::FileListBox fileWorld;  // (24, 32) 145 x 80, "*.map"
    rt::Label cmdAccept;        // (136, 120) 97 x 41, click zone
    rt::Label cmdCancel;        // (144, 176) 73 x 49, click zone

    // Shapes the window and lists the world files; runs once, at the first showing.
    void Form_Load() override;
    // Sets WorldSelected (whether or not a name is highlighted) and hides the window.
    void cmdAccept_Click();
    // Hides the window; the flag and the highlight stay.
    void cmdCancel_Click();
};
