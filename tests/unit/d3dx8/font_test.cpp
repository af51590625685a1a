// OLE fonts and handles, face resolution, CreateFont, and DrawText's layout, clipping, blending
// and glyph cache.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/testswitch.h"
#include "platform/d3dx8/d3dx8.h"
#include "platform/media/text_render.h"
#include "platform/runtime/errors.h"
#include "tests/unit/d3dx8/d3dx8_testing.h"

// Counts heap allocations, so a test can show that drawing allocates nothing once warm. The
// replacement pair uses malloc and free, which GCC cannot see through at inlined call sites.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
static std::atomic<long> gAllocations{0};
void* operator new(std::size_t n) {
    ++gAllocations;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

using d3dx8testing::ErrorOf;

namespace {

constexpr uint32_t kBackground = 0xFF102040;

class D3DXFontTest : public ::testing::Test {
protected:
    void SetUp() override {
        d3d8test::Reset();
        device_ = d3dx8testing::MakeDevice(200, 80, false);
        ClearBack();
    }
    void ClearBack() { device_->Clear(0, nullptr, D3DCLEAR_TARGET, static_cast<int32_t>(kBackground), 1.0f, 0); }
    void TearDown() override { d3d8test::Reset(); }

    D3DXFontPtr MakeFont(const std::string& name, double size, bool bold) {
        font_ = std::make_shared<StdFont>();
        font_->Name = name;
        font_->Size = size;
        font_->Bold = bold ? rt::True : rt::False;
        IFontPtr view = font_;
        return d3dx_.CreateFont(device_, view->hFont());
    }

    // The box around every pixel that differs from the background (empty: right < left).
    RECT Inked() {
        const auto px = device_->GetBackBufferPixels();
        RECT r{10000, 10000, -1, -1};
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 200; ++x)
                if (px[static_cast<size_t>(y) * 200 + x] != kBackground) {
                    r.Left = std::min(r.Left, x);
                    r.Top = std::min(r.Top, y);
                    r.Right = std::max(r.Right, x + 1);
                    r.Bottom = std::max(r.Bottom, y + 1);
                }
        return r;
    }

    Direct3DDevice8Ptr device_;
    StdFontPtr font_;
    D3DX8 d3dx_;
};

}  // namespace

TEST(D3DXFontFaces, NamesResolveToInstalledLookAlikes) {
    const auto verdana = textrender::Font::Open("Verdana", 16, false);
    ASSERT_TRUE(verdana);
    EXPECT_FALSE(verdana->FamilyName().empty());
    EXPECT_EQ(verdana->PixelHeight(), 16);
    const auto comic = textrender::Font::Open("Comic Sans MS", 16, false);
    ASSERT_TRUE(comic);
    EXPECT_NE(comic->FilePath(), verdana->FilePath());
    // The look-alikes the program's machines install.
    EXPECT_EQ(verdana->FamilyName(), "DejaVu Sans");
    EXPECT_EQ(comic->FamilyName(), "Comic Neue");
    // A name nobody has still gives a face (fontconfig's default).
    EXPECT_TRUE(textrender::Font::Open("No Such Face Anywhere", 16, false));
    // The same request while the first font lives shares it.
    EXPECT_EQ(textrender::Font::Open("Verdana", 16, false), verdana);
}

TEST(D3DXFontFaces, PointsToPixelsAtNinetySixDpi) {
    EXPECT_EQ(textrender::Font::PointsToPixels(12), 16);
    EXPECT_EQ(textrender::Font::PointsToPixels(9), 12);
    EXPECT_EQ(textrender::Font::PointsToPixels(8.25), 11);
    EXPECT_EQ(textrender::Font::PointsToPixels(0), 1);
    EXPECT_EQ(textrender::Font::PointsToPixels(-5), 1);
}

TEST(D3DXFontFaces, BoldIsHeavierAndLineMetricsFitThePixelSize) {
    const auto regular = textrender::Font::Open("Verdana", 16, false);
    const auto bold = textrender::Font::Open("Verdana", 16, true);
    ASSERT_TRUE(regular && bold);
    EXPECT_NE(regular, bold);
    EXPECT_TRUE(bold->Bold());
    EXPECT_GT(bold->MeasureWidth("FPS - 0123456789"), regular->MeasureWidth("FPS - 0123456789"));
    EXPECT_GE(regular->LineHeight(), 16);
    EXPECT_LE(regular->LineHeight(), 24);
    EXPECT_EQ(regular->LineHeight(), regular->Ascent() + regular->Descent());
    EXPECT_EQ(regular->MeasureWidth(""), 0);
    EXPECT_EQ(regular->MeasureWidth("ab\r\n"), regular->MeasureWidth("ab"));
}

TEST(D3DXOleFonts, HandlesFollowTheDescriptionAndDieWithTheFont) {
    HFONT first, second;
    {
        StdFont f;
        f.Name = "Verdana";
        f.Size = 12;
        first = f.hFont();
        EXPECT_NE(first, 0);
        EXPECT_EQ(f.hFont(), first);
        FontDescription d;
        ASSERT_TRUE(LookUpFontHandle(first, d));
        EXPECT_EQ(d.Name, "Verdana");
        EXPECT_EQ(d.Size, 12);
        EXPECT_FALSE(d.Bold);
        f.Bold = rt::True;
        second = f.hFont();
        EXPECT_NE(second, first);
        EXPECT_FALSE(LookUpFontHandle(first, d));
        ASSERT_TRUE(LookUpFontHandle(second, d));
        EXPECT_TRUE(d.Bold);
        f.Size = 0;
        EXPECT_THROW(f.hFont(), rt::RuntimeError);
    }
    FontDescription d;
    EXPECT_FALSE(LookUpFontHandle(second, d));
    EXPECT_FALSE(LookUpFontHandle(0, d));
}

TEST(D3DXOleFonts, CopiesShareTheDescriptionButNotTheHandle) {
    // Controls keep their font by value: a copy that took the original's handle would release
    // it when it dies, and an assignment must not drop the target's own handle behind its back.
    StdFont original;
    original.Name = "Verdana";
    original.Size = 9.75;
    const HFONT handle = original.hFont();
    FontDescription d;
    {
        StdFont copy = original;
        EXPECT_EQ(copy.Name, "Verdana");
        EXPECT_EQ(copy.Size, 9.75);
        const HFONT copied = copy.hFont();
        EXPECT_NE(copied, handle);
        ASSERT_TRUE(LookUpFontHandle(copied, d));
        EXPECT_EQ(d.Size, 9.75);
        copy.Bold = rt::True;
        copy = original;  // same description again: the copy keeps its handle
        EXPECT_EQ(copy.Bold, rt::False);
        EXPECT_NE(copy.hFont(), handle);
    }
    ASSERT_TRUE(LookUpFontHandle(handle, d));
    EXPECT_EQ(original.hFont(), handle);
}

// A font held by a static-lifetime reference, as the engine keeps its label font: it goes with
// the other statics after main returns, possibly after the handle registry has been torn down.
static StdFontPtr gFontHeldToTheEnd;

TEST(D3DXOleFontsDeathTest, AFontHeldInAStaticIsReleasedCleanlyAtProgramEnd) {
    EXPECT_EXIT(
        {
            gFontHeldToTheEnd = std::make_shared<StdFont>();
            gFontHeldToTheEnd->Name = "Verdana";
            if (gFontHeldToTheEnd->hFont() == 0) std::exit(3);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(D3DXFontTest, CreateFontGivesTheFaceAtTheSizeAndWeight) {
    const auto font = MakeFont("Verdana", 12, true);
    ASSERT_TRUE(font);
    EXPECT_EQ(font->Face()->PixelHeight(), 16);
    EXPECT_TRUE(font->Face()->Bold());
    EXPECT_EQ(font->Device(), device_);
}

TEST_F(D3DXFontTest, CreateFontFailures) {
    EXPECT_EQ(ErrorOf([&] { d3dx_.CreateFont(device_, 12345); }), D3DERR_INVALIDCALL);
    StdFont f;
    const HFONT h = f.hFont();
    EXPECT_EQ(ErrorOf([&] { d3dx_.CreateFont(nullptr, h); }), rt::ErrObjectNotSet);
    d3d8test::FailCall("CreateFont");
    EXPECT_EQ(ErrorOf([&] { d3dx_.CreateFont(device_, h); }), D3DERR_INVALIDCALL);
    EXPECT_TRUE(d3dx_.CreateFont(device_, h));
}

TEST_F(D3DXFontTest, DrawTextWithoutAFontOrWithTheSwitchArmedFails) {
    EXPECT_EQ(ErrorOf([&] { d3dx_.DrawText(nullptr, -1, "FPS - 0", RECT{0, 0, 100, 15}, 0); }),
              rt::ErrObjectNotSet);
    const auto font = MakeFont("Verdana", 12, true);
    d3d8test::FailCall("DrawText");
    EXPECT_EQ(ErrorOf([&] { d3dx_.DrawText(font, -1, "FPS - 0", RECT{0, 0, 100, 15}, 0); }), D3DERR_INVALIDCALL);
    EXPECT_LT(Inked().Right, 0);  // nothing drawn
    EXPECT_GT(d3dx_.DrawText(font, -1, "FPS - 0", RECT{0, 0, 100, 15}, 0), 0);
}

TEST_F(D3DXFontTest, TextStaysInsideItsRectangleUnlessNoClip) {
    const auto font = MakeFont("Verdana", 12, true);
    const std::string text = "FPS - 1234567890 1234567890";
    const int height = d3dx_.DrawText(font, -1, text, RECT{10, 5, 60, 15}, 0);
    EXPECT_EQ(height, font->Face()->LineHeight());
    RECT ink = Inked();
    EXPECT_GE(ink.Left, 10);
    EXPECT_GE(ink.Top, 5);
    EXPECT_LE(ink.Right, 60);  // cut at the right edge
    EXPECT_GE(ink.Right, 55);
    EXPECT_EQ(ink.Bottom, 15); // and at the bottom (the glyphs reach lower)
    ClearBack();
    d3dx_.DrawText(font, -1, text, RECT{10, 5, 60, 15}, DT_NOCLIP);
    ink = Inked();
    EXPECT_GT(ink.Right, 100);
    EXPECT_GT(ink.Bottom, 15);
    // Rectangles partly or wholly off the back buffer draw only what lies on it.
    ClearBack();
    d3dx_.DrawText(font, -1, text, RECT{-40, -8, 300, 200}, DT_NOCLIP);
    d3dx_.DrawText(font, -1, text, RECT{150, 70, 400, 200}, 0);
    d3dx_.DrawText(font, -1, text, RECT{1000, 1000, 1100, 1100}, DT_NOCLIP);
    ink = Inked();
    EXPECT_LE(ink.Left, 3);
    EXPECT_LE(ink.Top, 3);
    EXPECT_GE(ink.Right, 196);
    EXPECT_GE(ink.Bottom, 76);
}

TEST_F(D3DXFontTest, FullyCoveredPixelsTakeTheColourAndAlphaScalesIt) {
    const auto font = MakeFont("Verdana", 24, true);
    d3dx_.DrawText(font, static_cast<int32_t>(0xFFFF8000u), "IIII", RECT{0, 0, 200, 80}, 0);
    auto px = device_->GetBackBufferPixels();
    int exact = 0;
    for (uint32_t p : px) exact += (p & 0x00FFFFFF) == 0xFF8000;
    EXPECT_GT(exact, 20);
    ClearBack();
    d3dx_.DrawText(font, 0x00FFFFFF, "IIII", RECT{0, 0, 200, 80}, 0);  // alpha 0: invisible
    EXPECT_LT(Inked().Right, 0);
    ClearBack();
    d3dx_.DrawText(font, static_cast<int32_t>(0x80FFFFFFu), "IIII", RECT{0, 0, 200, 80}, 0);
    px = device_->GetBackBufferPixels();
    uint32_t brightest = 0;
    for (uint32_t p : px) brightest = std::max(brightest, (p >> 8) & 0xFF);
    // Half of white over green 0x20: about 0x8F.
    EXPECT_NEAR(static_cast<int>(brightest), 0x8F, 2);
}

TEST_F(D3DXFontTest, HorizontalAlignment) {
    const auto font = MakeFont("Verdana", 12, false);
    const RECT box{20, 0, 180, 30};
    const int w = font->Face()->MeasureWidth("Wide text");
    d3dx_.DrawText(font, -1, "Wide text", box, DT_LEFT);
    const RECT left = Inked();
    EXPECT_NEAR(left.Left, 20, 2);
    ClearBack();
    d3dx_.DrawText(font, -1, "Wide text", box, DT_RIGHT);
    const RECT right = Inked();
    EXPECT_NEAR(right.Right, 180, 2);
    EXPECT_NEAR(right.Left - left.Left, 160 - w, 1);
    ClearBack();
    d3dx_.DrawText(font, -1, "Wide text", box, DT_CENTER);
    const RECT centre = Inked();
    EXPECT_NEAR(centre.Left - left.Left, (160 - w) / 2, 1);
}

TEST_F(D3DXFontTest, VerticalAlignmentNeedsSingleLine) {
    const auto font = MakeFont("Verdana", 12, false);
    const int lh = font->Face()->LineHeight();
    const RECT box{0, 0, 200, 80};
    d3dx_.DrawText(font, -1, "Hxy", box, DT_SINGLELINE);
    const RECT top = Inked();
    ClearBack();
    d3dx_.DrawText(font, -1, "Hxy", box, DT_SINGLELINE | DT_BOTTOM);
    EXPECT_EQ(Inked().Top - top.Top, 80 - lh);
    ClearBack();
    d3dx_.DrawText(font, -1, "Hxy", box, DT_SINGLELINE | DT_VCENTER);
    EXPECT_EQ(Inked().Top - top.Top, (80 - lh) / 2);
    ClearBack();
    d3dx_.DrawText(font, -1, "Hxy", box, DT_BOTTOM);  // multi-line layout: stays at the top
    EXPECT_EQ(Inked().Top, top.Top);
}

TEST_F(D3DXFontTest, LineBreaksAndWordBreak) {
    const auto font = MakeFont("Verdana", 12, false);
    const int lh = font->Face()->LineHeight();
    EXPECT_EQ(d3dx_.DrawText(font, -1, "one\r\ntwo\nthree", RECT{0, 0, 200, 80}, 0), 3 * lh);
    EXPECT_GT(Inked().Bottom, 2 * lh);
    ClearBack();
    EXPECT_EQ(d3dx_.DrawText(font, -1, "one\r\ntwo", RECT{0, 0, 200, 80}, DT_SINGLELINE), lh);
    // Words that do not fit go to the next line; a word wider than the box stays whole.
    ClearBack();
    const int w = font->Face()->MeasureWidth("alpha beta");
    EXPECT_EQ(d3dx_.DrawText(font, -1, "alpha beta gamma", RECT{0, 0, w + 2, 80}, DT_WORDBREAK), 2 * lh);
    EXPECT_EQ(d3dx_.DrawText(font, -1, "alpha beta gamma", RECT{0, 0, 10, 80}, DT_WORDBREAK), 3 * lh);
    EXPECT_EQ(d3dx_.DrawText(font, -1, "alpha beta gamma", RECT{0, 0, 10, 80}, 0), lh);
    EXPECT_EQ(d3dx_.DrawText(font, -1, "", RECT{0, 0, 10, 80}, 0), 0);
}

TEST_F(D3DXFontTest, DrawingAgainRasterisesNoGlyphAndAllocatesNothing) {
    const auto font = MakeFont("Verdana", 12, true);
    const RECT box{0, 0, 100, 15};
    d3dx_.DrawText(font, -1, "FPS - 0123456789", box, 0);
    const uint64_t glyphs = font->Face()->GlyphsRasterised();
    EXPECT_GT(glyphs, 0u);
    const std::string text = "FPS - 9876543210";
    const long before = gAllocations.load();
    for (int i = 0; i < 10; ++i) d3dx_.DrawText(font, -1, text, box, 0);
    EXPECT_EQ(gAllocations.load(), before);
    EXPECT_EQ(font->Face()->GlyphsRasterised(), glyphs);
}

TEST_F(D3DXFontTest, TextGoesOverTrianglesDrawnBeforeIt) {
    // A triangle covering the top-left corner, drawn inside a scene, then text over it.
    struct V {
        float x, y, z, rhw;
        uint32_t c;
    };
    const V tri[3] = {{0, 0, 0.5f, 1, 0xFF00FF00}, {200, 0, 0.5f, 1, 0xFF00FF00}, {0, 80, 0.5f, 1, 0xFF00FF00}};
    const auto font = MakeFont("Verdana", 24, true);
    device_->SetRenderState(D3DRS_LIGHTING, 0);
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device_->SetRenderState(D3DRS_ZENABLE, 0);
    device_->BeginScene();
    device_->SetVertexShader(D3DFVF_XYZRHW | D3DFVF_DIFFUSE);
    device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri, sizeof(V));
    d3dx_.DrawText(font, static_cast<int32_t>(0xFFFF0000u), "IIII", RECT{2, 2, 200, 80}, 0);
    device_->EndScene();
    const auto px = device_->GetBackBufferPixels();
    int red = 0, green = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const uint32_t p = px[static_cast<size_t>(y) * 200 + x] & 0x00FFFFFF;
            red += p == 0xFF0000;
            green += p == 0x00FF00;
        }
    EXPECT_GT(red, 20);
    EXPECT_GT(green, 20);
}
