// The run time's message box without a display: its layout (buttons in order, the marked one,
// what Escape answers, wrapped text, the place on the screen), its keys and mouse, its modality
// (what the user did to other windows while it was up is dropped), and the end of the program
// asked for by a signal, also while a box is up.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/headless/headless.h"
#include "platform/win32/msgbox.h"
#include "platform/win32/win32.h"

namespace {

using rt::detail::LayOutMessageBox;
using rt::detail::MessageBoxInput;
using rt::detail::MessageBoxLayout;

std::vector<int32_t> Answers(const MessageBoxLayout& l) {
    std::vector<int32_t> out;
    for (const auto& b : l.buttons) out.push_back(b.answer);
    return out;
}

TEST(MessageBoxLayout, ButtonSetsInOrderWithTheFirstMarkedAndEscapeOnCancel) {
    struct Case {
        int32_t buttons;
        std::vector<int32_t> answers;
        int escape;  // index, -1: Escape answers nothing
    } cases[] = {
        {rt::vbOKOnly, {rt::vbOK}, 0},
        {rt::vbOKCancel, {rt::vbOK, rt::vbCancel}, 1},
        {rt::vbAbortRetryIgnore, {rt::vbAbort, rt::vbRetry, rt::vbIgnore}, -1},
        {rt::vbYesNoCancel, {rt::vbYes, rt::vbNo, rt::vbCancel}, 2},
        {rt::vbYesNo, {rt::vbYes, rt::vbNo}, -1},
        {rt::vbRetryCancel, {rt::vbRetry, rt::vbCancel}, 1},
        {rt::vbYesNoCancel | rt::vbQuestion, {rt::vbYes, rt::vbNo, rt::vbCancel}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.buttons);
        const MessageBoxLayout l = LayOutMessageBox("Text", "Title", c.buttons);
        EXPECT_EQ(Answers(l), c.answers);
        EXPECT_EQ(l.defaultButton, 0);
        EXPECT_EQ(l.escapeButton, c.escape);
        // Left to right, one size, apart, inside the box, below the text.
        for (size_t i = 0; i < l.buttons.size(); ++i) {
            const auto& r = l.buttons[i].rect;
            EXPECT_GT(r.left, 0);
            EXPECT_LT(r.right, l.width);
            EXPECT_LT(r.bottom, l.height);
            EXPECT_GE(r.top, l.textTop + l.lineHeight);
            if (i > 0) {
                EXPECT_GT(r.left, l.buttons[i - 1].rect.right);
            }
        }
        // The row is centred.
        EXPECT_NEAR(l.buttons.front().rect.left, l.width - l.buttons.back().rect.right, 1);
    }
}

TEST(MessageBoxLayout, IconsMoveTheTextAndLongTextWrapsIntoLines) {
    const MessageBoxLayout plain = LayOutMessageBox("Short.", "T", rt::vbOKOnly);
    for (int32_t icon : {rt::vbCritical, rt::vbQuestion, rt::vbExclamation, rt::vbInformation}) {
        const MessageBoxLayout l = LayOutMessageBox("Short.", "T", icon);
        EXPECT_EQ(l.icon, icon);
        EXPECT_GE(l.textLeft, l.iconRect.right);
    }
    EXPECT_EQ(plain.icon, 0);

    // Lines break at line ends (an empty line stays) and between words; a word too long for a
    // line is broken inside.
    std::string words;
    for (int i = 0; i < 60; ++i) words += "word ";
    const MessageBoxLayout l =
        LayOutMessageBox("Run-time error '53':\r\n\r\n" + words + std::string(300, 'x'), "T", rt::vbCritical);
    ASSERT_GT(l.lines.size(), 5u);
    EXPECT_EQ(l.lines[0], "Run-time error '53':");
    EXPECT_EQ(l.lines[1], "");
    std::string joined;
    for (size_t i = 2; i < l.lines.size(); ++i) joined += l.lines[i];
    EXPECT_EQ(joined.find("word word"), 0u);
    EXPECT_NE(joined.find(std::string(300, 'x')), std::string::npos);  // nothing lost
    EXPECT_LT(l.width, 600);
    EXPECT_GT(l.height, static_cast<int32_t>(l.lines.size()) * l.lineHeight);
}

TEST(MessageBoxInput, KeysAndMouseAnswerTheBox) {
    const MessageBoxLayout ync = LayOutMessageBox("Save?", "T", rt::vbYesNoCancel);
    {
        MessageBoxInput in(ync);
        EXPECT_TRUE(in.KeyDown(rt::vbKeyTab, 0));
        EXPECT_EQ(in.Focused(), 1);
        EXPECT_TRUE(in.KeyDown(rt::vbKeyTab, rt::vbShiftMask));
        EXPECT_TRUE(in.KeyDown(rt::vbKeyTab, rt::vbShiftMask));
        EXPECT_EQ(in.Focused(), 2);  // round to the last
        EXPECT_FALSE(in.KeyDown(rt::vbKeyA, 0));
        EXPECT_FALSE(in.Answer());
        in.KeyDown(rt::vbKeyTab, 0);
        in.KeyDown(rt::vbKeyReturn, 0);  // the marked button
        EXPECT_EQ(in.Answer(), rt::vbYes);
    }
    {
        MessageBoxInput in(ync);
        in.KeyDown(rt::vbKeyTab, 0);
        in.KeyDown(rt::vbKeySpace, 0);
        EXPECT_EQ(in.Answer(), rt::vbNo);
    }
    {
        MessageBoxInput in(ync);
        in.KeyDown(rt::vbKeyEscape, 0);
        EXPECT_EQ(in.Answer(), rt::vbCancel);
    }
    {
        // Yes/No has no Cancel: Escape and the close command do nothing.
        const MessageBoxLayout yn = LayOutMessageBox("Sure?", "T", rt::vbYesNo);
        MessageBoxInput in(yn);
        in.KeyDown(rt::vbKeyEscape, 0);
        in.CloseCommand();
        EXPECT_FALSE(in.Answer());
        // A press on No released off it answers nothing; pressed and released on it, No.
        const auto& no = yn.buttons[1].rect;
        EXPECT_TRUE(in.MouseDown(no.left + 2, no.top + 2));
        EXPECT_EQ(in.Pressed(), 1);
        in.MouseUp(no.right + 5, no.top + 2);
        EXPECT_FALSE(in.Answer());
        EXPECT_FALSE(in.MouseDown(2, 2));  // not on a button
        in.MouseDown(no.left + 2, no.top + 2);
        in.MouseUp(no.left + 3, no.top + 3);
        EXPECT_EQ(in.Answer(), rt::vbNo);
    }
    {
        const MessageBoxLayout ok = LayOutMessageBox("Done.", "T", rt::vbOKOnly);
        MessageBoxInput in(ok);
        in.CloseCommand();  // the only button
        EXPECT_EQ(in.Answer(), rt::vbOK);
    }
}

TEST(MessageBoxQuit, TheEndOfTheProgramAnswersCancelElseNoElseAbortElseTheFirstButton) {
    rt::headless::Use();
    struct Case {
        int32_t buttons;
        int32_t answer;
    } cases[] = {
        {rt::vbOKOnly, rt::vbOK},
        {rt::vbOKCancel, rt::vbCancel},
        {rt::vbAbortRetryIgnore, rt::vbAbort},
        {rt::vbYesNoCancel, rt::vbCancel},
        {rt::vbYesNo, rt::vbNo},
        {rt::vbRetryCancel, rt::vbCancel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.buttons);
        rt::headless::Quit();  // told to end just as the box comes up
        EXPECT_EQ(rt::MsgBox("Quit?", c.buttons, "Quit"), c.answer);
        rt::DoEvents();  // the end of the program stayed queued; no window is loaded
    }
    // No button set holds both No and Abort: a layout made for it shows that No comes first.
    MessageBoxLayout l = LayOutMessageBox("Text", "T", rt::vbAbortRetryIgnore);
    l.buttons.push_back({rt::vbNo, "No", {}});
    EXPECT_EQ(MessageBoxInput(l).QuitAnswer(), rt::vbNo);
}

struct Owner : rt::Form {
    Owner() : Form("Owner") {
        BorderStyle(rt::vbBSNone);
        ClientSize(300, 200);
        Move(700, 500);
        ask.Transparent(true);
        ask.Click = [this] { log.push_back("answer " + std::to_string(rt::MsgBox("Go on?", rt::vbOKCancel, "Ask"))); };
    }
    void Form_Unload(int16_t&) override { log.push_back("unload owner"); }
    std::vector<std::string> log;
    rt::Label ask{*this, "ask", 0, 0, 40, 40};
};

struct Other : rt::Form {
    Other() : Form("Other") {
        BorderStyle(rt::vbBSNone);
        ClientSize(100, 100);
        Move(50, 50);
        zone.Transparent(true);
        zone.Click = [this] { ++clicks; };
    }
    void Form_KeyDown(int16_t&, int16_t&) override { ++keys; }
    void Form_Unload(int16_t&) override { unloaded = true; }
    int clicks = 0, keys = 0;
    bool unloaded = false;
    rt::Label zone{*this, "zone", 0, 0, 100, 100};
};

class ModalBox : public ::testing::Test {
protected:
    void SetUp() override {
        rt::headless::Use();
        owner.log.clear();
        other.clicks = other.keys = 0;
        other.unloaded = false;
        other.Show();
        owner.Show();
    }
    void TearDown() override {
        owner.Unload();
        other.Unload();
        rt::DoEvents();
    }
    Owner& owner = rt::FormOf<Owner>();
    Other& other = rt::FormOf<Other>();
};

TEST_F(ModalBox, WhatIsDoneToOtherWindowsWhileTheBoxIsUpIsDropped) {
    const size_t before = rt::headless::MessageBoxes().size();
    rt::headless::QueueAnswer(rt::vbCancel);
    rt::headless::Click(owner, 5, 5);  // brings the box up
    rt::headless::Click(other, 5, 5);  // while it is up
    rt::headless::KeyDown(other, rt::vbKeyA);
    rt::headless::Close(other);
    rt::DoEvents();
    rt::DoEvents();
    ASSERT_EQ(rt::headless::MessageBoxes().size(), before + 1);
    const auto& box = rt::headless::MessageBoxes().back();
    EXPECT_EQ(owner.log, std::vector<std::string>{"answer 2"});
    EXPECT_EQ(other.clicks, 0);
    EXPECT_EQ(other.keys, 0);
    EXPECT_TRUE(other.Loaded());
    // Centred on the window on top, the owner.
    EXPECT_NEAR(box.left + box.width / 2, 700 + 150, 1);
    EXPECT_NEAR(box.top + box.height / 2, 500 + 100, 1);

    // Once it has gone, the other window is used as before.
    rt::headless::Click(other, 5, 5);
    rt::DoEvents();
    EXPECT_EQ(other.clicks, 1);
}

TEST_F(ModalBox, TheBoxStaysOnTheScreen) {
    owner.Move(1200, 1000);  // mostly off the 1280 x 1024 screen
    rt::MsgBox("Edge", rt::vbOKOnly, "Edge");
    const auto& box = rt::headless::MessageBoxes().back();
    EXPECT_EQ(box.left + box.width, 1280);
    EXPECT_EQ(box.top + box.height, 1024);
}

TEST_F(ModalBox, TheEndOfTheProgramUnloadsEveryWindowAlsoWhileABoxIsUp) {
    rt::headless::Click(owner, 5, 5);  // brings the box up
    rt::headless::Quit();              // while it is up
    rt::DoEvents();
    // The box answered Cancel, then every window was unloaded through its handlers.
    EXPECT_EQ(owner.log, (std::vector<std::string>{"answer 2", "unload owner"}));
    EXPECT_TRUE(other.unloaded);
    EXPECT_TRUE(rt::ProgramFinished());
    // Told to end while it runs, the program ends with status 0.
    EXPECT_EQ(rt::RunProgram([this] {
                  other.Show();
                  rt::headless::Quit();
              }),
              0);
    EXPECT_FALSE(other.Loaded());
}

}  // namespace
