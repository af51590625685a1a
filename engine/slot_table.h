// The rule of the engine's slot tables (textures, overlays, text labels): a new entry goes into
// the first free slot from slot 0, and when every slot is in use the table grows by exactly
// one slot. A slot's index is the caller's handle, so slots never move.
#pragma once
#include <cstddef>

#include "platform/runtime/types.h"

namespace ZemDx::detail {

// The first slot i from 0 to count - 1 (the bound taken once, at entry) for which isFree(i)
// holds. When there is none, count grows by one, grow(count) enlarges the table's arrays to the
// new count keeping their entries, and the new last slot is the result. A failure in grow
// leaves count grown.
template <class IsFree, class Grow>
rt::Long FreeSlotOrGrow(rt::Long& count, IsFree&& isFree, Grow&& grow) {
    const rt::Long bound = count;
    for (rt::Long i = 0; i < bound; ++i)
        if (isFree(i)) return i;
    count = rt::AddLng(count, 1);
    grow(static_cast<size_t>(count));
    return count - 1;
}

}  // namespace ZemDx::detail
