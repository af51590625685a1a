// The state of the menu flow: the two flags that gate the start of a walk-through, and the
// program folder below which the menu windows list their data.
#pragma once
#include <string>

#include "platform/runtime/types.h"

namespace ModMain {

// A world file has been accepted in the selection window (set by its Accept, never cleared).
extern rt::Boolean& WorldSelected;
// A run is to be started in the windowed game window (set when the main menu loads).
extern rt::Boolean& WindowedMode;

// The folder that holds the program, ending with "\" (the folder the engine also keeps as its
// program folder), written in the program's path style. The options and selection windows
// list folders below it, so the program finds its data from any working directory.
std::string ProgramFolderPath();
// When not empty, ProgramFolderPath gives this folder instead of the program's own (tests run
// the menu windows against data folders of their own).
extern std::string& ProgramFolderOverride;

}  // namespace ModMain
