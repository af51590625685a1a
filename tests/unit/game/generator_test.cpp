// The data folder in the repository is what the generator makes: a change to a generator
// without regenerating the data (or a hand edit of the data) shows here.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "tests/unit/game/data_files.h"
#include "tools/data/models.h"
#include "tools/data/textures.h"
#include "tools/data/worlds.h"

namespace fs = std::filesystem;

using datatest::kData;
using datatest::ReadAll;

namespace {

std::string BmpBytes(const datagen::Image& img) {
    const fs::path tmp = fs::temp_directory_path() / ("quorvane-gen-" + std::to_string(getpid()) + ".bmp");
    datagen::WriteBmp24(tmp.string(), img);
    std::string bytes = ReadAll(tmp);
    fs::remove(tmp);
    return bytes;
}

}  // namespace

TEST(DataGenerator, TexturesInTheRepositoryAreTheGeneratorsOutput) {
    for (int n = 1; n <= datagen::kWallTextureCount; ++n)
        EXPECT_TRUE(BmpBytes(datagen::MakeWallTexture(n)) == ReadAll(kData / "Textures" / (std::to_string(n) + ".bmp")))
            << "Textures/" << n << ".bmp is stale: remake the data folder";
    EXPECT_TRUE(BmpBytes(datagen::MakeWeaponImage()) == ReadAll(kData / "Textures" / "Phaser Type 3.bmp"))
        << "the weapon image is stale";
}

TEST(DataGenerator, WorldsAndFiguresInTheRepositoryAreTheGeneratorsOutput) {
    for (const auto& w : datagen::AllWorlds())
        EXPECT_EQ(datagen::WorldFileText(w), ReadAll(kData / "Maps" / w.FileName)) << w.FileName;
    EXPECT_EQ(datagen::MarineObjectText(), ReadAll(kData / "Models" / "Players" / "Marine.zemobj"));
}

TEST(DataGenerator, BmpWriterPadsRowsAndStoresThemBottomUp) {
    // 3 x 2 pixels: rows of 9 bytes padded to 12, the bottom row first, blue-green-red.
    datagen::Image img(3, 2);
    img.At(0, 0) = 0x112233;
    img.At(2, 1) = 0xAABBCC;
    const std::string b = BmpBytes(img);
    ASSERT_EQ(b.size(), 54u + 24u);
    EXPECT_EQ(uint8_t(b[2]) | uint8_t(b[3]) << 8, 78);          // file size
    EXPECT_EQ(uint8_t(b[18]), 3);                                // width
    EXPECT_EQ(uint8_t(b[22]), 2);                                // height, positive: bottom-up
    EXPECT_EQ(uint8_t(b[28]), 24);                               // bits per pixel
    EXPECT_EQ(uint8_t(b[54 + 6]), 0xCC);                         // bottom row, third pixel: blue
    EXPECT_EQ(uint8_t(b[54 + 8]), 0xAA);                         //   red
    EXPECT_EQ(uint8_t(b[54 + 9]), 0);                            //   padding
    EXPECT_EQ(uint8_t(b[54 + 12]), 0x33);                        // top row, first pixel: blue
    EXPECT_EQ(uint8_t(b[54 + 14]), 0x11);                        //   red
}
