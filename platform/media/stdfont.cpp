// OLE fonts: each realised description gets a handle that stays valid while its StdFont lives.
#include "platform/media/stdfont.h"

#include <map>

#include "platform/runtime/errors.h"

namespace {

// Never destroyed: fonts held in static objects (the engine keeps its label font in a module
// variable) give their handles back while the statics are torn down after main returns, in an
// order nobody controls, so the registry has to outlive every one of them.
std::map<HFONT, FontDescription>& Handles() {
    static auto* const handles = new std::map<HFONT, FontDescription>;
    return *handles;
}

HFONT NextHandle() {
    static HFONT next = 0x0A000000;
    if (++next <= 0) next = 0x0A000001;  // never 0, never negative
    return next;
}

bool Same(const FontDescription& a, const FontDescription& b) {
    return a.Name == b.Name && a.Size == b.Size && a.Bold == b.Bold && a.Italic == b.Italic;
}

}  // namespace

StdFont::StdFont() = default;

StdFont::StdFont(const StdFont& other)
    : IFont(), Name(other.Name), Size(other.Size), Bold(other.Bold), Italic(other.Italic) {}

StdFont& StdFont::operator=(const StdFont& other) {
    // The handle stays ours; the next hFont() sees whether the description changed.
    Name = other.Name;
    Size = other.Size;
    Bold = other.Bold;
    Italic = other.Italic;
    return *this;
}

StdFont::~StdFont() {
    if (handle_ != 0) Handles().erase(handle_);
}

HFONT StdFont::hFont() {
    if (!(Size > 0) || Size > 2048) rt::Raise(rt::ErrInvalidPropertyValue);
    const FontDescription now{Name, Size, Bold != rt::False, Italic != rt::False};
    if (handle_ != 0 && Same(now, realised_)) return handle_;
    if (handle_ != 0) Handles().erase(handle_);
    handle_ = NextHandle();
    realised_ = now;
    Handles()[handle_] = now;
    return handle_;
}

bool LookUpFontHandle(HFONT handle, FontDescription& out) {
    const auto it = Handles().find(handle);
    if (it == Handles().end()) return false;
    out = it->second;
    return true;
}
