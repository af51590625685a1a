#include "tools/outline/emit.h"

#include <stdexcept>

namespace Outline {

std::string TableSource(const std::string& window, const std::string& table, const Poly& outline) {
    std::string s;
    s += "// Outline of " + window + "'s skin (resources/" + window + ".bmp): " + std::to_string(outline.size()) +
         " points.\n// Written by the outline tracer (tools/outline); do not edit by hand.\n";
    s += "#include \"app/outline/outline_tables.h\"\n\nnamespace Outline {\n\n";
    s += "const Point16 " + table + "[] = {\n";
    for (size_t i = 0; i < outline.size(); ++i) {
        const Pt& p = outline[i];
        if (p.x < -32768 || p.x > 32767 || p.y < -32768 || p.y > 32767)
            throw std::runtime_error("outline point out of the 16-bit range");
        if (i % 8 == 0) s += "   ";
        s += " {" + std::to_string(p.x) + ", " + std::to_string(p.y) + "},";
        if (i % 8 == 7 || i + 1 == outline.size()) s += "\n";
    }
    s += "};\nconst int " + table + "Count = int(sizeof(" + table + ") / sizeof(" + table + "[0]));\n\n";
    s += "}  // namespace Outline\n";
    return s;
}

std::string TablesHeader(const std::vector<std::pair<std::string, std::string>>& windowsAndTables) {
    std::string s =
        "#pragma once\n"
        "// Outline tables of the shaped windows: each a closed polygon that follows the silhouette of the\n"
        "// window's skin picture, in pixels of the picture (x to the right, y downwards), point 0 the left\n"
        "// end of the top-most row, then clockwise as seen on the screen. The tables are written by the\n"
        "// outline tracer (tools/outline) from the pictures in resources/; do not edit them by hand.\n"
        "#include <cstdint>\n\nnamespace Outline {\n\nstruct Point16 {\n    int16_t x;\n    int16_t y;\n};\n\n";
    for (const auto& [window, table] : windowsAndTables) {
        s += "extern const Point16 " + table + "[];  // " + window + "\n";
        s += "extern const int " + table + "Count;\n";
    }
    s += "\n}  // namespace Outline\n";
    return s;
}

}  // namespace Outline
