#pragma once
// A picture being drawn: floating-point RGB pixels, alpha masks and the operations that combine
// them. Colours are 0..1 per channel; a mask holds a coverage of 0..1 per pixel.
#include <cstdint>
#include <functional>
#include <vector>

namespace Art {

struct Rgb {
    float r = 0, g = 0, b = 0;
};

Rgb Hex(uint32_t rgb);                      // 0xRRGGBB
Rgb Mix(Rgb a, Rgb b, float t);             // a at t = 0, b at t = 1
Rgb Shade(Rgb c, float amount);             // amount > 0 lightens towards white, < 0 darkens

// The colour of a fill at a pixel centre.
using Paint = std::function<Rgb(float x, float y)>;
Paint Solid(Rgb c);
Paint Linear(float x0, float y0, Rgb c0, float x1, float y1, Rgb c1);
Paint Radial(float cx, float cy, float radius, Rgb inner, Rgb outer);

class Mask {
public:
    Mask(int w, int h) : w_(w), h_(h), a_(size_t(w) * size_t(h), 0.0f) {}
    int Width() const { return w_; }
    int Height() const { return h_; }
    float At(int x, int y) const {
        return (x < 0 || y < 0 || x >= w_ || y >= h_) ? 0.0f : a_[size_t(y) * w_ + x];
    }
    float& Ref(int x, int y) { return a_[size_t(y) * w_ + x]; }

    Mask Shifted(int dx, int dy) const;
    Mask Blurred(int radius) const;    // three box blurs: close to a Gaussian
    Mask Dilated(int radius) const;    // round structuring element
    Mask Times(const Mask& o) const;   // intersection
    Mask Minus(const Mask& o) const;   // this without o

private:
    int w_, h_;
    std::vector<float> a_;
};

class Canvas {
public:
    Canvas(int w, int h, Rgb fill);
    int Width() const { return w_; }
    int Height() const { return h_; }
    Rgb At(int x, int y) const { return px_[size_t(y) * w_ + x]; }
    void Set(int x, int y, Rgb c) { px_[size_t(y) * w_ + x] = c; }

    // Paints `paint` through `mask` at the given opacity (source-over).
    void Fill(const Mask& mask, const Paint& paint, float opacity = 1.0f);
    // Lightens (amount > 0) or darkens (< 0) through the mask.
    void Light(const Mask& mask, float amount);

    // 8-bit RGB rows, top row first.
    std::vector<uint8_t> Bytes() const;

private:
    int w_, h_;
    std::vector<Rgb> px_;
};

}  // namespace Art
