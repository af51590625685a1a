// Releases the engine's font objects at the end of the test program, while the font handle
// registry of the OLE font stand-in still exists (it is a function-local static, destroyed
// before the engine's module variables).
#include <gtest/gtest.h>

#include "engine/zemdx.h"

namespace {

class ReleaseFonts : public ::testing::Environment {
public:
    void TearDown() override {
        ZemDx::Texts.clear();
        ZemDx::TextIFont = nullptr;
        ZemDx::TextStdFont = nullptr;
    }
};

const auto* const kReleaseFonts = ::testing::AddGlobalTestEnvironment(new ReleaseFonts);

}  // namespace
