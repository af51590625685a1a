#include "tests/unit/game/run_fixture.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "app/frmSelect.h"
#include "app/frmWindowed.h"
#include "app/game_state.h"
#include "platform/win32/headless/headless.h"
#include "platform/win32/keys.h"

namespace gametest {

namespace {

// The worlds of a test program go below one folder named after the test process; the runs
// themselves happen in child processes that end without cleaning up, so the test process
// removes the whole folder when its tests are over.
const std::string& WorldsRoot() {
    static const std::string root = "/tmp/quorvane-game-" + std::to_string(getpid());
    return root;
}

class RemoveWorlds : public testing::Environment {
public:
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(WorldsRoot(), ec);
    }
};
// Made in the test process before any child is forked, so every child uses the same root.
[[maybe_unused]] const bool kWorldsRootMade = (WorldsRoot(), testing::AddGlobalTestEnvironment(new RemoveWorlds), true);

class frmProbe : public rt::Form {
public:
    frmProbe() : rt::Form("frmProbe"), tick(*this, "tick", 1, true) {
        tick.OnTimer = [this] { Step(); };
    }
    rt::Timer tick;
    std::vector<ScriptStep> script;
    size_t at = 0;
    uint32_t msPerTick = 50;

    void Step() {
        rt::headless::AdvanceClock(msPerTick);
        if (at < script.size()) {
            if (script[at]()) ++at;
            return;
        }
        // The script is over: Escape must end the program before the next tick.
        if (at == script.size()) {
            ++at;
            std::fprintf(stderr, "script complete\n");
            rt::headless::KeyDown(rt::FormOf<frmWindowed>(), rt::vbKeyEscape);
            return;
        }
        Check(false, "the program went on after Escape");
    }
};

}  // namespace

void Check(bool ok, const std::string& what) {
    if (ok) return;
    std::fprintf(stderr, "CHECK FAILED: %s\n", what.c_str());
    std::fflush(stderr);
    std::_Exit(3);
}

std::string SelectWorld(const std::string& text, bool highlight) {
    std::filesystem::create_directories(WorldsRoot());
    std::string tmpl = WorldsRoot() + "/XXXXXX";
    const char* dir = mkdtemp(tmpl.data());
    Check(dir != nullptr, "temporary folder");
    const std::string file = std::string(dir) + "/Test World.map";
    std::ofstream(file, std::ios::binary) << text;
    rt::FileListBox& list = rt::FormOf<frmSelect>().fileWorld;
    list.Path(std::string(dir) + "\\");
    if (highlight) {
        Check(list.ListCount() == 1, "the test world is listed");
        list.ListIndex(0);
    }
    return dir;
}

void RunGame(std::vector<ScriptStep> script, uint32_t msPerTick) {
    frmProbe probe;
    rt::RegisterForm(probe);
    probe.script = std::move(script);
    probe.msPerTick = msPerTick;
    probe.Load();
    rt::headless::AdvanceClock(1);
    rt::FormOf<frmWindowed>().Load();
    Check(false, "the game window's load returned");
    std::_Exit(4);
}

void PlayWorld(const std::string& text, std::vector<ScriptStep> script, bool highlight) {
    rt::headless::Use();
    SelectWorld(text, highlight);
    RunGame(std::move(script));
}

ScriptStep WaitForMainLoop() {
    return [] { return ModMain::Running == rt::True && ModMain::FrameCount > 0; };
}

ScriptStep Press(int16_t key, int repeat) {
    return [=] {
        rt::headless::KeyDown(rt::FormOf<frmWindowed>(), key, repeat);
        return true;
    };
}

ScriptStep Release(int16_t key) {
    return [=] {
        rt::headless::KeyUp(rt::FormOf<frmWindowed>(), key);
        return true;
    };
}

ScriptStep Do(std::function<void()> check) {
    return [check] {
        check();
        return true;
    };
}

std::string WorldText(int rows, int cols, int floor, int ceiling, const std::vector<std::vector<int>>& cells) {
    std::string s = std::to_string(rows) + "," + std::to_string(cols) + "," + std::to_string(floor) + "," +
                    std::to_string(ceiling) + "\r\n";
    for (const auto& row : cells) {
        for (size_t i = 0; i < row.size(); ++i) s += (i ? "," : "") + std::to_string(row[i]);
        s += "\r\n";
    }
    return s;
}

}  // namespace gametest
