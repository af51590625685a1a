// Reference-image comparison for the D3DX stand-in's drawing tests: the picture is compared
// with tests/render/ref/<name>.png within a small tolerance; QV_UPDATE_REFS=1 in the
// environment rewrites the reference instead. On a mismatch the picture drawn is written
// beside the build for a look.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/media/image.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace d3dx8ref {

inline void AppendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const auto* p = static_cast<const uint8_t*>(data);
    out->insert(out->end(), p, p + size);
}

inline void WritePng(const std::string& path, const std::vector<uint32_t>& argb, int w, int h) {
    std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
    for (size_t i = 0; i < argb.size(); ++i) {
        rgb[i * 3] = (argb[i] >> 16) & 0xFF;
        rgb[i * 3 + 1] = (argb[i] >> 8) & 0xFF;
        rgb[i * 3 + 2] = argb[i] & 0xFF;
    }
    std::vector<uint8_t> png;
    stbi_write_png_to_func(AppendBytes, &png, w, h, 3, rgb.data(), w * 3);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(png.data()),
                                                static_cast<std::streamsize>(png.size()));
}

// Compares the colour channels: every channel within `tolerance`, except for at most
// `maxOff` pixels (antialiased glyph edges may round differently between FreeType versions).
inline void ExpectMatchesReference(const std::string& name, const std::vector<uint32_t>& argb,
                                   int w, int h, int tolerance = 3, int maxOff = 0) {
    ASSERT_EQ(argb.size(), static_cast<size_t>(w) * h) << "the picture is not " << w << " x " << h;
    const std::string ref = std::string(QV_SOURCE_DIR) + "/tests/render/ref/" + name + ".png";
    const char* update = std::getenv("QV_UPDATE_REFS");
    if (update != nullptr && std::string(update) == "1") {
        WritePng(ref, argb, w, h);
        GTEST_SKIP() << "reference rewritten: " << ref;
    }
    std::ifstream f(ref, std::ios::binary);
    ASSERT_TRUE(f.good()) << "no reference image " << ref << " (run with QV_UPDATE_REFS=1)";
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(f), {}};
    media::Image img;
    std::string why;
    ASSERT_TRUE(media::DecodeImage(bytes.data(), bytes.size(), img, why)) << why;
    ASSERT_EQ(img.Width, w);
    ASSERT_EQ(img.Height, h);
    int off = 0, worst = 0;
    for (size_t i = 0; i < argb.size(); ++i) {
        int d = 0;
        for (int s = 0; s < 24; s += 8)
            d = std::max(d, std::abs(static_cast<int>((argb[i] >> s) & 0xFF) - static_cast<int>((img.Pixels[i] >> s) & 0xFF)));
        worst = std::max(worst, d);
        if (d > tolerance) ++off;
    }
    if (off > maxOff) WritePng(name + ".actual.png", argb, w, h);
    EXPECT_LE(off, maxOff) << off << " pixels differ from " << ref << " (worst by " << worst
                           << "); the picture drawn is in " << name << ".actual.png";
}

}  // namespace d3dx8ref
