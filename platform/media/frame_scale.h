// Scaling a picture (a presented frame shown in a window or picture box) to another size with an
// area (box) filter: every destination pixel is the average of the source area it covers, each
// source pixel weighted by its overlap, so thin lines and small text stay visible when the frame
// is shrunk. Integer arithmetic throughout; a copy of the same size is exact.
#pragma once
#include <cstdint>
#include <vector>

namespace media {

class FrameScaler {
public:
    // The widest vectors a shrink may use. A shrink on both axes by less than 2, and across by at
    // most about 1.66 for AVX2 or 1.85 for AVX-512 (the game's 640 x 480 into 402 x 302 is 1.59),
    // runs eight pixels at a time with AVX2 or sixteen with AVX-512 (BW and VBMI) when the
    // processor has them; other sizes and processors take SSE2, two pixels at a time. The
    // pixels are the same bit for bit on every path.
    enum class Vectors { Sse2, Avx2, Avx512 };
    explicit FrameScaler(Vectors widest = Vectors::Avx512);
    // The widest vectors this scaler uses on this processor.
    Vectors Uses() const { return vectors_; }

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
    // The columns laid out for the wide paths, in blocks of `width` (8 or 16) destination
    // pixels, each block (for AVX2 each half block) taking its taps from a window of source
    // pixels that starts at its first pixel's first tap: per window its first pixel, per block
    // the window position of each pixel's taps (dword indices for AVX2, byte indices for
    // AVX-512) and the weights as bytes, in the order the byte shuffles leave the pixels in.
    struct Blocks {
        int32_t src = 0, dst = 0, width = 0;
        bool ok = false;              // every block's taps fit its windows, no weight is 256
        std::vector<int32_t> base;
        std::vector<uint8_t> index;
        std::vector<uint8_t> weight;
        void Build(const Axis& cols, int32_t blockWidth);
    };
    // The source rows destination row `y` takes (the last row standing in for rows past the
    // end, which come with weight 0) into `r`; returns their weights.
    const uint16_t* RowTaps(const uint32_t* src, int32_t srcW, int32_t srcH, int32_t y, const uint32_t* (&r)[3]) const;
    void ScaleAvx2(const uint32_t* src, int32_t srcW, int32_t srcH, uint32_t* dst, int32_t dstW, int32_t dstH,
                   int32_t dstStride);
    void ScaleAvx512(const uint32_t* src, int32_t srcW, int32_t srcH, uint32_t* dst, int32_t dstW, int32_t dstH,
                     int32_t dstStride);

    Vectors vectors_;
    Axis cols_, rows_;
    Blocks blocks_;
    std::vector<uint64_t> row_;    // one row blended over the rows' taps, 16 bits a channel
    std::vector<uint32_t> row8_;   // the same for the wide paths (see ScaleAvx2)
};

}  // namespace media
