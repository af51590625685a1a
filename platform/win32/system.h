// Cursor display counter, millisecond tick count and opening documents with the desktop.
#pragma once
#include <cstdint>

constexpr int32_t SW_SHOWNORMAL = 1;

// Raises (show != 0) or lowers the display counter and returns its new value; the cursor is
// shown while the counter is 0 or more. The counter starts at 0.
int32_t ShowCursor(int32_t show);

// Milliseconds since an arbitrary start, 32 bits, wrapping.
uint32_t GetTickCount();

// Opens `file` (a web address or a path) with the desktop's default handler. A result above 32
// means success; 2 (file not found) when nothing could open it. Owner, verb, parameters and
// folder may be null and are otherwise ignored beyond the default action.
int32_t ShellExecuteA(int32_t hWnd, const char* operation, const char* file, const char* parameters,
                      const char* directory, int32_t showCmd);
