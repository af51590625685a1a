// A headless program with a program folder of its own: Data\Maps\ with three world files among
// other files, and Data\Models\Players with two player figures.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "app/frmAbout.h"
#include "app/frmGame.h"
#include "app/frmMenu.h"
#include "app/frmOptions.h"
#include "app/frmSelect.h"
#include "app/frmWindowed.h"

class MenuTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a file below the program folder ("Data/Maps/x.map").
    void WriteFile(const std::string& relative, const std::string& text = "");
    // Clicks client point (x, y) of a window and lets the run time handle it.
    static void ClickOn(rt::Form& form, int32_t x, int32_t y, int16_t button = 1);
    // Presses at client point (x, y), moves the mouse by (dx, dy), releases, and lets the run time
    // handle it all.
    static void PressAndMove(rt::Form& form, int32_t x, int32_t y, int32_t dx, int32_t dy,
                             int16_t button = 1);
    // Shows the main menu as the program does at start-up.
    static frmMenu& StartMenu();
    static std::vector<std::string> Items(const rt::ListControl& list);

    std::string folder_;  // host path of the program folder
};
