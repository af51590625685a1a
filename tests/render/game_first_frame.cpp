// The first frame of a run, drawn by the software device through the whole start of a run
// (walls, floor, ceiling, wall textures, weapon image, frame-rate label), compared with
// reference images: one small world seen from two start cells.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/cells.h"
#include "app/game_state.h"
#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/present.h"
#include "platform/win32/headless/headless.h"
#include "tests/render/d3dx8_refimage.h"
#include "tests/unit/game/run_fixture.h"

using namespace gametest;

namespace {

// A room of 6 x 8 cells with walls of six materials; `start` marks the start cell's row and
// column.
std::string RoomWorld(int startRow, int startCol) {
    std::vector<std::vector<int>> cells = {{1, 1, 1, 1, 1, 1, 1, 1},    {1, 12, 12, 12, 5, 12, 12, 1},
                                           {1, 12, 9, 12, 12, 12, 4, 1}, {1, 12, 12, 12, 3, 12, 12, 1},
                                           {1, 12, 7, 12, 12, 12, 12, 1}, {1, 1, 2, 2, 2, 2, 1, 1}};
    cells[size_t(startRow - 1)][size_t(startCol - 1)] = ModMain::kStartCell;
    return WorldText(6, 8, 8, 11, cells);
}

// Runs the world in a child process and writes its first presented frame to `file`.
void CaptureFirstFrame(const std::string& world, const std::string& file) {
    rt::headless::Use();
    SelectWorld(world);
    RunGame({[file] {
        if (ModMain::Running != rt::True) return false;
        const auto& frame = d3d8::LastPresentedFrame();
        GAME_CHECK(frame.count == 1);  // the first pass's frame, nothing later
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(frame.pixels.data()),
                  std::streamsize(frame.pixels.size() * sizeof(uint32_t)));
        GAME_CHECK(out.good());
        GAME_CHECK(frame.width == 640 && frame.height == 480);
        return true;
    }});
}

void ExpectFirstFrame(const std::string& world, const std::string& name) {
    const std::string file = "/tmp/quorvane-" + name + "-" + std::to_string(getpid()) + ".raw";
    EXPECT_EXIT(CaptureFirstFrame(world, file), testing::ExitedWithCode(0), "script complete");
    std::ifstream in(file, std::ios::binary);
    ASSERT_TRUE(in.good());
    std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
    std::remove(file.c_str());
    ASSERT_EQ(bytes.size(), size_t(640) * 480 * 4);
    std::vector<uint32_t> pixels(640 * 480);
    std::memcpy(pixels.data(), bytes.data(), bytes.size());
    // The label's glyphs may round differently with another FreeType; allow a few pixels.
    d3dx8ref::ExpectMatchesReference(name, pixels, 640, 480, 3, 150);
}

}  // namespace

TEST(GameFirstFrame, FromTheNorthWestCornerAlongTheRoom) {
    ExpectFirstFrame(RoomWorld(2, 2), "game_first_frame_corner");
}

TEST(GameFirstFrame, FromTheMiddleOfTheWestWall) {
    ExpectFirstFrame(RoomWorld(4, 2), "game_first_frame_middle");
}
