// The window messages the program sends: releasing the mouse capture and the title-bar press
// that lets a borderless window be dragged by its surface.
#pragma once
#include <cstdint>

constexpr uint32_t WM_NCLBUTTONDOWN = 0xA1;
constexpr int32_t HTCAPTION = 2;

// Drops any mouse capture the program holds. Nonzero on success.
int32_t ReleaseCapture();

// WM_NCLBUTTONDOWN with HTCAPTION: the window follows the mouse until the button is released and
// the call returns when the move has ended. Other messages are ignored (result 0).
int32_t SendMessageA(int32_t hWnd, uint32_t msg, int32_t wParam, const void* lParam);
