// Shared set-up of the engine tests: the headless window run time, a window for the device,
// the game window's display settings, and the program's data folder as the engine sees it.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/zemdx.h"
#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/testswitch.h"
#include "platform/runtime/errors.h"
#include "platform/win32/form.h"
#include "platform/win32/headless/headless.h"
#include "tests/unit/engine/game_settings.h"
#include "tests/unit/runtime/program_style.h"

namespace enginetest {

// The window whose handle the device is made for.
class DeviceWindow : public rt::Form {
public:
    DeviceWindow() : rt::Form("frmEngineTestWindow") {
        ClientSize(640, 480);
        StartUpPosition(rt::StartPosition::Manual);
    }
};

inline rt::Long DeviceWindowHandle() {
    rt::headless::Use();
    return rt::FormOf<DeviceWindow>().hWnd();
}

// Starts the engine as the game window does, without the splash.
inline rt::Boolean StartEngine() {
    GameDisplaySettings();
    const rt::Long hWnd = DeviceWindowHandle();
    return ZemDx::InitEngine(hWnd, 1, 1, rt::False, rt::False);
}

// The repository's data folder in the program's path style, ending with "\".
inline std::string RepoAppPath() { return rttest::ProgramStyleFolder(QV_SOURCE_DIR); }

// The calls of `method` in the record, in order, as their argument lists.
inline std::vector<std::vector<int64_t>> CallsOf(const std::string& method) {
    std::vector<std::vector<int64_t>> out;
    for (const auto& c : d3d8test::Calls())
        if (c.Method == method) out.push_back(c.Args);
    return out;
}

// The methods recorded, in order, keeping only those named in `keep`.
inline std::vector<std::string> MethodsAmong(const std::vector<std::string>& keep) {
    std::vector<std::string> out;
    for (const auto& c : d3d8test::Calls())
        for (const auto& k : keep)
            if (c.Method == k) out.push_back(c.Method);
    return out;
}

}  // namespace enginetest
