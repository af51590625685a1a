// The animated mesh class of the engine: declared for meshes with animation, it has no members
// and no operations yet.
#pragma once

class clsZemAniMesh {};
