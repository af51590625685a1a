#pragma once
// Writes the outline tables as C++ source.
#include <string>

#include "tools/outline/polygon.h"

namespace Outline {

// The definition of one table: `const Point16 <table>[]` and `const int <table>Count`.
std::string TableSource(const std::string& window, const std::string& table, const Poly& outline);

// The header that declares the tables of the given windows.
std::string TablesHeader(const std::vector<std::pair<std::string, std::string>>& windowsAndTables);

}  // namespace Outline
