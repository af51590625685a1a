#include "platform/runtime/paths.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

#include "tempdir.h"

TEST(HostPath, SeparatorsBecomeSlashesAndCollapse) {
    EXPECT_EQ(rt::HostPath("\\no\\such\\\\place//x.bmp"), "/no/such/place/x.bmp");
    EXPECT_EQ(rt::HostPath("rel\\x"), "rel/x");
    EXPECT_EQ(rt::HostPath("\\"), "/");
    EXPECT_EQ(rt::HostPath(""), "");
}

TEST(HostPath, NamesAreFoundIgnoringCase) {
    TempDir dir;
    dir.Write("Data/Textures/Phaser Type 3.bmp", "x");
    EXPECT_EQ(rt::HostPath(dir.Path() + "\\data\\TEXTURES\\phaser type 3.BMP"),
              dir.Path() + "/Data/Textures/Phaser Type 3.bmp");
    // A trailing separator stays; a missing name and everything below it stay as written.
    EXPECT_EQ(rt::HostPath(dir.Path() + "\\DATA\\"), dir.Path() + "/Data/");
    EXPECT_EQ(rt::HostPath(dir.Path() + "\\data\\Nope\\TEXTURES"), dir.Path() + "/Data/Nope/TEXTURES");
}

TEST(HostPath, ExactNameWinsAndAmbiguityIsDecidedByByteOrder) {
    TempDir dir;
    dir.Write("maps/a", "");
    dir.Write("Maps/b", "");
    dir.Write("MAPS/c", "");
    EXPECT_EQ(rt::HostPath(dir.Path() + "/Maps/b"), dir.Path() + "/Maps/b");
    EXPECT_EQ(rt::HostPath(dir.Path() + "/mAPs"), dir.Path() + "/MAPS");
}

TEST(HostPath, RelativeToTheWorkingFolder) {
    TempDir dir;
    dir.Write("Sub/F.txt", "");
    std::string old = std::filesystem::current_path().string();
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    EXPECT_EQ(rt::HostPath("sub\\f.TXT"), "Sub/F.txt");
    EXPECT_EQ(rt::HostPath(".\\sub\\..\\SUB"), "./Sub/../Sub");
    ASSERT_EQ(chdir(old.c_str()), 0);
}

TEST(ProgramFolder, IsTheExecutablesFolderWithBackslashes) {
    std::string folder = rt::ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.find('/'), std::string::npos);
    EXPECT_NE(folder.back(), '\\');
    std::string exe = std::filesystem::read_symlink("/proc/self/exe").filename().string();
    EXPECT_TRUE(std::filesystem::exists(rt::HostPath(folder + "\\" + exe)));
}
