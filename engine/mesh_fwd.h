// The mesh class as the engine module sees it: the mesh list holds references to meshes, and
// Render only asks each one for its box verdict and tells it to draw itself. The class itself
// lives in clsZemMesh.h.
#pragma once
#include <memory>

class clsZemMesh;
using clsZemMeshPtr = std::shared_ptr<clsZemMesh>;
