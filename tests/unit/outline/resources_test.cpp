// The embedded pictures: lookup by name, identical bytes to the files, and the formats the window
// run time and the engine expect.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/media/bytes.h"
#include "resources/resources.h"
#include "tests/unit/outline/picture_helpers.h"

namespace {

std::vector<unsigned char> FileBytes(const std::string& name) {
    std::ifstream f(std::string(QV_SOURCE_DIR) + "/resources/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

using media::Le16;
using media::Le32;

TEST(Resources, EveryPictureIsEmbeddedWithTheFilesBytes) {
    for (const char* name : {"frmMenu.bmp", "frmOptions.bmp", "frmAbout.bmp", "frmSelect.bmp", "frmWindowed.bmp",
                             "frmZemLogo.bmp", "frmSelect.ico", "frmSelectIcon.bmp"}) {
        auto embedded = GetResource(name);
        std::vector<unsigned char> file = FileBytes(name);
        ASSERT_FALSE(file.empty()) << name;
        EXPECT_EQ(std::vector<unsigned char>(embedded.begin(), embedded.end()), file) << name;
    }
}

TEST(Resources, LookupIgnoresCaseAndGivesNothingForUnknownNames) {
    EXPECT_EQ(GetResource("FRMMENU.BMP").data(), GetResource("frmMenu.bmp").data());
    EXPECT_TRUE(GetResource("frmMenu").empty());
    EXPECT_TRUE(GetResource("frmMenu.bmpx").empty());
    EXPECT_TRUE(GetResource("").empty());
    EXPECT_TRUE(GetResource("nothing.bmp").empty());
}

TEST(Resources, SplashPictureIs24Bit182By127) {
    Outline::Picture p = OutlineTest::Embedded("frmZemLogo.bmp");
    EXPECT_EQ(p.width, 182);
    EXPECT_EQ(p.height, 127);
}

TEST(Resources, SelectIconIsOne32By32ImageIn256Colours) {
    auto b = GetResource("frmSelect.ico");
    ASSERT_GE(b.size(), 22u);
    EXPECT_EQ(Le16(&b[0]), 0u);
    EXPECT_EQ(Le16(&b[2]), 1u) << "not an icon";
    EXPECT_EQ(Le16(&b[4]), 1u) << "one image";
    EXPECT_EQ(b[6], 32);
    EXPECT_EQ(b[7], 32);
    EXPECT_EQ(Le16(&b[12]), 8u) << "bits per pixel";
    const uint32_t size = Le32(&b[14]), at = Le32(&b[18]);
    ASSERT_EQ(uint64_t(at) + size, b.size());
    // The image: header, 256 palette entries, 8-bit pixels and the 1-bit transparency mask.
    EXPECT_EQ(Le32(&b[at]), 40u);
    EXPECT_EQ(Le32(&b[at + 4]), 32u);
    EXPECT_EQ(Le32(&b[at + 8]), 64u) << "height counts pixels and mask";
    EXPECT_EQ(Le16(&b[at + 14]), 8u);
    EXPECT_EQ(size, 40u + 256 * 4 + 32 * 32 + 32 * 4);
    // Not all one colour, and not all transparent.
    const size_t pixels = at + 40 + 256 * 4;
    std::vector<int> used(256, 0);
    for (size_t i = 0; i < 32 * 32; ++i) used[b[pixels + i]] = 1;
    EXPECT_GT(std::count(used.begin(), used.end(), 1), 16);
    int transparent = 0;
    for (size_t i = 0; i < 32 * 4; ++i) transparent += __builtin_popcount(b[pixels + 32 * 32 + i]);
    EXPECT_GT(transparent, 0);
    EXPECT_LT(transparent, 32 * 32 / 4);
}

TEST(Resources, SelectIconAlsoComesAsA256ColourBmp) {
    // Image readers that know no icon files read this one; its corners are the background colour.
    auto b = GetResource("frmSelectIcon.bmp");
    ASSERT_GE(b.size(), 54u + 1024u + 1024u);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(Le32(&b[18]), 32u);
    EXPECT_EQ(Le32(&b[22]), 32u);
    EXPECT_EQ(Le16(&b[28]), 8u);
    const uint32_t dataAt = Le32(&b[10]);
    ASSERT_EQ(uint64_t(dataAt) + 32 * 32, b.size());
    const uint8_t corner = b[dataAt];  // bottom-left pixel
    const size_t paletteAt = 14 + Le32(&b[14]);
    EXPECT_EQ(b[paletteAt + 4 * corner + 2], 0xFF);  // red
    EXPECT_EQ(b[paletteAt + 4 * corner + 1], 0x00);  // green
    EXPECT_EQ(b[paletteAt + 4 * corner + 0], 0xFF);  // blue
    // The icon's middle is painted, not background.
    EXPECT_NE(b[dataAt + 16 * 32 + 16], corner);
}

}  // namespace
