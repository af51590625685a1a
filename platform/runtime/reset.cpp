#include "reset.h"

#include "textfile.h"

namespace rt {

// The open files are the only state of this layer (the C locale of the number reader is made once
// and never changes).
void ResetRuntimeForTests() { CloseAll(); }

}  // namespace rt
