// Writes the program's data folder: the wall textures and weapon image (Data/Textures), the
// worlds (Data/Maps) and the player figures (Data/Models/Players).
//   quorvane_datagen <Data folder>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>

#include "tools/data/models.h"
#include "tools/data/textures.h"
#include "tools/data/worlds.h"

namespace fs = std::filesystem;
using namespace datagen;

namespace {
void WriteText(const fs::path& p, const std::string& text) {
    std::ofstream f(p, std::ios::binary | std::ios::trunc);
    f << text;
    if (!f) throw std::runtime_error("cannot write " + p.string());
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <Data folder>\n", argv[0]);
        return 2;
    }
    try {
        const fs::path data = argv[1];
        fs::create_directories(data / "Textures");
        fs::create_directories(data / "Maps");
        fs::create_directories(data / "Models" / "Players");
        for (int n = 1; n <= kWallTextureCount; ++n) {
            WriteBmp24((data / "Textures" / (std::to_string(n) + ".bmp")).string(), MakeWallTexture(n));
            std::printf("Textures/%d.bmp  %s\n", n, WallTextureName(n));
        }
        WriteBmp24((data / "Textures" / "Phaser Type 3.bmp").string(), MakeWeaponImage());
        std::printf("Textures/Phaser Type 3.bmp\n");
        for (const World& w : AllWorlds()) {
            WriteText(data / "Maps" / w.FileName, WorldFileText(w));
            std::printf("Maps/%s  %zu x %zu\n", w.FileName.c_str(), w.Cells.size(),
                        w.Cells.front().size());
        }
        WriteText(data / "Models" / "Players" / "Marine.zemobj", MarineObjectText());
        std::printf("Models/Players/Marine.zemobj\n");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
