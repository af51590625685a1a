// The meshes of the engine's mesh list in a frame: every mesh drawn, or only those whose box is
// not wholly outside when the visibility tests are on, and a failing mesh abandoning the frame.
#include <gtest/gtest.h>

#include <memory>

#include "objects_fixture.h"
#include "platform/d3d8/testswitch.h"

namespace {

class MeshPass : public objtest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        camera_.FOV = 1.5707964f;
    }
    // A panel mesh at (x, 0, 10) with a 6 x 2 x 1 box around it, added to the mesh list.
    clsZemMeshPtr AddPanel(float x, const char* file = "meshes\\objects_panel.x") {
        auto m = std::make_shared<clsZemMesh>();
        m->LoadMeshFromFile(file);
        m->PosX(x);
        m->PosZ(10.0f);
        m->SetBBox(6.0f, 2.0f, 1.0f);
        ZemDx::Meshes.push_back(m);
        ZemDx::MeshCount = static_cast<rt::Long>(ZemDx::Meshes.size());
        return m;
    }
    rt::Boolean Frame() {
        d3d8test::Record(true);
        return ZemDx::Render(camera_, rt::True, 0);
    }
    ZemDx::CameraState camera_;
};

}  // namespace

TEST_F(MeshPass, EveryMeshIsDrawnWithoutTheVisibilityTests) {
    AddPanel(0.0f);
    AddPanel(100.0f);
    ZemDx::VisibilityTest = 0;
    EXPECT_EQ(Frame(), rt::True);
    EXPECT_EQ(d3d8test::CallCount("DrawIndexedPrimitive"), 6);
    EXPECT_EQ(d3d8test::CallCount("GetViewport"), 0);
    EXPECT_EQ(d3d8test::CallCount("Present"), 1);
}

TEST_F(MeshPass, AMeshWhollyOutsideIsSkippedWhenTheTestsAreOn) {
    AddPanel(0.0f);    // inside
    AddPanel(100.0f);  // far to the right
    AddPanel(7.0f);    // across the right edge: drawn
    ZemDx::VisibilityTest = 1;
    EXPECT_EQ(Frame(), rt::True);
    EXPECT_EQ(d3d8test::CallCount("DrawIndexedPrimitive"), 6);
    EXPECT_EQ(d3d8test::CallCount("GetViewport"), 24);  // eight corners per mesh

    // Only exactly 1 switches the tests on.
    d3d8test::Reset();
    ZemDx::VisibilityTest = -1;
    EXPECT_EQ(Frame(), rt::True);
    EXPECT_EQ(d3d8test::CallCount("DrawIndexedPrimitive"), 9);
}

TEST_F(MeshPass, AFailingMeshAbandonsTheFrame) {
    AddPanel(0.0f, "meshes\\objects_shared_missing.x");  // its second material has no texture slot
    EXPECT_EQ(Frame(), rt::False);
    EXPECT_EQ(d3d8test::CallCount("EndScene"), 1);  // the scene is closed, not shown
    EXPECT_EQ(d3d8test::CallCount("Present"), 0);

    // So does an empty entry of the list.
    ZemDx::Meshes.assign(1, nullptr);
    d3d8test::Reset();
    EXPECT_EQ(Frame(), rt::False);
    EXPECT_EQ(d3d8test::CallCount("Present"), 0);
}

TEST_F(MeshPass, AnEmptyMeshListDrawsNoMesh) {
    AddPanel(0.0f);
    ZemDx::MeshCount = 0;  // the count decides, not the list
    EXPECT_EQ(Frame(), rt::True);
    EXPECT_EQ(d3d8test::CallCount("DrawIndexedPrimitive"), 0);
}
