// D3DX8::CreateTextureFromFileEx: an image file made into a texture with its mip chain.
#include <algorithm>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/testswitch.h"
#include "platform/d3dx8/d3dx8.h"
#include "platform/d3dx8/file_read.h"
#include "platform/d3dx8/texture_build.h"
#include "platform/runtime/errors.h"

namespace {

bool ValidFilter(int32_t filter) {
    if (filter == D3DX_DEFAULT) return true;
    const int32_t f = filter & 0xFF;
    return f >= D3DX_FILTER_NONE && f <= D3DX_FILTER_BOX;
}

// D3DX_DEFAULT and 0 both mean "from the image"; anything else must be a sane size.
int SideOf(int32_t requested, int imageSide) {
    if (requested == D3DX_DEFAULT || requested == 0) return d3dx8detail::NextPowerOfTwo(imageSide);
    if (requested < 0 || requested > media::MaxImageSide)
        rt::Raise(D3DERR_INVALIDCALL, "CreateTextureFromFileEx: invalid texture size");
    return requested;
}

}  // namespace

Direct3DTexture8Ptr D3DX8::CreateTextureFromFileEx(const Direct3DDevice8Ptr& device,
                                                   const std::string& srcFile, int32_t width,
                                                   int32_t height, int32_t mipLevels,
                                                   int32_t usage, int32_t format, int32_t pool,
                                                   int32_t filter, int32_t mipFilter,
                                                   int32_t colorKey, void* srcInfo,
                                                   void* palette) {
    if (!device) rt::Raise(rt::ErrObjectNotSet);
    if (const int32_t code = d3d8test::Intercept(
            "CreateTextureFromFileEx",
            {width, height, mipLevels, usage, format, pool, filter, mipFilter, colorKey}))
        rt::Raise(code, "CreateTextureFromFileEx failed");
    if (srcInfo != nullptr || palette != nullptr || !ValidFilter(filter) || !ValidFilter(mipFilter) ||
        mipLevels < D3DX_DEFAULT ||
        (format != D3DFMT_UNKNOWN && format != D3DFMT_A8R8G8B8 && format != D3DFMT_X8R8G8B8))
        rt::Raise(D3DERR_INVALIDCALL, "CreateTextureFromFileEx: invalid argument");

    const std::string file = d3dx8detail::ReadWholeFile(srcFile, media::MaxImageFileBytes);
    media::Image image;
    std::string why;
    if (!media::DecodeImage(reinterpret_cast<const uint8_t*>(file.data()), file.size(), image, why))
        d3dx8detail::RaiseInvalidData(srcFile, why);

    const uint32_t key = static_cast<uint32_t>(colorKey);
    d3dx8detail::ApplyColorKey(image, key);
    int32_t fmt = format;
    if (fmt == D3DFMT_UNKNOWN) fmt = (key != 0 || image.HasAlpha) ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;

    const int w = SideOf(width, image.Width);
    const int h = SideOf(height, image.Height);
    const int full = d3dx8detail::FullMipCount(w, h);
    const int levels = (mipLevels == D3DX_DEFAULT || mipLevels == 0) ? full : std::min(mipLevels, full);

    auto texture = std::make_shared<Direct3DTexture8>();
    d3dx8detail::BuildTexture(image, w, h, levels, filter, mipFilter, fmt == D3DFMT_A8R8G8B8, fmt,
                              *texture);
    return texture;
}
