#include "app/reset.h"

#include "app/state.h"

namespace ModMain {

void ResetForTests() { State() = ModuleState{}; }

}  // namespace ModMain
