// Little- and big-endian integers in file bytes (picture headers, icon directories, PNG chunks),
// read from and written to byte buffers. The caller checks that the bytes are there.
#pragma once
#include <cstdint>
#include <vector>

namespace media {

inline uint32_t Le16(const uint8_t* p) { return p[0] | (uint32_t{p[1]} << 8); }
inline uint32_t Le32(const uint8_t* p) { return Le16(p) | (Le16(p + 2) << 16); }
inline uint32_t Be32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

// Stores the low 16 / all 32 bits of `v` at `p`, lowest byte first.
inline void StoreLe16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void StoreLe32(uint8_t* p, uint32_t v) {
    StoreLe16(p, v);
    StoreLe16(p + 2, v >> 16);
}

// Appends the low 16 / all 32 bits of `v`, lowest byte first.
inline void PutLe16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void PutLe32(std::vector<uint8_t>& out, uint32_t v) {
    PutLe16(out, v);
    PutLe16(out, v >> 16);
}

}  // namespace media
