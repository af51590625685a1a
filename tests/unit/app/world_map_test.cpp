#include "app/world_map.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

#include "../runtime/tempdir.h"
#include "app/frmWindowed_world.h"
#include "platform/runtime/textfile.h"
#include "tests/unit/runtime/error_of.h"

using ModMain::CeilingTexture;
using ModMain::FloorTexture;
using ModMain::LoadMap;
using ModMain::Map;

namespace {

// The resident memory of this process, in bytes.
uint64_t ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    uint64_t size = 0, resident = 0;
    statm >> size >> resident;
    return resident * static_cast<uint64_t>(::sysconf(_SC_PAGESIZE));
}

class WorldMap : public ::testing::Test {
protected:
    // Writes a world file and reads it.
    void Load(const std::string& bytes) { LoadMap(dir_.Write("w.map", bytes)); }
    // The error number LoadMap raises for the file holding `bytes` (0 when it succeeds).
    int LoadError(const std::string& bytes) {
        return rttest::ErrorOf([&] { Load(bytes); });
    }
    // The number and the detail of the error LoadMap raises for the file holding `bytes`.
    std::string LoadFailure(const std::string& bytes) {
        const rt::RuntimeError e = rttest::RaisedBy([&] { Load(bytes); });
        return e.Number() == 0 ? "no error" : std::to_string(e.Number()) + " " + e.Detail();
    }
    void TearDown() override {
        // Every failure closes the file: file number 1 is free again.
        EXPECT_EQ(rt::FreeFile(), 1);
    }
    TempDir dir_;
};

}  // namespace

TEST_F(WorldMap, ReadsGridAndTextures) {
    Load("2,3,1,12\r\n1,12,1\r\n13,12,2\r\n");
    ASSERT_EQ(Map.UBound(1), 2);
    ASSERT_EQ(Map.UBound(2), 3);
    EXPECT_EQ(Map(1, 1), 1);
    EXPECT_EQ(Map(1, 2), 12);
    EXPECT_EQ(Map(2, 1), 13);
    EXPECT_EQ(Map(2, 3), 2);
    for (int c = 0; c <= 3; ++c) EXPECT_EQ(Map(0, c), 0);
    for (int r = 0; r <= 2; ++r) EXPECT_EQ(Map(r, 0), 0);
    EXPECT_EQ(FloorTexture, 1);
    EXPECT_EQ(CeilingTexture, 12);
}

TEST_F(WorldMap, LoneCrEndsLinesLoneLfDoesNot) {
    Load("2,2,3,4\r5,6\r7,8");
    EXPECT_EQ(Map(1, 2), 6);
    EXPECT_EQ(Map(2, 1), 7);
    // An LF inside a line is an ordinary character: "9\n,10" has the fields "9\n" and "10",
    // and the LF is a blank of the number rule.
    Load("1,2,0,0\r\n9\n,10\r\n");
    EXPECT_EQ(Map(1, 1), 9);
    EXPECT_EQ(Map(1, 2), 10);
    // LF-only files are one long line: the header swallows the rows and the next read fails.
    EXPECT_EQ(LoadError("1,1,1,1\n5\n"), rt::ErrInputPastEnd);
}

TEST_F(WorldMap, AFileWithLfLineEndsSaysSoInItsError) {
    // The number is what it always was; the detail also names the line ends and the cure.
    const std::string lf = LoadFailure("2,2,1,1\n1,1\n1,1\n");
    EXPECT_EQ(lf.rfind("62 ", 0), 0u) << lf;
    EXPECT_NE(lf.find("w.map, line 2 ("), std::string::npos) << lf;
    for (const char* words : {"end in LF", "need CR LF", "unix2dos", "sed -i 's/$/\\r/'"})
        EXPECT_NE(lf.find(words), std::string::npos) << lf;
    EXPECT_EQ(lf.find('\n'), std::string::npos) << "one line";
    // Files with CR LF or lone CR line ends get no such note.
    for (const char* text : {"2,2,1,1\r\n1,1\r\n", "2,2,1,1\r1,1\r", "1,1,40000,1\r\n1"}) {
        const std::string failure = LoadFailure(text);
        EXPECT_NE(failure.find("w.map, line "), std::string::npos) << failure;
        EXPECT_EQ(failure.find("LF"), std::string::npos) << failure;
    }
}

TEST_F(WorldMap, SpacesAnywhereChangeNothing) {
    Load("  2 , 3,1,12   \r\n 1 , 1 2,1\r\n1 3,12 ,2\r\n");
    EXPECT_EQ(Map.UBound(1), 2);
    EXPECT_EQ(Map.UBound(2), 3);
    EXPECT_EQ(FloorTexture, 1);
    EXPECT_EQ(CeilingTexture, 12);
    EXPECT_EQ(Map(1, 2), 12);
    EXPECT_EQ(Map(2, 1), 13);
}

TEST_F(WorldMap, ExtraFieldsAndLinesIgnoredMissingCellsZero) {
    Load("2,2,1,1,99\r\n1,2,3,4\r\n5\r\nnot read\r\n");
    EXPECT_EQ(Map(1, 1), 1);
    EXPECT_EQ(Map(1, 2), 2);
    EXPECT_EQ(Map(2, 1), 5);
    EXPECT_EQ(Map(2, 2), 0);
    Load("2,2,1,1\r\n\r\n3,4");  // an empty row line
    EXPECT_EQ(Map(1, 1), 0);
    EXPECT_EQ(Map(1, 2), 0);
    EXPECT_EQ(Map(2, 2), 4);
}

TEST_F(WorldMap, NumberRuleOnCells) {
    Load("1,5,1,1\r\n4.5,5.5,&HC,7x,x7\r\n");
    EXPECT_EQ(Map(1, 1), 4);
    EXPECT_EQ(Map(1, 2), 6);
    EXPECT_EQ(Map(1, 3), 12);
    EXPECT_EQ(Map(1, 4), 7);
    EXPECT_EQ(Map(1, 5), 0);
}

TEST_F(WorldMap, EmptyGridAndSecondLoadReplacesTheFirst) {
    Load("3,3,1,1\r\n1,1,1\r\n1,1,1\r\n1,1,1\r\n");
    Load("0,0,1,1");
    EXPECT_EQ(Map.UBound(1), 0);
    EXPECT_EQ(Map.UBound(2), 0);
    EXPECT_EQ(Map(0, 0), 0);
}

TEST_F(WorldMap, MissingHeaderFieldsReadZero) {
    Load("1\r\n\r\n");  // one row of no cells: the row line is empty
    EXPECT_EQ(Map.UBound(1), 1);
    EXPECT_EQ(Map.UBound(2), 0);
    EXPECT_EQ(FloorTexture, 0);
    EXPECT_EQ(CeilingTexture, 0);
}

TEST_F(WorldMap, TooFewLinesFailsAndKeepsWhatWasRead) {
    EXPECT_EQ(LoadError("3,3,1,1\r\n1,2,3\r\n4,5,6\r\n"), rt::ErrInputPastEnd);
    EXPECT_EQ(Map.UBound(1), 3);
    EXPECT_EQ(Map(2, 3), 6);
    EXPECT_EQ(Map(3, 1), 0);
    EXPECT_EQ(LoadError(""), rt::ErrInputPastEnd);
}

TEST_F(WorldMap, OpenFailures) {
    EXPECT_EQ(LoadError("1,1,1,1\r\n1"), 0);
    auto errorFor = [](const std::string& path) { return rttest::ErrorOf([&] { LoadMap(path); }); };
    EXPECT_EQ(errorFor(dir_.Path() + "\\none.map"), rt::ErrFileNotFound);
    EXPECT_EQ(errorFor(dir_.Path() + "\\nofolder\\w.map"), rt::ErrPathNotFound);
    EXPECT_EQ(errorFor(dir_.Path()), rt::ErrPathFileAccess);
    // The grid of the last good load is untouched.
    EXPECT_EQ(Map(1, 1), 1);
}

TEST_F(WorldMap, FindsTheFileIgnoringCase) {
    dir_.Write("Maps/Level.map", "1,1,2,3\r\n4");
    LoadMap(dir_.Path() + "\\MAPS\\level.MAP");
    EXPECT_EQ(Map(1, 1), 4);
}

TEST_F(WorldMap, OverflowingNumbers) {
    EXPECT_EQ(LoadError("1,1,40000,1\r\n1"), rt::ErrOverflow);
    EXPECT_EQ(LoadError("1,1,1,-32769\r\n1"), rt::ErrOverflow);
    EXPECT_EQ(LoadError("2147483648,1,1,1"), rt::ErrOverflow);
    EXPECT_EQ(LoadError("1,1E10,1,1"), rt::ErrOverflow);
    EXPECT_EQ(LoadError("1,2,1,1\r\n1,32768"), rt::ErrOverflow);
    EXPECT_EQ(Map(1, 1), 1);  // cells before the failing one were stored
    EXPECT_EQ(LoadError("1,1,1,1\r\n1E400"), rt::ErrOverflow);
    EXPECT_EQ(LoadError("1,1,1,1\r\n-32768"), 0);
    EXPECT_EQ(Map(1, 1), -32768);
}

TEST_F(WorldMap, NegativeBoundsFailAndKeepTheFormerGrid) {
    Load("1,1,1,1\r\n5");
    EXPECT_EQ(LoadError("-1,3,1,1"), rt::ErrSubscript);
    EXPECT_EQ(LoadError("3,-1,1,1"), rt::ErrSubscript);
    EXPECT_EQ(Map.UBound(1), 1);
    EXPECT_EQ(Map(1, 1), 5);
}

TEST_F(WorldMap, HugeHeadersFailCleanly) {
    EXPECT_EQ(LoadError("2147483647,2147483647,1,1"), rt::ErrOutOfMemory);
    EXPECT_EQ(LoadError("100000,100000,1,1"), rt::ErrOutOfMemory);
    EXPECT_EQ(LoadError("32767,32767,1,1"), rt::ErrOutOfMemory);
    // A grid that fits but whose row count passes the 16-bit counter fails before reading a row.
    EXPECT_EQ(LoadError("40000,1,1,1\r\n" + std::string(40000, '1')), rt::ErrOverflow);
    EXPECT_EQ(Map.UBound(1), 40000);
    // As many columns as the grid can have, with no row to fill: the column counter never runs.
    EXPECT_EQ(LoadError("0,40000,1,1"), 0);
    EXPECT_EQ(LoadError("1,40000,1,1\r\n" + std::string(40000, ' ') + "\r\n"), rt::ErrOverflow);
}

TEST_F(WorldMap, HeaderErrorsComeInReadingOrderWhateverTheFileSize) {
    // A row bound beyond the 16-bit counter overflows when the row loop starts, even with no row.
    EXPECT_EQ(LoadError("40000,2,1,1"), rt::ErrOverflow);
    // The floor number is converted before any row is read.
    EXPECT_EQ(LoadError("5,5,40000,1"), rt::ErrOverflow);
    // 2 x 9 cells from 15 bytes: the missing cells read 0.
    EXPECT_EQ(LoadError("2,9,1,1\r\n1\r\n1\r\n"), 0);
    EXPECT_EQ(Map.UBound(2), 9);
    EXPECT_EQ(Map(2, 1), 1);
    EXPECT_EQ(Map(1, 2), 0);
    EXPECT_EQ(Map(2, 9), 0);
}

TEST_F(WorldMap, AWideGridOfShortLinesCostsWhatTheFileHolds) {
    // 46 KB asking for 23000 x 23000 cells, a grid of 1 GB: only the cells the lines hold are
    // written, so the rest of the grid's pages are never touched.
    std::string text = "23000,23000,1,2\r\n";
    for (int r = 1; r < 23000; ++r) text += "\r\n";
    text += "3,4\r\n";
    const uint64_t before = ResidentBytes();
    auto grownMB = [&] { return (std::max(ResidentBytes(), before) - before) >> 20; };
    Load(text);
    EXPECT_LT(grownMB(), 64u);
    EXPECT_EQ(Map.UBound(1), 23000);
    EXPECT_EQ(Map.UBound(2), 23000);
    EXPECT_EQ(Map(23000, 1), 3);
    EXPECT_EQ(Map(23000, 2), 4);
    EXPECT_EQ(Map(23000, 3), 0);
    EXPECT_EQ(Map(1, 1), 0);
    // The world build stops at cell (1, 1), code 0, and so does its memory estimate: floor and
    // ceiling are all it counts, and neither looks at the rest of the grid.
    EXPECT_EQ(GameWorld::WorldBytesNeeded(), 4 * GameWorld::kBytesPerWorldTriangle);
    EXPECT_EQ(rttest::ErrorOf(GameWorld::BuildWorld), rt::ErrSubscript);
    EXPECT_LT(grownMB(), 64u);
    Map.Erase();
}

TEST_F(WorldMap, TheMemoryEstimateCountsWallsUpToTheCellTheBuildStopsAt) {
    // Eight triangles per wall block, four for floor and ceiling; open floor and start cells add
    // none, and the count ends at code 0 in (2, 2), where the build stops.
    Load("2,3,1,1\r\n1,12,11\r\n13,0,3\r\n");
    EXPECT_EQ(GameWorld::WorldBytesNeeded(), (2 * 8 + 4) * GameWorld::kBytesPerWorldTriangle);
    Load("2,2,1,1\r\n1,12\r\n13,5\r\n");
    EXPECT_EQ(GameWorld::WorldBytesNeeded(), (2 * 8 + 4) * GameWorld::kBytesPerWorldTriangle);
}

TEST_F(WorldMap, CounterOverflowsAfterTheLastCellAt32767) {
    // 32767 columns: every cell is read, then the column counter passes 32767.
    std::string row;
    for (int c = 1; c <= 32767; ++c) row += "12,";
    EXPECT_EQ(LoadError("1,32767,1,1\r\n" + row), rt::ErrOverflow);
    EXPECT_EQ(Map(1, 32767), 12);
    // A short row line likewise: its cells are stored, the rest read 0, then the counter passes.
    EXPECT_EQ(LoadError("2,32767,1,1\r\n5,6\r\n7"), rt::ErrOverflow);
    EXPECT_EQ(Map(1, 2), 6);
    EXPECT_EQ(Map(1, 32767), 0);
    EXPECT_EQ(Map(2, 1), 0);  // the second row is never read
    // 32767 rows likewise: the last row is read, then the row counter overflows.
    std::string rows = "32767,1,1,1\r\n";
    for (int r = 1; r <= 32767; ++r) rows += "1\r\n";
    EXPECT_EQ(LoadError(rows), rt::ErrOverflow);
    EXPECT_EQ(Map(32767, 1), 1);
    // One less is fine.
    rows = "32766,1,1,1\r\n";
    for (int r = 1; r <= 32766; ++r) rows += "1\r";
    EXPECT_EQ(LoadError(rows), 0);
}
