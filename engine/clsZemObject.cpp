// The object class apart from its file reader (object_file.cpp) and its placement
// (placement.cpp): the text helpers and the animation step.
#include "engine/clsZemObject.h"

#include <cstdint>

#include "engine/checked.h"
#include "engine/text_fields.h"
#include "platform/runtime/errors.h"
#include "platform/win32/system.h"

void clsZemObject::DrawObject() {}

std::string clsZemObject::TrimExtraSpace(std::string valu) { return ZemText::TrimExtraSpace(std::move(valu)); }

std::string clsZemObject::Field(const std::string& strg, const std::string& sep, const rt::Integer& cnt) {
    return ZemText::Field(strg, sep, cnt);
}

void clsZemObject::AdvanceAnimation() {
    if (CurrentFrame == 0) CurrentFrame = 1;
    if (CurrentFrame == -1) return;
    const int64_t now = static_cast<int32_t>(GetTickCount());

    using ZemDx::detail::Item;
    const ZemDx::Animation& anim = Item(ObjData.Animations, CurrentAnim);
    const std::vector<ZemDx::AnimFrame>& frames = anim.Frames;
    // The earlier frame's time minus the later one's.
    const rt::Integer d = rt::SubInt(Item(frames, int64_t{CurrentFrame} - 1).Time, Item(frames, CurrentFrame).Time);

    const int64_t elapsed = now - AnimStartTick;
    if (elapsed < INT32_MIN || elapsed > INT32_MAX) rt::Raise(rt::ErrOverflow);
    if (d == 0) rt::Raise(rt::ErrDivisionByZero);
    AnimAccum = rt::CLng(static_cast<double>(elapsed) / d + AnimAccum);

    if (AnimAccum > 1) {
        AnimAccum = 0;
        CurrentFrame = rt::AddLng(CurrentFrame, 1);
        if (int64_t{CurrentFrame} > static_cast<int64_t>(frames.size()) - 1) {
            if (anim.EndMode == 1) CurrentFrame = -1;
            else AnimFlag = 0;
        }
    }
}

void clsZemObject::EmptyPrivateFunction() {}
