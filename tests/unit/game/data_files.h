// The repository's data folder and small helpers for the tests that look at its files.
#pragma once
#include <filesystem>
#include <fstream>
#include <queue>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace datatest {

inline const std::filesystem::path kData = std::filesystem::path(QV_SOURCE_DIR) / "Data";

// The whole file as bytes ("" when it cannot be read).
inline std::string ReadAll(const std::filesystem::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// How many cells of a width x height grid a flood from `starts` reaches, stepping up, down, left
// and right onto cells for which open(x, y) holds. Starts that are not open are left out.
template <class Open>
int FloodCount(int width, int height, const std::vector<std::pair<int, int>>& starts, Open open) {
    std::vector<bool> seen(size_t(width) * size_t(height), false);
    std::queue<std::pair<int, int>> q;
    auto visit = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= width || y >= height || seen[size_t(y) * width + x] || !open(x, y)) return;
        seen[size_t(y) * width + x] = true;
        q.push({x, y});
    };
    for (auto [x, y] : starts) visit(x, y);
    int reached = 0;
    while (!q.empty()) {
        auto [x, y] = q.front();
        q.pop();
        ++reached;
        visit(x + 1, y);
        visit(x - 1, y);
        visit(x, y + 1);
        visit(x, y - 1);
    }
    return reached;
}

}  // namespace datatest
