// The window run time's module state in one place: everything the run time keeps between calls,
// each member at its value when the program starts. Internal to the run time; ResetWindowsForTests
// (reset.h) puts a fresh one in place. Kept elsewhere: the font cache of paint.cpp and the frame
// scalers of controls.cpp and repaint.cpp, which only save work, and FatalRuntimeError's guard,
// which is set only on the way out of the program.
#pragma once
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "platform/win32/backend.h"
#include "platform/win32/region_set.h"

namespace rt {
class Form;
class PictureBox;
}  // namespace rt

namespace rt::detail {

struct RuntimeState {
    // Window instances in creation order, and by handle.
    std::vector<Form*> forms;
    std::map<int32_t, Form*> handles;
    // The instances FormOf made, each with FormOf<T>'s pointer to it. The run time never
    // destroys them; ResetWindowsForTests does, and clears the pointer so FormOf makes a new one.
    std::vector<std::pair<Form*, Form**>> formOfInstances;
    // Loaded windows from bottom to top of the stacking order.
    std::vector<Form*> zOrder;
    // Picture boxes by handle.
    std::map<int32_t, PictureBox*> pictureBoxes;
    // Regions made and not yet given to a window or deleted, by handle.
    std::map<int32_t, RegionSet> regions;
    // The next window, picture box or region handle.
    int32_t nextHandle = 0x00010010;
    // Windows placed at the system's default position so far (each cascades from the last).
    int cascade = 0;
    // ShowCursor's display count: the cursor shows while it is 0 or more.
    int32_t cursorCount = 0;
    std::deque<Event> events;
    int handlerDepth = 0;
    // A message box is up (the run time shows one at a time).
    bool messageBoxUp = false;
    // Last, so it goes first: a backend's teardown still finds the windows' records.
    std::unique_ptr<Backend> backend;
};

RuntimeState& State();

// Puts the headless backend's state (clock, message boxes and answers, opened documents, cursor,
// mouse capture) back to its start; in headless_backend.cpp.
void ResetHeadlessState();

}  // namespace rt::detail
