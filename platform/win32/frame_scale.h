// Scaling a presented frame onto a window or picture box of another size with an area (box)
// filter: every destination pixel is the average of the source area it covers, each source
// pixel weighted by its overlap, so thin lines and small text stay visible when the frame is
// shrunk. Integer arithmetic throughout; a copy of the same size is exact.
#pragma once
#include <cstdint>
#include <vector>

namespace rt::detail {

class FrameScaler {
public:
    // `wide` lets a shrink of at most 2 on both axes run with 256-bit vectors when the processor
    // has AVX2; the result is the same bit for bit either way.
    explicit FrameScaler(bool wide = true);
    // True when shrinks may take the 256-bit path on this processor.
    bool Wide() const { return wide_; }

    // Scales the frame `src` (srcW x srcH pixels, 0xAARRGGBB, rows srcW apart) to dstW x dstH
    // pixels at `dst` (rows dstStride apart). The result is opaque (alpha 0xFF). Nothing is
    // written when a size is not positive.
    void Scale(const uint32_t* src, int32_t srcW, int32_t srcH, uint32_t* dst, int32_t dstW, int32_t dstH,
               int32_t dstStride);

private:
    // The source pixels a destination pixel takes along one axis: `count` from `first`, with
    // weights out of 256 starting at `weight`.
    struct Taps {
        int32_t first = 0, count = 0, weight = 0;
    };
    struct Axis {
        int32_t src = 0, dst = 0;
        int32_t maxTaps = 0;   // the most source pixels one destination pixel can take
        bool bytes = false;    // every weight fits a byte (none is the whole 256)
        std::vector<Taps> taps;
        std::vector<uint16_t> weights;
        // With three taps: for each pair of destination pixels and each tap, the first pixel's
        // weight four times then the second's, one per channel, for two pixels at a time.
        std::vector<uint16_t> pairs;
        void Build(int32_t srcSize, int32_t dstSize);
    };
    // The columns laid out for the 256-bit path, eight destination pixels a block: the first
    // source pixel of each half block's eight-pixel window, and per block the window position
    // of each pixel's three taps (for a dword permute) and their weights as bytes, in the order
    // the byte interleave leaves the pixels in (see ScaleWide).
    struct WideCols {
        int32_t src = 0, dst = 0;
        bool ok = false;              // every block's taps fit its windows, no weight is 256
        std::vector<int32_t> base;    // two a block
        std::vector<int32_t> index;   // 3 x 8 a block
        std::vector<uint8_t> weight;  // 4 x 32 a block
        void Build(const Axis& cols);
    };
    void ScaleWide(const uint32_t* src, int32_t srcW, int32_t srcH, uint32_t* dst, int32_t dstW, int32_t dstH,
                   int32_t dstStride);

    bool wide_;
    Axis cols_, rows_;
    WideCols wideCols_;
    std::vector<uint64_t> row_;    // one row blended over the rows' taps, 16 bits a channel
    std::vector<uint32_t> row8_;   // the same in 8 bits a channel, each byte offset by 0x80
};

}  // namespace rt::detail
