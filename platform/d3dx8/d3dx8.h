// The D3DX 8 utility object and the objects it makes: textures from image files with a colour
// key, fonts and DrawText onto the device's back buffer, meshes read from .x files with their
// materials. The matrix and vector functions are in platform/d3dx8/math.h.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/d3d8/d3d8types.h"
#include "platform/media/stdfont.h"

class Direct3DDevice8;
using Direct3DDevice8Ptr = std::shared_ptr<Direct3DDevice8>;

// ---- constants -------------------------------------------------------------------------------

constexpr int32_t D3DX_DEFAULT = -1;

// Image filters (the low bits select the filter).
constexpr int32_t D3DX_FILTER_NONE = 1;
constexpr int32_t D3DX_FILTER_POINT = 2;
constexpr int32_t D3DX_FILTER_LINEAR = 3;
constexpr int32_t D3DX_FILTER_TRIANGLE = 4;
constexpr int32_t D3DX_FILTER_BOX = 5;

// Mesh creation options.
constexpr int32_t D3DXMESH_32BIT = 0x001;
constexpr int32_t D3DXMESH_MANAGED = 0x220;

// The vertex format of loaded meshes: position, normal, one texture coordinate pair.
constexpr int32_t D3DX_MESH_FVF = 0x112;

// DrawText format flags.
constexpr int32_t DT_TOP = 0x0;
constexpr int32_t DT_LEFT = 0x0;
constexpr int32_t DT_CENTER = 0x1;
constexpr int32_t DT_RIGHT = 0x2;
constexpr int32_t DT_VCENTER = 0x4;     // only with DT_SINGLELINE
constexpr int32_t DT_BOTTOM = 0x8;      // only with DT_SINGLELINE
constexpr int32_t DT_WORDBREAK = 0x10;
constexpr int32_t DT_SINGLELINE = 0x20;
constexpr int32_t DT_NOCLIP = 0x100;

// A rectangle in pixels; Right and Bottom are exclusive.
struct RECT {
    int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// ---- objects -------------------------------------------------------------------------------

namespace textrender {
class Font;
}

// A font made for a device: draws onto that device's back buffer.
class D3DXFont {
public:
    D3DXFont(Direct3DDevice8Ptr device, std::shared_ptr<textrender::Font> font);
    const std::shared_ptr<textrender::Font>& Face() const { return font_; }
    const Direct3DDevice8Ptr& Device() const { return device_; }

private:
    Direct3DDevice8Ptr device_;
    std::shared_ptr<textrender::Font> font_;
};
using D3DXFontPtr = std::shared_ptr<D3DXFont>;

// One material as read from a mesh file, with its texture file name as written there.
struct D3DXMATERIAL {
    D3DMATERIAL8 MatD3D{};
    std::string TextureFilename;
};

// A buffer handed out by the mesh loader: the materials (or the adjacency, three face indexes
// per face, -1 where an edge has no neighbour).
class D3DXBuffer {
public:
    std::vector<D3DXMATERIAL> Materials;
    std::vector<int32_t> Adjacency;
};
using D3DXBufferPtr = std::shared_ptr<D3DXBuffer>;

// The vertex layout of a loaded mesh (format 0x112).
struct D3DXMeshVertex {
    float x, y, z;
    float nx, ny, nz;
    float tu, tv;
};
static_assert(sizeof(D3DXMeshVertex) == 32);

class Direct3DVertexBuffer8;
class Direct3DIndexBuffer8;

// A mesh: vertices, triangles, and per triangle the number of its material (its attribute).
// Triangles are stored grouped by attribute, so each subset is one run of the index buffer.
class D3DXMesh {
public:
    struct Subset {
        int32_t AttribId = 0;
        int32_t FaceStart = 0, FaceCount = 0;
        int32_t VertexStart = 0, VertexCount = 0;
    };

    D3DXMesh(Direct3DDevice8Ptr device, std::vector<D3DXMeshVertex> vertices,
             std::vector<uint32_t> indices, std::vector<int32_t> attributes);
    ~D3DXMesh();

    // Draws the triangles of material `attribId` with the device's current state (transforms,
    // material, texture): binds the mesh's buffers and format and draws one indexed list.
    // An attribute with no triangles draws nothing.
    void DrawSubset(int32_t attribId);

    int32_t GetNumFaces() const { return static_cast<int32_t>(attributes_.size()); }
    int32_t GetNumVertices() const { return static_cast<int32_t>(vertices_.size()); }
    int32_t GetFVF() const { return D3DX_MESH_FVF; }
    const std::vector<D3DXMeshVertex>& Vertices() const { return vertices_; }
    const std::vector<uint32_t>& Indices() const { return indices_; }       // 3 per face
    const std::vector<int32_t>& Attributes() const { return attributes_; }  // 1 per face

private:
    void CreateBuffers();

    Direct3DDevice8Ptr device_;
    std::vector<D3DXMeshVertex> vertices_;
    std::vector<uint32_t> indices_;
    std::vector<int32_t> attributes_;
    std::vector<Subset> subsets_;
    std::shared_ptr<Direct3DVertexBuffer8> vb_;
    std::shared_ptr<Direct3DIndexBuffer8> ib_;
};
using D3DXMeshPtr = std::shared_ptr<D3DXMesh>;

// Result codes of D3DX failures, raised as run-time error numbers (as the device does).
constexpr int32_t D3DXERR_INVALIDDATA = static_cast<int32_t>(0x88760B59u);

// The D3DX utility object. Failures raise run-time errors: 53 (file not found) for a missing
// file, D3DXERR_INVALIDDATA for a file that cannot be read as an image or mesh,
// D3DERR_INVALIDCALL (of the device) for an invalid argument, 91 for a missing object.
// CreateTextureFromFileEx, CreateFont, DrawText, LoadMeshFromX and D3DXMesh::DrawSubset go
// through the device's test switch (d3d8test::FailCall("CreateFont") ...), so callers can
// test their failure paths.
class D3DX8 {
public:
    // Makes a texture from an image file (BMP of 1, 4, 8, 16, 24 or 32 bits, PNG, JPEG, TGA).
    // The path may be written with backslashes and in any letter case. Width and height of
    // D3DX_DEFAULT (or 0) take the image's size rounded up to powers of two; the image is
    // resampled to the texture size with `filter`. Mip levels of D3DX_DEFAULT (or 0) give a full
    // chain down to 1 x 1, each level made from the one above with `mipFilter`. A non-zero
    // `colorKey` makes a texture with alpha in which every source pixel whose ARGB equals the
    // key (alpha FF for images without alpha) becomes transparent black 0x00000000.
    // `srcInfo` and `palette` must be null.
    Direct3DTexture8Ptr CreateTextureFromFileEx(const Direct3DDevice8Ptr& device,
                                                const std::string& srcFile, int32_t width,
                                                int32_t height, int32_t mipLevels, int32_t usage,
                                                int32_t format, int32_t pool, int32_t filter,
                                                int32_t mipFilter, int32_t colorKey,
                                                void* srcInfo, void* palette);

    // A font for `device` from an OLE font handle. Raises when the handle names no live font or
    // no face can be loaded.
    D3DXFontPtr CreateFont(const Direct3DDevice8Ptr& device, HFONT hFont);

    // Draws `text` in `rect` of the font's device back buffer with `format` (DT_ flags) and the
    // ARGB `color`, after the drawing queued before it. Raises ErrObjectNotSet without a font.
    // Returns the height of the drawn text.
    int32_t DrawText(const D3DXFontPtr& font, int32_t color, const std::string& text,
                     const RECT& rect, int32_t format);

    // Reads a .x file (text, binary or compressed): every mesh of its frame hierarchy merged into
    // one, with the frame transforms applied; each triangle keeps its material number. Returns
    // the mesh; `adjacency` receives the triangle adjacency, `materials` the materials in file
    // order, `numMaterials` their count.
    D3DXMeshPtr LoadMeshFromX(const std::string& filename, int32_t options,
                              const Direct3DDevice8Ptr& device, D3DXBufferPtr& adjacency,
                              D3DXBufferPtr& materials, int32_t& numMaterials);

    // Material `index` of a materials buffer. Raises D3DERR_INVALIDCALL for an index outside
    // the buffer.
    void BufferGetMaterial(const D3DXBufferPtr& materials, int32_t index, D3DMATERIAL8& out);
    // The texture file name of material `index` as written in the file ("" for none).
    std::string BufferGetTextureName(const D3DXBufferPtr& materials, int32_t index);
};
using D3DX8Ptr = std::shared_ptr<D3DX8>;
