// The scene object read from an object file (*.zemobj): its textures, groups of textured
// triangles and timed animations, with a placement, a bounding box and the box's visibility
// verdict (engine/placement.h). Objects are loaded, placed and tested; drawing them is left
// empty.
#pragma once
#include <string>
#include <vector>

#include "engine/geometry.h"
#include "engine/placement.h"
#include "platform/d3d8/d3d8types.h"
#include "platform/runtime/types.h"

namespace ZemDx {

// One timed frame of an animation. Key is kept as read; Time is the frame's timing value.
struct AnimFrame {
    rt::Integer Key = 0;
    rt::Integer Time = 0;
};

// One animation: its number as read, its frames, and how it ends (1: stops at the last frame).
struct Animation {
    rt::Integer Id = 0;
    std::vector<AnimFrame> Frames;
    rt::Byte EndMode = 0;
};

// The triangles of one group, as the object file gives them (the texture number unchanged).
struct TriangleGroup {
    std::vector<Triangle> Tris;
};

// Everything an object file holds: the groups, the texture-table index of each texture line
// (-1 where the texture failed to load) and the animations.
struct ObjectData {
    std::vector<TriangleGroup> Groups;
    std::vector<rt::Long> TextureList;
    std::vector<Animation> Animations;
};

}  // namespace ZemDx

class clsZemObject : public ZemPlacement::Placement {
public:
    // The key of scrambled files when the caller names none.
    static constexpr rt::Long DefaultXorKey = 7;

    // Reads the object file `FileName` (relative to the program's Data folder) into the object's
    // lists, replacing what an earlier load left there; every texture line is loaded through
    // the engine's texture cache. With `XorEncrypted` non-zero every line is unscrambled with
    // `XorKey` first. Errors reach the caller as run-time errors: 53 / 76 for a missing file or
    // folder, 62 for a file that ends too early, 9 for a count below one, 6 for a number outside
    // its type or a list too long to walk, 5 for a key that unscrambles to no character. The
    // lists keep what was read up to the error; the file is closed either way.
    void LoadObject(const std::string& FileName, const rt::Boolean& XorEncrypted = rt::False,
                    const rt::Long& XorKey = DefaultXorKey);

    // Object triangles are not drawn: this does nothing.
    void DrawObject();

    // The program's text helpers, offered by the object as well (see engine/text_fields.h).
    std::string TrimExtraSpace(std::string valu);
    std::string Field(const std::string& strg, const std::string& sep, const rt::Integer& cnt);

private:
    // One timing step of the running animation.
    void AdvanceAnimation();
    // Part of the class's interface with nothing to do: kept empty on purpose.
    void EmptyPrivateFunction();

    friend struct clsZemObjectInspector;  // the unit tests' view of the private state

    ZemDx::ObjectData ObjData;
    rt::Integer AnimFlag = 0;      // cleared when an animation that does not stop runs past its end
    rt::Integer CurrentAnim = 0;   // index of the running animation in ObjData.Animations
    rt::Long AnimStartTick = 0;    // tick count the frame timing measures from
    rt::Long CurrentFrame = 0;     // 0 not started, 1.. the frame timed against the one before, -1 done
    rt::Long AnimAccum = 0;        // frame-timing accumulator
};
