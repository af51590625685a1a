// Binary and compressed .x files, read through Assimp, and the pieces shared by both readers.
#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <cmath>
#include <cstring>
#include <map>
#include <utility>

#include "platform/d3dx8/mesh_reader.h"

namespace d3dx8detail {
namespace {

D3DCOLORVALUE Colour(const aiMaterial* m, const char* key, unsigned type, unsigned index,
                     float defaultAlpha) {
    aiColor4D c(0, 0, 0, defaultAlpha);
    if (m->Get(key, type, index, c) != AI_SUCCESS) return {0, 0, 0, defaultAlpha};
    return {c.r, c.g, c.b, c.a};
}

struct Walk {
    const aiScene* scene;
    MeshData& out;
    int depth = 0;

    bool Node(const aiNode* node, const aiMatrix4x4& parent, std::string& error) {
        if (++depth > 256) {
            error = "frames nested too deeply";
            return false;
        }
        const aiMatrix4x4 world = parent * node->mTransformation;
        aiMatrix3x3 normalMatrix(world);
        normalMatrix.Inverse().Transpose();
        for (unsigned i = 0; i < node->mNumMeshes; ++i) {
            if (node->mMeshes[i] >= scene->mNumMeshes) {
                error = "mesh index out of range";
                return false;
            }
            const aiMesh* mesh = scene->mMeshes[node->mMeshes[i]];
            if (mesh->mMaterialIndex >= scene->mNumMaterials) {
                error = "material index out of range";
                return false;
            }
            const uint32_t base = static_cast<uint32_t>(out.Vertices.size());
            if (base + static_cast<uint64_t>(mesh->mNumVertices) > MaxMeshElements) {
                error = "too many vertices";
                return false;
            }
            for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
                D3DXMeshVertex d{};
                const aiVector3D p = world * mesh->mVertices[v];
                d.x = p.x;
                d.y = p.y;
                d.z = p.z;
                if (mesh->mNormals != nullptr) {
                    aiVector3D n = normalMatrix * mesh->mNormals[v];
                    const float len = n.Length(), orig = mesh->mNormals[v].Length();
                    if (len > 0) n *= orig / len;
                    d.nx = n.x;
                    d.ny = n.y;
                    d.nz = n.z;
                }
                if (mesh->mTextureCoords[0] != nullptr) {
                    d.tu = mesh->mTextureCoords[0][v].x;
                    d.tv = mesh->mTextureCoords[0][v].y;
                }
                out.Vertices.push_back(d);
            }
            for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
                const aiFace& face = mesh->mFaces[f];
                for (unsigned k = 1; k + 1 < face.mNumIndices; ++k) {
                    const unsigned idx[3] = {face.mIndices[0], face.mIndices[k], face.mIndices[k + 1]};
                    for (unsigned j : idx) {
                        if (j >= mesh->mNumVertices) {
                            error = "vertex index out of range";
                            return false;
                        }
                        out.Indices.push_back(base + j);
                    }
                    out.Attributes.push_back(static_cast<int32_t>(mesh->mMaterialIndex));
                    if (out.Attributes.size() > MaxMeshElements) {
                        error = "too many triangles";
                        return false;
                    }
                }
            }
        }
        for (unsigned c = 0; c < node->mNumChildren; ++c)
            if (!Node(node->mChildren[c], world, error)) return false;
        --depth;
        return true;
    }
};

}  // namespace

bool ReadXWithAssimp(const uint8_t* data, size_t size, MeshData& out, std::string& error) {
    out = MeshData{};
    Assimp::Importer importer;
    // Assimp turns .x data right-handed on import; converting back to left-handed restores the
    // file's own positions, texture coordinates and winding.
    const aiScene* scene = importer.ReadFileFromMemory(
        data, size, aiProcess_ConvertToLeftHanded | aiProcess_JoinIdenticalVertices, "x");
    if (scene == nullptr || scene->mRootNode == nullptr || scene->mNumMeshes == 0) {
        error = scene == nullptr ? importer.GetErrorString() : "no mesh in the file";
        if (error.empty()) error = "not a mesh file";
        return false;
    }
    // Materials in the order the scene lists them: the file's top-level materials, then those
    // written inside the meshes. Known limit of this path: Assimp 5.2 resolves a mesh's
    // reference to a top-level material ("{ Name }") by the reference's position in the mesh's
    // own list rather than by its name, so such faces may carry another material's number.
    // Text files, the program's own format, go through our reader, which resolves names.
    for (unsigned i = 0; i < scene->mNumMaterials; ++i) {
        const aiMaterial* m = scene->mMaterials[i];
        D3DXMATERIAL mat;
        mat.MatD3D.diffuse = Colour(m, AI_MATKEY_COLOR_DIFFUSE, 1.0f);
        // .x materials carry no ambient colour: it stays zero.
        mat.MatD3D.specular = Colour(m, AI_MATKEY_COLOR_SPECULAR, 1.0f);
        mat.MatD3D.emissive = Colour(m, AI_MATKEY_COLOR_EMISSIVE, 1.0f);
        float power = 0;
        if (m->Get(AI_MATKEY_SHININESS, power) == AI_SUCCESS) mat.MatD3D.power = power;
        aiString tex;
        if (m->GetTexture(aiTextureType_DIFFUSE, 0, &tex) == AI_SUCCESS) mat.TextureFilename = tex.C_Str();
        out.Materials.push_back(std::move(mat));
    }
    Walk walk{scene, out};
    aiMatrix4x4 identity;
    if (!walk.Node(scene->mRootNode, identity, error)) {
        out = MeshData{};
        return false;
    }
    return true;
}

bool ReadXFile(const uint8_t* data, size_t size, MeshData& out, std::string& error) {
    if (data == nullptr || size < 16 || std::memcmp(data, "xof ", 4) != 0) {
        error = "not a .x file";
        return false;
    }
    const bool text = std::memcmp(data + 8, "txt ", 4) == 0;
    const bool other = std::memcmp(data + 8, "bin ", 4) == 0 || std::memcmp(data + 8, "tzip", 4) == 0 ||
                       std::memcmp(data + 8, "bzip", 4) == 0;
    if (!text && !other) {
        error = "unknown .x format";
        return false;
    }
    const bool ok = text ? ReadXText(data, size, out, error) : ReadXWithAssimp(data, size, out, error);
    if (!ok) return false;
    if (out.Attributes.empty()) {
        out = MeshData{};
        error = "the file holds no triangles";
        return false;
    }
    return true;
}

std::vector<int32_t> ComputeAdjacency(const MeshData& mesh) {
    const size_t faces = mesh.Attributes.size();
    std::vector<int32_t> adjacency(faces * 3, -1);
    // Vertices at the same position count as one point.
    std::map<std::tuple<float, float, float>, uint32_t> points;
    std::vector<uint32_t> pointOf(mesh.Vertices.size());
    for (size_t v = 0; v < mesh.Vertices.size(); ++v) {
        const D3DXMeshVertex& p = mesh.Vertices[v];
        pointOf[v] = points.emplace(std::make_tuple(p.x, p.y, p.z), static_cast<uint32_t>(points.size())).first->second;
    }
    std::map<std::pair<uint32_t, uint32_t>, std::vector<std::pair<uint32_t, int>>> edges;
    for (size_t f = 0; f < faces; ++f)
        for (int e = 0; e < 3; ++e) {
            uint32_t a = pointOf[mesh.Indices[f * 3 + e]], b = pointOf[mesh.Indices[f * 3 + (e + 1) % 3]];
            if (a > b) std::swap(a, b);
            edges[{a, b}].emplace_back(static_cast<uint32_t>(f), e);
        }
    for (const auto& [key, users] : edges) {
        if (users.size() < 2) continue;
        // Pair the first two faces on an edge; further ones stay unmatched.
        adjacency[users[0].first * 3 + users[0].second] = static_cast<int32_t>(users[1].first);
        adjacency[users[1].first * 3 + users[1].second] = static_cast<int32_t>(users[0].first);
    }
    return adjacency;
}

}  // namespace d3dx8detail
