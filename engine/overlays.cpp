// Screen overlays: textured rectangles in back-buffer pixels, drawn over every finished frame.
#include <cmath>

#include "engine/checked.h"
#include "engine/slot_table.h"
#include "engine/zemdx.h"
#include "platform/runtime/errors.h"

namespace ZemDx {

namespace {

// A single-precision sum; leaving the float range is an overflow (ErrOverflow).
float AddSingle(float a, float b) {
    const float s = a + b;
    if (!std::isfinite(s)) rt::Raise(rt::ErrOverflow);
    return s;
}

void SetCorner(TLVertex& v, float x, float y, float tu, float tv, int32_t color) {
    // Z and Specular are never written: they stay 0 from the slot's start.
    v.X = x;
    v.Y = y;
    v.RHW = 1.0f;
    v.Diffuse = color;
    v.TU = tu;
    v.TV = tv;
}

}  // namespace

rt::Long AddOverlay(const float& X, const float& Y, const rt::Integer& Width, const rt::Integer& Height,
                    const rt::Long& TexIndex, const float& TU0, const float& TV0, const float& TU1,
                    const float& TV1, const float& TU2, const float& TV2, const float& TU3,
                    const float& TV3, const rt::Long& Color) {
    return detail::Trapped(rt::Long{-1}, [&]() -> rt::Long {
        // A new slot is all zero. The slot is marked in use at once: it stays claimed even when
        // the rest of the call fails.
        const rt::Long slot = detail::FreeSlotOrGrow(
            OverlayCount, [](rt::Long i) { return detail::Item(OverlayUsed, i) == rt::False; },
            [](size_t n) {
                Overlays.resize(n);
                OverlayUsed.resize(n, rt::False);
            });
        detail::Item(OverlayUsed, slot) = rt::True;

        const float x1 = AddSingle(X, static_cast<float>(Width));
        const float y1 = AddSingle(Y, static_cast<float>(Height));
        Overlay& o = detail::Item(Overlays, slot);
        // Strip order: top-right, top-left, bottom-right, bottom-left; both triangles run
        // counter-clockwise on the screen for a positive width and height.
        SetCorner(o.V[0], x1, Y, TU0, TV0, Color);
        SetCorner(o.V[1], X, Y, TU1, TV1, Color);
        SetCorner(o.V[2], x1, y1, TU2, TV2, Color);
        SetCorner(o.V[3], X, y1, TU3, TV3, Color);
        o.Texture = TexIndex;
        return slot;
    });
}

void DrawOverlays() {
    Direct3DDevice8& dev = detail::Device();
    dev.SetVertexShader(D3DFVF_TLVERTEX);
    const rt::Long count = OverlayCount;
    for (rt::Long i = 0; i < count; ++i) {
        if (detail::Item(OverlayUsed, i) != rt::True) continue;
        const Overlay& o = detail::Item(Overlays, i);
        dev.SetTexture(0, detail::Item(Textures, o.Texture));
        dev.DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, o.V, sizeof(TLVertex));
    }
    // Back to the world format, which the rest of the frame and the next one rely on.
    dev.SetVertexShader(D3DFVF_VERTEX);
}

}  // namespace ZemDx
