#include "tests/unit/outline/picture_helpers.h"

#include <gtest/gtest.h>

#include "resources/resources.h"

namespace OutlineTest {

Outline::Picture FromRows(const std::vector<std::string>& rows) {
    Outline::Picture p;
    p.height = int(rows.size());
    p.width = rows.empty() ? 0 : int(rows[0].size());
    for (const std::string& r : rows)
        for (char ch : r) p.rgb.push_back(ch == '.' ? 0xFF00FFu : ch == 'o' ? 0xFF8000u : 0x102060u);
    return p;
}

std::vector<unsigned char> EncodeBmp(const Outline::Picture& p, bool topDown) {
    const uint32_t stride = (uint32_t(p.width) * 3 + 3) & ~3u;
    std::vector<unsigned char> o(54 + stride * uint32_t(p.height), 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) o[at + i] = (unsigned char)(v >> (8 * i));
    };
    o[0] = 'B';
    o[1] = 'M';
    put32(2, uint32_t(o.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(p.width));
    put32(22, topDown ? uint32_t(-p.height) : uint32_t(p.height));
    o[26] = 1;
    o[28] = 24;
    for (int y = 0; y < p.height; ++y) {
        size_t row = 54 + size_t(stride) * size_t(topDown ? y : p.height - 1 - y);
        for (int x = 0; x < p.width; ++x) {
            uint32_t c = p.At(x, y);
            o[row + size_t(x) * 3] = (unsigned char)(c & 0xFF);
            o[row + size_t(x) * 3 + 1] = (unsigned char)((c >> 8) & 0xFF);
            o[row + size_t(x) * 3 + 2] = (unsigned char)((c >> 16) & 0xFF);
        }
    }
    return o;
}

Outline::Picture Embedded(const std::string& name) {
    auto bytes = GetResource(name);
    EXPECT_FALSE(bytes.empty()) << name << " is not embedded";
    try {
        return Outline::ReadBmp24(bytes);
    } catch (const Outline::BadPicture& e) {
        ADD_FAILURE() << name << ": " << e.what();
        return {};
    }
}

}  // namespace OutlineTest
