// The two flags of the menu flow that gate the start of a walk-through.
#pragma once
#include "platform/runtime/types.h"

namespace ModMain {

// A world file has been accepted in the selection window (set by its Accept, never cleared).
extern rt::Boolean WorldSelected;
// A run is to be started in the windowed game window (set when the main menu loads).
extern rt::Boolean WindowedMode;

}  // namespace ModMain
