// Controls of a window. A control is a member of its window class, constructed with its window,
// name and rectangle (client pixels); the order of construction is the creation order, and a
// control created later lies above the ones before it.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/form.h"
#include "platform/win32/runtime.h"

namespace rt {

class Control {
public:
    Control(Form& parent, std::string name, int32_t left, int32_t top, int32_t width, int32_t height);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    Form& Parent() const { return parent_; }
    const std::string& Name() const { return name_; }
    int32_t Left() const { return left_; }
    int32_t Top() const { return top_; }
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    void Move(int32_t left, int32_t top, int32_t width, int32_t height);
    bool Visible() const { return visible_; }
    void Visible(bool v);
    bool Enabled() const { return enabled_; }
    void Enabled(bool e) { enabled_ = e; }
    bool Contains(int32_t x, int32_t y) const {
        return x >= left_ && y >= top_ && x < left_ + width_ && y < top_ + height_;
    }

    // Run-time internals: drawing into the window's pixels and input.
    virtual bool Windowless() const { return false; }  // windowless controls have no hWnd
    virtual bool CanFocus() const { return false; }
    virtual void Paint(uint32_t* argb, int32_t stride, int32_t clientW, int32_t clientH) = 0;
    virtual void MouseDown(int16_t button, int16_t shift, int32_t x, int32_t y);  // control-relative
    virtual void MouseUp(int16_t button, int16_t shift, int32_t x, int32_t y);
    virtual void KeyDown(int16_t& keyCode, int16_t shift);
    virtual void KeyUp(int16_t& keyCode, int16_t shift);
    void Invalidate();

private:
    Form& parent_;
    std::string name_;
    int32_t left_, top_, width_, height_;
    bool visible_ = true;
    bool enabled_ = true;
};

// A label: a caption over an optional background; a transparent caption-less label is a click
// zone over a button painted on the skin.
class Label : public Control {
public:
    using Control::Control;
    const std::string& Caption() const { return caption_; }
    void Caption(const std::string& c);
    bool Transparent() const { return transparent_; }
    void Transparent(bool t);
    int32_t BackColor() const { return backColor_; }
    void BackColor(int32_t c);
    int32_t ForeColor() const { return foreColor_; }
    void ForeColor(int32_t c);
    const StdFont& Font() const { return font_; }
    void Font(const StdFont& f);

    std::function<void()> Click;

    bool Windowless() const override { return true; }
    void Paint(uint32_t* argb, int32_t stride, int32_t clientW, int32_t clientH) override;
    void MouseUp(int16_t button, int16_t shift, int32_t x, int32_t y) override;

private:
    std::string caption_;
    bool transparent_ = false;
    int32_t backColor_ = 0x00F0F0F0;
    int32_t foreColor_ = 0x00000000;
    StdFont font_;
};

// Items in a scrolling list with one highlighted item; shared by ListBox and FileListBox.
class ListControl : public Control {
public:
    using Control::Control;
    int32_t ListCount() const { return static_cast<int32_t>(items_.size()); }
    // Item i; ErrInvalidPropertyIndex outside 0..ListCount-1.
    std::string List(int32_t index) const;
    int32_t ListIndex() const { return listIndex_; }
    // Highlights item `index` (-1 for none) and runs Click when the highlight changes;
    // ErrInvalidPropertyValue outside -1..ListCount-1.
    void ListIndex(int32_t index);
    int32_t TopIndex() const { return topIndex_; }
    int32_t BackColor() const { return backColor_; }
    void BackColor(int32_t c);
    int32_t ForeColor() const { return foreColor_; }
    void ForeColor(int32_t c);
    const StdFont& Font() const { return font_; }
    void Font(const StdFont& f);
    // Rows that fit in the control at the current font.
    int32_t VisibleRows() const;

    std::function<void()> Click;

    bool CanFocus() const override { return true; }
    void Paint(uint32_t* argb, int32_t stride, int32_t clientW, int32_t clientH) override;
    void MouseDown(int16_t button, int16_t shift, int32_t x, int32_t y) override;
    void KeyDown(int16_t& keyCode, int16_t shift) override;

protected:
    void SetItems(std::vector<std::string> items);  // keeps no highlight
    std::vector<std::string> items_;
    int32_t listIndex_ = -1;
    int32_t topIndex_ = 0;

private:
    void ScrollToShow(int32_t index);
    int32_t RowHeight() const;
    int32_t backColor_ = 0x00FFFFFF;
    int32_t foreColor_ = 0x00000000;
    StdFont font_;
};

class ListBox : public ListControl {
public:
    using ListControl::ListControl;
    void AddItem(const std::string& item);
    void Clear();
};

// The names of the files of one folder that match a pattern, in case-insensitive order.
class FileListBox : public ListControl {
public:
    using ListControl::ListControl;
    // Folder as given (Windows style, "\" separators, any case). Setting it re-reads the folder;
    // a folder that does not exist raises ErrPathNotFound and leaves the list as it was.
    const std::string& Path() const { return path_; }
    void Path(const std::string& path);
    // Wildcard pattern ("*.map"; several separated by ";"); setting it re-reads the folder.
    const std::string& Pattern() const { return pattern_; }
    void Pattern(const std::string& pattern);
    // The highlighted name, "" when none.
    std::string FileName() const;
    void Refresh();

private:
    std::string path_;
    std::string pattern_ = "*.*";
};

// A plain surface with a background colour and a window handle of its own (the Direct3D
// device can draw into it).
class PictureBox : public Control {
public:
    PictureBox(Form& parent, std::string name, int32_t left, int32_t top, int32_t width, int32_t height);
    ~PictureBox() override;
    int32_t BackColor() const { return backColor_; }
    void BackColor(int32_t c);
    int32_t hWnd() const { return hWnd_; }
    // Draws a frame scaled to the box (what Present of the Direct3D device shows).
    void ShowFrame(const uint32_t* argb, int32_t width, int32_t height);

    std::function<void()> Click;

    void Paint(uint32_t* argb, int32_t stride, int32_t clientW, int32_t clientH) override;
    void MouseUp(int16_t button, int16_t shift, int32_t x, int32_t y) override;

private:
    int32_t backColor_ = 0x00F0F0F0;
    int32_t hWnd_;
    std::vector<uint32_t> frame_;  // box-sized, empty until the first frame
};

// A timer: OnTimer runs from the event pump every Interval ms while Enabled and its window is
// loaded; Interval 0 stops it. A tick that falls due while the previous one's handler is still
// running is skipped.
class Timer : public Control {
public:
    Timer(Form& parent, std::string name, int32_t interval = 0, bool enabled = true);
    int32_t Interval() const { return interval_; }
    void Interval(int32_t ms);
    bool Enabled() const { return enabled_; }
    void Enabled(bool on);

    std::function<void()> OnTimer;

    // Run-time internals.
    bool Windowless() const override { return true; }
    void Paint(uint32_t*, int32_t, int32_t, int32_t) override {}
    void Restart();           // counts the interval from now
    bool Due(uint32_t now) const;
    void Fire(uint32_t now);  // runs OnTimer unless already inside it

private:
    int32_t interval_;
    bool enabled_;
    uint32_t start_ = 0;
    bool running_ = false;
};

}  // namespace rt
