// Fuzz target: text .x files as D3DX8::LoadMeshFromX reads them, with the adjacency computed
// from the result. Binary and compressed files go to Assimp, a library we do not fuzz here.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/d3dx8/mesh_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size >= 16 && std::memcmp(data, "xof ", 4) == 0 && std::memcmp(data + 8, "txt ", 4) != 0) return 0;
    d3dx8detail::MeshData mesh;
    std::string why;
    if (!d3dx8detail::ReadXFile(data, size, mesh, why)) return 0;
    if (mesh.Indices.size() != mesh.Attributes.size() * 3) __builtin_trap();
    for (uint32_t i : mesh.Indices)
        if (i >= mesh.Vertices.size()) __builtin_trap();
    for (int32_t a : mesh.Attributes)
        if (a < 0 || (!mesh.Materials.empty() && static_cast<size_t>(a) >= mesh.Materials.size())) __builtin_trap();
    d3dx8detail::ComputeAdjacency(mesh);
    return 0;
}
