// Puts the window run time back to its state at program start, for tests that run one after
// another in one process: destroys every window FormOf made (FormOf makes a new one on its next
// call), shuts the backend down and drops it, empties the event queue, forgets regions and
// handles, and resets the headless backend's state, App and Screen. No window made by the caller
// itself may still exist.
#pragma once

namespace rt {

void ResetWindowsForTests();

}  // namespace rt
