// Windows of the run time. A window class derives from Form, sets its window data and creates
// its controls as members in its constructor, and overrides the handlers it needs. There is one
// instance per class, reached with FormOf<T>() (made, not loaded, on first use); Show and Load
// load it first, running Form_Load once per load.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/runtime.h"

namespace rt {

class Control;

enum class StartPosition { Manual, CenterScreen, WindowsDefault };

constexpr int16_t vbBSNone = 0;
constexpr int16_t vbBSFixedSingle = 1;
constexpr int16_t vbBSSizable = 2;

// Mouse buttons and shift state of mouse and key events.
constexpr int16_t vbLeftButton = 1, vbRightButton = 2, vbMiddleButton = 4;
constexpr int16_t vbShiftMask = 1, vbCtrlMask = 2, vbAltMask = 4;

// Unload modes of Form_QueryUnload.
constexpr int16_t vbFormControlMenu = 0, vbFormCode = 1;

class Form {
public:
    explicit Form(std::string name);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& Name() const { return name_; }

    // Window data.
    const std::string& Caption() const { return caption_; }
    void Caption(const std::string& caption);
    int32_t Width() const { return width_; }    // client size in pixels
    int32_t Height() const { return height_; }
    void ClientSize(int32_t width, int32_t height);
    int32_t Left() const { return left_; }      // screen position of the top-left corner
    int32_t Top() const { return top_; }
    void Move(int32_t left, int32_t top);
    StartPosition StartUpPosition() const { return startPosition_; }
    void StartUpPosition(StartPosition p) { startPosition_ = p; }
    int16_t BorderStyle() const { return borderStyle_; }
    void BorderStyle(int16_t style) { borderStyle_ = style; }
    bool KeyPreview() const { return keyPreview_; }
    void KeyPreview(bool on) { keyPreview_ = on; }
    int32_t BackColor() const { return backColor_; }
    void BackColor(int32_t colour);
    // Skin picture, drawn unscaled from the top-left corner of the client area.
    const StdPicture& Picture() const { return picture_; }
    void Picture(StdPicture picture);

    // The window's own icon (shown by the window system; none by default).
    const StdPicture& Icon() const { return icon_; }
    void Icon(StdPicture icon);

    // The window's handle; loads the window when it is not loaded.
    int32_t hWnd();

    bool Loaded() const { return loaded_; }
    bool Visible() const { return visible_; }
    void Load();    // loads if not loaded (runs Form_Load)
    void Show();    // modeless, no owner; loads first
    void Hide();    // keeps the window loaded with its state
    void Unload();  // closes a loaded window; a window never loaded is left alone

    const std::vector<Control*>& Controls() const { return controls_; }

    // Handlers.
    virtual void Form_Load() {}
    virtual void Form_QueryUnload(int16_t& Cancel, int16_t UnloadMode) { (void)Cancel; (void)UnloadMode; }
    virtual void Form_Unload(int16_t& Cancel) { (void)Cancel; }
    virtual void Form_MouseDown(int16_t Button, int16_t Shift, float X, float Y) { (void)Button; (void)Shift; (void)X; (void)Y; }
    virtual void Form_MouseUp(int16_t Button, int16_t Shift, float X, float Y) { (void)Button; (void)Shift; (void)X; (void)Y; }
    virtual void Form_KeyDown(int16_t& KeyCode, int16_t& Shift) { (void)KeyCode; (void)Shift; }
    virtual void Form_KeyUp(int16_t& KeyCode, int16_t& Shift) { (void)KeyCode; (void)Shift; }

    // Run-time internals (backends, controls).
    struct Impl;
    Impl& impl() { return *impl_; }
    void AddControl(Control* c);

private:
    std::string name_;
    std::string caption_;
    int32_t width_ = 300, height_ = 200;
    int32_t left_ = 0, top_ = 0;
    StartPosition startPosition_ = StartPosition::WindowsDefault;
    int16_t borderStyle_ = vbBSSizable;
    bool keyPreview_ = false;
    int32_t backColor_ = 0x00F0F0F0;
    StdPicture picture_;
    StdPicture icon_;
    bool loaded_ = false;
    bool visible_ = false;
    bool loading_ = false;
    std::vector<Control*> controls_;
    std::unique_ptr<Impl> impl_;
    friend struct FormAccess;
};

// Registers a window instance by its name (FormOf does this) and finds one.
void RegisterForm(Form& form);
Form* FindForm(const std::string& name);
Form* FindFormByHandle(int32_t hWnd);
// All window instances made so far, in creation order.
std::vector<Form*> AllForms();

// Registers `form` as the one instance FormOf keeps in `instance` and sets `instance` to it.
// The run time keeps it for the rest of the program (tests may destroy it, see reset.h).
Form& AdoptForm(std::unique_ptr<Form> form, Form*& instance);

// The one instance of window class T, made on first use (not loaded).
template <class T>
T& FormOf() {
    static Form* instance = nullptr;
    if (!instance) AdoptForm(std::make_unique<T>(), instance);
    return static_cast<T&>(*instance);
}

inline void Load(Form& f) { f.Load(); }
inline void Unload(Form& f) { f.Unload(); }

}  // namespace rt
