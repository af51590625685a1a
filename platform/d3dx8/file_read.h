// Whole-file reads for the D3DX loaders, through the program's path mapping.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace d3dx8detail {

// Longest mesh file read.
constexpr size_t MaxMeshFileBytes = size_t{256} << 20;

// Reads the file named by a program path (backslashes, any letter case), of at most `maxBytes`
// bytes. Raises ErrFileNotFound when there is no such file or the name is not a regular file
// (a device, a FIFO ...), 76 (path not found) when it names a folder, 75 (path/file access error)
// when it cannot be read, and 7 (out of memory) when it is longer than `maxBytes`: each with
// its usual text, and the file's host path as the detail.
std::string ReadWholeFile(const std::string& path, size_t maxBytes);

// Raises D3DXERR_INVALIDDATA for the file named by the program path `path`, which could not be
// read as an image or a mesh: the text is the error's name, the detail the file's host path and
// `why`.
[[noreturn]] void RaiseInvalidData(const std::string& path, const std::string& why);

}  // namespace d3dx8detail
