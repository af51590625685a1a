// The run time's message box, apart from any display: its layout (title bar, icon, word-wrapped
// text, the row of buttons), its pixels, its answers to keys and the mouse, and where it goes on
// the screen. The modal loop that shows it (RunMessageBox) is in internals.h. Internal to the run
// time.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rt::detail {

struct BoxRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;  // right, bottom exclusive
    bool Contains(int32_t x, int32_t y) const { return x >= left && y >= top && x < right && y < bottom; }
};

struct MessageBoxButton {
    int32_t answer;     // vbOK ... vbNo
    std::string label;  // "OK", "Cancel" ...
    BoxRect rect;       // in box pixels
};

struct MessageBoxLayout {
    int32_t width = 0, height = 0;
    std::string title;
    BoxRect titleBar;
    int32_t icon = 0;  // vbCritical, vbQuestion, vbExclamation, vbInformation or 0
    BoxRect iconRect;
    std::vector<std::string> lines;  // the text, wrapped
    int32_t textLeft = 0, textTop = 0, lineHeight = 0;
    std::vector<MessageBoxButton> buttons;  // left to right
    int defaultButton = 0;                  // index of the button Return answers at first
    int escapeButton = -1;                  // index of the button Escape answers; -1: none
};

// Lays out a box for the MsgBox buttons value (button set + icon). Text lines break at "\n" (or
// "\r\n") and between words where a line would grow too wide; a word wider than a line is broken
// where it must be.
MessageBoxLayout LayOutMessageBox(const std::string& text, const std::string& title, int32_t buttons);

// What the user has done to a shown box: which button has the keyboard (and so the default
// mark), which one is held down.
class MessageBoxInput {
public:
    explicit MessageBoxInput(const MessageBoxLayout& layout);
    int Focused() const { return focused_; }
    int Pressed() const { return pressed_; }
    // Return and space answer the marked button, Escape the Cancel button (or the only one), Tab
    // (with Shift: backwards) marks the next button. True when the look of the box changed.
    bool KeyDown(int16_t keyCode, int16_t shift);
    bool MouseDown(int32_t x, int32_t y);
    bool MouseUp(int32_t x, int32_t y);  // a release on the button pressed answers it
    void CloseCommand();                  // the window system's close: as Escape
    // Answer to give when the program is told to end while the box is up: Cancel, else No, else
    // Abort, else the only button.
    int32_t QuitAnswer() const;
    const std::optional<int32_t>& Answer() const { return answer_; }

private:
    const MessageBoxLayout& layout_;
    int focused_;
    int pressed_ = -1;
    std::optional<int32_t> answer_;
};

// Draws the box into `pixels` (width x height, 0xAARRGGBB).
void PaintMessageBox(const MessageBoxLayout& layout, const MessageBoxInput& input, std::vector<uint32_t>& pixels);

// Where the box goes: centred on the program's top-most shown window, or on the screen when
// none is shown; kept on the screen.
void PlaceMessageBox(const MessageBoxLayout& layout, int32_t& left, int32_t& top);

}  // namespace rt::detail
