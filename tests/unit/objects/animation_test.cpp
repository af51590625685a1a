// The animation step: frame timing against the tick count, the accumulator's threshold and
// rounding, the end modes, and its errors.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "objects_fixture.h"

using objtest::ErrorOf;
using Inspector = clsZemObjectInspector;

namespace {

class Animation : public objtest::EngineTest {
protected:
    // Loads an object whose only animation has the given frame list and end mode.
    void LoadAnimation(const std::string& frames, int endMode) {
        obj_.LoadObject(WriteDataFile("anim.zemobj", "1,1,1\r\nx.bmp,0\r\n1\r\n0,0,0,0,0,0,0\r\n0,0,0,0,0,0,0\r\n"
                                                     "0,0,0,0,0,0,0\r\n1," + frames + "," + std::to_string(endMode) + "\r\n"));
    }
    void Step() { Inspector::AdvanceAnimation(obj_); }
    rt::Long Frame() { return Inspector::CurrentFrame(obj_); }
    rt::Long Accum() { return Inspector::AnimAccum(obj_); }

    clsZemObject obj_;
};

// Three frames whose times fall by 40: each step at tick t adds t / 40 to the accumulator.
const char* kFalling = "3:80:1:40:2:0";
// Three frames whose times rise by 40: each step adds t / -40.
const char* kRising = "3:0:1:40:2:80";

}  // namespace

TEST_F(Animation, StepsOneFramePerPassAndStopsAfterTheLast) {
    LoadAnimation(kFalling, 1);
    rt::headless::SetClock(100);
    Step();  // frame 0 becomes 1; 100 / 40 = 2.5 rounds to 2, which passes 1
    EXPECT_EQ(Frame(), 2);
    EXPECT_EQ(Accum(), 0);
    Step();  // past the last frame with end mode 1: finished
    EXPECT_EQ(Frame(), -1);
    EXPECT_EQ(Accum(), 0);
    rt::headless::SetClock(5000);
    Step();
    EXPECT_EQ(Frame(), -1);
    EXPECT_EQ(Accum(), 0);
}

TEST_F(Animation, TheAccumulatorMustExceedOne) {
    LoadAnimation(kFalling, 1);
    rt::headless::SetClock(40);  // exactly 1: no step yet, but it is kept
    Step();
    EXPECT_EQ(Frame(), 1);
    EXPECT_EQ(Accum(), 1);
    Step();  // 1 + 1
    EXPECT_EQ(Frame(), 2);
    EXPECT_EQ(Accum(), 0);

    // Halves round to even: 20 / 40 = 0.5 gives 0, 60 / 40 = 1.5 gives 2.
    rt::headless::SetClock(20);
    Step();
    EXPECT_EQ(Accum(), 0);
    EXPECT_EQ(Frame(), 2);
    rt::headless::SetClock(60);
    Step();
    EXPECT_EQ(Frame(), -1);
}

TEST_F(Animation, StartTickIsSubtractedFromTheTickCount) {
    LoadAnimation(kFalling, 1);
    Inspector::AnimStartTick(obj_) = 60;
    rt::headless::SetClock(100);  // (100 - 60) / 40 = 1
    Step();
    EXPECT_EQ(Accum(), 1);
    EXPECT_EQ(Frame(), 1);
}

TEST_F(Animation, WithoutEndModeOneItClearsTheFlagAndTheNextStepFails) {
    LoadAnimation(kFalling, 0);
    Inspector::AnimFlag(obj_) = 5;
    rt::headless::SetClock(100);
    Step();
    Step();
    EXPECT_EQ(Frame(), 3);
    EXPECT_EQ(Inspector::AnimFlag(obj_), 0);
    EXPECT_EQ(ErrorOf([&] { Step(); }), rt::ErrSubscript);
    EXPECT_EQ(Frame(), 3);
}

TEST_F(Animation, TheTickCountIsSigned) {
    // Rising times give a negative divisor: a tick count below 2^31 only drives the accumulator
    // down, one of 2^31 or more (negative as a signed number) drives it up.
    LoadAnimation(kRising, 1);
    rt::headless::SetClock(100);
    Step();
    EXPECT_EQ(Accum(), -2);
    Step();
    EXPECT_EQ(Accum(), -4);
    EXPECT_EQ(Frame(), 1);
    rt::headless::SetClock(0xFFFFFF9Cu);  // -100
    Step();
    Step();
    Step();  // -4 + 2.5 -> -2 (half to even), then 0, then 2: next frame
    EXPECT_EQ(Frame(), 2);
    EXPECT_EQ(Accum(), 0);
}

TEST_F(Animation, FinishedDoesNothingEvenWithoutAnimations) {
    Inspector::CurrentFrame(obj_) = -1;
    rt::headless::SetClock(100);
    EXPECT_EQ(ErrorOf([&] { Step(); }), 0);
    EXPECT_EQ(Frame(), -1);
    EXPECT_EQ(Accum(), 0);
}

TEST_F(Animation, MissingAnimationsOrFramesAreSubscriptErrors) {
    // No animations loaded: the frame is set to 1 before the failure.
    EXPECT_EQ(ErrorOf([&] { Step(); }), rt::ErrSubscript);
    EXPECT_EQ(Frame(), 1);

    // A one-frame animation has no frame 1 to time.
    clsZemObject single;
    single.LoadObject("objects\\single.zemobj");
    EXPECT_EQ(ErrorOf([&] { Inspector::AdvanceAnimation(single); }), rt::ErrSubscript);

    // The running animation outside the list.
    LoadAnimation(kFalling, 1);
    for (rt::Integer anim : {1, -1}) {
        Inspector::CurrentAnim(obj_) = anim;
        Inspector::CurrentFrame(obj_) = 0;
        EXPECT_EQ(ErrorOf([&] { Step(); }), rt::ErrSubscript) << anim;
    }
}

TEST_F(Animation, EqualTimesDivideByZeroAndOverflowsAreReported) {
    LoadAnimation("2:5:1:5", 1);
    rt::headless::SetClock(100);
    EXPECT_EQ(ErrorOf([&] { Step(); }), rt::ErrDivisionByZero);

    // The time difference leaves 16 bits.
    LoadAnimation("2:-32768:0:32767", 1);
    Inspector::CurrentFrame(obj_) = 0;
    EXPECT_EQ(ErrorOf([&] { Step(); }), rt::ErrOverflow);

    // The tick difference leaves 32 bits, and so does the accumulator.
    LoadAnimation(kFalling, 1);
    Inspector::CurrentFrame(obj_) = 0;
    Inspector::AnimStartTick(obj_) = INT32_MIN;
    EXPECT_EQ(ErrorOf([&] { Step(); }), rt::ErrOverflow);
    Inspector::AnimStartTick(obj_) = 0;
    Inspector::AnimAccum(obj_) = INT32_MAX;
    EXPECT_EQ(ErrorOf([&] { Step(); }), rt::ErrOverflow);
    EXPECT_EQ(Frame(), 1);
}
