// A mesh read from a .x file with its materials and their textures, drawn at its own position and
// rotation (engine/placement.h). The engine's Render draws every mesh of ZemDx::Meshes once per
// frame, screened by the box verdict when the visibility tests are on.
#pragma once
#include <string>
#include <vector>

#include "engine/mesh_fwd.h"
#include "engine/placement.h"
#include "platform/d3d8/d3d8types.h"
#include "platform/d3dx8/d3dx8.h"
#include "platform/runtime/types.h"

class clsZemMesh : public ZemPlacement::Placement {
public:
    // The loaded mesh (none before a load). Callers may read it and assign it.
    D3DXMeshPtr Mesh;

    // Loads the .x file `File` (relative to the program's Data folder) with its materials, each
    // with its ambient colour set to its diffuse colour, and each material's texture through the
    // engine's texture cache (colour key 0xFCFFFFFF; a texture that fails stands as -1; a
    // material without a texture name keeps the entry 0 and is drawn untextured). A file that
    // cannot be read raises its error before anything of an earlier load is replaced. Returns 0.
    rt::Integer LoadMeshFromFile(const std::string& File);

    // Draws the mesh turned about its own origin (yaw SpinY, pitch SpinX, roll SpinZ) and moved to
    // its position: per material its material, its texture-table entry (no texture for a material
    // that names none) and its subset. The world transform is left at the identity. Must run inside
    // the scene. A texture index outside the texture table raises ErrSubscript at that material,
    // with the world transform still at the mesh's placement.
    void DrawMesh();

private:
    friend struct clsZemMeshInspector;  // the unit tests' view of the private state

    std::vector<D3DMATERIAL8> Materials;   // material i belongs to subset i
    std::vector<rt::Long> MeshTextures;    // texture-table index per material
    std::vector<bool> Untextured;          // the material names no texture file
    rt::Long MaterialCount = 0;
};
