// Puts every module variable of ZemDx back to its value at program start, for tests that run one
// after another in one process. What the variables held is released, the device last.
#pragma once

namespace ZemDx {

void ResetForTests();

}  // namespace ZemDx
