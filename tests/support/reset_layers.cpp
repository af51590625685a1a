// QV_TOP_LAYER names the highest layer the program links: 0 none of ours, 1 run time, 2 Direct3D
// (with D3DX), 3 window run time, 4 engine, 5 application. Each layer links those below it.
#include "tests/support/reset_layers.h"

#if QV_TOP_LAYER >= 5
#include "app/reset.h"
#endif
#if QV_TOP_LAYER >= 4
#include "engine/reset.h"
#endif
#if QV_TOP_LAYER >= 3
#include "platform/win32/reset.h"
#endif
#if QV_TOP_LAYER >= 2
#include "platform/d3d8/reset.h"
#endif
#if QV_TOP_LAYER >= 1
#include "platform/runtime/reset.h"
#endif

namespace qvtest {

void ResetLayers() {
#if QV_TOP_LAYER >= 5
    ModMain::ResetForTests();
#endif
#if QV_TOP_LAYER >= 4
    ZemDx::ResetForTests();
#endif
#if QV_TOP_LAYER >= 3
    rt::ResetWindowsForTests();
#endif
#if QV_TOP_LAYER >= 2
    d3d8::ResetForTests();
#endif
#if QV_TOP_LAYER >= 1
    rt::ResetRuntimeForTests();
#endif
}

}  // namespace qvtest
