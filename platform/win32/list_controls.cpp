// List boxes: items, highlight by click and by Up/Down, scrolling, and the file list that reads a
// folder.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "platform/runtime/errors.h"
#include "platform/runtime/paths.h"
#include "platform/win32/controls.h"
#include "platform/win32/keys.h"
#include "platform/win32/paint.h"

namespace rt {

namespace {
constexpr int32_t kBorder = 2;
constexpr int32_t kScrollWidth = 16;
}  // namespace

std::string ListControl::List(int32_t index) const {
    if (index < 0 || index >= ListCount()) Raise(ErrInvalidPropertyIndex);
    return items_[static_cast<size_t>(index)];
}

void ListControl::ListIndex(int32_t index) {
    if (index < -1 || index >= ListCount()) Raise(ErrInvalidPropertyValue);
    if (index == listIndex_) return;
    listIndex_ = index;
    if (index >= 0) ScrollToShow(index);
    Invalidate();
    if (Click) Click();
}

void ListControl::BackColor(int32_t c) {
    backColor_ = c;
    Invalidate();
}
void ListControl::ForeColor(int32_t c) {
    foreColor_ = c;
    Invalidate();
}
void ListControl::Font(const StdFont& f) {
    font_ = f;
    Invalidate();
}

int32_t ListControl::RowHeight() const { return detail::LineHeight(font_); }

int32_t ListControl::VisibleRows() const {
    return std::max<int32_t>(1, (Height() - 2 * kBorder) / RowHeight());
}

void ListControl::ScrollToShow(int32_t index) {
    int32_t rows = VisibleRows();
    if (index < topIndex_) topIndex_ = index;
    else if (index >= topIndex_ + rows) topIndex_ = index - rows + 1;
    topIndex_ = std::clamp(topIndex_, 0, std::max(0, ListCount() - rows));
}

void ListControl::SetItems(std::vector<std::string> items) {
    items_ = std::move(items);
    listIndex_ = -1;
    topIndex_ = 0;
    Invalidate();
}

void ListControl::Paint(uint32_t* argb, int32_t stride, int32_t clientW, int32_t clientH) {
    detail::Canvas c{argb, stride, clientW, clientH};
    int32_t l = Left(), t = Top(), r = Left() + Width(), b = Top() + Height();
    detail::FillRect(c, l, t, r, b, detail::ToArgb(backColor_));
    // Sunken border.
    detail::FillRect(c, l, t, r, t + 1, 0xFFA0A0A0u);
    detail::FillRect(c, l, t, l + 1, b, 0xFFA0A0A0u);
    detail::FillRect(c, l, b - 1, r, b, 0xFFFFFFFFu);
    detail::FillRect(c, r - 1, t, r, b, 0xFFFFFFFFu);
    bool scroll = ListCount() > VisibleRows();
    int32_t textRight = r - kBorder - (scroll ? kScrollWidth : 0);
    int32_t rowH = RowHeight();
    for (int32_t i = topIndex_, y = t + kBorder; i < ListCount() && y < b - kBorder; ++i, y += rowH) {
        uint32_t fg = detail::ToArgb(foreColor_);
        if (i == listIndex_) {
            detail::FillRect(c, l + kBorder, y, textRight, std::min(y + rowH, b - kBorder), 0xFF0078D7u);
            fg = 0xFFFFFFFFu;
        }
        detail::DrawTextLine(c, l + kBorder + 1, y, items_[static_cast<size_t>(i)], font_, fg, l + kBorder, y,
                             textRight, std::min(y + rowH, b - kBorder));
    }
    if (scroll) {
        int32_t sl = r - kBorder - kScrollWidth, st = t + kBorder, sb = b - kBorder;
        detail::FillRect(c, sl, st, sl + kScrollWidth, sb, 0xFFE8E8E8u);
        int32_t track = sb - st;
        int32_t rows = VisibleRows();
        int32_t thumbH = std::max<int32_t>(8, track * rows / ListCount());
        int32_t maxTop = std::max(1, ListCount() - rows);
        int32_t thumbY = st + (track - thumbH) * topIndex_ / maxTop;
        detail::FillRect(c, sl + 2, thumbY, sl + kScrollWidth - 2, thumbY + thumbH, 0xFFA0A0A0u);
    }
}

void ListControl::MouseDown(int16_t button, int16_t, int32_t x, int32_t y) {
    if (button != 1) return;
    int32_t rows = VisibleRows();
    if (ListCount() > rows && x >= Width() - kBorder - kScrollWidth) {
        // Scroll bar: the upper half scrolls up a row, the lower half down a row.
        int32_t maxTop = std::max(0, ListCount() - rows);
        topIndex_ = std::clamp(topIndex_ + (y < Height() / 2 ? -1 : 1), 0, maxTop);
        Invalidate();
        return;
    }
    int32_t row = (y - kBorder) / RowHeight();
    if (y < kBorder || row >= rows) return;
    int32_t index = topIndex_ + row;
    if (index < ListCount()) ListIndex(index);
}

void ListControl::KeyDown(int16_t& keyCode, int16_t) {
    if (ListCount() == 0) return;
    int32_t last = ListCount() - 1, page = VisibleRows();
    int32_t i = listIndex_;
    switch (keyCode) {
        case vbKeyUp: i = i < 0 ? 0 : std::max(0, i - 1); break;
        case vbKeyDown: i = i < 0 ? 0 : std::min(last, i + 1); break;
        case vbKeyPageUp: i = std::max(0, i - page); break;
        case vbKeyPageDown: i = std::min(last, std::max(i, 0) + page); break;
        case vbKeyHome: i = 0; break;
        case vbKeyEnd: i = last; break;
        default: return;
    }
    ListIndex(i);
}

// ---- ListBox

void ListBox::AddItem(const std::string& item) {
    items_.push_back(item);
    Invalidate();
}

void ListBox::Clear() { SetItems({}); }

// ---- FileListBox

namespace {

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// Wildcard match ('*' any run, '?' one character), ignoring case; linear backtracking to the
// last '*' only, so no pattern can make it slow.
bool Matches(const char* p, const char* pe, const char* s, const char* se) {
    const char* star = nullptr;
    const char* resume = nullptr;
    while (s != se) {
        if (p != pe && *p == '*') {
            star = ++p;
            resume = s;
        } else if (p != pe && (*p == '?' || Lower(*p) == Lower(*s))) {
            ++p;
            ++s;
        } else if (star) {
            p = star;
            s = ++resume;
        } else {
            return false;
        }
    }
    while (p != pe && *p == '*') ++p;
    return p == pe;
}

bool MatchesPattern(const std::string& pattern, const std::string& name) {
    size_t start = 0;
    while (start <= pattern.size()) {
        size_t end = pattern.find(';', start);
        if (end == std::string::npos) end = pattern.size();
        std::string one = pattern.substr(start, end - start);
        while (!one.empty() && one.front() == ' ') one.erase(0, 1);
        while (!one.empty() && one.back() == ' ') one.pop_back();
        // "*.*" and "*" take every name, with or without an extension.
        if (one == "*.*" || one == "*") return true;
        if (!one.empty() && Matches(one.data(), one.data() + one.size(), name.data(), name.data() + name.size()))
            return true;
        start = end + 1;
    }
    return false;
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        char x = Lower(a[i]), y = Lower(b[i]);
        if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

std::string StripTrailingSeparators(std::string p) {
    while (p.size() > 1 && (p.back() == '\\' || p.back() == '/')) p.pop_back();
    return p;
}

}  // namespace

void FileListBox::Path(const std::string& path) {
    std::error_code ec;
    std::string host = HostPath(path.empty() ? "." : path);
    if (!std::filesystem::is_directory(host, ec)) RaiseAbout(ErrPathNotFound, host);
    path_ = StripTrailingSeparators(path);
    Refresh();
}

void FileListBox::Pattern(const std::string& pattern) {
    pattern_ = pattern;
    if (!path_.empty()) Refresh();
}

std::string FileListBox::FileName() const {
    return listIndex_ >= 0 && listIndex_ < ListCount() ? items_[static_cast<size_t>(listIndex_)] : std::string();
}

void FileListBox::Refresh() {
    std::vector<std::string> names;
    std::error_code ec;
    std::string host = HostPath(path_.empty() ? "." : path_);
    std::filesystem::directory_iterator it(host, ec), end;
    // The folder named as the system names it.
    if (ec) RaiseAbout(ec == std::errc::permission_denied ? ErrPermissionDenied : ErrPathNotFound, host);
    for (; it != end; it.increment(ec)) {
        if (ec) break;
        std::error_code fe;
        if (!it->is_regular_file(fe)) continue;
        std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.') continue;  // hidden
        if (MatchesPattern(pattern_, name)) names.push_back(name);
    }
    std::sort(names.begin(), names.end(), LessIgnoringCase);
    SetItems(std::move(names));
}

}  // namespace rt
