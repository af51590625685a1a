#include "platform/runtime/textfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <gtest/gtest.h>
#include <vector>

#include "bounded_process.h"
#include "platform/runtime/errors.h"
#include "tempdir.h"

namespace {

int ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const rt::RuntimeError& e) {
        return e.Number();
    }
    return 0;
}

// Every line of the file holding `bytes`, read until EOF_.
std::vector<std::string> Lines(const std::string& bytes) {
    TempDir dir;
    std::string path = dir.Write("f.txt", bytes);
    int n = rt::FreeFile();
    rt::OpenForInput(n, path);
    std::vector<std::string> lines;
    while (!rt::EOF_(n)) lines.push_back(rt::LineInput(n));
    EXPECT_EQ(ErrorOf([&] { rt::LineInput(n); }), rt::ErrInputPastEnd);
    rt::Close(n);
    return lines;
}

using L = std::vector<std::string>;

}  // namespace

TEST(LineInput, CrLfAndLoneCrEndALineLoneLfDoesNot) {
    EXPECT_EQ(Lines("a\r\nb\rc"), (L{"a", "b", "c"}));
    EXPECT_EQ(Lines("a\nb\r\n"), (L{"a\nb"}));
    EXPECT_EQ(Lines("a\r\r\nb"), (L{"a", "", "b"}));
    EXPECT_EQ(Lines("\r\n\r\n"), (L{"", ""}));
    EXPECT_EQ(Lines("x\n"), (L{"x\n"}));
}

TEST(LineInput, ALoneLineFeedIsNotedOnceALineHoldsOne) {
    TempDir dir;
    const int n = rt::FreeFile();
    rt::OpenForInput(n, dir.Write("lf.txt", "a\r\nb\nc\r\nd"));
    rt::LineInput(n);
    EXPECT_FALSE(rt::SawLoneLineFeed(n));
    rt::LineInput(n);
    EXPECT_TRUE(rt::SawLoneLineFeed(n));
    rt::Close(n);
    // A CR LF split between two reads of the file is one line break; a lone CR is one too.
    rt::OpenForInput(n, dir.Write("crlf.txt", std::string(65535, 'x') + "\r\ny\rz\r\n"));
    while (!rt::EOF_(n)) rt::LineInput(n);
    EXPECT_FALSE(rt::SawLoneLineFeed(n));
    rt::Close(n);
    EXPECT_EQ(ErrorOf([&] { rt::SawLoneLineFeed(n); }), rt::ErrBadFileNumber);
}

TEST(LineInput, EmptyFileHasNoLine) { EXPECT_EQ(Lines(""), L{}); }

TEST(LineInput, BytesPassUnchanged) {
    std::string bytes("a\0b\xff\x1a", 5);
    EXPECT_EQ(Lines(bytes), L{bytes});
}

TEST(OpenForInput, OpenErrors) {
    TempDir dir;
    dir.Write("sub/x.txt", "1");
    int n = rt::FreeFile();
    EXPECT_EQ(ErrorOf([&] { rt::OpenForInput(n, dir.Path() + "/missing.txt"); }), rt::ErrFileNotFound);
    EXPECT_EQ(ErrorOf([&] { rt::OpenForInput(n, dir.Path() + "/nofolder/x.txt"); }), rt::ErrPathNotFound);
    EXPECT_EQ(ErrorOf([&] { rt::OpenForInput(n, dir.Path() + "/sub/x.txt/y"); }), rt::ErrPathNotFound);
    EXPECT_EQ(ErrorOf([&] { rt::OpenForInput(n, dir.Path() + "/sub"); }), rt::ErrPathFileAccess);
    EXPECT_EQ(ErrorOf([&] { rt::OpenForInput(n, ""); }), rt::ErrPathFileAccess);
    EXPECT_EQ(ErrorOf([&] { rt::OpenForInput(0, dir.Path() + "/sub/x.txt"); }), rt::ErrBadFileNumber);
    EXPECT_EQ(ErrorOf([&] { rt::OpenForInput(256, dir.Path() + "/sub/x.txt"); }), rt::ErrBadFileNumber);
    EXPECT_EQ(ErrorOf([&] { rt::LineInput(n); }), rt::ErrBadFileNumber);
    // A failed open leaves the number free.
    EXPECT_EQ(rt::FreeFile(), n);
}

// A data file can name anything: a device, a FIFO. Only regular files are read; everything else
// fails at once with an error instead of blocking or reading without end.
TEST(OpenForInput, OnlyRegularFilesAreRead) {
    BoundThisTestProcess();
    TempDir dir;
    const std::string fifo = dir.Path() + "/pipe.map";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string zero = dir.Path() + "/zero.map";
    ASSERT_EQ(::symlink("/dev/zero", zero.c_str()), 0);
    int n = rt::FreeFile();
    EXPECT_EQ(ErrorOf([&] { rt::OpenForInput(n, fifo); }), rt::ErrPathFileAccess);
    EXPECT_EQ(ErrorOf([&] { rt::OpenForInput(n, zero); }), rt::ErrPathFileAccess);
    EXPECT_EQ(ErrorOf([&] { rt::OpenForInput(n, dir.Path() + "\\..\\..\\dev\\zero"); }), rt::ErrPathFileAccess);
    EXPECT_EQ(ErrorOf([&] { rt::OpenForInput(n, "/dev/null"); }), rt::ErrPathFileAccess);
    EXPECT_EQ(rt::FreeFile(), n);
}

TEST(LineInput, FilesOfAnySizeAreReadLineByLineUpToTheLineLimit) {
    BoundThisTestProcess();
    TempDir dir;
    // A sparse file (its size costs no disk) of ten lines of 8 MiB, 80 MiB in all.
    const std::string big = dir.Write("big.map", "");
    constexpr off_t kLine = off_t{8} << 20;
    const int fd = ::open(big.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    for (int i = 1; i <= 10; ++i) ASSERT_EQ(::pwrite(fd, "\r", 1, i * kLine - 1), 1);
    int n = rt::FreeFile();
    rt::OpenForInput(n, big);
    EXPECT_EQ(rt::LOF(n), 10ull * kLine);
    int lines = 0;
    for (; !rt::EOF_(n); ++lines) ASSERT_EQ(rt::LineInput(n).size(), static_cast<size_t>(kLine - 1));
    EXPECT_EQ(lines, 10);
    rt::Close(n);

    // A line longer than the limit is refused, and the error names it.
    ASSERT_EQ(::ftruncate(fd, 0), 0);
    ASSERT_EQ(::pwrite(fd, "a\r", 2, 0), 2);
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(2 * rt::MaxTextLineBytes)), 0);
    ::close(fd);
    rt::OpenForInput(n, big);
    EXPECT_EQ(rt::LineInput(n), "a");
    try {
        rt::LineInput(n);
        ADD_FAILURE() << "a line beyond the limit was read";
    } catch (const rt::RuntimeError& e) {
        EXPECT_EQ(e.Number(), rt::ErrOutOfMemory);
        EXPECT_EQ(e.Detail(), "line 2 is longer than " + std::to_string(rt::MaxTextLineBytes) + " bytes");
    }
    rt::Close(n);
}

TEST(OpenForInput, BackslashesAndAnyCase) {
    TempDir dir;
    dir.Write("Data/Maps/Level1.map", "ok");
    std::string win = dir.Path() + "\\DATA\\maps\\level1.MAP";
    int n = rt::FreeFile();
    rt::OpenForInput(n, win);
    EXPECT_EQ(rt::LineInput(n), "ok");
    rt::Close(n);
}

TEST(FreeFile, NumbersAreTakenAndGivenBack) {
    TempDir dir;
    std::string p = dir.Write("a.txt", "1\r2");
    int a = rt::FreeFile();
    EXPECT_EQ(a, 1);
    rt::OpenForInput(a, p);
    int b = rt::FreeFile();
    EXPECT_EQ(b, 2);
    EXPECT_EQ(ErrorOf([&] { rt::OpenForInput(a, p); }), rt::ErrFileAlreadyOpen);
    rt::OpenForInput(b, p);
    // Two numbers on one file read independently.
    EXPECT_EQ(rt::LineInput(a), "1");
    EXPECT_EQ(rt::LineInput(b), "1");
    EXPECT_EQ(rt::LineInput(a), "2");
    rt::Close(a);
    EXPECT_EQ(rt::FreeFile(), 1);
    rt::Close(a);  // closing twice is harmless
    rt::CloseAll();
    EXPECT_EQ(ErrorOf([&] { rt::EOF_(b); }), rt::ErrBadFileNumber);
}

TEST(FreeFile, AllNumbersTaken) {
    TempDir dir;
    std::string p = dir.Write("a.txt", "");
    for (int i = 1; i <= rt::MaxFileNumber; ++i) rt::OpenForInput(rt::FreeFile(), p);
    EXPECT_EQ(ErrorOf([] { rt::FreeFile(); }), rt::ErrTooManyFiles);
    rt::CloseAll();
    EXPECT_EQ(rt::FreeFile(), 1);
}

TEST(FileCloser, ClosesWhenAnErrorPassesThrough) {
    TempDir dir;
    std::string p = dir.Write("a.txt", "");
    int n = rt::FreeFile();
    EXPECT_THROW(
        {
            rt::OpenForInput(n, p);
            rt::FileCloser closer(n);
            rt::LineInput(n);
        },
        rt::RuntimeError);
    EXPECT_EQ(rt::FreeFile(), n);
}
