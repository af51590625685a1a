// Region handles: a table of pixel sets the program creates, combines and frees, and the hand-over
// of a region to a window as its shape.
#include "platform/win32/regions.h"

#include <map>

#include "platform/win32/backend.h"
#include "platform/win32/form.h"
#include "platform/win32/internals.h"
#include "platform/win32/region_set.h"
#include "platform/win32/state.h"

using rt::detail::RegionSet;

namespace {

std::map<int32_t, RegionSet>& Table() { return rt::detail::State().regions; }

int32_t Store(RegionSet r) {
    int32_t h = rt::detail::NewHandle();
    Table().emplace(h, std::move(r));
    return h;
}

RegionSet* Find(int32_t h) {
    auto it = Table().find(h);
    return it == Table().end() ? nullptr : &it->second;
}

}  // namespace

int32_t CreateRectRgn(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    return Store(RegionSet::Rect(left, top, right, bottom));
}

int32_t CreatePolygonRgn(const POINTAPI* points, int32_t count, int32_t fillMode) {
    if (count < 0 || (count > 0 && !points)) return 0;
    if (fillMode != ALTERNATE && fillMode != WINDING) return 0;
    return Store(RegionSet::Polygon(points, count, fillMode == WINDING));
}

int32_t CombineRgn(int32_t dest, int32_t src1, int32_t src2, int32_t mode) {
    RegionSet* d = Find(dest);
    RegionSet* a = Find(src1);
    if (!d || !a) return RGN_ERROR;
    if (mode == RGN_COPY) {
        *d = *a;
        return d->Kind();
    }
    RegionSet* b = Find(src2);
    if (!b || mode < RGN_AND || mode > RGN_DIFF) return RGN_ERROR;
    *d = RegionSet::Combine(*a, *b, mode);
    return d->Kind();
}

int32_t DeleteObject(int32_t handle) { return Table().erase(handle) ? 1 : 0; }

int32_t SetWindowRgn(int32_t hWnd, int32_t hRgn, int32_t redraw) {
    (void)redraw;  // the window is always redrawn with its new shape at once
    rt::Form* f = rt::FindFormByHandle(hWnd);
    if (!f || !f->Loaded()) return 0;
    auto& st = rt::detail::StateOf(*f);
    if (hRgn == 0) {
        st.shape.reset();
    } else {
        auto it = Table().find(hRgn);
        if (it == Table().end()) return 0;
        st.shape = std::move(it->second);
        Table().erase(it);  // the window owns the region now
    }
    st.dirty = true;
    rt::detail::CurrentBackend().ApplyShape(*f);
    rt::detail::Repaint(*f);
    return 1;
}

int32_t PtInRegion(int32_t hRgn, int32_t x, int32_t y) {
    RegionSet* r = Find(hRgn);
    return r && r->Contains(x, y) ? 1 : 0;
}
