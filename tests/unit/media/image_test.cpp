// The image decoder: palettised BMPs of every depth (our reader), true-colour BMPs, PNG and TGA
// (stb_image), JPEG (libjpeg), and damaged files.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/media/image.h"
#include "platform/media/bytes.h"
#include "bmp_bytes.h"

using media::DecodeImage;
using media::Image;

namespace {

std::vector<uint8_t> ReadTestFile(const std::string& name) {
    std::ifstream f(std::string(QV_SOURCE_DIR) + "/tests/data/images/" + name, std::ios::binary);
    EXPECT_TRUE(f.good()) << name;
    return {std::istreambuf_iterator<char>(f), {}};
}

Image Decode(const std::vector<uint8_t>& bytes) {
    Image img;
    std::string why;
    EXPECT_TRUE(DecodeImage(bytes.data(), bytes.size(), img, why)) << why;
    return img;
}

bool Fails(const std::vector<uint8_t>& bytes) {
    Image img;
    std::string why;
    const bool ok = DecodeImage(bytes.data(), bytes.size(), img, why);
    if (!ok) {
        EXPECT_FALSE(why.empty());
    }
    return !ok;
}

// Why the decoder refuses the file, or "decoded" when it takes it.
std::string Refusal(const std::vector<uint8_t>& bytes) {
    Image img;
    std::string why;
    return DecodeImage(bytes.data(), bytes.size(), img, why) ? std::string("decoded") : why;
}

// The 3 x 2 test picture: red, green, blue over white, black, magenta.
const uint32_t kPicture[6] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF, 0xFF000000, 0xFFFF00FF};
const std::vector<uint32_t> kPalette = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0xFF00FF};

void ExpectPicture(const Image& img) {
    ASSERT_EQ(img.Width, 3);
    ASSERT_EQ(img.Height, 2);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(img.Pixels[i], kPicture[i]) << "pixel " << i;
}

// A TGA of `type` stored top row first: header, identification field `id`, colour map `map`
// (24-bit entries, written only for the colour-mapped types), then `data`.
std::vector<uint8_t> Tga(uint8_t type, uint16_t width, uint16_t height, uint8_t bits, const std::vector<uint8_t>& data,
                         const std::vector<uint8_t>& id = {}, const std::vector<uint8_t>& map = {}) {
    const bool mapped = type == 1 || type == 9;
    std::vector<uint8_t> t = {static_cast<uint8_t>(id.size()), mapped ? uint8_t{1} : uint8_t{0}, type, 0, 0};
    media::PutLe16(t, static_cast<uint32_t>(map.size() / 3));
    t.push_back(mapped ? 24 : 0);
    media::PutLe32(t, 0);  // origin
    media::PutLe16(t, width);
    media::PutLe16(t, height);
    t.push_back(bits);
    t.push_back(0x20);  // top row first
    t.insert(t.end(), id.begin(), id.end());
    t.insert(t.end(), map.begin(), map.end());
    t.insert(t.end(), data.begin(), data.end());
    return t;
}

// The test picture's colours as B, G, R bytes, in picture order.
const std::vector<uint8_t> kPictureBgr = {0, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0xFF, 0, 0xFF};

// Run-length TGAs, one of each kind: a packet byte n < 128 is followed by n + 1 values, n >= 128
// by one value for n - 127 pixels; packets may run on into the next row.
std::vector<uint8_t> RleTrueColourTga() {
    std::vector<uint8_t> data = {0x01};  // raw: red, green; then raw: blue and the bottom row
    data.insert(data.end(), kPictureBgr.begin(), kPictureBgr.begin() + 6);
    data.push_back(0x03);
    data.insert(data.end(), kPictureBgr.begin() + 6, kPictureBgr.end());
    return Tga(10, 3, 2, 24, data, {'i', 'd'});
}
std::vector<uint8_t> RleColourMappedTga() {
    return Tga(9, 3, 2, 8, {0x05, 0, 1, 2, 3, 4, 5}, {'m', 'a', 'p'}, kPictureBgr);
}
std::vector<uint8_t> RleGreyTga() {
    return Tga(11, 3, 2, 8, {0x83, 10, 0x81, 200});  // four pixels of 10, two of 200
}

}  // namespace

TEST(PalettedBmp, EightBitsBottomUpRowsArePadded) {
    // Stored bottom row first; 3 index bytes + 1 pad byte per row.
    const auto bytes = bmptest::Bmp(8, 3, 2, kPalette, {3, 4, 5, 0, 0, 1, 2, 0});
    const Image img = Decode(bytes);
    ExpectPicture(img);
    EXPECT_FALSE(img.HasAlpha);
}

TEST(PalettedBmp, EightBitsTopDown) {
    const auto bytes = bmptest::Bmp(8, 3, -2, kPalette, {0, 1, 2, 0, 3, 4, 5, 0});
    ExpectPicture(Decode(bytes));
}

TEST(PalettedBmp, FourBitsHighNibbleFirst) {
    // Row bytes: indexes 3,4 | 5,pad -> 0x34 0x50, padded to four bytes.
    const auto bytes = bmptest::Bmp(4, 3, 2, kPalette, {0x34, 0x50, 0, 0, 0x01, 0x20, 0, 0});
    ExpectPicture(Decode(bytes));
}

TEST(PalettedBmp, OneBitMostSignificantBitFirst) {
    // 10 pixels wide: 1010011001 (top row) and its inverse below.
    const std::vector<uint32_t> pal = {0x000000, 0xFFFFFF};
    const auto bytes = bmptest::Bmp(1, 10, 2, pal, {0x59, 0x80, 0, 0, 0xA6, 0x40, 0, 0});
    const Image img = Decode(bytes);
    ASSERT_EQ(img.Width, 10);
    const char* top = "1010011001";
    for (int x = 0; x < 10; ++x) {
        const uint32_t want = top[x] == '1' ? 0xFFFFFFFF : 0xFF000000;
        EXPECT_EQ(img.Pixels[x], want) << x;
        EXPECT_EQ(img.Pixels[10 + x], want ^ 0x00FFFFFF) << x;
    }
}

TEST(PalettedBmp, ShortPaletteAndIndexesPastItReadBlack) {
    // colorsUsed 2: indexes 2..255 have no entry.
    const auto bytes = bmptest::Bmp(8, 3, 1, {0xFF0000, 0x00FF00}, {0, 1, 200, 0}, 0, 2);
    const Image img = Decode(bytes);
    EXPECT_EQ(img.Pixels[0], 0xFFFF0000u);
    EXPECT_EQ(img.Pixels[1], 0xFF00FF00u);
    EXPECT_EQ(img.Pixels[2], 0xFF000000u);
}

TEST(PalettedBmp, RunLengthEightBits) {
    // Bottom row: run of 3 x index 3; end of line; top row: literal 0,1,2 (padded); end.
    const std::vector<uint8_t> rle = {3, 3, 0, 0, 0, 3, 0, 1, 2, 0, 0, 1};
    const auto bytes = bmptest::Bmp(8, 3, 2, kPalette, rle, 1);
    const Image img = Decode(bytes);
    EXPECT_EQ(img.Pixels[0], kPicture[0]);
    EXPECT_EQ(img.Pixels[2], kPicture[2]);
    for (int i = 3; i < 6; ++i) EXPECT_EQ(img.Pixels[i], 0xFFFFFFFFu);
}

TEST(PalettedBmp, RunLengthFourBitsAlternatesNibbles) {
    // A run of 3 with 0x45 gives 4, 5, 4.
    const std::vector<uint8_t> rle = {3, 0x45, 0, 1};
    const auto bytes = bmptest::Bmp(4, 3, 1, kPalette, rle, 2);
    const Image img = Decode(bytes);
    EXPECT_EQ(img.Pixels[0], kPicture[4]);
    EXPECT_EQ(img.Pixels[1], kPicture[5]);
    EXPECT_EQ(img.Pixels[2], kPicture[4]);
}

TEST(PalettedBmp, DamagedFilesAreRefused) {
    const auto good = bmptest::Bmp(8, 3, 2, kPalette, {3, 4, 5, 0, 0, 1, 2, 0});
    auto cut = good;  // pixel data cut short
    cut.resize(cut.size() - 3);
    EXPECT_TRUE(Fails(cut));
    auto badOffset = good;  // pixel data said to start past the end
    badOffset[10] = 0xFF;
    badOffset[11] = 0xFF;
    EXPECT_TRUE(Fails(badOffset));
    auto huge = good;  // 0x7FFFFFFF pixels wide
    huge[18] = huge[19] = huge[20] = 0xFF;
    huge[21] = 0x7F;
    EXPECT_TRUE(Fails(huge));
    auto zero = good;  // no pixels
    zero[18] = zero[19] = zero[20] = zero[21] = 0;
    EXPECT_TRUE(Fails(zero));
    auto planes = good;  // planes must be 1
    planes[26] = 2;
    EXPECT_TRUE(Fails(planes));
    // Run-length data with a literal run past the end.
    EXPECT_TRUE(Fails(bmptest::Bmp(8, 3, 1, kPalette, {0, 9, 1, 2}, 1)));
    // Run-length compression on the wrong depth.
    EXPECT_TRUE(Fails(bmptest::Bmp(4, 3, 1, kPalette, {3, 0x45, 0, 1}, 1)));
}

TEST(TrueColourImages, Bmp24FromFile) {
    const Image img = Decode(ReadTestFile("bmp24_3x2.bmp"));
    ExpectPicture(img);
    EXPECT_FALSE(img.HasAlpha);
}

TEST(TrueColourImages, Bmp32WithoutMasksIgnoresItsFourthByte) {
    // Stored bottom row first, B G R X with X = 0x00 on some pixels and 0x80 on others: the
    // fourth byte is padding, every pixel is opaque.
    const std::vector<uint8_t> px = {0xFF, 0xFF, 0xFF, 0x00, 0, 0, 0, 0x80, 0xFF, 0, 0xFF, 0x00,
                                     0, 0, 0xFF, 0x80, 0, 0xFF, 0, 0x00, 0xFF, 0, 0, 0x00};
    const Image img = Decode(bmptest::Bmp(32, 3, 2, {}, px));
    ExpectPicture(img);
    EXPECT_FALSE(img.HasAlpha);
}

TEST(TrueColourImages, TopDownBmpReadsItsFirstStoredRowAsTheTop) {
    // The rows of the test above in the other order, with a negative height.
    const std::vector<uint8_t> px = {0, 0, 0xFF, 0x80, 0, 0xFF, 0, 0x00, 0xFF, 0, 0, 0x00,
                                     0xFF, 0xFF, 0xFF, 0x00, 0, 0, 0, 0x80, 0xFF, 0, 0xFF, 0x00};
    const Image img = Decode(bmptest::Bmp(32, 3, -2, {}, px));
    ExpectPicture(img);
}

TEST(TrueColourImages, Bmp16FiveFiveFive) {
    // 0x7C00 red, 0x03E0 green, 0x001F blue (one row, padded to four bytes).
    const std::vector<uint8_t> px = {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0, 0};
    const Image img = Decode(bmptest::Bmp(16, 3, 1, {}, px));
    EXPECT_EQ(img.Pixels[0], 0xFFFF0000u);
    EXPECT_EQ(img.Pixels[1], 0xFF00FF00u);
    EXPECT_EQ(img.Pixels[2], 0xFF0000FFu);
}

TEST(TrueColourImages, PngWithAndWithoutAlpha) {
    const Image rgb = Decode(ReadTestFile("rgb3x2.png"));
    ExpectPicture(rgb);
    EXPECT_FALSE(rgb.HasAlpha);
    const Image rgba = Decode(ReadTestFile("rgba3x2.png"));
    EXPECT_TRUE(rgba.HasAlpha);
    EXPECT_EQ(rgba.Pixels[0], kPicture[0]);
    // The last pixel is half-transparent magenta.
    EXPECT_EQ(rgba.Pixels[5] & 0x00FFFFFF, 0x00FF00FFu);
    EXPECT_NEAR(static_cast<int>(rgba.Pixels[5] >> 24), 128, 1);
}

TEST(TrueColourImages, Tga24And32) {
    const Image t24 = Decode(ReadTestFile("tga24_3x2.tga"));
    ExpectPicture(t24);
    EXPECT_FALSE(t24.HasAlpha);
    const Image t32 = Decode(ReadTestFile("tga32_3x2.tga"));
    EXPECT_TRUE(t32.HasAlpha);
    EXPECT_EQ(t32.Pixels[0], kPicture[0]);
    EXPECT_EQ(t32.Pixels[5], 0x7FFF00FFu);
}

TEST(TrueColourImages, RunLengthTgaOfEveryKind) {
    ExpectPicture(Decode(RleTrueColourTga()));
    ExpectPicture(Decode(RleColourMappedTga()));
    const Image grey = Decode(RleGreyTga());
    ASSERT_EQ(grey.Pixels.size(), 6u);
    const uint32_t want[6] = {0xFF0A0A0A, 0xFF0A0A0A, 0xFF0A0A0A, 0xFF0A0A0A, 0xFFC8C8C8, 0xFFC8C8C8};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(grey.Pixels[i], want[i]) << i;
}

TEST(TrueColourImages, JpegIsOpaqueAndCloseToItsSource) {
    // An 8 x 8 vertical gradient from red (top) to blue (bottom).
    const Image img = Decode(ReadTestFile("grad8x8.jpg"));
    ASSERT_EQ(img.Width, 8);
    ASSERT_EQ(img.Height, 8);
    EXPECT_FALSE(img.HasAlpha);
    const uint32_t top = img.Pixels[3], bottom = img.Pixels[7 * 8 + 3];
    EXPECT_EQ(top >> 24, 0xFFu);
    EXPECT_GT((top >> 16) & 0xFF, 200u);
    EXPECT_LT(top & 0xFF, 60u);
    EXPECT_GT(bottom & 0xFF, 200u);
    EXPECT_LT((bottom >> 16) & 0xFF, 60u);
}

TEST(DamagedImages, EmptyTruncatedAndForeignDataAreRefused) {
    EXPECT_TRUE(Fails({}));
    EXPECT_TRUE(Fails({'B', 'M'}));
    const std::string text = "this is not a picture at all, just some words";
    EXPECT_TRUE(Fails(std::vector<uint8_t>(text.begin(), text.end())));
    auto png = ReadTestFile("rgb3x2.png");
    png.resize(40);
    EXPECT_TRUE(Fails(png));
    auto jpg = ReadTestFile("grad8x8.jpg");
    jpg.resize(jpg.size() / 3);
    EXPECT_TRUE(Fails(jpg));
}

TEST(DamagedImages, OversizedHeadersAreRefusedBeforeAllocating) {
    auto png = ReadTestFile("rgb3x2.png");
    // IHDR width at bytes 16..19: 100000 pixels (past the limit).
    png[16] = 0x00;
    png[17] = 0x01;
    png[18] = 0x86;
    png[19] = 0xA0;
    EXPECT_TRUE(Fails(png));
    Image img;
    std::string why;
    const auto small = ReadTestFile("rgb3x2.png");
    EXPECT_FALSE(DecodeImage(small.data(), small.size(), img, why, 2));  // 3 wide > 2
}

// A header that declares more pixels than the file holds makes no picture: the missing bytes are
// not read as zeros. The last stored row needs no padding.
TEST(DamagedImages, PixelDataShorterThanTheHeaderDeclaresIsRefused) {
    // 64 bytes that declare 8192 x 8192 true-colour pixels.
    const std::vector<uint8_t> tail(10, 0x80);
    EXPECT_EQ(Refusal(bmptest::Bmp(24, 8192, 8192, {}, tail)), "BMP pixel data truncated");
    auto bmp = ReadTestFile("bmp24_3x2.bmp");
    bmp.resize(bmp.size() - 3);  // the last row's padding
    ExpectPicture(Decode(bmp));
    bmp.pop_back();
    EXPECT_EQ(Refusal(bmp), "BMP pixel data truncated");
    // Run-length data that stops before its end mark and its last row.
    EXPECT_EQ(Refusal(bmptest::Bmp(8, 8192, 8192, kPalette, {3, 3, 0, 0}, 1)), "BMP run-length data truncated");
    EXPECT_EQ(Refusal(bmptest::Bmp(8, 3, 2, kPalette, {3, 3, 0, 0, 3, 1}, 1)), "BMP run-length data truncated");
    EXPECT_EQ(Refusal(bmptest::Bmp(8, 3, 2, kPalette, {3, 3, 0, 0, 3, 1, 0, 0}, 1)), "decoded");

    auto tga = ReadTestFile("tga24_3x2.tga");
    tga.pop_back();
    EXPECT_EQ(Refusal(tga), "TGA pixel data truncated");
    std::vector<uint8_t> tgaHeader(64, 0);  // true-colour, 8192 x 8192, 24 bits
    tgaHeader[2] = 2;
    tgaHeader[13] = tgaHeader[15] = 0x20;
    tgaHeader[16] = 24;
    EXPECT_EQ(Refusal(tgaHeader), "TGA pixel data truncated");
}

// Run-length data must reach the last pixel: a header alone would otherwise make a picture of
// 8192 x 8192 zeros.
TEST(DamagedImages, RunLengthTgaThatStopsBeforeItsLastPixelIsRefused) {
    const std::string cut = "TGA run-length data truncated";
    // Headers alone, each declaring 8192 x 8192 pixels.
    EXPECT_EQ(Refusal(Tga(10, 8192, 8192, 24, {})), cut);
    EXPECT_EQ(Refusal(Tga(11, 8192, 8192, 8, {})), cut);
    EXPECT_EQ(Refusal(Tga(9, 8192, 8192, 8, {}, {}, {0, 0, 0})), cut);
    // One run packet codes at most 128 pixels: 40 bytes cannot code a 64 x 64 picture.
    EXPECT_EQ(Refusal(Tga(11, 64, 64, 8, std::vector<uint8_t>(40, 0xFF))), cut);
    // Each good file without its last byte.
    for (auto bytes : {RleTrueColourTga(), RleColourMappedTga(), RleGreyTga()}) {
        bytes.pop_back();
        EXPECT_EQ(Refusal(bytes), cut);
    }
    // The identification field and the colour map are not pixel data, even where their bytes
    // would read as a run of 128 pixels (here the whole picture).
    EXPECT_EQ(Refusal(Tga(10, 16, 8, 24, {}, {0xFF, 1, 2, 3})), cut);
    EXPECT_EQ(Refusal(Tga(9, 16, 8, 8, {}, {}, {0xFF, 0, 0})), cut);
}

// Files that made the third-party decoder misbehave (found by fuzzing): each must be refused
// cleanly, without touching memory outside the decoder's arrays.
TEST(DamagedImages, JpegHuffmanTablesThatWouldOverflowAreRefused) {
    for (const char* name : {"bad_huffman_counts.jpg", "bad_huffman_counts_fill.jpg", "undefined_huffman_table.jpg"})
        EXPECT_TRUE(Fails(ReadTestFile(name))) << name;
}

TEST(DamagedImages, ValidJpegsStillPassTheTableChecks) {
    for (const char* name : {"grad8x8.jpg", "progressive16.jpg", "plasma16.jpg"}) {
        const Image img = Decode(ReadTestFile(name));
        EXPECT_GE(img.Width, 8) << name;
    }
}

// A JPEG cut short is refused rather than filled in grey, whether the cut falls in the headers,
// in the coded pixels, between the scans of a progressive file or just before the end marker,
// and also when an end marker has been put back after the cut.
TEST(DamagedImages, CutJpegsAreRefused) {
    for (const char* name : {"plasma64x48.jpg", "progressive16.jpg"}) {
        const auto whole = ReadTestFile(name);
        Decode(whole);
        for (const size_t percent : {10, 30, 50, 70, 90})
            EXPECT_TRUE(Fails({whole.begin(), whole.begin() + static_cast<ptrdiff_t>(whole.size() * percent / 100)}))
                << name << " cut at " << percent << "%";
        EXPECT_TRUE(Fails({whole.begin(), whole.end() - 2})) << name << " without its end marker";
    }
    const auto progressive = ReadTestFile("progressive16.jpg");
    size_t lastScan = progressive.size() - 2;
    while (lastScan > 0 && !(progressive[lastScan] == 0xFF && progressive[lastScan + 1] == 0xDA)) --lastScan;
    EXPECT_TRUE(Fails({progressive.begin(), progressive.begin() + static_cast<ptrdiff_t>(lastScan)}));

    auto patched = ReadTestFile("plasma64x48.jpg");
    patched.resize(patched.size() * 30 / 100);
    patched.insert(patched.end(), {0xFF, 0xD9});
    EXPECT_TRUE(Fails(patched));
}

// Stray bytes before a marker (some cameras write them before the end marker) change nothing.
TEST(DamagedImages, JpegWithStrayBytesBeforeAMarkerLoads) {
    const auto whole = ReadTestFile("plasma64x48.jpg");
    const std::vector<uint8_t> junk(16, 0x00);
    auto beforeTables = whole, beforeEnd = whole;
    beforeTables.insert(beforeTables.begin() + 20, junk.begin(), junk.end());  // after the JFIF segment
    beforeEnd.insert(beforeEnd.end() - 2, junk.begin(), junk.end());
    const Image want = Decode(whole);
    EXPECT_EQ(Decode(beforeTables).Pixels, want.Pixels);
    EXPECT_EQ(Decode(beforeEnd).Pixels, want.Pixels);
}

namespace {

// rgb3x2.png with a chunk inserted before its image data chunk.
std::vector<uint8_t> PngWithChunkBeforeData(const std::vector<uint8_t>& chunk) {
    auto png = ReadTestFile("rgb3x2.png");
    for (size_t p = 8; p + 8 <= png.size();) {
        const uint32_t len = media::Be32(&png[p]);
        if (std::string(png.begin() + p + 4, png.begin() + p + 8) == "IDAT") {
            png.insert(png.begin() + static_cast<ptrdiff_t>(p), chunk.begin(), chunk.end());
            return png;
        }
        p += 12 + len;
    }
    ADD_FAILURE() << "no IDAT";
    return png;
}

}  // namespace

TEST(DamagedImages, EmptyPngDataChunksAreHarmless) {
    // Length 0, "IDAT", CRC of "IDAT".
    auto png = PngWithChunkBeforeData({0, 0, 0, 0, 'I', 'D', 'A', 'T', 0x35, 0xAF, 0x06, 0x1E});
    ExpectPicture(Decode(png));
    // Bytes after the end chunk are not chunks (here one that would claim 4 GB).
    png.insert(png.end(), {0xFF, 0xFF, 0xFF, 0xFF, 'j', 'u', 'n', 'k', 1});
    ExpectPicture(Decode(png));
    // An empty data chunk cut off inside its checksum, at the end of the file.
    EXPECT_TRUE(Fails(ReadTestFile("cut_empty_idat.png")));
}

TEST(DamagedImages, PngChunksLongerThanTheFileAreRefused) {
    // A data chunk that claims a gigabyte: refused before the decoder reserves memory for it.
    EXPECT_TRUE(Fails(PngWithChunkBeforeData({0x3F, 0xFF, 0xFF, 0xFF, 'I', 'D', 'A', 'T', 0, 0, 0, 0})));
}

TEST(DamagedImages, DamagedJpegScansDecodeToSomePictureOrFail) {
    // A scan whose bits run out mid-block (stb_image's bit reader then shifts by 32 bits): the
    // decoder must come back either way with a consistent result.
    const auto bytes = ReadTestFile("damaged_scan.jpg");
    Image img;
    std::string why;
    if (DecodeImage(bytes.data(), bytes.size(), img, why)) {
        EXPECT_EQ(img.Pixels.size(), static_cast<size_t>(img.Width) * img.Height);
    } else {
        EXPECT_FALSE(why.empty());
    }
}
