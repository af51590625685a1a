// A whole walk-through in the headless window run time, driven by a script.
//
// Loading the game window never returns: the run ends only by ending the program. So every
// run happens in a child process (a death test), and the script runs inside the run itself:
// a hidden probe window's 1 ms timer moves the headless clock on and performs the script's
// steps one per tick, between frames, exactly where key presses and timers are handled. A
// failed check prints what failed and ends the child with status 3; a script that reaches its
// end presses Escape, which must end the program with status 0.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/controls.h"
#include "platform/win32/form.h"

namespace gametest {

// Ends the child with status 3 and the message on standard error when `ok` is false.
void Check(bool ok, const std::string& what);
#define GAME_CHECK(cond) ::gametest::Check((cond), std::string(#cond) + " at line " + std::to_string(__LINE__))

// A step of the script: runs on one probe tick; returns true when it is done (the next tick
// goes on with the next step), false to be run again on the next tick.
using ScriptStep = std::function<bool()>;

// Writes `text` as a world file into a fresh folder and highlights it in the selection
// window's file list; returns the folder. With `highlight` false the folder is set but no name
// is highlighted.
std::string SelectWorld(const std::string& text, bool highlight = true);

// Loads the game window (the run) with `script` running inside it. Never returns.
[[noreturn]] void RunGame(std::vector<ScriptStep> script, uint32_t msPerTick = 50);

// In the headless run time: writes `text` as the selected world (see SelectWorld) and loads
// the game window with `script` running inside the run. Never returns.
[[noreturn]] void PlayWorld(const std::string& text, std::vector<ScriptStep> script, bool highlight = true);

// A step that waits until the world is built and the main loop has started.
ScriptStep WaitForMainLoop();
// A step that sends a key-down (and, with `up`, the key-up) to the game window.
ScriptStep Press(int16_t key, int repeat = 1);
ScriptStep Release(int16_t key);
// A step that runs `check` once.
ScriptStep Do(std::function<void()> check);

// The world files of the cases: rows of codes joined by "," and CR LF.
std::string WorldText(int rows, int cols, int floor, int ceiling, const std::vector<std::vector<int>>& cells);

}  // namespace gametest
