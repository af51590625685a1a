// The one instance of the window run time's module state.
#include "platform/win32/state.h"

namespace rt::detail {

RuntimeState& State() {
    static RuntimeState state;
    return state;
}

}  // namespace rt::detail
