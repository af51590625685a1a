// D3DX meshes: LoadMeshFromX, the material buffer accessors and DrawSubset.
#include <algorithm>
#include <numeric>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/testswitch.h"
#include "platform/d3dx8/d3dx8.h"
#include "platform/d3dx8/file_read.h"
#include "platform/d3dx8/mesh_reader.h"
#include "platform/runtime/errors.h"

D3DXMesh::D3DXMesh(Direct3DDevice8Ptr device, std::vector<D3DXMeshVertex> vertices,
                   std::vector<uint32_t> indices, std::vector<int32_t> attributes)
    : device_(std::move(device)), vertices_(std::move(vertices)) {
    // Group the triangles by attribute (keeping their order within a group) so that each
    // subset is one run of the index buffer.
    std::vector<size_t> order(attributes.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return attributes[a] < attributes[b]; });
    indices_.reserve(indices.size());
    attributes_.reserve(attributes.size());
    for (size_t f : order) {
        indices_.insert(indices_.end(), indices.begin() + static_cast<ptrdiff_t>(f * 3),
                        indices.begin() + static_cast<ptrdiff_t>(f * 3 + 3));
        attributes_.push_back(attributes[f]);
    }
    for (size_t f = 0; f < attributes_.size();) {
        Subset s;
        s.AttribId = attributes_[f];
        s.FaceStart = static_cast<int32_t>(f);
        uint32_t lo = UINT32_MAX, hi = 0;
        while (f < attributes_.size() && attributes_[f] == s.AttribId) {
            for (int k = 0; k < 3; ++k) {
                lo = std::min(lo, indices_[f * 3 + k]);
                hi = std::max(hi, indices_[f * 3 + k]);
            }
            ++f;
        }
        s.FaceCount = static_cast<int32_t>(f) - s.FaceStart;
        s.VertexStart = static_cast<int32_t>(lo);
        s.VertexCount = static_cast<int32_t>(hi - lo + 1);
        subsets_.push_back(s);
    }
    if (device_ && !vertices_.empty()) CreateBuffers();
}

D3DXMesh::~D3DXMesh() = default;

void D3DXMesh::CreateBuffers() {
    const int32_t vbBytes = static_cast<int32_t>(vertices_.size() * sizeof(D3DXMeshVertex));
    vb_ = device_->CreateVertexBuffer(vbBytes, 0, D3DX_MESH_FVF, D3DPOOL_MANAGED);
    if (D3DVertexBuffer8SetData(vb_, 0, vbBytes, 0, vertices_.data()) != D3D_OK)
        rt::Raise(D3DERR_INVALIDCALL, "D3DXMesh: vertex buffer");
    if (vertices_.size() <= 0xFFFF) {
        std::vector<uint16_t> small(indices_.begin(), indices_.end());
        const int32_t bytes = static_cast<int32_t>(small.size() * 2);
        ib_ = device_->CreateIndexBuffer(bytes, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED);
        if (D3DIndexBuffer8SetData(ib_, 0, bytes, 0, small.data()) != D3D_OK)
            rt::Raise(D3DERR_INVALIDCALL, "D3DXMesh: index buffer");
    } else {
        const int32_t bytes = static_cast<int32_t>(indices_.size() * 4);
        ib_ = device_->CreateIndexBuffer(bytes, 0, D3DFMT_INDEX32, D3DPOOL_MANAGED);
        if (D3DIndexBuffer8SetData(ib_, 0, bytes, 0, indices_.data()) != D3D_OK)
            rt::Raise(D3DERR_INVALIDCALL, "D3DXMesh: index buffer");
    }
}

void D3DXMesh::DrawSubset(int32_t attribId) {
    if (!device_) rt::Raise(rt::ErrObjectNotSet);
    if (const int32_t code = d3d8test::Intercept("DrawSubset", {attribId})) rt::Raise(code, "DrawSubset failed");
    const auto it = std::find_if(subsets_.begin(), subsets_.end(),
                                 [&](const Subset& s) { return s.AttribId == attribId; });
    if (it == subsets_.end()) return;
    device_->SetVertexShader(D3DX_MESH_FVF);
    device_->SetStreamSource(0, vb_, static_cast<int32_t>(sizeof(D3DXMeshVertex)));
    device_->SetIndices(ib_, 0);
    device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, it->VertexStart, it->VertexCount,
                                  it->FaceStart * 3, it->FaceCount);
}

D3DXMeshPtr D3DX8::LoadMeshFromX(const std::string& filename, int32_t options,
                                 const Direct3DDevice8Ptr& device, D3DXBufferPtr& adjacency,
                                 D3DXBufferPtr& materials, int32_t& numMaterials) {
    (void)options;  // the buffers always live in the managed pool; indexes widen as needed
    if (!device) rt::Raise(rt::ErrObjectNotSet);
    if (const int32_t code = d3d8test::Intercept("LoadMeshFromX", {options}))
        rt::Raise(code, "LoadMeshFromX failed");
    const std::string file = d3dx8detail::ReadWholeFile(filename, d3dx8detail::MaxMeshFileBytes);
    d3dx8detail::MeshData data;
    std::string why;
    if (!d3dx8detail::ReadXFile(reinterpret_cast<const uint8_t*>(file.data()), file.size(), data, why))
        d3dx8detail::RaiseInvalidData(filename, why);

    auto adj = std::make_shared<D3DXBuffer>();
    adj->Adjacency = d3dx8detail::ComputeAdjacency(data);
    auto mats = std::make_shared<D3DXBuffer>();
    mats->Materials = std::move(data.Materials);
    auto mesh = std::make_shared<D3DXMesh>(device, std::move(data.Vertices), std::move(data.Indices),
                                           std::move(data.Attributes));
    // Outputs only once everything has succeeded.
    numMaterials = static_cast<int32_t>(mats->Materials.size());
    adjacency = std::move(adj);
    materials = std::move(mats);
    return mesh;
}

void D3DX8::BufferGetMaterial(const D3DXBufferPtr& materials, int32_t index, D3DMATERIAL8& out) {
    if (!materials) rt::Raise(rt::ErrObjectNotSet);
    if (index < 0 || static_cast<size_t>(index) >= materials->Materials.size())
        rt::Raise(D3DERR_INVALIDCALL, "BufferGetMaterial: no material " + std::to_string(index));
    out = materials->Materials[static_cast<size_t>(index)].MatD3D;
}

std::string D3DX8::BufferGetTextureName(const D3DXBufferPtr& materials, int32_t index) {
    if (!materials) rt::Raise(rt::ErrObjectNotSet);
    if (index < 0 || static_cast<size_t>(index) >= materials->Materials.size())
        rt::Raise(D3DERR_INVALIDCALL, "BufferGetTextureName: no material " + std::to_string(index));
    return materials->Materials[static_cast<size_t>(index)].TextureFilename;
}
