// Traces the window skins of resources/ into the outline tables of app/outline/.
//   qv_outline [resources folder] [outline folder]
#include <exception>
#include <fstream>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "tools/outline/emit.h"
#include "tools/outline/trace.h"

namespace {

void Save(const std::string& path, const std::string& text) {
    std::ofstream f(path, std::ios::binary);
    f << text;
    if (!f) throw std::runtime_error("cannot write " + path);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string res = std::string(argc > 1 ? argv[1] : QV_OUTLINE_RESOURCES) + "/";
    const std::string out = std::string(argc > 2 ? argv[2] : QV_OUTLINE_TABLES) + "/";
    const std::vector<std::pair<std::string, std::string>> windows = {
        {"frmMenu", "kMenu"}, {"frmOptions", "kOptions"}, {"frmAbout", "kAbout"},
        {"frmSelect", "kSelect"}, {"frmWindowed", "kWindowed"}};
    try {
        for (const auto& [window, table] : windows) {
            Outline::Picture pic = Outline::ReadBmp24File(res + window + ".bmp");
            Outline::Traced t = Outline::TracePicture(pic);
            const Outline::Poly& o = t.outline;
            int x0 = o[0].x, x1 = o[0].x, y0 = o[0].y, y1 = o[0].y;
            for (const auto& p : o) {
                x0 = std::min(x0, p.x); x1 = std::max(x1, p.x);
                y0 = std::min(y0, p.y); y1 = std::max(y1, p.y);
            }
            std::cout << window << ": N = " << o.size() << ", point 0 (" << o.front().x << ", " << o.front().y
                      << "), point N-1 (" << o.back().x << ", " << o.back().y << "), x " << x0 << " to " << x1
                      << ", y " << y0 << " to " << y1 << ", bridged pixels "
                      << t.silhouette.Count() - t.shape.Count() << "\n";
            Save(out + "outline_" + window + ".cpp", Outline::TableSource(window, table, o));
        }
        Save(out + "outline_tables.h", Outline::TablesHeader(windows));
    } catch (const std::exception& e) {
        std::cerr << "qv_outline: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
