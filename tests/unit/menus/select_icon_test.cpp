// The selection window's own icon, read from the embedded icon file, and damaged icon files.
#include <gtest/gtest.h>

#include <vector>

#include "app/frmSelect.h"
#include "platform/media/bytes.h"
#include "platform/runtime/errors.h"
#include "platform/win32/runtime.h"
#include "resources/resources.h"
#include "tests/unit/runtime/error_of.h"

namespace {

std::vector<unsigned char> IconBytes() {
    const auto r = GetResource("frmSelect.ico");
    return {r.begin(), r.end()};
}

int RaisedNumber(const std::vector<unsigned char>& bytes) {
    return rttest::ErrorOf([&] { rt::LoadIconFromMemory(bytes.data(), bytes.size()); });
}

// A 2 x 2 icon, 8 bits per pixel, two palette colours: top row colour 1 (red), bottom row
// colour 0 (blue); the mask leaves out the top-right pixel.
std::vector<unsigned char> TinyIcon() {
    std::vector<unsigned char> b(6 + 16 + 40 + 2 * 4 + 2 * 4 + 2 * 4, 0);
    b[2] = 1;
    b[4] = 1;
    b[6] = 2;
    b[7] = 2;
    media::StoreLe32(&b[6 + 8], 40 + 8 + 8 + 8);
    media::StoreLe32(&b[6 + 12], 22);
    const size_t d = 22;
    media::StoreLe32(&b[d], 40);
    media::StoreLe32(&b[d + 4], 2);
    media::StoreLe32(&b[d + 8], 4);
    b[d + 12] = 1;
    b[d + 14] = 8;
    media::StoreLe32(&b[d + 32], 2);
    const size_t pal = d + 40;
    b[pal + 0] = 255;      // colour 0: blue (B, G, R, 0)
    b[pal + 4 + 2] = 255;  // colour 1: red
    const size_t px = pal + 8;
    b[px + 0] = 0;  // bottom row first
    b[px + 1] = 0;
    b[px + 4] = 1;
    b[px + 5] = 1;
    const size_t mask = px + 8;
    b[mask + 4] = 0x40;  // top row (stored second): second pixel left out
    return b;
}

}  // namespace

TEST(SelectIcon, TheEmbeddedIconIsA32By32PictureWithOpaquePixels) {
    const auto bytes = IconBytes();
    ASSERT_FALSE(bytes.empty());
    const rt::StdPicture icon = rt::LoadIconFromMemory(bytes.data(), bytes.size());
    EXPECT_EQ(icon.Width, 32);
    EXPECT_EQ(icon.Height, 32);
    int opaque = 0;
    for (uint32_t p : icon.Pixels) opaque += (p >> 24) == 0xFF;
    EXPECT_GT(opaque, 32 * 32 / 4);
    EXPECT_EQ(rt::FormOf<frmSelect>().Icon().Width, 32);
}

TEST(SelectIcon, ColoursComeTopDownAndTheMaskMakesTransparency) {
    const auto bytes = TinyIcon();
    const rt::StdPicture icon = rt::LoadIconFromMemory(bytes.data(), bytes.size());
    ASSERT_EQ(icon.Width, 2);
    ASSERT_EQ(icon.Height, 2);
    EXPECT_EQ(icon.Pixels[0], 0xFFFF0000u);
    EXPECT_EQ(icon.Pixels[1], 0x00FF0000u);
    EXPECT_EQ(icon.Pixels[2], 0xFF0000FFu);
    EXPECT_EQ(icon.Pixels[3], 0xFF0000FFu);
}

TEST(SelectIcon, DamagedIconFilesAreInvalidPictures) {
    EXPECT_EQ(RaisedNumber({}), rt::ErrInvalidPicture);
    auto b = TinyIcon();
    b[2] = 2;  // a cursor file, not an icon
    EXPECT_EQ(RaisedNumber(b), rt::ErrInvalidPicture);
    b = TinyIcon();
    b[4] = 0;  // no images
    EXPECT_EQ(RaisedNumber(b), rt::ErrInvalidPicture);
    b = TinyIcon();
    media::StoreLe32(&b[6 + 12], 0xFFFFFFF0u);  // image past the end
    EXPECT_EQ(RaisedNumber(b), rt::ErrInvalidPicture);
    b = TinyIcon();
    media::StoreLe32(&b[6 + 8], 0xFFFFFFFFu);  // image longer than the file
    EXPECT_EQ(RaisedNumber(b), rt::ErrInvalidPicture);
    b = TinyIcon();
    media::StoreLe32(&b[22 + 8], 3);  // odd height: no colour and mask halves
    EXPECT_EQ(RaisedNumber(b), rt::ErrInvalidPicture);
    b = TinyIcon();
    media::StoreLe32(&b[22 + 4], 0x7FFFFFFF);  // absurd width
    EXPECT_EQ(RaisedNumber(b), rt::ErrInvalidPicture);
    b = TinyIcon();
    b[22 + 14] = 7;  // bits per pixel
    EXPECT_EQ(RaisedNumber(b), rt::ErrInvalidPicture);
    b = TinyIcon();
    b.resize(22 + 40 + 8 + 4);  // cut inside the colours
    media::StoreLe32(&b[6 + 8], static_cast<uint32_t>(b.size() - 22));
    EXPECT_EQ(RaisedNumber(b), rt::ErrInvalidPicture);
    // Cut anywhere: never more than an error.
    const auto whole = TinyIcon();
    for (size_t n = 0; n < whole.size(); ++n) {
        std::vector<unsigned char> cut(whole.begin(), whole.begin() + static_cast<long>(n));
        try {
            rt::LoadIconFromMemory(cut.data(), cut.size());
        } catch (const rt::RuntimeError& e) {
            EXPECT_EQ(e.Number(), rt::ErrInvalidPicture);
        }
    }
}
