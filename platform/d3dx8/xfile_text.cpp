// The reader of text .x files: frames with their transforms, meshes with normals, texture
// coordinates and material lists, materials (top-level ones referenced by name too) with their
// texture file names. Every other data object is skipped whole.
#include <charconv>
#include <cmath>
#include <cstring>
#include <map>
#include <string_view>
#include <unordered_map>

#include "platform/d3dx8/mesh_reader.h"

namespace d3dx8detail {
namespace {

struct ParseError {
    std::string what;
};
[[noreturn]] void Fail(const std::string& what) { throw ParseError{what}; }

enum class Tok { Name, Number, String, Open, Close };
struct Token {
    Tok type;
    std::string_view text;
};

inline bool NameStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
inline bool NameChar(char c) { return NameStart(c) || (c >= '0' && c <= '9') || c == '-'; }
inline bool NumberChar(char c) {
    return (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E';
}

// Splits the text into tokens. Separators (',' and ';') carry no information once the counts
// are known and are dropped, as are comments and GUIDs.
std::vector<Token> Tokenise(std::string_view s) {
    std::vector<Token> toks;
    size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        // Separators, and the brackets of template declarations (which are skipped whole).
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ',' || c == ';' || c == '\f' || c == '\v' ||
            c == '[' || c == ']') {
            ++i;
        } else if (c == '#' || (c == '/' && i + 1 < s.size() && s[i + 1] == '/')) {
            while (i < s.size() && s[i] != '\n') ++i;
        } else if (c == '{') {
            toks.push_back({Tok::Open, s.substr(i, 1)});
            ++i;
        } else if (c == '}') {
            toks.push_back({Tok::Close, s.substr(i, 1)});
            ++i;
        } else if (c == '<') {
            const size_t e = s.find('>', i);
            if (e == std::string_view::npos) Fail("unterminated GUID");
            i = e + 1;
        } else if (c == '"') {
            const size_t e = s.find('"', i + 1);
            if (e == std::string_view::npos) Fail("unterminated string");
            toks.push_back({Tok::String, s.substr(i + 1, e - i - 1)});
            i = e + 1;
        } else if (NameStart(c)) {
            size_t e = i + 1;
            while (e < s.size() && NameChar(s[e])) ++e;
            toks.push_back({Tok::Name, s.substr(i, e - i)});
            i = e;
        } else if (NumberChar(c)) {
            size_t e = i + 1;
            while (e < s.size() && NumberChar(s[e])) ++e;
            toks.push_back({Tok::Number, s.substr(i, e - i)});
            i = e;
        } else {
            Fail(std::string("unexpected character '") + c + "'");
        }
    }
    return toks;
}

struct Mat4 {
    float m[4][4];
    static Mat4 Identity() {
        Mat4 r{};
        for (int i = 0; i < 4; ++i) r.m[i][i] = 1;
        return r;
    }
    // this x b (row vectors: this applies first).
    Mat4 Times(const Mat4& b) const {
        Mat4 r{};
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                for (int k = 0; k < 4; ++k) r.m[i][j] += m[i][k] * b.m[k][j];
        return r;
    }
};

struct Float3 {
    float x, y, z;
};

constexpr int kMaxFrameDepth = 256;

class Reader {
public:
    Reader(std::vector<Token> toks, MeshData& out) : t_(std::move(toks)), out_(out) {}

    void Run() {
        while (pos_ < t_.size()) {
            if (Peek(Tok::Open)) {  // a stray reference at the top level
                SkipObject();
                continue;
            }
            const std::string_view type = ExpectName();
            if (type == "template") {
                SkipObjectAfterHeader();
            } else if (type == "Frame") {
                OpenObject();
                ParseFrameBody(Mat4::Identity(), 1);
            } else if (type == "Mesh") {
                OpenObject();
                ParseMeshBody(Mat4::Identity());
            } else if (type == "Material") {
                const std::string name = OpenObject();
                D3DXMATERIAL m = ParseMaterialBody();
                if (!name.empty()) globals_[name] = m;
            } else {
                SkipObjectAfterHeader();
            }
        }
        if (!sawMesh_) Fail("no mesh in the file");
        // Meshes without a material list get a plain white material of their own, unless no
        // mesh of the file has materials at all.
        bool unassigned = false;
        for (int32_t a : out_.Attributes) unassigned |= a < 0;
        if (unassigned) {
            int32_t fill = 0;
            if (!out_.Materials.empty()) {
                D3DXMATERIAL white;
                white.MatD3D.diffuse = {1, 1, 1, 1};
                fill = static_cast<int32_t>(out_.Materials.size());
                out_.Materials.push_back(white);
            }
            for (int32_t& a : out_.Attributes)
                if (a < 0) a = fill;
        }
    }

private:
    bool Peek(Tok type) const { return pos_ < t_.size() && t_[pos_].type == type; }

    const Token& Next() {
        if (pos_ >= t_.size()) Fail("unexpected end of file");
        return t_[pos_++];
    }
    std::string_view ExpectName() {
        const Token& k = Next();
        if (k.type != Tok::Name) Fail("expected a name, found '" + std::string(k.text) + "'");
        return k.text;
    }
    void Expect(Tok type, const char* what) {
        if (Next().type != type) Fail(std::string("expected ") + what);
    }
    // After the type name: an optional object name, then '{'. Returns the name.
    std::string OpenObject() {
        std::string name;
        if (Peek(Tok::Name)) name = std::string(Next().text);
        Expect(Tok::Open, "'{'");
        return name;
    }
    // From '{' to its matching '}'.
    void SkipObject() {
        Expect(Tok::Open, "'{'");
        SkipRest();
    }
    void SkipObjectAfterHeader() {
        while (Peek(Tok::Name)) ++pos_;
        SkipObject();
    }
    // Inside an object: everything up to and including its closing '}'.
    void SkipRest() {
        int depth = 1;
        while (depth > 0) {
            const Token& k = Next();
            if (k.type == Tok::Open) ++depth;
            if (k.type == Tok::Close) --depth;
        }
    }

    double Number() {
        const Token& k = Next();
        if (k.type != Tok::Number) Fail("expected a number, found '" + std::string(k.text) + "'");
        double v = 0;
        const char* b = k.text.data();
        const char* e = b + k.text.size();
        if (*b == '+') ++b;
        const auto r = std::from_chars(b, e, v);
        if (r.ec != std::errc() || r.ptr != e || !std::isfinite(v)) Fail("bad number '" + std::string(k.text) + "'");
        return v;
    }
    float Float() { return static_cast<float>(Number()); }
    // A count: a whole number 0..MaxMeshElements.
    uint32_t Whole() { return Index(MaxMeshElements + 1u); }
    // An index into `count` items: a whole number 0..count-1.
    uint32_t Index(size_t count) {
        const double v = Number();
        if (!(v >= 0) || v >= static_cast<double>(count) || v != std::floor(v))
            Fail("count or index out of range");
        return static_cast<uint32_t>(v);
    }
    // A count of items that each take at least `tokensEach` tokens: must fit what is left.
    uint32_t Count(size_t tokensEach) {
        const uint32_t n = Whole();
        if (n * tokensEach > t_.size() - pos_) Fail("data shorter than its count");
        return n;
    }

    void ParseFrameBody(const Mat4& parent, int depth) {
        if (depth > kMaxFrameDepth) Fail("frames nested too deeply");
        Mat4 world = parent;
        while (!Peek(Tok::Close)) {
            if (Peek(Tok::Open)) {  // a reference to an object defined elsewhere
                SkipObject();
                continue;
            }
            const std::string_view type = ExpectName();
            if (type == "FrameTransformMatrix") {
                OpenObject();
                Mat4 local{};
                for (auto& row : local.m)
                    for (float& v : row) v = Float();
                Expect(Tok::Close, "'}' after the frame matrix");
                world = local.Times(parent);
            } else if (type == "Frame") {
                OpenObject();
                ParseFrameBody(world, depth + 1);
            } else if (type == "Mesh") {
                OpenObject();
                ParseMeshBody(world);
            } else {
                SkipObjectAfterHeader();
            }
        }
        Next();
    }

    D3DXMATERIAL ParseMaterialBody() {
        D3DXMATERIAL m;
        D3DMATERIAL8& d = m.MatD3D;
        d.diffuse = {Float(), Float(), Float(), Float()};
        d.power = Float();
        d.specular = {Float(), Float(), Float(), 1.0f};
        d.emissive = {Float(), Float(), Float(), 1.0f};
        while (!Peek(Tok::Close)) {
            if (Peek(Tok::Open)) {
                SkipObject();
                continue;
            }
            const std::string_view type = ExpectName();
            if (type == "TextureFilename" || type == "TextureFileName") {
                OpenObject();
                const Token& k = Next();
                if (k.type != Tok::String) Fail("expected a texture file name");
                m.TextureFilename = Unescape(k.text);
                Expect(Tok::Close, "'}' after the texture file name");
            } else {
                SkipObjectAfterHeader();
            }
        }
        Next();
        return m;
    }

    // Exporters write a folder separator as a doubled backslash; the file name has one.
    static std::string Unescape(std::string_view s) {
        std::string r;
        r.reserve(s.size());
        for (size_t i = 0; i < s.size(); ++i) {
            r += s[i];
            if (s[i] == '\\' && i + 1 < s.size() && s[i + 1] == '\\') ++i;
        }
        return r;
    }

    void ParseMeshBody(const Mat4& world) {
        sawMesh_ = true;
        std::vector<Float3> positions(Count(3));
        for (Float3& p : positions) p = {Float(), Float(), Float()};
        const uint32_t faceCount = Count(1);
        std::vector<uint32_t> faceStart(faceCount + 1), faceIdx;
        for (uint32_t f = 0; f < faceCount; ++f) {
            const uint32_t n = Count(1);
            faceStart[f] = static_cast<uint32_t>(faceIdx.size());
            for (uint32_t k = 0; k < n; ++k) faceIdx.push_back(Index(positions.size()));
            if (faceIdx.size() > MaxMeshElements) Fail("too many face indexes");
        }
        faceStart[faceCount] = static_cast<uint32_t>(faceIdx.size());

        std::vector<Float3> normals;
        std::vector<uint32_t> normalIdx;  // per face corner, parallel to faceIdx
        std::vector<float> uvs;
        std::vector<uint32_t> faceMaterial;
        std::vector<D3DXMATERIAL> materials;
        bool hasList = false;

        while (!Peek(Tok::Close)) {
            if (Peek(Tok::Open)) {
                SkipObject();
                continue;
            }
            const std::string_view type = ExpectName();
            if (type == "MeshNormals") {
                OpenObject();
                normals.resize(Count(3));
                for (Float3& n : normals) n = {Float(), Float(), Float()};
                const uint32_t nf = Count(1);
                if (nf != faceCount) Fail("normal faces do not match the faces");
                normalIdx.clear();
                for (uint32_t f = 0; f < nf; ++f) {
                    const uint32_t n = Count(1);
                    if (n != faceStart[f + 1] - faceStart[f]) Fail("normal face size does not match its face");
                    for (uint32_t k = 0; k < n; ++k) normalIdx.push_back(Index(normals.size()));
                }
                SkipRest();
            } else if (type == "MeshTextureCoords") {
                OpenObject();
                const uint32_t n = Count(2);
                if (n != positions.size()) Fail("texture coordinates do not match the vertices");
                uvs.resize(static_cast<size_t>(n) * 2);
                for (float& v : uvs) v = Float();
                SkipRest();
            } else if (type == "MeshMaterialList") {
                OpenObject();
                hasList = true;
                const uint32_t nMat = Count(0);
                const uint32_t nIdx = Count(1);
                if (nIdx > faceCount) Fail("more material indexes than faces");
                faceMaterial.resize(nIdx);
                for (uint32_t& m : faceMaterial) m = Whole();
                while (!Peek(Tok::Close)) {
                    if (Peek(Tok::Open)) {  // { Name }: a material defined at the top level
                        Next();
                        const std::string name(ExpectName());
                        Expect(Tok::Close, "'}' after a material reference");
                        const auto it = globals_.find(name);
                        if (it == globals_.end()) Fail("unknown material \"" + name + "\"");
                        materials.push_back(it->second);
                        continue;
                    }
                    const std::string_view sub = ExpectName();
                    if (sub == "Material") {
                        OpenObject();
                        materials.push_back(ParseMaterialBody());
                    } else {
                        SkipObjectAfterHeader();
                    }
                }
                Next();
                if (materials.size() != nMat) Fail("material list does not match its count");
                // Exporters may write fewer indexes than faces: the last one repeats.
                if (faceMaterial.empty() && faceCount > 0) {
                    if (nMat == 0) Fail("faces without materials in a material list");
                    faceMaterial.push_back(0);
                }
                for (uint32_t m : faceMaterial)
                    if (m >= nMat) Fail("material index out of range");
                faceMaterial.resize(faceCount, faceMaterial.empty() ? 0 : faceMaterial.back());
            } else {
                SkipObjectAfterHeader();
            }
        }
        Next();

        // Emit: one vertex per distinct (position, normal) pair of the face corners.
        float cof[3][3];  // cofactors of the upper 3 x 3: normals transform by them
        const auto& a = world.m;
        cof[0][0] = a[1][1] * a[2][2] - a[1][2] * a[2][1];
        cof[0][1] = a[1][2] * a[2][0] - a[1][0] * a[2][2];
        cof[0][2] = a[1][0] * a[2][1] - a[1][1] * a[2][0];
        cof[1][0] = a[0][2] * a[2][1] - a[0][1] * a[2][2];
        cof[1][1] = a[0][0] * a[2][2] - a[0][2] * a[2][0];
        cof[1][2] = a[0][1] * a[2][0] - a[0][0] * a[2][1];
        cof[2][0] = a[0][1] * a[1][2] - a[0][2] * a[1][1];
        cof[2][1] = a[0][2] * a[1][0] - a[0][0] * a[1][2];
        cof[2][2] = a[0][0] * a[1][1] - a[0][1] * a[1][0];

        const int32_t base = static_cast<int32_t>(out_.Materials.size());
        out_.Materials.insert(out_.Materials.end(), materials.begin(), materials.end());
        if (out_.Materials.size() > MaxMeshElements) Fail("too many materials");
        std::unordered_map<uint64_t, uint32_t> seen;
        auto vertexFor = [&](uint32_t corner) -> uint32_t {
            const uint32_t p = faceIdx[corner];
            const uint32_t n = normalIdx.empty() ? 0xFFFFFFFFu : normalIdx[corner];
            const uint64_t key = (static_cast<uint64_t>(p) << 32) | n;
            if (auto it = seen.find(key); it != seen.end()) return it->second;
            D3DXMeshVertex v{};
            const Float3& q = positions[p];
            v.x = q.x * a[0][0] + q.y * a[1][0] + q.z * a[2][0] + a[3][0];
            v.y = q.x * a[0][1] + q.y * a[1][1] + q.z * a[2][1] + a[3][1];
            v.z = q.x * a[0][2] + q.y * a[1][2] + q.z * a[2][2] + a[3][2];
            if (n != 0xFFFFFFFFu) {
                const Float3& m = normals[n];
                float nx = m.x * cof[0][0] + m.y * cof[1][0] + m.z * cof[2][0];
                float ny = m.x * cof[0][1] + m.y * cof[1][1] + m.z * cof[2][1];
                float nz = m.x * cof[0][2] + m.y * cof[1][2] + m.z * cof[2][2];
                const float len = std::sqrt(nx * nx + ny * ny + nz * nz);
                const float orig = std::sqrt(m.x * m.x + m.y * m.y + m.z * m.z);
                if (len > 0) {
                    nx *= orig / len;
                    ny *= orig / len;
                    nz *= orig / len;
                }
                v.nx = nx;
                v.ny = ny;
                v.nz = nz;
            }
            if (!uvs.empty()) {
                v.tu = uvs[static_cast<size_t>(p) * 2];
                v.tv = uvs[static_cast<size_t>(p) * 2 + 1];
            }
            const uint32_t index = static_cast<uint32_t>(out_.Vertices.size());
            if (index >= MaxMeshElements) Fail("too many vertices");
            out_.Vertices.push_back(v);
            seen.emplace(key, index);
            return index;
        };
        for (uint32_t f = 0; f < faceCount; ++f) {
            const uint32_t s = faceStart[f], e = faceStart[f + 1];
            if (e - s < 3) continue;
            const int32_t attr = hasList ? base + static_cast<int32_t>(faceMaterial[f]) : -1;
            const uint32_t first = vertexFor(s);
            for (uint32_t k = s + 1; k + 1 < e; ++k) {
                out_.Indices.push_back(first);
                out_.Indices.push_back(vertexFor(k));
                out_.Indices.push_back(vertexFor(k + 1));
                out_.Attributes.push_back(attr);
                if (out_.Attributes.size() > MaxMeshElements) Fail("too many triangles");
            }
        }
    }

    std::vector<Token> t_;
    size_t pos_ = 0;
    MeshData& out_;
    std::map<std::string, D3DXMATERIAL> globals_;
    bool sawMesh_ = false;
};

}  // namespace

bool ReadXText(const uint8_t* data, size_t size, MeshData& out, std::string& error) {
    out = MeshData{};
    if (size < 16 || std::memcmp(data, "xof ", 4) != 0 || std::memcmp(data + 8, "txt ", 4) != 0) {
        error = "not a text .x file";
        return false;
    }
    try {
        const std::string_view text(reinterpret_cast<const char*>(data) + 16, size - 16);
        Reader reader(Tokenise(text), out);
        reader.Run();
        return true;
    } catch (const ParseError& e) {
        error = e.what;
        out = MeshData{};
        return false;
    }
}

}  // namespace d3dx8detail
