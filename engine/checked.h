// Checked access for the engine's procedures: a table index outside the table raises ErrSubscript
// and a missing object raises ErrObjectNotSet, as the callers' error traps expect;
// and the error trap itself.
#pragma once
#include <cstddef>
#include <new>
#include <vector>

#include "engine/zemdx.h"
#include "platform/runtime/errors.h"

namespace ZemDx::detail {

// Entry i of a table (a std::vector or a BufferList, writable when the table is).
template <class List>
inline decltype(auto) Item(List& v, int64_t i) {
    if (i < 0 || static_cast<uint64_t>(i) >= v.size()) rt::Raise(rt::ErrSubscript);
    return v[static_cast<size_t>(i)];
}

// The last index of a list; a list without elements has none (ErrSubscript), so a pass that runs
// to it stops there.
template <class T>
inline int64_t UpperBound(const std::vector<T>& v) {
    if (v.empty()) rt::Raise(rt::ErrSubscript);
    return static_cast<int64_t>(v.size()) - 1;
}

// The device; 91 when there is none (before InitEngine, after ShutdownEngine).
inline Direct3DDevice8& Device() {
    if (!D3DDevice) rt::Raise(rt::ErrObjectNotSet);
    return *D3DDevice;
}

// The D3DX object, made on first use.
inline D3DX8& UtilityObject() {
    if (!D3DX) D3DX = std::make_shared<D3DX8>();
    return *D3DX;
}

// The error trap of a procedure that reports failure by its result: `body` runs, and any
// run-time error raised in it or in what it calls, running out of memory included, ends it at
// once with `failure`. What the body did before the error stays done.
template <class R, class Body>
R Trapped(R failure, Body&& body) {
    try {
        return body();
    } catch (const rt::RuntimeError&) {
        return failure;
    } catch (const std::bad_alloc&) {
        return failure;
    }
}

}  // namespace ZemDx::detail
