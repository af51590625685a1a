#include "app/frmWindowed_world.h"

#include <array>
#include <string>

#include "app/game_state.h"
#include "app/state.h"
#include "app/walls.h"
#include "app/world_map.h"
#include "engine/zemdx.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/memory.h"
#include "platform/runtime/paths.h"
#include "platform/runtime/types.h"
#include "platform/win32/runtime.h"

namespace GameWorld {

namespace {

using ModMain::kCellSize;
using ModMain::kOpenFloor;
using ModMain::kStartCell;
using ModMain::kWhite;

// Why each entry of WallTextures failed to load.
std::array<ZemDx::TextureLoadFailure, ModMain::kWallTextureEntries>& WallTextureFailures() {
    return ModMain::State().WallTextureFailures;
}

// The failure of the texture load just made. Without a device every load fails: that is the
// engine start's own failure, which leaves the run going on without a picture, and is not
// put on the files.
ZemDx::TextureLoadFailure FailureOfLastLoad() {
    return ZemDx::D3DDevice ? ZemDx::LastTextureFailure : ZemDx::TextureLoadFailure{};
}

// A picture the run needs could not be made: the run stops with the error the load met, whose
// detail names the file, rather than failing every frame in silence.
void StopOnTextureFailure(const ZemDx::TextureLoadFailure& failure) {
    if (failure.Number == 0) return;
    rt::RuntimeError e(failure.Number, failure.Reason);
    e.AddContext(failure.Detail);
    throw e;
}

// The wall texture of texture number n (a cell code, a floor or ceiling number): entry n - 1
// of WallTextures. Any number outside 1 to 12 stops the run with "Subscript out of range";
// the subtraction itself is 16-bit (so -32768 overflows). A wall texture that failed to load
// stops the run when the world first uses it; a world that never uses it runs.
int32_t WallTexture(rt::Integer n) {
    const rt::Integer entry = rt::SubInt(n, 1);
    if (entry < 0 || entry >= ModMain::kWallTextureEntries) rt::Raise(rt::ErrSubscript);
    StopOnTextureFailure(WallTextureFailures()[entry]);
    return ModMain::WallTextures[entry];
}

// The wall texture of the floor or the ceiling; an error names the number at fault.
int32_t SurfaceTexture(rt::Integer n, const char* surface) {
    try {
        return WallTexture(n);
    } catch (rt::RuntimeError& e) {
        e.AddContext(std::string(surface) + " texture number " + std::to_string(n));
        throw;
    }
}

constexpr uint64_t kTrianglesPerWall = 8;
constexpr uint64_t kFloorAndCeilingTriangles = 4;

}  // namespace

void MakeLabelAndImages() {
    ModMain::FpsTextIndex = ZemDx::AddText("FPS - 0", 0, 0, 15, 100, 0, "Verdana", 12, rt::True,
                                           static_cast<rt::Long>(0xFFFFFFFFu));
    const rt::Long weapon = ZemDx::LoadTexture("Textures\\Phaser Type 3.bmp",
                                               static_cast<rt::Long>(0xFF00FF00u), rt::False);
    StopOnTextureFailure(FailureOfLastLoad());  // every frame shows it
    ZemDx::AddOverlay(384, 224, 256, 256, weapon, 1, 0, 0, 0, 1, 1, 0, 1, kWhite);
    WallTextureFailures().fill({});
    for (int i = 0; i <= 10; ++i) {
        ModMain::WallTextures[i] = ZemDx::LoadTexture("Textures\\" + std::to_string(i + 1) + ".bmp",
                                                      static_cast<rt::Long>(0xFFFFFFFEu), rt::False);
        WallTextureFailures()[i] = FailureOfLastLoad();
    }
}

void BuildWorld() {
    // The counters are 16-bit: a bound beyond 32767 overflows when its loop starts (the column
    // bound only once there is a row), and so does kCellSize x a start cell's row or column
    // beyond 6553.
    rt::Integer cellX = 0, cellZ = 0;  // the cell being built, for the error's detail
    try {
        rt::ForInteger(1, ModMain::Map.UBound(1), [&](rt::Integer x) {
            rt::ForInteger(1, ModMain::Map.UBound(2), [&](rt::Integer z) {
                cellX = x;
                cellZ = z;
                const rt::Integer c = ModMain::Map(x, z);
                if (c == kOpenFloor) return;
                if (c == kStartCell) {
                    // The eye above the middle of the cell.
                    ZemDx::Camera.PosX = static_cast<float>(-(double(rt::MulInt(kCellSize, x)) + kCellSize / 2.0));
                    ZemDx::Camera.PosZ = static_cast<float>(-(double(rt::MulInt(kCellSize, z)) + kCellSize / 2.0));
                    return;
                }
                ModMain::AddBlock(x, z, WallTexture(c));
            });
        });
    } catch (rt::RuntimeError& e) {
        // The cell at fault; a wall that finds no memory left is not at fault.
        if (cellX > 0 && e.Number() != rt::ErrOutOfMemory)
            e.AddContext("row " + std::to_string(cellX) + ", column " + std::to_string(cellZ) + " holds code " +
                         std::to_string(ModMain::Map(cellX, cellZ)));
        throw;
    }
}

uint64_t WorldTrianglesNeeded() {
    // The wall cells (codes 1 to 11) become blocks; open floor and start cells add nothing. The
    // count ends at the first cell of another code, in the build's order: the build stops there.
    const rt::Long rows = ModMain::Map.UBound(1), cols = ModMain::Map.UBound(2);
    const uint64_t walls = [&] {
        uint64_t n = 0;
        for (rt::Long x = 1; x <= rows; ++x)
            for (rt::Long z = 1; z <= cols; ++z) {
                const rt::Integer c = ModMain::Map(x, z);
                if (c >= 1 && c < kOpenFloor)
                    ++n;
                else if (c != kOpenFloor && c != kStartCell)
                    return n;
            }
        return n;
    }();
    return walls * kTrianglesPerWall + kFloorAndCeilingTriangles;
}

uint64_t WorldBytesNeeded() { return WorldTrianglesNeeded() * kBytesPerWorldTriangle; }

void AddFloorAndCeiling() {
    // Cells 1 to U by 1 to V, the texture repeated once per cell. Seen from between them, all
    // four triangles run counter-clockwise like the outer faces of the walls.
    const rt::Long U = ModMain::Map.UBound(1);
    const rt::Long V = ModMain::Map.UBound(2);
    // s is both where cell 1 starts along x and z and the height of the ceiling.
    constexpr float s = kCellSize;
    const float X1 = static_cast<float>(rt::MulLng(rt::AddLng(U, 1), kCellSize));
    const float Z1 = static_cast<float>(rt::MulLng(rt::AddLng(V, 1), kCellSize));
    const float u = static_cast<float>(U), v = static_cast<float>(V);
    constexpr int32_t w = kWhite;
    ZemDx::AddTriangle(s, 0, s, 0, 0, w, X1, 0, s, u, 0, w, X1, 0, Z1, u, v, w,
                       SurfaceTexture(ModMain::FloorTexture, "floor"));
    ZemDx::AddTriangle(X1, 0, Z1, u, v, w, s, 0, Z1, 0, v, w, s, 0, s, 0, 0, w,
                       SurfaceTexture(ModMain::FloorTexture, "floor"));
    ZemDx::AddTriangle(X1, s, Z1, u, v, w, X1, s, s, u, 0, w, s, s, s, 0, 0, w,
                       SurfaceTexture(ModMain::CeilingTexture, "ceiling"));
    ZemDx::AddTriangle(s, s, s, 0, 0, w, s, s, Z1, 0, v, w, X1, s, Z1, u, v, w,
                       SurfaceTexture(ModMain::CeilingTexture, "ceiling"));
}

void ReadAndBuildWorld(const std::string& path) {
    ModMain::LoadMap(path);  // its errors name the file already
    try {
        // A world the machine cannot hold is refused before it is built, instead of ending
        // the program from outside when memory runs out halfway.
        const uint64_t triangles = WorldTrianglesNeeded();
        const uint64_t need = triangles * kBytesPerWorldTriangle, available = rt::AvailableMemoryBytes();
        if (need > available)
            rt::RaiseAbout(rt::ErrOutOfMemory, "the world needs about " + std::to_string(need >> 20) +
                                                   " MB, " + std::to_string(available >> 20) +
                                                   " MB are available");
        // Room for every triangle the world adds, made before the first: the lists are then
        // filled without ever moving, so the build takes what the estimate counts and no more.
        ZemDx::ReserveTriangles(static_cast<int64_t>(triangles));
        BuildWorld();
        AddFloorAndCeiling();
        // Without a device (the engine did not start) there are no buffers to make and the
        // run goes on without a picture. With one, buffers that cannot be made (memory has run
        // out) would leave every frame blank: the run stops instead.
        if (ZemDx::RefreshBuffers() == rt::False && ZemDx::D3DDevice)
            rt::RaiseAbout(rt::ErrOutOfMemory, "the vertex buffers of its " +
                                                   std::to_string(ZemDx::TriangleCount) +
                                                   " triangles could not be made");
    } catch (rt::RuntimeError& e) {
        e.AddContext(rt::HostPath(path));
        throw;
    }
}

void PlaceCamera() {
    ModMain::MoveSpeed = 1.0f;
    ZemDx::Camera.PosY = -2.0f;
    ZemDx::Camera.FOV = 1.04719f;  // a shade under a sixth of a turn
}

}  // namespace GameWorld
