// Start-up and shut-down of the engine: the splash window, the device with its present
// parameters and states, the program folder and the empty tables.
#include <memory>

#include "engine/checked.h"
#include "engine/frmZemLogo.h"
#include "engine/zemdx.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/paths.h"
#include "platform/win32/runtime.h"
#include "platform/win32/system.h"

namespace ZemDx {

namespace {

// Shows the splash window and waits, pumping the window events, until its timer has ticked.
// The pump comes first, so it runs at least once even when an earlier start already set
// LogoDone. Closing the splash window before its tick (its timer goes with it) also ends the
// wait; LogoDone then keeps its value.
void ShowSplash() {
    frmZemLogo& logo = rt::FormOf<frmZemLogo>();
    logo.Show();
    do {
        rt::DoEvents();
    } while (LogoDone != rt::True && logo.Loaded());
    rt::Unload(logo);
}

D3DPRESENT_PARAMETERS PresentParameters(const D3DDISPLAYMODE& mode, rt::Long hWnd, rt::Byte windowed,
                                        rt::Boolean antiAlias) {
    D3DPRESENT_PARAMETERS pp{};
    pp.BackBufferWidth = ScreenWidth;
    pp.BackBufferHeight = ScreenHeight;
    pp.BackBufferFormat = mode.Format;
    pp.BackBufferCount = 1;
    pp.MultiSampleType = antiAlias != rt::False ? D3DMULTISAMPLE_2_SAMPLES : D3DMULTISAMPLE_NONE;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.hDeviceWindow = hWnd;
    pp.Windowed = windowed;
    pp.EnableAutoDepthStencil = 1;
    pp.AutoDepthStencilFormat = D3DFMT_D16;
    pp.Flags = 0;
    pp.FullScreen_RefreshRateInHz = 0;
    pp.FullScreen_PresentationInterval = 0;
    return pp;
}

// The device states of a fresh start, in this order; everything else keeps the device's
// defaults. Blending stays on for every draw.
void SetStartStates(Direct3DDevice8& dev, rt::Byte lighting) {
    dev.SetRenderState(D3DRS_CULLMODE, CullBackFaces == rt::True ? D3DCULL_CW : D3DCULL_NONE);
    dev.SetRenderState(D3DRS_ZENABLE, ZEnable);
    dev.SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    dev.SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
    dev.SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP);
    dev.SetRenderState(D3DRS_LIGHTING, lighting);
    dev.SetVertexShader(D3DFVF_VERTEX);
    dev.SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    dev.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    dev.SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    dev.SetRenderState(D3DRS_AMBIENT, AmbientColor);
}

// Fresh texture, overlay and text tables; whatever they held is dropped.
void MakeTables() {
    TextureCount = 2;
    Textures.assign(2, nullptr);
    TextureNames.assign(static_cast<size_t>(TextureCount), TextureFile{});
    OverlayCount = 2;
    Overlays.assign(2, Overlay{});
    OverlayUsed.assign(static_cast<size_t>(OverlayCount), rt::False);
    Texts.assign(1, TextLabel{});
    TextCount = 1;
}

}  // namespace

rt::Boolean InitEngine(const rt::Long& hWnd, const rt::Byte& Windowed, const rt::Byte& Lighting,
                       const rt::Boolean& AntiAlias, const rt::Boolean& ShowLogo) {
    return detail::Trapped(rt::False, [&]() -> rt::Boolean {
        if (ShowLogo == rt::True) ShowSplash();

        if (!DX) DX = std::make_shared<DirectX8>();
        D3D = DX->Direct3DCreate();

        D3DDISPLAYMODE mode{};
        D3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, mode);
        D3DPRESENT_PARAMETERS pp = PresentParameters(mode, hWnd, Windowed, AntiAlias);

        ShowCursor(Windowed);

        // The check names 16-bit formats whatever the display mode is; any result other than
        // D3D_OK picks the reference device, it is no failure.
        const int32_t r = D3D->CheckDeviceType(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_R5G6B5,
                                               D3DFMT_R5G6B5, Windowed);
        D3DDevice = D3D->CreateDevice(D3DADAPTER_DEFAULT, r == D3D_OK ? D3DDEVTYPE_HAL : D3DDEVTYPE_REF,
                                      hWnd, D3DCREATE_SOFTWARE_VERTEXPROCESSING, pp);

        SetStartStates(*D3DDevice, Lighting);
        if (AntiAlias != rt::False && CheckMultiSample(0, D3DFMT_R5G6B5) == rt::True)
            D3DDevice->SetRenderState(D3DRS_MULTISAMPLEANTIALIAS, 1);

        AppPath = rt::ProgramFolder();
        if (AppPath.empty() || AppPath.back() != '\\') AppPath += '\\';

        MakeTables();
        return rt::True;
    });
}

void ShutdownEngine() {
    Textures.clear();
    QuadBuffers.clear();
    TriangleBuffers.clear();
    DX = nullptr;
    D3DDevice = nullptr;
    D3D = nullptr;
    D3DX = nullptr;
    ShowCursor(1);
}

rt::Boolean CheckMultiSample(const rt::Byte& Adapter, const rt::Long& Format) {
    // Objects of its own, not the engine's DX and D3D.
    auto dx = std::make_shared<DirectX8>();
    Direct3D8Ptr d3d = dx->Direct3DCreate();
    const int32_t r = d3d->CheckDeviceMultiSampleType(Adapter, D3DDEVTYPE_HAL, Format, 0,
                                                      D3DMULTISAMPLE_2_SAMPLES);
    d3d = nullptr;
    dx = nullptr;
    return r >= 0 ? rt::True : rt::False;
}

}  // namespace ZemDx
