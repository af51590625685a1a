// Whole-file reads for the D3DX loaders, through the program's path mapping.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace d3dx8detail {

// Reads the file named by a program path (backslashes, any letter case). Raises 53 (file not
// found) when there is no such file, 76 (path not found) when it names a folder, and 75
// (path/file access error) when it cannot be read. `hostPath` receives the mapped path.
std::vector<uint8_t> ReadWholeFile(const std::string& path, std::string& hostPath);

}  // namespace d3dx8detail
