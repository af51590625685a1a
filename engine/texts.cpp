// Screen text labels: strings in back-buffer rectangles, each in its own font and colour,
// drawn over the scene and the overlays of every frame.
#include <memory>

#include "engine/checked.h"
#include "engine/slot_table.h"
#include "engine/zemdx.h"
#include "platform/runtime/errors.h"

namespace ZemDx {

namespace {

// A new scratch font with the face, size and weight (held in TextStdFont and TextIFont).
void NewScratchFont(const std::string& FontName, rt::Integer FontSize, rt::Boolean Bold) {
    TextStdFont = std::make_shared<StdFont>();
    TextStdFont->Name = FontName;
    TextStdFont->Size = FontSize;
    TextStdFont->Bold = Bold;
    TextIFont = TextStdFont;
}

// The device font for the scratch font's handle.
D3DXFontPtr FontFromScratch() {
    const HFONT handle = TextIFont->hFont();
    return detail::UtilityObject().CreateFont(D3DDevice, handle);
}

}  // namespace

rt::Long AddText(const std::string& Text, const rt::Integer& Top, const rt::Integer& Left,
                 const rt::Integer& Bottom, const rt::Integer& Right, const rt::Long& Format,
                 const std::string& FontName, const rt::Integer& FontSize, const rt::Boolean& Bold,
                 const rt::Long& Color) {
    return detail::Trapped(rt::Long{-1}, [&]() -> rt::Long {
        // A slot is free while its text is empty.
        const rt::Long slot = detail::FreeSlotOrGrow(
            TextCount, [](rt::Long i) { return detail::Item(Texts, i).Text.empty(); },
            [](size_t n) { Texts.resize(n); });

        NewScratchFont(FontName, FontSize, Bold);
        TextLabel& label = detail::Item(Texts, slot);
        label.Color = Color;
        label.Rect.Left = Left;
        label.Rect.Top = Top;
        label.Rect.Bottom = Bottom;
        label.Rect.Right = Right;
        label.Font = FontFromScratch();
        label.Format = Format;
        // The text comes last: until it is written the slot counts as free.
        label.Text = Text;
        return slot;
    });
}

rt::Boolean UpdateText(const rt::Long& Index, const rt::Boolean& Bold, const std::string& Text,
                       const rt::Integer& Top, const rt::Integer& Left, const rt::Integer& Bottom,
                       const rt::Integer& Right, const rt::Long& Format, const std::string& FontName,
                       const rt::Integer& FontSize, const rt::Long& Color) {
    return detail::Trapped(rt::False, [&]() -> rt::Boolean {
        TextLabel& label = detail::Item(Texts, Index);
        if (!FontName.empty()) {
            // A new font changes nothing else; a font that cannot be made leaves the old one.
            NewScratchFont(FontName, FontSize, Bold);
            label.Font = FontFromScratch();
            return rt::True;
        }
        if (Color != KeepColor) label.Color = Color;
        if (Left != KeepCoordinate) label.Rect.Left = Left;
        if (Top != KeepCoordinate) label.Rect.Top = Top;
        if (Bottom != KeepCoordinate) label.Rect.Bottom = Bottom;
        if (Right != KeepCoordinate) label.Rect.Right = Right;
        if (Format != KeepFormat) label.Format = Format;
        if (!Text.empty()) label.Text = Text;
        return rt::True;
    });
}

void DrawTexts() {
    const rt::Long count = TextCount;
    for (rt::Long i = 0; i < count; ++i) {
        const TextLabel& label = detail::Item(Texts, i);
        if (label.Text.empty()) continue;
        detail::UtilityObject().DrawText(label.Font, label.Color, label.Text, label.Rect, label.Format);
    }
}

}  // namespace ZemDx
