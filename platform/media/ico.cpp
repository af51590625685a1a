// Icon files: the first image of the directory, a bitmap whose colours go through the BMP
// reader and whose 1-bit mask then clears the alpha of the pixels it leaves out.
#include <cstring>

#include "platform/media/bytes.h"
#include "platform/media/image.h"

namespace media {

bool DecodeIcon(const uint8_t* data, size_t size, Image& out, std::string& error) {
    auto bad = [&](const char* why) {
        error = why;
        return false;
    };
    // Icon directory: reserved 0, type 1, image count; then 16-byte entries.
    if (data == nullptr || size < 6 + 16 || Le16(data) != 0 || Le16(data + 2) != 1 || Le16(data + 4) == 0)
        return bad("not an icon file");
    const uint8_t* entry = data + 6;
    const uint32_t bytes = Le32(entry + 8), offset = Le32(entry + 12);
    if (offset > size || bytes > size - offset || bytes < 40) return bad("icon image outside the file");
    const uint8_t* dib = data + offset;

    // The image is a device-independent bitmap whose height counts the colour rows and the mask
    // rows together; the colours come first (bottom-up), the 1-bit mask after them.
    const uint32_t header = Le32(dib);
    const int32_t width = static_cast<int32_t>(Le32(dib + 4));
    const int32_t doubled = static_cast<int32_t>(Le32(dib + 8));
    const uint32_t bits = Le16(dib + 14), compression = Le32(dib + 16);
    if (header < 40 || header > bytes || width <= 0 || width > 256 || doubled <= 0 ||
        doubled % 2 != 0 || doubled / 2 > 256 || compression != 0)
        return bad("bad icon image header");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return bad("bad icon colour depth");
    const int32_t height = doubled / 2;
    uint32_t colours = bits <= 8 ? Le32(dib + 32) : 0;
    if (bits <= 8 && (colours == 0 || colours > (1u << bits))) colours = 1u << bits;
    const size_t colourRow = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
    const size_t maskRow = ((static_cast<size_t>(width) + 31) / 32) * 4;
    const size_t pixelsAt = header + colours * 4;
    const size_t maskAt = pixelsAt + colourRow * height;
    if (maskAt > bytes) return bad("icon colours run past the image");
    const bool hasMask = maskAt + maskRow * height <= bytes;

    // The colours as a bitmap file of their own, for the picture decoder.
    std::vector<uint8_t> file(14 + maskAt);
    file[0] = 'B';
    file[1] = 'M';
    StoreLe32(&file[2], static_cast<uint32_t>(file.size()));
    StoreLe32(&file[10], static_cast<uint32_t>(14 + pixelsAt));
    std::memcpy(&file[14], dib, maskAt);
    StoreLe32(&file[14 + 8], static_cast<uint32_t>(height));
    StoreLe32(&file[14 + 20], static_cast<uint32_t>(colourRow * height));
    if (!DecodeImage(file.data(), file.size(), out, error)) return false;
    if (out.Width != width || out.Height != height) return bad("icon image size does not match its header");

    if (hasMask && bits != 32) {
        for (int32_t y = 0; y < height; ++y) {
            const uint8_t* row = dib + maskAt + maskRow * static_cast<size_t>(height - 1 - y);
            for (int32_t x = 0; x < width; ++x)
                if (row[x / 8] & (0x80 >> (x % 8))) out.Pixels[static_cast<size_t>(y) * width + x] &= 0x00FFFFFFu;
        }
        out.HasAlpha = true;
    }
    return true;
}

}  // namespace media
