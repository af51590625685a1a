// Puts every module variable of ModMain back to its value at program start, for tests that run
// one after another in one process.
#pragma once

namespace ModMain {

void ResetForTests();

}  // namespace ModMain
