// Text drawn by D3DX8::DrawText on the device's back buffer, compared with a reference image:
// the game's frame-rate label, the alignments, word break, clipping and no-clip, in the
// program's faces. Each layout rectangle is outlined in grey so the picture shows it.
#include <gtest/gtest.h>

#include "platform/d3d8/d3d8.h"
#include "platform/d3dx8/d3dx8.h"
#include "d3dx8_refimage.h"
#include "tests/unit/d3dx8/d3dx8_testing.h"

namespace {

constexpr int kW = 240, kH = 120;

void Outline(Direct3DDevice8& dev, const RECT& r) {
    uint32_t* px = dev.BackBufferData();
    const int pitch = dev.BackBufferPitch();
    for (int x = r.Left - 1; x <= r.Right; ++x) {
        px[(r.Top - 1) * pitch + x] = 0xFF606060;
        px[r.Bottom * pitch + x] = 0xFF606060;
    }
    for (int y = r.Top - 1; y <= r.Bottom; ++y) {
        px[y * pitch + r.Left - 1] = 0xFF606060;
        px[y * pitch + r.Right] = 0xFF606060;
    }
}

D3DXFontPtr Font(D3DX8& d3dx, const Direct3DDevice8Ptr& dev, const char* name, double size, bool bold) {
    auto f = std::make_shared<StdFont>();
    f->Name = name;
    f->Size = size;
    f->Bold = bold ? rt::True : rt::False;
    IFontPtr view = f;
    return d3dx.CreateFont(dev, view->hFont());
}

}  // namespace

TEST(D3DX8TextRender, LabelsAlignmentsWrappingAndClipping) {
    auto dev = d3dx8testing::MakeDevice(kW, kH, false);
    dev->Clear(0, nullptr, D3DCLEAR_TARGET, static_cast<int32_t>(0xFF182838u), 1.0f, 0);
    D3DX8 d3dx;
    const auto verdanaBold = Font(d3dx, dev, "Verdana", 12, true);
    const auto verdana = Font(d3dx, dev, "Verdana", 9, false);
    const auto comic = Font(d3dx, dev, "Comic Sans MS", 10, false);

    // The game's frame-rate label: Left 0, Top 0, Right 100, Bottom 15, format 0.
    d3dx.DrawText(verdanaBold, -1, "FPS - 60", RECT{0, 0, 100, 15}, 0);

    const RECT row{110, 4, 230, 18};
    Outline(*dev, row);
    d3dx.DrawText(verdana, static_cast<int32_t>(0xFFFFD040u), "left", row, DT_LEFT);
    d3dx.DrawText(verdana, static_cast<int32_t>(0xFF80FF80u), "centre", row, DT_CENTER);
    d3dx.DrawText(verdana, static_cast<int32_t>(0xFF80C0FFu), "right", row, DT_RIGHT);

    const RECT wrap{6, 26, 96, 112};
    Outline(*dev, wrap);
    d3dx.DrawText(comic, -1, "Word break keeps words whole and starts new lines.", wrap, DT_WORDBREAK | DT_CENTER);

    const RECT clip{110, 30, 170, 44};
    Outline(*dev, clip);
    d3dx.DrawText(verdana, -1, "clipped at the edge", clip, 0);

    const RECT noclip{110, 54, 150, 66};
    Outline(*dev, noclip);
    d3dx.DrawText(verdana, static_cast<int32_t>(0xFFFF6060u), "no clip runs over", noclip, DT_NOCLIP);

    const RECT single{110, 78, 230, 112};
    Outline(*dev, single);
    d3dx.DrawText(verdanaBold, static_cast<int32_t>(0xC0FFFFFFu), "bottom right", single,
                  DT_SINGLELINE | DT_BOTTOM | DT_RIGHT);
    d3dx.DrawText(verdana, -1, "middle", single, DT_SINGLELINE | DT_VCENTER);

    d3dx8ref::ExpectMatchesReference("d3dx8_text", dev->GetBackBufferPixels(), kW, kH, 8, 60);
}
