// Puts the run time's own state back to its start, for tests that run one after another in one
// process: every file number is closed.
#pragma once

namespace rt {

void ResetRuntimeForTests();

}  // namespace rt
