// D3DX8::CreateTextureFromFileEx: sizes, mip chains, filters, the colour key, formats, paths
// and failures.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/testswitch.h"
#include "platform/d3dx8/d3dx8.h"
#include "platform/d3dx8/file_read.h"
#include "platform/media/image.h"
#include "platform/runtime/errors.h"
#include "tests/unit/d3dx8/d3dx8_testing.h"
#include "tests/unit/media/bmp_bytes.h"
#include "tests/unit/runtime/bounded_process.h"
#include "tests/unit/runtime/program_style.h"

namespace fs = std::filesystem;
using d3dx8testing::ErrorOf;

namespace {

class D3DXTextureTest : public ::testing::Test {
protected:
    void SetUp() override {
        d3d8test::Reset();
        dir_ = fs::temp_directory_path() / ("qv_d3dx8_tex_" + std::to_string(::getpid()));
        fs::create_directories(dir_ / "Data" / "Textures");
        device_ = d3dx8testing::MakeDevice(16, 16, false);
    }
    void TearDown() override {
        fs::remove_all(dir_);
        d3d8test::Reset();
    }

    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        const fs::path p = dir_ / "Data" / "Textures" / name;
        std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
        return p.string();
    }
    static std::string Source(const std::string& name) {
        return std::string(QV_SOURCE_DIR) + "/tests/data/images/" + name;
    }

    // The engine's call: sizes and mips from the file, linear filters.
    Direct3DTexture8Ptr Load(const std::string& path, int32_t key, int32_t w = D3DX_DEFAULT,
                             int32_t h = D3DX_DEFAULT, int32_t mips = D3DX_DEFAULT,
                             int32_t filter = D3DX_FILTER_LINEAR, int32_t mipFilter = D3DX_FILTER_LINEAR) {
        return d3dx_.CreateTextureFromFileEx(device_, path, w, h, mips, 0, D3DFMT_UNKNOWN,
                                             D3DPOOL_MANAGED, filter, mipFilter, key, nullptr, nullptr);
    }

    // A 4 x 4 24-bit BMP from sixteen 0xRRGGBB values, top row first.
    static std::vector<uint8_t> Bmp4x4(const uint32_t (&px)[16]) {
        std::vector<uint8_t> data;
        for (int row = 3; row >= 0; --row)
            for (int x = 0; x < 4; ++x) {
                const uint32_t c = px[row * 4 + x];
                data.push_back(c & 0xFF);
                data.push_back((c >> 8) & 0xFF);
                data.push_back((c >> 16) & 0xFF);
            }
        return bmptest::Bmp(24, 4, 4, {}, data);
    }

    fs::path dir_;
    Direct3DDevice8Ptr device_;
    D3DX8 d3dx_;
};

}  // namespace

TEST_F(D3DXTextureTest, DefaultSizeIsTheImageRoundedUpToPowersOfTwoWithAFullChain) {
    const auto tex = Load(Source("rgb3x2.png"), 0);
    ASSERT_TRUE(tex);
    ASSERT_EQ(tex->Levels.size(), 3u);
    EXPECT_EQ(tex->Levels[0].Width, 4);
    EXPECT_EQ(tex->Levels[0].Height, 2);
    EXPECT_EQ(tex->Levels[1].Width, 2);
    EXPECT_EQ(tex->Levels[1].Height, 1);
    EXPECT_EQ(tex->Levels[2].Width, 1);
    EXPECT_EQ(tex->Levels[2].Height, 1);
    for (const auto& level : tex->Levels)
        EXPECT_EQ(level.Pixels.size(), static_cast<size_t>(level.Width) * level.Height);
    EXPECT_EQ(tex->Format, D3DFMT_X8R8G8B8);
    EXPECT_FALSE(tex->HasAlpha);
}

TEST_F(D3DXTextureTest, ExplicitSizeAndMipCount) {
    const auto tex = Load(Source("rgb3x2.png"), 0, 8, 8, 2);
    ASSERT_EQ(tex->Levels.size(), 2u);
    EXPECT_EQ(tex->Levels[0].Width, 8);
    EXPECT_EQ(tex->Levels[1].Width, 4);
    // More levels than a full chain has: the chain stops at 1 x 1.
    EXPECT_EQ(Load(Source("rgb3x2.png"), 0, 8, 2, 20)->Levels.size(), 4u);
    EXPECT_EQ(Load(Source("rgb3x2.png"), 0, D3DX_DEFAULT, D3DX_DEFAULT, 1)->Levels.size(), 1u);
}

TEST_F(D3DXTextureTest, PowerOfTwoImagesKeepTheirPixelsAndMipsAverageBlocks) {
    // Each 2 x 2 block averages to a known colour.
    const uint32_t px[16] = {0x000000, 0x202020, 0xFF0000, 0xFF0000,  //
                             0x404040, 0x606060, 0x000000, 0x000000,  //
                             0x0000FF, 0x0000FF, 0x102030, 0x102030,  //
                             0x0000FF, 0x0000FF, 0x102030, 0x102030};
    const auto tex = Load(Write("blocks.bmp", Bmp4x4(px)), 0);
    ASSERT_EQ(tex->Levels.size(), 3u);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(tex->Levels[0].Pixels[i], 0xFF000000u | px[i]) << i;
    const auto& l1 = tex->Levels[1].Pixels;
    EXPECT_EQ(l1[0], 0xFF303030u);
    EXPECT_EQ(l1[1], 0xFF800000u);  // (255 + 255 + 0 + 0) / 4 rounds to 0x80
    EXPECT_EQ(l1[2], 0xFF0000FFu);
    EXPECT_EQ(l1[3], 0xFF102030u);
    // The 1 x 1 level averages the four above it: red (48+128+0+16)/4, green (48+0+0+32)/4,
    // blue (48+0+255+48)/4 = 87.75.
    EXPECT_EQ(tex->Levels[2].Pixels[0], 0xFF301458u);
}

TEST_F(D3DXTextureTest, FiltersWhenEnlarging) {
    // Black | white, 2 x 1, stretched to 4 x 1.
    const auto bytes = bmptest::Bmp(24, 2, 1, {}, {0, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0});
    const std::string path = Write("bw.bmp", bytes);
    const auto linear = Load(path, 0, 4, 1, 1, D3DX_FILTER_LINEAR);
    const uint32_t wantLinear[4] = {0xFF000000, 0xFF404040, 0xFFBFBFBF, 0xFFFFFFFF};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(linear->Levels[0].Pixels[i], wantLinear[i]) << i;
    const auto point = Load(path, 0, 4, 1, 1, D3DX_FILTER_POINT);
    const uint32_t wantPoint[4] = {0xFF000000, 0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(point->Levels[0].Pixels[i], wantPoint[i]) << i;
    // No filter: the image stays in the corner, the rest is transparent black.
    const auto none = Load(path, 0, 4, 1, 1, D3DX_FILTER_NONE);
    EXPECT_EQ(none->Levels[0].Pixels[1], 0xFFFFFFFFu);
    EXPECT_EQ(none->Levels[0].Pixels[2] & 0x00FFFFFF, 0u);
}

TEST_F(D3DXTextureTest, ColourKeyMakesMatchingPixelsTransparentBlack) {
    const uint32_t px[16] = {0x00FF00, 0x00FF00, 0x123456, 0x00FF01,  //
                             0x00FF00, 0xFFFFFF, 0xFFFFFE, 0x000000,  //
                             0x00FF00, 0x00FF00, 0x00FF00, 0x00FF00,  //
                             0x00FF00, 0x00FF00, 0x00FF00, 0x00FF00};
    const std::string path = Write("keyed.bmp", Bmp4x4(px));
    const auto tex = Load(path, static_cast<int32_t>(0xFF00FF00u));
    EXPECT_EQ(tex->Format, D3DFMT_A8R8G8B8);
    EXPECT_TRUE(tex->HasAlpha);
    const auto& p = tex->Levels[0].Pixels;
    EXPECT_EQ(p[0], 0x00000000u);
    EXPECT_EQ(p[2], 0xFF123456u);
    EXPECT_EQ(p[3], 0xFF00FF01u);  // one step away from the key: untouched
    EXPECT_EQ(p[5], 0xFFFFFFFFu);
    // The wall textures' key only takes the exact colour FFFFFE.
    const auto wall = Load(path, static_cast<int32_t>(0xFFFFFFFEu));
    EXPECT_EQ(wall->Levels[0].Pixels[5], 0xFFFFFFFFu);
    EXPECT_EQ(wall->Levels[0].Pixels[6], 0x00000000u);
    EXPECT_EQ(wall->Levels[0].Pixels[0], 0xFF00FF00u);
    // A key with alpha 00 matches nothing in an opaque image, yet the texture has alpha.
    const auto none = Load(path, 0x0000FF00);
    EXPECT_EQ(none->Levels[0].Pixels[0], 0xFF00FF00u);
    EXPECT_TRUE(none->HasAlpha);
    // The mip levels carry the transparency down: the bottom half was all key colour.
    EXPECT_EQ(tex->Levels[1].Pixels[2], 0x00000000u);
    EXPECT_EQ(tex->Levels[1].Pixels[3], 0x00000000u);
}

TEST_F(D3DXTextureTest, ImagesWithAlphaGiveAlphaTexturesAndTheKeyComparesAlphaToo) {
    const auto tex = Load(Source("tga32_3x2.tga"), 0, D3DX_DEFAULT, D3DX_DEFAULT, 1, D3DX_FILTER_NONE);
    EXPECT_EQ(tex->Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(tex->Levels[0].Pixels[4 + 2], 0x7FFF00FFu);
    // Opaque magenta as key does not take the half-transparent magenta pixel.
    const auto keyed = Load(Source("tga32_3x2.tga"), static_cast<int32_t>(0xFFFF00FFu), D3DX_DEFAULT,
                            D3DX_DEFAULT, 1, D3DX_FILTER_NONE);
    EXPECT_EQ(keyed->Levels[0].Pixels[4 + 2], 0x7FFF00FFu);
    const auto keyed2 = Load(Source("tga32_3x2.tga"), 0x7FFF00FF, D3DX_DEFAULT, D3DX_DEFAULT, 1,
                             D3DX_FILTER_NONE);
    EXPECT_EQ(keyed2->Levels[0].Pixels[4 + 2], 0u);
}

TEST_F(D3DXTextureTest, EveryBmpDepthAndOtherFormatsLoad) {
    const std::vector<uint32_t> pal = {0x000000, 0xFFFFFF};
    const auto one = Load(Write("one.bmp", bmptest::Bmp(1, 2, 2, pal, {0x40, 0, 0, 0, 0x80, 0, 0, 0})), 0);
    EXPECT_EQ(one->Levels[0].Pixels[0], 0xFFFFFFFFu);
    EXPECT_EQ(one->Levels[0].Pixels[1], 0xFF000000u);
    EXPECT_EQ(one->Levels[0].Pixels[3], 0xFFFFFFFFu);
    const auto four = Load(Write("four.bmp", bmptest::Bmp(4, 2, 1, {0x000000, 0xFF0000}, {0x10, 0, 0, 0})), 0);
    EXPECT_EQ(four->Levels[0].Pixels[0], 0xFFFF0000u);
    const auto eight = Load(Write("eight.bmp", bmptest::Bmp(8, 1, 1, {0, 0, 0x00FF00}, {2, 0, 0, 0})), 0);
    EXPECT_EQ(eight->Levels[0].Pixels[0], 0xFF00FF00u);
    for (const char* name : {"bmp24_3x2.bmp", "rgb3x2.png", "rgba3x2.png", "tga24_3x2.tga", "grad8x8.jpg"}) {
        const auto tex = Load(Source(name), 0);
        ASSERT_TRUE(tex) << name;
        EXPECT_GE(tex->Levels.size(), 2u) << name;
    }
}

TEST_F(D3DXTextureTest, ProgramPathsWithBackslashesAndOtherCaseAreFound) {
    const uint32_t px[16] = {};
    Write("Wall.BMP", Bmp4x4(px));
    EXPECT_TRUE(Load(rttest::ProgramStyle(dir_.string()) + "\\data\\TEXTURES\\wall.bmp", 0));
}

// The box for a file that could not be read shows the error's usual text, then the file as the
// system names it (a name to paste into a shell), once.
TEST_F(D3DXTextureTest, FailuresKeepTheUsualTextAndNameTheHostFileInTheDetail) {
    using d3dx8testing::RaisedBy;
    const std::string data = (dir_ / "Data").string();
    const rt::RuntimeError missing = RaisedBy([&] { Load(rttest::ProgramStyle(data) + "\\none.bmp", 0); });
    EXPECT_EQ(missing.Number(), rt::ErrFileNotFound);
    EXPECT_EQ(missing.Text(), "File not found");
    EXPECT_EQ(missing.Detail(), data + "/none.bmp");
    const rt::RuntimeError folder = RaisedBy([&] { Load(rttest::ProgramStyle(data), 0); });
    EXPECT_EQ(folder.Text(), "Path not found");
    EXPECT_EQ(folder.Detail(), data);
    const std::string text = Write("text.bmp", {'h', 'e', 'l', 'l', 'o'});
    const rt::RuntimeError invalid = RaisedBy([&] { Load(rttest::ProgramStyle(text), 0); });
    EXPECT_EQ(invalid.Number(), D3DXERR_INVALIDDATA);
    EXPECT_EQ(invalid.Text(), "D3DXERR_INVALIDDATA");
    EXPECT_EQ(invalid.Detail().rfind(text + ": ", 0), 0u) << invalid.Detail();
    EXPECT_GT(invalid.Detail().size(), text.size() + 2);  // and why
}

TEST_F(D3DXTextureTest, FailuresRaise) {
    EXPECT_EQ(ErrorOf([&] { Load((dir_ / "Data" / "none.bmp").string(), 0); }), rt::ErrFileNotFound);
    EXPECT_EQ(ErrorOf([&] { Load((dir_ / "Data").string(), 0); }), rt::ErrPathNotFound);
    EXPECT_EQ(ErrorOf([&] { Load(Write("text.bmp", {'h', 'e', 'l', 'l', 'o'}), 0); }), D3DXERR_INVALIDDATA);
    EXPECT_EQ(ErrorOf([&] { Load(Write("empty.png", {}), 0); }), D3DXERR_INVALIDDATA);
    EXPECT_EQ(ErrorOf([&] { Load(Source("rgb3x2.png"), 0, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 99); }),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(ErrorOf([&] { Load(Source("rgb3x2.png"), 0, 100000, 4); }), D3DERR_INVALIDCALL);
    EXPECT_EQ(ErrorOf([&] {
                  d3dx_.CreateTextureFromFileEx(nullptr, Source("rgb3x2.png"), -1, -1, -1, 0, 0, 1, 3, 3, 0,
                                                nullptr, nullptr);
              }),
              rt::ErrObjectNotSet);
    d3d8test::FailCall("CreateTextureFromFileEx");
    EXPECT_EQ(ErrorOf([&] { Load(Source("rgb3x2.png"), 0); }), D3DERR_INVALIDCALL);
    EXPECT_TRUE(Load(Source("rgb3x2.png"), 0));  // only the one call failed
}

// Files whose pixel data stops early are refused as damaged, not loaded as a black or grey wall.
TEST_F(D3DXTextureTest, CutFilesAreInvalidData) {
    std::vector<uint8_t> tga(18, 0);  // a run-length true-colour header of 8192 x 8192, no data
    tga[2] = 10;
    tga[13] = tga[15] = 0x20;
    tga[16] = 24;
    EXPECT_EQ(ErrorOf([&] { Load(Write("header.tga", tga), 0); }), D3DXERR_INVALIDDATA);
    const std::string file = d3dx8detail::ReadWholeFile(Source("plasma64x48.jpg"), media::MaxImageFileBytes);
    std::vector<uint8_t> jpg(file.begin(), file.end());
    ASSERT_TRUE(Load(Write("whole.jpg", jpg), 0));
    jpg.resize(jpg.size() * 30 / 100);
    EXPECT_EQ(ErrorOf([&] { Load(Write("cut.jpg", jpg), 0); }), D3DXERR_INVALIDDATA);
}

// A world names its textures; a name that leads to a device, a FIFO or a huge file fails at once
// instead of blocking or reading without end.
TEST_F(D3DXTextureTest, DevicesFifosAndOversizedFilesAreRefused) {
    BoundThisTestProcess();
    const fs::path textures = dir_ / "Data" / "Textures";
    ASSERT_EQ(::mkfifo((textures / "pipe.bmp").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", textures / "zero.bmp");
    // The texture folder with enough ".." to climb to the root, written as a world writes names.
    std::string up = rttest::ProgramStyle(textures.string());
    for (char c : textures.string())
        if (c == '/') up += "\\..";
    EXPECT_EQ(ErrorOf([&] { Load((textures / "pipe.bmp").string(), 0); }), rt::ErrFileNotFound);
    EXPECT_EQ(ErrorOf([&] { Load((textures / "zero.bmp").string(), 0); }), rt::ErrFileNotFound);
    EXPECT_EQ(ErrorOf([&] { Load(up + "\\dev\\zero", 0); }), rt::ErrFileNotFound);

    const fs::path big = Write("big.bmp", {'B', 'M'});
    fs::resize_file(big, media::MaxImageFileBytes + 1);  // sparse
    const rt::RuntimeError tooLarge = d3dx8testing::RaisedBy([&] { Load(big.string(), 0); });
    EXPECT_EQ(tooLarge.Number(), rt::ErrOutOfMemory);
    EXPECT_EQ(tooLarge.Text(), "Out of memory");
    EXPECT_EQ(tooLarge.Detail(), big.string() + ": larger than " + std::to_string(media::MaxImageFileBytes) + " bytes");
}
