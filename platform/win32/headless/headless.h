// The headless backend: windows and their pixels in memory, events injected by tests, message
// boxes recorded and answered, a clock the test controls. Call rt::headless::Use() before the
// first window is made (the run time also falls back to it when no backend was chosen).
//
// Injected events queue up like real ones: they are handled by the next DoEvents (or by the
// drag loop of SendMessageA). Points are screen pixels unless a Form is given, in which case
// they are client pixels of that window.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace rt {
class Form;
}  // namespace rt

namespace rt::headless {

void Use();

// Clock of GetTickCount and the timers.
void SetClock(uint32_t ms);
void AdvanceClock(uint32_t ms);

// Mouse. A press goes to the top-most shown window whose shape holds the point; there, to the
// top-most control under it, or to the window's own surface.
void MouseDown(int32_t screenX, int32_t screenY, int16_t button = 1);
void MouseMove(int32_t screenX, int32_t screenY);
void MouseUp(int32_t screenX, int32_t screenY, int16_t button = 1);
void Click(int32_t screenX, int32_t screenY, int16_t button = 1);
void MouseDown(Form& form, int32_t x, int32_t y, int16_t button = 1);
void MouseUp(Form& form, int32_t x, int32_t y, int16_t button = 1);
void Click(Form& form, int32_t x, int32_t y, int16_t button = 1);

// Keys go to the given window (which becomes the active one): repeat > 1 sends that many
// key-down events, as auto-repeat does.
void KeyDown(Form& form, int16_t keyCode, int repeat = 1);
void KeyUp(Form& form, int16_t keyCode);

// The system close command on a window.
void Close(Form& form);

// The program is told to end, as SIGTERM or SIGINT tell it on the real display.
void Quit();

// Message boxes shown so far (with where they were shown), and the answers to give the next
// ones (otherwise the marked button's answer). A box is answered after the events queued
// before it came up, which it drops when they are meant for other windows.
struct MessageBoxRecord {
    std::string text;
    std::string title;
    int32_t buttons;
    int32_t answer;
    int32_t left, top, width, height;
};
const std::vector<MessageBoxRecord>& MessageBoxes();
void QueueAnswer(int32_t answer);

// Web addresses and files handed to ShellExecuteA.
const std::vector<std::string>& OpenedDocuments();

// The window's client pixels (0xAARRGGBB) as last drawn; outside the shape they are 0.
std::vector<uint32_t> WindowPixels(Form& form);
// Is screen pixel (x, y) part of a shown window's shape, and which window is on top there.
Form* WindowAt(int32_t screenX, int32_t screenY);

bool CursorVisible();

}  // namespace rt::headless
