#pragma once
// The program's pictures (window skins, splash picture, icon), embedded at build time.
#include <span>
#include <string_view>

// The bytes of the embedded file `name` ("frmMenu.bmp", "frmZemLogo.bmp", "frmSelect.ico" ...),
// exactly as the file holds them; the name is matched without regard to letter case.
// An unknown name gives an empty span. The bytes live as long as the program.
std::span<const unsigned char> GetResource(std::string_view name);
