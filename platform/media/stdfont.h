// The platform's font object: a StdFont with a face name, a size in points, weight and style. The
// window controls draw their text in it; its IFont view's hFont handle names the realised font
// to D3DX8::CreateFont.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/runtime/types.h"

// A font handle as the IFont view hands it out; 0 is no font.
using HFONT = int32_t;

// The description a font handle stands for.
struct FontDescription {
    std::string Name;
    double Size = 0;  // points
    bool Bold = false;
    bool Italic = false;
};

class IFont {
public:
    virtual ~IFont() = default;
    // The handle of the font as currently described. The handle stays valid while this object
    // lives; changing a property afterwards gives a new handle on the next read. Raises
    // rt::ErrInvalidPropertyValue for a size that is not positive.
    virtual HFONT hFont() = 0;
};
using IFontPtr = std::shared_ptr<IFont>;

class StdFont : public IFont {
public:
    StdFont();
    ~StdFont() override;
    // A copy describes the same font but holds no handle of its own until it is asked for one
    // (controls keep their font by value).
    StdFont(const StdFont& other);
    StdFont& operator=(const StdFont& other);

    std::string Name = "MS Sans Serif";
    double Size = 8.25;  // points
    rt::Boolean Bold = rt::False;
    rt::Boolean Italic = rt::False;

    HFONT hFont() override;

private:
    HFONT handle_ = 0;
    FontDescription realised_;
};
using StdFontPtr = std::shared_ptr<StdFont>;

// The description behind a live handle; false when the handle is 0 or its font has gone.
bool LookUpFontHandle(HFONT handle, FontDescription& out);
