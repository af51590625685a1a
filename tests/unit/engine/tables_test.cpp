// The engine's slot tables: the texture cache, the screen overlays and the text labels.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

#include "engine/zemdx.h"
#include "engine_test_util.h"
#include "platform/d3d8/testswitch.h"
#include "tests/unit/runtime/error_of.h"

using namespace enginetest;

namespace {

class Tables : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(StartEngine(), rt::True);
        ZemDx::AppPath = RepoAppPath();
    }
    static std::string Wall(int n) { return "Textures\\" + std::to_string(n) + ".bmp"; }
};

}  // namespace

// ---- texture cache ---------------------------------------------------------------------------

TEST_F(Tables, TexturesFillTheTwoSlotsThenGrowOneAtATime) {
    d3d8test::Record(true);
    EXPECT_EQ(ZemDx::LoadTexture("Textures\\Phaser Type 3.bmp", static_cast<rt::Long>(0xFF00FF00), rt::False), 0);
    for (int n = 1; n <= 11; ++n) {
        EXPECT_EQ(ZemDx::LoadTexture(Wall(n), static_cast<rt::Long>(0xFFFFFFFE), rt::False), n);
        EXPECT_EQ(ZemDx::TextureCount, std::max(2, n + 1));
        EXPECT_EQ(ZemDx::Textures.size(), ZemDx::TextureNames.size());
    }
    EXPECT_EQ(ZemDx::TextureCount, 12);
    for (int i = 0; i < 12; ++i) EXPECT_TRUE(ZemDx::Textures[i]) << i;
    EXPECT_EQ(ZemDx::TextureNames[11].FileName, "Textures\\11.bmp");
    // The weapon image's colour key made its green transparent black: the 256 x 256 image has
    // an alpha channel.
    EXPECT_TRUE(ZemDx::Textures[0]->HasAlpha);
    EXPECT_EQ(ZemDx::Textures[0]->Levels[0].Width, 256);
}

TEST_F(Tables, CachedNameReturnsItsSlotWhateverTheKey) {
    ASSERT_EQ(ZemDx::LoadTexture(Wall(3), 0, rt::False), 0);
    const Direct3DTexture8Ptr first = ZemDx::Textures[0];
    EXPECT_EQ(ZemDx::LoadTexture(Wall(3), static_cast<rt::Long>(0xFFFFFFFE), rt::False), 0);
    EXPECT_EQ(ZemDx::Textures[0], first);   // no new texture
    EXPECT_FALSE(ZemDx::Textures[1]);
    // Case counts: a second texture in its own slot.
    EXPECT_EQ(ZemDx::LoadTexture("TEXTURES\\3.bmp", 0, rt::False), 1);
    EXPECT_NE(ZemDx::Textures[1], first);
    EXPECT_EQ(ZemDx::TextureNames[1].FileName, "TEXTURES\\3.bmp");
}

TEST_F(Tables, ForceNewMakesASecondSlotAndLookupKeepsTheFirst) {
    ASSERT_EQ(ZemDx::LoadTexture(Wall(5), 0, rt::False), 0);
    EXPECT_EQ(ZemDx::LoadTexture(Wall(5), 0, rt::True), 1);
    EXPECT_EQ(ZemDx::LoadTexture(Wall(5), 0, -1), 2);  // any value other than False
    EXPECT_EQ(ZemDx::TextureCount, 3);
    EXPECT_NE(ZemDx::Textures[0], ZemDx::Textures[1]);
    EXPECT_EQ(ZemDx::TextureNames[1].FileName, Wall(5));
    EXPECT_EQ(ZemDx::LoadTexture(Wall(5), 0, rt::False), 0);
}

TEST_F(Tables, FailedLoadKeepsTheGrownSlotEmptyForTheNextLoad) {
    ASSERT_EQ(ZemDx::LoadTexture(Wall(1), 0, rt::False), 0);
    ASSERT_EQ(ZemDx::LoadTexture(Wall(2), 0, rt::False), 1);
    EXPECT_EQ(ZemDx::LoadTexture("Textures\\missing.bmp", 0, rt::False), -1);
    EXPECT_EQ(ZemDx::TextureCount, 3);
    EXPECT_FALSE(ZemDx::Textures[2]);
    EXPECT_EQ(ZemDx::TextureNames[2].FileName, "");
    // A name that failed is not cached; the next good load takes the empty slot.
    EXPECT_EQ(ZemDx::LoadTexture("Textures\\missing.bmp", 0, rt::False), -1);
    EXPECT_EQ(ZemDx::TextureCount, 3);
    EXPECT_EQ(ZemDx::LoadTexture(Wall(4), 0, rt::False), 2);
    EXPECT_EQ(ZemDx::TextureCount, 3);
}

TEST_F(Tables, FileThatIsNoImageFails) {
    // A world file is text, not a picture.
    EXPECT_EQ(ZemDx::LoadTexture("Maps\\First Steps.map", 0, rt::False), -1);
    EXPECT_FALSE(ZemDx::Textures[0]);
    EXPECT_EQ(ZemDx::LoadTexture(Wall(1), 0, rt::False), 0);
}

TEST_F(Tables, AFailedLoadKeepsWhichFileAndWhy) {
    // The error's own text; the detail names the file once, as the system names it.
    const std::string data = std::string(QV_SOURCE_DIR) + "/Data/";
    const ZemDx::TextureLoadFailure& failure = ZemDx::LastTextureFailure;
    EXPECT_EQ(ZemDx::LoadTexture("Textures\\missing.bmp", 0, rt::False), -1);
    EXPECT_EQ(failure.FileName, "Textures\\missing.bmp");
    EXPECT_EQ(failure.Number, rt::ErrFileNotFound);
    EXPECT_EQ(failure.Reason, "File not found");
    EXPECT_EQ(failure.Detail, data + "Textures/missing.bmp");
    EXPECT_EQ(ZemDx::LoadTexture("Maps\\First Steps.map", 0, rt::False), -1);
    EXPECT_EQ(failure.FileName, "Maps\\First Steps.map");
    EXPECT_EQ(failure.Number, D3DXERR_INVALIDDATA);
    EXPECT_EQ(failure.Reason, "D3DXERR_INVALIDDATA");
    EXPECT_EQ(failure.Detail.rfind(data + "Maps/First Steps.map: ", 0), 0u) << failure.Detail;
    EXPECT_GT(failure.Detail.size(), data.size() + 22);  // and why
    // An error that says nothing of the file: the detail is the file alone.
    d3d8test::FailCall("CreateTextureFromFileEx");
    EXPECT_EQ(ZemDx::LoadTexture(Wall(2), 0, rt::False), -1);
    EXPECT_EQ(failure.Number, D3DERR_INVALIDCALL);
    EXPECT_EQ(failure.Detail, data + "Textures/2.bmp");
    // A load that succeeds, from the cache or not, leaves no failure behind.
    ASSERT_EQ(ZemDx::LoadTexture(Wall(1), 0, rt::False), 0);
    EXPECT_EQ(ZemDx::LastTextureFailure.Number, 0);
    EXPECT_EQ(ZemDx::LastTextureFailure.FileName, "");
    EXPECT_EQ(ZemDx::LoadTexture("Textures\\missing.bmp", 0, rt::False), -1);
    ASSERT_EQ(ZemDx::LoadTexture(Wall(1), 0, rt::False), 0);
    EXPECT_EQ(ZemDx::LastTextureFailure.Number, 0);
}

TEST(TextureCache, LoadBeforeTheStartFails) {
    rt::headless::Use();
    EXPECT_EQ(ZemDx::LoadTexture("Textures\\1.bmp", 0, rt::False), -1);
    EXPECT_FALSE(ZemDx::D3DDevice);
}

// ---- overlays ----------------------------------------------------------------------------------

TEST_F(Tables, GameWindowOverlayVertices) {
    const rt::Long slot = ZemDx::AddOverlay(384, 224, 256, 256, 7, 1, 0, 0, 0, 1, 1, 0, 1, 0x00FFFFFF);
    ASSERT_EQ(slot, 0);
    const ZemDx::Overlay& o = ZemDx::Overlays[0];
    const float expected[4][4] = {{640, 224, 1, 0}, {384, 224, 0, 0}, {640, 480, 1, 1}, {384, 480, 0, 1}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(o.V[k].X, expected[k][0]) << k;
        EXPECT_EQ(o.V[k].Y, expected[k][1]) << k;
        EXPECT_EQ(o.V[k].TU, expected[k][2]) << k;
        EXPECT_EQ(o.V[k].TV, expected[k][3]) << k;
        EXPECT_EQ(o.V[k].Z, 0.0f);
        EXPECT_EQ(o.V[k].RHW, 1.0f);
        EXPECT_EQ(o.V[k].Diffuse, 0x00FFFFFF);
        EXPECT_EQ(o.V[k].Specular, 0);
    }
    EXPECT_EQ(o.Texture, 7);
    EXPECT_EQ(ZemDx::OverlayUsed[0], rt::True);
}

TEST_F(Tables, OverlaySlotsFillThenGrowByOne) {
    EXPECT_EQ(ZemDx::AddOverlay(0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(ZemDx::AddOverlay(0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), 1);
    EXPECT_EQ(ZemDx::OverlayCount, 2);
    EXPECT_EQ(ZemDx::AddOverlay(0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), 2);
    EXPECT_EQ(ZemDx::OverlayCount, 3);
    EXPECT_EQ(ZemDx::Overlays.size(), 3u);
    EXPECT_EQ(ZemDx::OverlayUsed.size(), 3u);
}

TEST(Overlays, AddBeforeTheStartMakesAOneSlotTable) {
    EXPECT_EQ(ZemDx::AddOverlay(10, 20, 5, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(ZemDx::OverlayCount, 1);
    EXPECT_EQ(ZemDx::Overlays.size(), 1u);
    EXPECT_EQ(ZemDx::Overlays[0].V[2].X, 15.0f);
}

TEST_F(Tables, OverlayOverflowFailsButKeepsTheClaimedSlot) {
    // A corner that leaves the float range is an overflow.
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(ZemDx::AddOverlay(0, -inf, 5, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), -1);
    EXPECT_EQ(ZemDx::OverlayUsed[0], rt::True);
    EXPECT_EQ(ZemDx::Overlays[0].V[0].RHW, 0.0f);  // nothing written
    EXPECT_EQ(ZemDx::AddOverlay(std::numeric_limits<float>::quiet_NaN(), 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), -1);
    EXPECT_EQ(ZemDx::OverlayUsed[1], rt::True);
    EXPECT_EQ(ZemDx::AddOverlay(0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), 2);
    EXPECT_EQ(ZemDx::OverlayCount, 3);
}

TEST_F(Tables, DrawOverlaysSwitchesFormatAndDrawsSlotsInOrder) {
    ASSERT_EQ(ZemDx::LoadTexture(Wall(1), 0, rt::False), 0);
    ZemDx::AddOverlay(0, 0, 4, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    ZemDx::AddOverlay(0, 0, 4, 4, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);  // slot 1 holds no texture
    d3d8test::Record(true);
    ZemDx::D3DDevice->BeginScene();
    ZemDx::DrawOverlays();
    ZemDx::D3DDevice->EndScene();
    const std::vector<std::string> expected = {"SetVertexShader", "SetTexture", "DrawPrimitiveUP",
                                               "SetTexture", "DrawPrimitiveUP", "SetVertexShader"};
    EXPECT_EQ(MethodsAmong({"SetVertexShader", "SetTexture", "DrawPrimitiveUP"}), expected);
    EXPECT_EQ(CallsOf("SetVertexShader"), (std::vector<std::vector<int64_t>>{{0x1C4}, {0x142}}));
    EXPECT_EQ(CallsOf("SetTexture"), (std::vector<std::vector<int64_t>>{{0, 1}, {0, 0}}));
    EXPECT_EQ(CallsOf("DrawPrimitiveUP"), (std::vector<std::vector<int64_t>>{{5, 2, 32}, {5, 2, 32}}));
}

TEST_F(Tables, DrawOverlaysWithNoSlotInUseOnlySwitchesFormat) {
    d3d8test::Record(true);
    ZemDx::D3DDevice->BeginScene();
    ZemDx::DrawOverlays();
    EXPECT_EQ(CallsOf("SetVertexShader"), (std::vector<std::vector<int64_t>>{{0x1C4}, {0x142}}));
    EXPECT_TRUE(CallsOf("DrawPrimitiveUP").empty());
}

TEST_F(Tables, OverlayWithFailedTextureStopsBeforeTheSwitchBack) {
    ZemDx::AddOverlay(0, 0, 4, 4, -1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    d3d8test::Record(true);
    ZemDx::D3DDevice->BeginScene();
    EXPECT_EQ(rttest::ErrorOf([] { ZemDx::DrawOverlays(); }), rt::ErrSubscript);
    EXPECT_EQ(CallsOf("SetVertexShader"), (std::vector<std::vector<int64_t>>{{0x1C4}}));
    EXPECT_EQ(ZemDx::D3DDevice->GetVertexShader(), 0x1C4);
}

// ---- text labels -------------------------------------------------------------------------------

TEST_F(Tables, GameWindowLabel) {
    const rt::Long slot = ZemDx::AddText("FPS - 0", 0, 0, 15, 100, 0, "Verdana", 12, rt::True, -1);
    ASSERT_EQ(slot, 0);
    const ZemDx::TextLabel& l = ZemDx::Texts[0];
    EXPECT_EQ(l.Rect.Left, 0);
    EXPECT_EQ(l.Rect.Top, 0);
    EXPECT_EQ(l.Rect.Right, 100);
    EXPECT_EQ(l.Rect.Bottom, 15);
    EXPECT_EQ(l.Color, -1);
    EXPECT_EQ(l.Format, 0);
    EXPECT_EQ(l.Text, "FPS - 0");
    ASSERT_TRUE(l.Font);
    EXPECT_EQ(ZemDx::TextCount, 1);
    ASSERT_TRUE(ZemDx::TextStdFont);
    EXPECT_EQ(ZemDx::TextStdFont->Name, "Verdana");
    EXPECT_EQ(ZemDx::TextStdFont->Size, 12);
    EXPECT_EQ(ZemDx::TextStdFont->Bold, rt::True);
    FontDescription d;
    ASSERT_TRUE(LookUpFontHandle(ZemDx::TextIFont->hFont(), d));
    EXPECT_TRUE(d.Bold);
}

TEST_F(Tables, RectangleArgumentsComeTopLeftBottomRight) {
    ASSERT_EQ(ZemDx::AddText("x", 1, 2, 3, 4, 0, "Verdana", 8, rt::False, 0), 0);
    const RECT& r = ZemDx::Texts[0].Rect;
    EXPECT_EQ(r.Top, 1);
    EXPECT_EQ(r.Left, 2);
    EXPECT_EQ(r.Bottom, 3);
    EXPECT_EQ(r.Right, 4);
    ASSERT_EQ(ZemDx::AddText("y", -5, -6, -7, -8, 0, "Verdana", 8, rt::False, 0), 1);
    EXPECT_EQ(ZemDx::Texts[1].Rect.Right, -8);  // widened with its sign
    EXPECT_EQ(ZemDx::TextCount, 2);
}

TEST_F(Tables, EmptyLabelIsNotDrawnAndItsSlotIsTakenNext) {
    ASSERT_EQ(ZemDx::AddText("", 0, 0, 10, 10, 0, "Verdana", 8, rt::False, 0), 0);
    EXPECT_EQ(ZemDx::AddText("b", 0, 0, 10, 10, 0, "Verdana", 8, rt::False, 0), 0);
    EXPECT_EQ(ZemDx::TextCount, 1);
}

TEST_F(Tables, FailedFontLeavesTheSlotFree) {
    d3d8test::FailCall("CreateFont");
    EXPECT_EQ(ZemDx::AddText("x", 3, 4, 5, 6, 0, "Verdana", 8, rt::False, 0x123), -1);
    EXPECT_EQ(ZemDx::Texts[0].Text, "");
    EXPECT_EQ(ZemDx::Texts[0].Color, 0x123);  // written before the font
    EXPECT_EQ(ZemDx::AddText("y", 0, 0, 10, 10, 0, "Verdana", 8, rt::False, 0), 0);
    // A size that is not positive cannot make a font either.
    EXPECT_EQ(ZemDx::AddText("z", 0, 0, 10, 10, 0, "Verdana", 0, rt::False, 0), -1);
    EXPECT_EQ(ZemDx::TextCount, 2);  // the enlargement stays
    EXPECT_EQ(ZemDx::Texts[1].Text, "");
}

TEST_F(Tables, UpdateTextKeepValues) {
    ASSERT_EQ(ZemDx::AddText("FPS - 0", 0, 0, 15, 100, 0, "Verdana", 12, rt::True, -1), 0);
    const D3DXFontPtr font = ZemDx::Texts[0].Font;
    EXPECT_EQ(ZemDx::UpdateText(0, rt::True, "FPS - 87", -1, -1, -1, -1, -12345, "", -1, -1), rt::True);
    const ZemDx::TextLabel& l = ZemDx::Texts[0];
    EXPECT_EQ(l.Text, "FPS - 87");
    EXPECT_EQ(l.Rect.Right, 100);
    EXPECT_EQ(l.Rect.Bottom, 15);
    EXPECT_EQ(l.Color, -1);
    EXPECT_EQ(l.Font, font);

    // Every field at once, in reach only with values other than the keep values.
    EXPECT_EQ(ZemDx::UpdateText(0, rt::False, "", 5, 6, 7, 8, 16, "", 20, 0x11223344), rt::True);
    EXPECT_EQ(l.Text, "FPS - 87");
    EXPECT_EQ(l.Rect.Top, 5);
    EXPECT_EQ(l.Rect.Left, 6);
    EXPECT_EQ(l.Rect.Bottom, 7);
    EXPECT_EQ(l.Rect.Right, 8);
    EXPECT_EQ(l.Format, 16);
    EXPECT_EQ(l.Color, 0x11223344);
    // -1 and -12345 cannot be set here.
    EXPECT_EQ(ZemDx::UpdateText(0, rt::False, "", -1, -1, -1, -1, -12345, "", 0, -1), rt::True);
    EXPECT_EQ(l.Rect.Top, 5);
    EXPECT_EQ(l.Format, 16);
    EXPECT_EQ(l.Color, 0x11223344);
}

TEST_F(Tables, UpdateTextWithAFontNameReplacesOnlyTheFont) {
    ASSERT_EQ(ZemDx::AddText("a", 0, 0, 15, 100, 0, "Verdana", 12, rt::True, -1), 0);
    const D3DXFontPtr old = ZemDx::Texts[0].Font;
    EXPECT_EQ(ZemDx::UpdateText(0, rt::False, "new", 1, 1, 1, 1, 4, "Comic Sans MS", 20, 0x10), rt::True);
    const ZemDx::TextLabel& l = ZemDx::Texts[0];
    EXPECT_NE(l.Font, old);
    EXPECT_EQ(l.Text, "a");
    EXPECT_EQ(l.Rect.Right, 100);
    EXPECT_EQ(l.Format, 0);
    EXPECT_EQ(l.Color, -1);
    EXPECT_EQ(ZemDx::TextStdFont->Name, "Comic Sans MS");
    EXPECT_EQ(ZemDx::TextStdFont->Size, 20);
    // A font that cannot be made keeps the old one.
    const D3DXFontPtr kept = l.Font;
    d3d8test::FailCall("CreateFont");
    EXPECT_EQ(ZemDx::UpdateText(0, rt::False, "", -1, -1, -1, -1, -12345, "Verdana", 9, -1), rt::False);
    EXPECT_EQ(l.Font, kept);
}

TEST_F(Tables, UpdateTextOutsideTheTableFails) {
    EXPECT_EQ(ZemDx::UpdateText(-1, rt::True, "x", -1, -1, -1, -1, -12345, "", -1, -1), rt::False);
    EXPECT_EQ(ZemDx::UpdateText(1, rt::True, "x", -1, -1, -1, -1, -12345, "", -1, -1), rt::False);
    EXPECT_EQ(ZemDx::Texts[0].Text, "");
    // A free slot given a text becomes a label, with whatever font it holds (none here).
    EXPECT_EQ(ZemDx::UpdateText(0, rt::True, "x", -1, -1, -1, -1, -12345, "", -1, -1), rt::True);
    EXPECT_EQ(ZemDx::Texts[0].Text, "x");
    ZemDx::D3DDevice->BeginScene();
    EXPECT_THROW(ZemDx::DrawTexts(), rt::RuntimeError);
}

TEST(TextLabels, UpdateBeforeTheStartFails) {
    EXPECT_EQ(ZemDx::UpdateText(0, rt::True, "FPS - 3", -1, -1, -1, -1, -12345, "", -1, -1), rt::False);
}
