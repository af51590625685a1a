// main() of every unit and render test program. Before each test, and once more when the last
// has run, it puts the module state of every layer the program links back to its start, so each
// test begins as in a fresh process whether the program runs whole or one test at a time.
#include <gtest/gtest.h>

#include "tests/support/reset_layers.h"

namespace {

class ResetLayers : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { qvtest::ResetLayers(); }
    // Releases what the last test left while every registry still exists, so nothing of it is
    // destroyed in the unspecified order of the program's end (or reported as a leak).
    void OnTestProgramEnd(const ::testing::UnitTest&) override { qvtest::ResetLayers(); }
};

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new ResetLayers);
    return RUN_ALL_TESTS();
}
