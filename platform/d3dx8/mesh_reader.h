// Reading .x mesh files into one merged triangle mesh with its materials.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/d3dx8/d3dx8.h"

namespace d3dx8detail {

// Every mesh of a file merged into one: frame transforms applied, polygons split into triangle
// fans, positions, normals, texture coordinates and winding as the file gives them. The
// materials are each mesh's material list in turn, in file order (a material referenced by
// two meshes appears twice, as each mesh sees it); each triangle carries the number of its
// material in that list.
struct MeshData {
    std::vector<D3DXMeshVertex> Vertices;
    std::vector<uint32_t> Indices;     // three per triangle
    std::vector<int32_t> Attributes;   // one per triangle
    std::vector<D3DXMATERIAL> Materials;
};

// The most vertices, faces or materials one file may declare; more is treated as damage.
constexpr uint32_t MaxMeshElements = 1u << 22;

// Reads a .x file held in memory: text files with our own reader, binary and compressed ones
// through Assimp. Returns false with a reason for anything that is not a readable mesh file
// (no mesh at all, damaged or truncated data, indexes out of range).
bool ReadXFile(const uint8_t* data, size_t size, MeshData& out, std::string& error);

// The text reader alone (the header included).
bool ReadXText(const uint8_t* data, size_t size, MeshData& out, std::string& error);

// The Assimp reader alone.
bool ReadXWithAssimp(const uint8_t* data, size_t size, MeshData& out, std::string& error);

// Triangle adjacency: for each triangle, three entries (edges v0-v1, v1-v2, v2-v0) with the
// triangle that shares that edge (same positions), or -1.
std::vector<int32_t> ComputeAdjacency(const MeshData& mesh);

}  // namespace d3dx8detail
