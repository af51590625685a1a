#include "engine/reset.h"

#include <utility>

#include "engine/clsZemMesh.h"
#include "engine/state.h"

namespace ZemDx {

// The old state is released when the statement ends, member by member in the reverse of their
// order (the device last).
void ResetForTests() { (void)std::exchange(State(), ModuleState{}); }

}  // namespace ZemDx
