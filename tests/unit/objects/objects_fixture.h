// Shared set-up of the scene-object tests: a software device as the engine's device, the
// engine's data folder pointed at the repository's test data (or at a scratch folder for files
// written by a test), the headless clock, and the tests' view of the classes' private state.
#pragma once
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "engine/clsZemMesh.h"
#include "engine/clsZemObject.h"
#include "engine/zemdx.h"
#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/testswitch.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/textfile.h"
#include "platform/win32/headless/headless.h"
#include "tests/unit/d3dx8/d3dx8_testing.h"
#include "tests/unit/runtime/program_style.h"

struct clsZemObjectInspector {
    static const ZemDx::ObjectData& Data(const clsZemObject& o) { return o.ObjData; }
    static ZemDx::ObjectData& MutableData(clsZemObject& o) { return o.ObjData; }
    static void AdvanceAnimation(clsZemObject& o) { o.AdvanceAnimation(); }
    static rt::Long& CurrentFrame(clsZemObject& o) { return o.CurrentFrame; }
    static rt::Long& AnimAccum(clsZemObject& o) { return o.AnimAccum; }
    static rt::Long& AnimStartTick(clsZemObject& o) { return o.AnimStartTick; }
    static rt::Integer& CurrentAnim(clsZemObject& o) { return o.CurrentAnim; }
    static rt::Integer& AnimFlag(clsZemObject& o) { return o.AnimFlag; }
    static const D3DVECTOR* BBox(const clsZemObject& o) { return o.BBox; }
};

struct clsZemMeshInspector {
    static const std::vector<D3DMATERIAL8>& Materials(const clsZemMesh& m) { return m.Materials; }
    static const std::vector<rt::Long>& MeshTextures(const clsZemMesh& m) { return m.MeshTextures; }
    static rt::Long MaterialCount(const clsZemMesh& m) { return m.MaterialCount; }
    static const D3DVECTOR* BBox(const clsZemMesh& m) { return m.BBox; }
};

namespace objtest {

using d3dx8testing::ErrorOf;

// The engine with a device and its data folder at tests/data of the repository (the name
// lookup is case-insensitive, so "Data\" finds "data").
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        rt::headless::Use();
        rt::headless::SetClock(0);
        d3d8test::Reset();
        ZemDx::D3DDevice = d3dx8testing::MakeDevice(64, 48, true);
        ZemDx::AppPath = rttest::ProgramStyleFolder(std::string(QV_SOURCE_DIR) + "/tests");
    }
    void TearDown() override {
        rt::CloseAll();
        d3d8test::Reset();
        ZemDx::Meshes.clear();
        ZemDx::MeshCount = 0;
        ZemDx::Textures.clear();
        ZemDx::TextureNames.clear();
        ZemDx::TextureCount = 0;
        ZemDx::D3DDevice = nullptr;
        if (!scratch_.empty()) std::filesystem::remove_all(scratch_);
    }

    // Writes `content` as Data\<name> of a scratch program folder and makes that folder the
    // engine's. Returns the name to hand to the readers.
    std::string WriteDataFile(const std::string& name, const std::string& content) {
        if (scratch_.empty()) {
            std::string tmpl = (std::filesystem::temp_directory_path() / "qv-objects-XXXXXX").string();
            char* made = mkdtemp(tmpl.data());
            EXPECT_NE(made, nullptr);
            scratch_ = tmpl;
            std::filesystem::create_directories(scratch_ / "Data");
        }
        std::ofstream(scratch_ / "Data" / name, std::ios::binary) << content;
        ZemDx::AppPath = rttest::ProgramStyleFolder(scratch_.string());
        return name;
    }

private:
    std::filesystem::path scratch_;
};

}  // namespace objtest

namespace objtest {

// Argument `index` of every recorded call of `method`, in order.
inline std::vector<int64_t> ArgsOf(const std::string& method, size_t index) {
    std::vector<int64_t> out;
    for (const auto& c : d3d8test::Calls())
        if (c.Method == method && index < c.Args.size()) out.push_back(c.Args[index]);
    return out;
}

}  // namespace objtest
