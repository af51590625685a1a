// The camera matrices and the drawing of one frame.
#include "engine/checked.h"
#include "engine/clsZemMesh.h"
#include "engine/zemdx.h"
#include "platform/d3dx8/math.h"
#include "platform/runtime/errors.h"

namespace ZemDx {

namespace {

// The projection's fixed aspect (height over width) and depth range.
constexpr float kAspect = 0.75f;
constexpr float kNearPlane = 1.0f;
constexpr float kFarPlane = 10000.0f;

inline int32_t StripType() { return Wireframe != 0 ? D3DPT_LINESTRIP : D3DPT_TRIANGLESTRIP; }

// The texture of a table index; an index outside the table raises ErrSubscript.
inline const Direct3DTexture8Ptr& TextureAt(int32_t index) { return detail::Item(Textures, index); }

// The quad or triangle pass: every entry from index 0 to the list's last index (a count of at least
// one with an empty list raises ErrSubscript and abandons the frame), skipping those the visibility
// test puts wholly outside when the tests are on; each drawn from its own buffer as a strip of
// `primitives` triangles.
template <class Primitive>
void DrawList(Direct3DDevice8& dev, const std::vector<Primitive>& list, const BufferList& buffers,
              rt::Long (*visibility)(const rt::Long&), int32_t primitives) {
    const int64_t last = detail::UpperBound(list);
    // Nothing the pass calls writes the settings: they are read once, not again for every entry.
    const bool tests = VisibilityTest == 1;
    const int32_t type = StripType();
    for (int64_t i = 0; i <= last; ++i) {
        if (tests && visibility(static_cast<rt::Long>(i)) == VerdictOutside) continue;
        dev.SetTexture(0, TextureAt(list[static_cast<size_t>(i)].Texture));
        dev.SetStreamSource(0, detail::Item(buffers, i), sizeof(Vertex));
        dev.DrawPrimitive(type, 0, primitives);
    }
}

void DrawTerrain(Direct3DDevice8& dev) {
    // The strip's primitive count is its last vertex index minus one.
    const int64_t last = detail::UpperBound(Terrain.Vertices);
    dev.SetTexture(0, TextureAt(Terrain.Texture));
    dev.SetStreamSource(0, Terrain.Buffer, sizeof(Vertex));
    dev.DrawPrimitive(StripType(), 0, static_cast<int32_t>(last - 1));
}

// Each mesh sets its own world transform and materials and leaves the world at the identity.
void DrawMeshes() {
    const int64_t last = detail::UpperBound(Meshes);
    for (int64_t i = 0; i <= last; ++i) {
        const clsZemMeshPtr& mesh = Meshes[static_cast<size_t>(i)];
        if (!mesh) rt::Raise(rt::ErrObjectNotSet);
        if (VisibilityTest == 1 && mesh->ProjectionVisibilityBoundingBox() == VerdictOutside) continue;
        mesh->DrawMesh();
    }
}

// An abandoned frame still ends the scene it began, and puts back the world format the
// overlays may have left switched, so that the next frame begins and draws like any other. A
// failure here changes nothing: the frame is lost either way.
void CloseAbandonedScene() {
    detail::Trapped(0, [] {
        detail::Device().EndScene();
        return 0;
    });
    detail::Trapped(0, [] {
        detail::Device().SetVertexShader(D3DFVF_VERTEX);
        return 0;
    });
}

}  // namespace

rt::Boolean SetupMatrices(const CameraState& Cam) {
    return detail::Trapped(rt::False, [&]() -> rt::Boolean {
        Direct3DDevice8& dev = detail::Device();

        D3DXMatrixRotationYawPitchRoll(matWorld, Cam.RotY, Cam.RotX, Cam.RotZ);
        dev.SetTransform(D3DTS_WORLD, matWorld);

        // The stored eye position is already negated: translate, then turn by minus the
        // heading about y, then by the pitch about x.
        D3DXMatrixRotationY(matRotY, -Cam.Heading);
        D3DXMatrixRotationX(matRotX, Cam.Pitch);
        D3DXMatrixMultiply(matRot, matRotY, matRotX);
        D3DXMatrixTranslation(matTrans, Cam.PosX, Cam.PosY, Cam.PosZ);
        D3DXMatrixMultiply(matView, matTrans, matRot);
        dev.SetTransform(D3DTS_VIEW, matView);

        D3DXMatrixPerspectiveFovLH(matProj, Cam.FOV, kAspect, kNearPlane, kFarPlane);
        dev.SetTransform(D3DTS_PROJECTION, matProj);
        return rt::True;
    });
}

rt::Boolean Render(const CameraState& Cam, const rt::Boolean& ClearTarget, const rt::Long& BackColor) {
    // Any error abandons the frame where it happens: nothing more of it is drawn and nothing is
    // presented.
    bool begun = false;
    const rt::Boolean drawn = detail::Trapped(rt::False, [&]() -> rt::Boolean {
        Direct3DDevice8& dev = detail::Device();
        if (ClearTarget == rt::True)
            dev.Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, BackColor, 1.0f, 0);
        else
            dev.Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0xFF, 1.0f, 0);
        dev.BeginScene();
        begun = true;
        if (SetupMatrices(Cam) == rt::False) return rt::False;
        dev.SetMaterial(Material);

        if (QuadCount >= 1) DrawList(dev, Quads, QuadBuffers, QuadVisibility, 2);
        if (TriangleCount >= 1) DrawList(dev, Triangles, TriangleBuffers, TriangleVisibility, 1);
        if (TerrainLoaded == rt::True) DrawTerrain(dev);
        if (MeshCount >= 1) DrawMeshes();

        DrawOverlays();
        DrawTexts();
        dev.EndScene();
        begun = false;
        dev.Present(nullptr, nullptr, 0, nullptr);
        return rt::True;
    });
    if (begun) CloseAbandonedScene();
    return drawn;
}

}  // namespace ZemDx
