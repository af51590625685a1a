// D3DX8::CreateFont and D3DX8::DrawText: text drawn onto a device's back buffer.
#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/testswitch.h"
#include "platform/d3dx8/d3dx8.h"
#include "platform/media/text_render.h"
#include "platform/runtime/errors.h"

D3DXFont::D3DXFont(Direct3DDevice8Ptr device, std::shared_ptr<textrender::Font> font)
    : device_(std::move(device)), font_(std::move(font)) {}

D3DXFontPtr D3DX8::CreateFont(const Direct3DDevice8Ptr& device, HFONT hFont) {
    if (!device) rt::Raise(rt::ErrObjectNotSet);
    if (const int32_t code = d3d8test::Intercept("CreateFont", {hFont}))
        rt::Raise(code, "CreateFont failed");
    FontDescription desc;
    if (!LookUpFontHandle(hFont, desc)) rt::Raise(D3DERR_INVALIDCALL, "CreateFont: not a font handle");
    auto face = textrender::Font::Open(desc.Name, textrender::Font::PointsToPixels(desc.Size),
                                       desc.Bold, desc.Italic);
    if (!face) rt::Raise(D3DERR_INVALIDCALL, "CreateFont: no font face for \"" + desc.Name + "\"");
    return std::make_shared<D3DXFont>(device, std::move(face));
}

int32_t D3DX8::DrawText(const D3DXFontPtr& font, int32_t color, const std::string& text,
                        const RECT& rect, int32_t format) {
    if (!font || !font->Device() || !font->Face()) rt::Raise(rt::ErrObjectNotSet);
    if (const int32_t code = d3d8test::Intercept("DrawText", {color, format})) rt::Raise(code, "DrawText failed");
    if (text.empty()) return 0;
    Direct3DDevice8& device = *font->Device();
    // Text goes over everything drawn before it: finish the queued triangles first.
    device.Flush();
    textrender::Surface surface;
    surface.Pixels = device.BackBufferData();
    surface.Width = device.BackBufferWidth();
    surface.Height = device.BackBufferHeight();
    surface.Pitch = device.BackBufferPitch();
    const textrender::Box box{rect.Left, rect.Top, rect.Right, rect.Bottom};
    return font->Face()->DrawInBox(surface, text, box, static_cast<uint32_t>(format),
                                   static_cast<uint32_t>(color));
}
