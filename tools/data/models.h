// The object files of the program's Data\Models\Players folder.
#pragma once
#include <string>

namespace datagen {

// "Marine.zemobj": a small figure of boxes (legs, body, arms, head) textured with the steel
// and tech-panel wall textures, with one two-frame animation. CR LF lines.
std::string MarineObjectText();

}  // namespace datagen
