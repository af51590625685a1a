// Draws the program's pictures into a folder (by default resources/ of the source tree):
// the five window skins, the splash picture and frmSelect's icon.
#include <exception>
#include <iostream>
#include <string>

#include "tools/art/files.h"
#include "tools/art/skins.h"
#include "tools/art/text.h"

int main(int argc, char** argv) {
    std::string out = argc > 1 ? argv[1] : QV_ART_DEFAULT_OUT;
    if (!out.empty() && out.back() != '/') out += '/';
    try {
        struct Item { const char* name; Art::Skin (*draw)(); };
        const Item items[] = {
            {"frmMenu.bmp", Art::DrawMenu},       {"frmOptions.bmp", Art::DrawOptions},
            {"frmAbout.bmp", Art::DrawAbout},     {"frmSelect.bmp", Art::DrawSelect},
            {"frmWindowed.bmp", Art::DrawWindowed}, {"frmZemLogo.bmp", Art::DrawSplash},
        };
        for (const Item& it : items) {
            if (argc > 2 && std::string(argv[2]) != it.name) continue;
            Art::Skin s = it.draw();
            Art::WriteBmp24(out + it.name, s.width, s.height, s.rgb);
            std::cout << out << it.name << "\n";
        }
        if (argc <= 2 || std::string(argv[2]) == "frmSelect.ico") {
            // The icon as an icon file, and the same 256 colours as a BMP (transparent pixels in
            // the background colour) for image readers that know no icons.
            Art::Icon icon = Art::DrawSelectIcon();
            const Art::Indexed img = Art::Quantize(icon.size, icon.size, icon.rgb, icon.opaque, {0xFF, 0x00, 0xFF});
            Art::WriteIco256(out + "frmSelect.ico", icon.size, icon.size, img, icon.opaque);
            Art::WriteBmp8(out + "frmSelectIcon.bmp", icon.size, icon.size, img);
            std::cout << out << "frmSelect.ico\n" << out << "frmSelectIcon.bmp\n";
        }
    } catch (const std::exception& e) {
        std::cerr << "art: " << e.what() << "\n";
        Art::ReleaseFonts();
        return 1;
    }
    Art::ReleaseFonts();
    return 0;
}
