// The window run time's reset: the windows FormOf made are destroyed with everything the run time
// kept about them, and FormOf makes a new window afterwards.
#include <gtest/gtest.h>

#include "platform/win32/headless/headless.h"
#include "platform/win32/reset.h"
#include "platform/win32/win32.h"

namespace {

struct Pad : rt::Form {
    Pad() : Form("Pad") { ClientSize(40, 30); }
    void Form_Load() override { ++loads; }
    void Form_KeyDown(int16_t&, int16_t&) override { ++keys; }
    int loads = 0, keys = 0;
};

TEST(WindowsReset, FormOfMakesAFreshWindowAfterTheReset) {
    rt::headless::Use();
    Pad& before = rt::FormOf<Pad>();
    before.Show();
    before.Caption("changed");
    rt::headless::KeyDown(before, 65);
    rt::MsgBox("kept?");
    ASSERT_EQ(before.loads, 1);
    const int32_t x = before.Left() + 1, y = before.Top() + 1;

    rt::ResetWindowsForTests();
    EXPECT_EQ(rt::FindForm("Pad"), nullptr);
    EXPECT_TRUE(rt::AllForms().empty());
    EXPECT_TRUE(rt::headless::MessageBoxes().empty());
    EXPECT_EQ(rt::headless::WindowAt(x, y), nullptr);

    Pad& after = rt::FormOf<Pad>();
    EXPECT_EQ(rt::FindForm("Pad"), &after);
    EXPECT_FALSE(after.Loaded());
    EXPECT_EQ(after.Caption(), "Pad");
    after.Show();
    rt::DoEvents();  // the key sent to the old window went with it (the new one has its handle)
    EXPECT_EQ(after.loads, 1);
    EXPECT_EQ(after.keys, 0);
    EXPECT_EQ(rt::FindFormByHandle(after.hWnd()), &after);
}

}  // namespace
