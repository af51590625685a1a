// Image decoding: palettised BMPs by our own reader, JPEG by libjpeg (which the build requires),
// everything else by stb_image.
#include <algorithm>
#include <climits>
#include <cstring>

#include "platform/media/bytes.h"
#include "platform/media/image.h"

#define STBI_NO_STDIO
#include <stb_image.h>

namespace media {
namespace {

// Checks the chunk layout of a PNG before stb_image sees it, for two faults of its reader:
// - it grows its data buffer to each image data chunk's declared length before finding out that
//   the file is too short for it, so a few damaged bytes can make it ask for a gigabyte: a chunk
//   that runs past the end of the file is refused here (the decoder would fail on it anyway);
// - it copies an empty image data chunk into a buffer it has not allocated yet (a null
//   pointer): empty data chunks carry nothing, so they are dropped from a copy of the file.
// Returns false (with `error`) to refuse the file; `cleaned` is filled when a copy is needed.
bool CheckPng(const uint8_t* d, size_t n, std::vector<uint8_t>& cleaned, std::string& error) {
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (n < 8 || std::memcmp(d, kSignature, 8) != 0) return true;
    bool empty = false;
    size_t p = 8;
    while (p < n) {
        if (p + 8 > n) break;  // a cut-off chunk header: the decoder reports it
        if (std::memcmp(d + p + 4, "IEND", 4) == 0) break;  // the decoder stops reading here
        const uint64_t len = Be32(d + p);
        if (p + 12 + len > n) {
            error = "PNG chunk runs past the end of the file";
            return false;
        }
        if (len == 0 && std::memcmp(d + p + 4, "IDAT", 4) == 0) empty = true;
        p += 12 + static_cast<size_t>(len);
    }
    if (!empty) return true;
    cleaned.assign(d, d + 8);
    // Every chunk before the end chunk was checked to lie inside the file above.
    for (p = 8; p + 8 <= n && std::memcmp(d + p + 4, "IEND", 4) != 0;) {
        const size_t len = Be32(d + p);
        if (!(len == 0 && std::memcmp(d + p + 4, "IDAT", 4) == 0)) cleaned.insert(cleaned.end(), d + p, d + p + 12 + len);
        p += 12 + len;
    }
    cleaned.insert(cleaned.end(), d + p, d + n);
    return true;
}

// Why a TGA (colour-mapped, true-colour or grey; uncompressed or run-length) cannot code its
// last pixel with the bytes it holds, or null when it can or is not such a TGA. The data is laid
// out as the decoder reads it: header, identification field, in a colour-mapped file the bytes
// before the first colour map entry and the map itself, then the pixels.
const char* TgaPixelsMissing(const uint8_t* d, size_t n) {
    if (n < 18 || d[1] > 1) return nullptr;
    const bool rle = d[2] >= 9 && d[2] <= 11;
    if (!rle && (d[2] < 1 || d[2] > 3)) return nullptr;
    auto bytesOf = [](uint8_t bits) { return (static_cast<uint64_t>(bits) + 7) / 8; };
    uint64_t start = 18 + d[0];
    if (d[1] == 1) start += Le16(d + 3) + Le16(d + 5) * bytesOf(d[7]);
    const uint64_t pixels = uint64_t{Le16(d + 12)} * Le16(d + 14), size = bytesOf(d[16]);
    if (!rle) return start + pixels * size <= n ? nullptr : "TGA pixel data truncated";

    // Run-length packets: a byte n, then one value for a run of n - 127 pixels (n >= 128) or
    // n + 1 values, one per pixel. A packet codes at most 128 pixels in no fewer than 1 + size
    // bytes, which bounds the pixels the data can reach before it is walked; the walk then
    // takes at least one byte a step. The decoder reads no value past the last pixel.
    const char* const cut = "TGA run-length data truncated";
    if (start > n || pixels > 128 * ((n - start) / (1 + size))) return cut;
    uint64_t pos = start;
    for (uint64_t done = 0; done < pixels;) {
        if (pos >= n) return cut;
        const uint64_t head = d[pos++], count = (head & 0x7F) + 1;
        const uint64_t values = (head & 0x80) ? 1 : std::min(count, pixels - done);
        if (values * size > n - pos) return cut;
        pos += values * size;
        done += count;
    }
    return nullptr;
}

}  // namespace

bool LooksLikeJpeg(const uint8_t* d, size_t n) {
    size_t i = 0;
    while (i < n && d[i] == 0xFF) ++i;
    return i > 0 && i < n && d[i] == 0xD8;
}

bool DecodeImage(const uint8_t* data, size_t size, Image& out, std::string& error, int maxSide) {
    if (data == nullptr || size == 0) {
        error = "empty file";
        return false;
    }
    if (size > static_cast<size_t>(INT_MAX)) {
        error = "file too large";
        return false;
    }
    int bits = 0;
    uint32_t compression = 0;
    const bool bmp = PeekBmp(data, size, bits, compression);
    if (bmp && bits <= 8) return DecodePalettedBmp(data, size, out, error, maxSide);

    if (LooksLikeJpeg(data, size)) return DecodeJpeg(data, size, out, error, maxSide);
    std::vector<uint8_t> cleaned;
    if (!CheckPng(data, size, cleaned, error)) return false;
    if (!cleaned.empty()) {
        data = cleaned.data();
        size = cleaned.size();
    }
    // stb_image reads missing pixel bytes as zeros and would make a whole picture of a header.
    const char* missing = bmp ? (BmpPixelsPresent(data, size) ? nullptr : "BMP pixel data truncated")
                              : TgaPixelsMissing(data, size);
    if (missing != nullptr) {
        error = missing;
        return false;
    }
    const int len = static_cast<int>(size);
    int w = 0, h = 0, channels = 0;
    // Refuse absurd sizes before anything is allocated.
    if (!stbi_info_from_memory(data, len, &w, &h, &channels)) {
        const char* why = stbi_failure_reason();
        error = (why && *why) ? why : "not an image";
        return false;
    }
    // A BMP stored top row first gives its height negative; stb_image reads such files.
    if (bmp && h < 0 && h != INT_MIN) h = -h;
    if (w <= 0 || h <= 0 || w > maxSide || h > maxSide) {
        error = "bad image size";
        return false;
    }
    stbi_uc* pixels = stbi_load_from_memory(data, len, &w, &h, &channels, 4);
    if (pixels == nullptr) {
        const char* why = stbi_failure_reason();
        error = (why && *why) ? why : "corrupt image";
        return false;
    }
    // A 32-bit BMP without bit masks is X8R8G8B8: its fourth byte is not alpha.
    const bool alphaIgnored = bmp && bits == 32 && compression == 0;
    out.Width = w;
    out.Height = h;
    out.HasAlpha = (channels == 2 || channels == 4) && !alphaIgnored;
    out.Pixels.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
    for (size_t i = 0; i < out.Pixels.size(); ++i) {
        const stbi_uc* p = pixels + i * 4;
        const uint32_t a = out.HasAlpha ? p[3] : 0xFFu;
        out.Pixels[i] = (a << 24) | (static_cast<uint32_t>(p[0]) << 16) | (p[1] << 8) | p[2];
    }
    stbi_image_free(pixels);
    return true;
}

}  // namespace media
