// The run time's message box: laid out, painted and driven here, shown by the backend as a window
// of its own. Text goes through the FreeType text core, so no font of the display is needed.
#include "platform/win32/msgbox.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

#include "platform/media/text_render.h"
#include "platform/win32/backend.h"
#include "platform/win32/form.h"
#include "platform/win32/internals.h"
#include "platform/win32/keys.h"
#include "platform/win32/paint.h"
#include "platform/win32/runtime.h"
#include "platform/win32/state.h"

namespace rt::detail {

namespace {

// Sizes in pixels.
constexpr int32_t kBorder = 1;
constexpr int32_t kTitleHeight = 26;
constexpr int32_t kPad = 16;
constexpr int32_t kIconSize = 32;
constexpr int32_t kIconGap = 12;
constexpr int32_t kMaxTextWidth = 420;
constexpr int32_t kMinWidth = 260;
constexpr size_t kMaxLines = 40;  // a longer text ends in "..."
constexpr int32_t kButtonHeight = 26;
constexpr int32_t kButtonMinWidth = 84;
constexpr int32_t kButtonGap = 10;
constexpr int32_t kButtonPadX = 14;
constexpr int32_t kButtonsGap = 18;  // between the text (or icon) and the buttons
constexpr int32_t kBottomPad = 14;
constexpr int kTextPixels = 12;      // 9 points
constexpr int kIconGlyphPixels = 24;

// The parts of a MsgBox buttons value: the button set (vbOKOnly ... vbRetryCancel) in the low
// bits, the icon (vbCritical ... vbInformation) above them.
constexpr int32_t kButtonSetBits = 0x07;
constexpr int32_t kIconBits = 0x70;

// Colours.
constexpr uint32_t kFrame = 0xFF3C3C3C;
constexpr uint32_t kFace = 0xFFF0F0F0;
constexpr uint32_t kTitleBar = 0xFF2B5797;
constexpr uint32_t kTitleText = 0xFFFFFFFF;
constexpr uint32_t kText = 0xFF000000;
constexpr uint32_t kButtonFace = 0xFFE1E1E1;
constexpr uint32_t kButtonEdge = 0xFFADADAD;
constexpr uint32_t kButtonPressed = 0xFFCCE4F7;
constexpr uint32_t kButtonPressedEdge = 0xFF005499;
constexpr uint32_t kDefaultMark = 0xFF0078D7;

textrender::Font* TextFont() {
    static const textrender::FontPtr font = textrender::Font::Open("Sans", kTextPixels, false);
    return font.get();
}

textrender::Font* TitleFont() {
    static const textrender::FontPtr font = textrender::Font::Open("Sans", kTextPixels, true);
    return font.get();
}

textrender::Font* IconFont() {
    static const textrender::FontPtr font = textrender::Font::Open("Sans", kIconGlyphPixels, true);
    return font.get();
}

// Without any font face the box still gets its size (and says so on standard error when shown).
int32_t WidthOf(textrender::Font* font, std::string_view s) {
    return font ? font->MeasureWidth(s) : static_cast<int32_t>(s.size()) * 7;
}

// The longest start of `word` (at least one character) that fits in `width`.
size_t FittingPrefix(textrender::Font* font, std::string_view word, int32_t width) {
    size_t lo = 1, hi = word.size();
    while (lo < hi) {
        size_t mid = (lo + hi + 1) / 2;
        if (WidthOf(font, word.substr(0, mid)) <= width) lo = mid;
        else hi = mid - 1;
    }
    return lo;
}

std::vector<std::string> WrapText(textrender::Font* font, const std::string& text, int32_t width) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        size_t end = text.find('\n', start);
        std::string_view para(text.data() + start, (end == std::string::npos ? text.size() : end) - start);
        if (!para.empty() && para.back() == '\r') para.remove_suffix(1);
        std::string line;
        size_t at = 0;
        while (at <= para.size()) {
            size_t space = para.find(' ', at);
            std::string_view word = para.substr(at, space == std::string_view::npos ? std::string_view::npos : space - at);
            at = space == std::string_view::npos ? para.size() + 1 : space + 1;
            std::string candidate = line.empty() ? std::string(word) : line + " " + std::string(word);
            if (WidthOf(font, candidate) <= width) {
                line = std::move(candidate);
                continue;
            }
            if (!line.empty()) lines.push_back(std::move(line));
            line.clear();
            while (!word.empty() && WidthOf(font, word) > width) {
                size_t n = FittingPrefix(font, word, width);
                lines.emplace_back(word.substr(0, n));
                word.remove_prefix(n);
            }
            line = std::string(word);
        }
        lines.push_back(std::move(line));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    if (lines.size() > kMaxLines) {
        lines.resize(kMaxLines);
        lines.back() = "...";
    }
    return lines;
}

std::vector<std::pair<int32_t, const char*>> ButtonSet(int32_t buttons) {
    switch (buttons & kButtonSetBits) {
        case vbOKCancel: return {{vbOK, "OK"}, {vbCancel, "Cancel"}};
        case vbAbortRetryIgnore: return {{vbAbort, "Abort"}, {vbRetry, "Retry"}, {vbIgnore, "Ignore"}};
        case vbYesNoCancel: return {{vbYes, "Yes"}, {vbNo, "No"}, {vbCancel, "Cancel"}};
        case vbYesNo: return {{vbYes, "Yes"}, {vbNo, "No"}};
        case vbRetryCancel: return {{vbRetry, "Retry"}, {vbCancel, "Cancel"}};
        default: return {{vbOK, "OK"}};
    }
}

// ---- painting

void Fill(const Canvas& c, const BoxRect& r, uint32_t argb) { FillRect(c, r.left, r.top, r.right, r.bottom, argb); }

void Frame(const Canvas& c, const BoxRect& r, int32_t thick, uint32_t argb) {
    FrameRect(c, r.left, r.top, r.right, r.bottom, thick, argb);
}

void DrawText(const Canvas& c, textrender::Font* font, int32_t x, int32_t top, const std::string& s, uint32_t argb,
              const BoxRect& clip) {
    if (!font || s.empty()) return;
    font->DrawLine({c.pixels, c.width, c.height, c.stride}, x, top, s, argb,
                   {clip.left, clip.top, clip.right, clip.bottom});
}

void DrawIcon(const Canvas& canvas, const BoxRect& r, int32_t icon) {
    auto shape = [&](uint32_t argb, const std::function<bool(float, float)>& inside) {
        FillShape(canvas, r.left, r.top, r.right, r.bottom, argb, inside);
    };
    const float c = kIconSize / 2.0f;
    auto circle = [c](float radius) {
        return [c, radius](float x, float y) { return (x - c) * (x - c) + (y - c) * (y - c) <= radius * radius; };
    };
    auto triangle = [](float inset) {
        // Apex at the top middle, base along the bottom.
        return [inset](float x, float y) {
            const float top = 2 + inset * 1.6f, bottom = 30 - inset, half = 14.5f - inset * 1.7f;
            if (y < top || y > bottom) return false;
            const float w = half * (y - top) / (bottom - top);
            return std::fabs(x - 16) <= w;
        };
    };
    const char* glyph = nullptr;
    uint32_t glyphColour = 0xFFFFFFFF;
    switch (icon) {
        case vbCritical: {
            shape(0xFFA31515, circle(15.5f));
            shape(0xFFD83B3B, circle(14.5f));
            // A white cross of two thick strokes.
            shape(0xFFFFFFFF, [](float x, float y) {
                const float u = x - 16, v = y - 16;
                if (std::fabs(u) > 7.5f || std::fabs(v) > 7.5f) return false;
                return std::fabs(u - v) <= 2.6f || std::fabs(u + v) <= 2.6f;
            });
            return;
        }
        case vbQuestion:
        case vbInformation:
            shape(0xFF124A96, circle(15.5f));
            shape(0xFF1F6FD1, circle(14.5f));
            glyph = icon == vbQuestion ? "?" : "i";
            break;
        case vbExclamation:
            shape(0xFFB58900, triangle(0));
            shape(0xFFFFCC33, triangle(1.2f));
            glyph = "!";
            glyphColour = 0xFF000000;
            break;
        default:
            return;
    }
    textrender::Font* font = IconFont();
    if (!font) return;
    // Centre the glyph on the icon: its capitals stand about 0.73 em tall on the baseline.
    const int32_t x = r.left + (kIconSize - font->MeasureWidth(glyph)) / 2;
    const int32_t baseline = r.top + (icon == vbExclamation ? 19 : 16) + kIconGlyphPixels * 73 / 200;
    DrawText(canvas, font, x, baseline - font->Ascent(), glyph, glyphColour, r);
}

}  // namespace

MessageBoxLayout LayOutMessageBox(const std::string& text, const std::string& title, int32_t buttons) {
    MessageBoxLayout l;
    textrender::Font* font = TextFont();
    l.title = title;
    const int32_t icon = buttons & kIconBits;
    l.icon = icon == vbCritical || icon == vbQuestion || icon == vbExclamation || icon == vbInformation ? icon : 0;
    l.lines = WrapText(font, text, kMaxTextWidth);
    l.lineHeight = font ? std::max(1, font->LineHeight()) : 15;

    int32_t textWidth = 0;
    for (const std::string& line : l.lines) textWidth = std::max(textWidth, WidthOf(font, line));
    const int32_t textHeight = static_cast<int32_t>(l.lines.size()) * l.lineHeight;
    const int32_t contentLeft = kBorder + kPad, contentTop = kBorder + kTitleHeight + kPad;
    l.textLeft = contentLeft + (l.icon ? kIconSize + kIconGap : 0);
    l.textTop = contentTop + (l.icon && textHeight < kIconSize ? (kIconSize - textHeight) / 2 : 0);
    l.iconRect = {contentLeft, contentTop, contentLeft + kIconSize, contentTop + kIconSize};
    const int32_t contentHeight = std::max(textHeight, l.icon ? kIconSize : 0);

    // Buttons of one width, the widest label's.
    int32_t buttonWidth = kButtonMinWidth;
    for (const auto& [answer, label] : ButtonSet(buttons)) {
        l.buttons.push_back({answer, label, {}});
        buttonWidth = std::max(buttonWidth, WidthOf(font, label) + 2 * kButtonPadX);
    }
    const int32_t count = static_cast<int32_t>(l.buttons.size());
    const int32_t rowWidth = count * buttonWidth + (count - 1) * kButtonGap;

    l.width = std::max({l.textLeft + textWidth + kPad + kBorder, rowWidth + 2 * (kPad + kBorder),
                        WidthOf(TitleFont(), title) + 2 * (kBorder + 10), kMinWidth});
    const int32_t buttonsTop = contentTop + contentHeight + kButtonsGap;
    l.height = buttonsTop + kButtonHeight + kBottomPad + kBorder;
    l.titleBar = {kBorder, kBorder, l.width - kBorder, kBorder + kTitleHeight};
    int32_t x = (l.width - rowWidth) / 2;
    for (MessageBoxButton& b : l.buttons) {
        b.rect = {x, buttonsTop, x + buttonWidth, buttonsTop + kButtonHeight};
        x += buttonWidth + kButtonGap;
    }

    l.defaultButton = 0;
    for (int i = 0; i < count; ++i)
        if (l.buttons[i].answer == vbCancel) l.escapeButton = i;
    if (count == 1) l.escapeButton = 0;
    return l;
}

MessageBoxInput::MessageBoxInput(const MessageBoxLayout& layout) : layout_(layout), focused_(layout.defaultButton) {}

bool MessageBoxInput::KeyDown(int16_t keyCode, int16_t shift) {
    if (answer_) return false;
    const int n = static_cast<int>(layout_.buttons.size());
    switch (keyCode) {
        case vbKeyReturn:
        case vbKeySpace:
            answer_ = layout_.buttons[focused_].answer;
            return false;
        case vbKeyEscape:
            if (layout_.escapeButton >= 0) answer_ = layout_.buttons[layout_.escapeButton].answer;
            return false;
        case vbKeyTab:
            focused_ = (focused_ + ((shift & vbShiftMask) ? n - 1 : 1)) % n;
            return n > 1;
        default:
            return false;
    }
}

bool MessageBoxInput::MouseDown(int32_t x, int32_t y) {
    if (answer_) return false;
    for (int i = 0; i < static_cast<int>(layout_.buttons.size()); ++i)
        if (layout_.buttons[i].rect.Contains(x, y)) {
            pressed_ = focused_ = i;
            return true;
        }
    return false;
}

bool MessageBoxInput::MouseUp(int32_t x, int32_t y) {
    if (pressed_ < 0 || answer_) return false;
    if (layout_.buttons[pressed_].rect.Contains(x, y)) answer_ = layout_.buttons[pressed_].answer;
    pressed_ = -1;
    return true;
}

void MessageBoxInput::CloseCommand() { KeyDown(vbKeyEscape, 0); }

int32_t MessageBoxInput::QuitAnswer() const {
    for (int32_t wanted : {vbCancel, vbNo, vbAbort})
        for (const MessageBoxButton& b : layout_.buttons)
            if (b.answer == wanted) return wanted;
    return layout_.buttons.front().answer;
}

void PaintMessageBox(const MessageBoxLayout& l, const MessageBoxInput& input, std::vector<uint32_t>& pixels) {
    pixels.assign(static_cast<size_t>(l.width) * l.height, kFrame);
    const Canvas p{pixels.data(), l.width, l.width, l.height};
    Fill(p, {kBorder, kBorder, l.width - kBorder, l.height - kBorder}, kFace);
    Fill(p, l.titleBar, kTitleBar);
    if (textrender::Font* title = TitleFont()) {
        BoxRect clip{l.titleBar.left + 10, l.titleBar.top, l.titleBar.right - 10, l.titleBar.bottom};
        DrawText(p, title, clip.left, l.titleBar.top + (kTitleHeight - title->LineHeight()) / 2, l.title, kTitleText,
                 clip);
    }
    if (l.icon) DrawIcon(p, l.iconRect, l.icon);
    const BoxRect body{kBorder + kPad, l.titleBar.bottom, l.width - kBorder - kPad, l.height - kBorder};
    for (size_t i = 0; i < l.lines.size(); ++i)
        DrawText(p, TextFont(), l.textLeft, l.textTop + static_cast<int32_t>(i) * l.lineHeight, l.lines[i], kText,
                 body);
    for (int i = 0; i < static_cast<int>(l.buttons.size()); ++i) {
        const MessageBoxButton& b = l.buttons[i];
        const bool pressed = i == input.Pressed();
        Fill(p, b.rect, pressed ? kButtonPressed : kButtonFace);
        if (i == input.Focused()) Frame(p, b.rect, 2, pressed ? kButtonPressedEdge : kDefaultMark);
        else Frame(p, b.rect, 1, kButtonEdge);
        if (textrender::Font* font = TextFont()) {
            const int32_t x = (b.rect.left + b.rect.right - font->MeasureWidth(b.label)) / 2;
            const int32_t top = (b.rect.top + b.rect.bottom - font->LineHeight()) / 2 + (pressed ? 1 : 0);
            DrawText(p, font, x, top, b.label, kText, b.rect);
        }
    }
}

void PlaceMessageBox(const MessageBoxLayout& layout, int32_t& left, int32_t& top) {
    int32_t sw = 0, sh = 0;
    CurrentBackend().ScreenSize(sw, sh);
    int32_t cx = sw / 2, cy = sh / 2;
    const auto& z = ZOrder();
    for (auto it = z.rbegin(); it != z.rend(); ++it)
        if ((*it)->Loaded() && (*it)->Visible()) {
            cx = (*it)->Left() + (*it)->Width() / 2;
            cy = (*it)->Top() + (*it)->Height() / 2;
            break;
        }
    left = std::clamp(cx - layout.width / 2, 0, std::max(0, sw - layout.width));
    top = std::clamp(cy - layout.height / 2, 0, std::max(0, sh - layout.height));
}

int32_t RunMessageBox(const std::string& text, const std::string& title, int32_t buttons) {
    Backend& b = CurrentBackend();
    const MessageBoxLayout layout = LayOutMessageBox(text, title, buttons);
    MessageBoxInput input(layout);
    std::vector<uint32_t> pixels;
    PaintMessageBox(layout, input, pixels);
    MessageBoxView view;
    view.title = title;
    view.text = text;
    view.buttons = buttons;
    view.defaultAnswer = layout.buttons[layout.defaultButton].answer;
    view.width = layout.width;
    view.height = layout.height;
    view.pixels = &pixels;
    PlaceMessageBox(layout, view.left, view.top);

    bool& up = State().messageBoxUp;
    std::string why = up ? "another message box is up" : "";
    if (!TextFont() && !b.Headless()) std::fprintf(stderr, "No font face for the message box's text.\n");
    if (up || !b.ShowMessageBox(view, why)) {
        std::fprintf(stderr, "The message box could not be shown (%s).\n%s: %s\n", why.c_str(), title.c_str(),
                     text.c_str());
        return view.defaultAnswer;
    }
    // The box goes away however this ends (an error nothing trapped in a repaint included).
    struct Shown {
        Backend& b;
        bool& up;
        ~Shown() {
            b.CloseMessageBox();
            up = false;
        }
    } shown{b, up};
    up = true;

    auto& q = EventQueue();
    bool quit = false;
    std::optional<int32_t> answer;
    while (!answer) {
        b.Poll(q);
        while (!q.empty() && !answer) {
            const Event e = q.front();
            q.pop_front();
            bool changed = false;
            if (e.kind == Event::EvQuit) {
                quit = true;
                answer = input.QuitAnswer();
            } else if (e.hWnd != kMessageBoxWindow) {
                // Other windows are only repainted; what the user did to them is dropped.
                if (e.kind == Event::EvExpose) Dispatch(e);
            } else {
                switch (e.kind) {
                    case Event::EvAnswer: answer = e.answer; break;
                    case Event::EvMouseDown: changed = e.button == vbLeftButton && input.MouseDown(e.x, e.y); break;
                    case Event::EvMouseUp: changed = e.button == vbLeftButton && input.MouseUp(e.x, e.y); break;
                    case Event::EvKeyDown: changed = input.KeyDown(e.keyCode, e.shift); break;
                    case Event::EvClose: input.CloseCommand(); break;
                    case Event::EvExpose: b.PresentMessageBox(pixels); break;
                    default: break;
                }
                if (!answer) answer = input.Answer();
            }
            if (changed && !answer) {
                PaintMessageBox(layout, input, pixels);
                b.PresentMessageBox(pixels);
            }
        }
        if (!answer) b.Wait(50);
    }
    // The end of the program is carried out once the box's caller has its answer.
    if (quit) q.push_front(Event{Event::EvQuit});
    return *answer;
}

}  // namespace rt::detail
