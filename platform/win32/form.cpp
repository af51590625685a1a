// Windows: the registry of window instances, load / show / hide / unload, window data.
#include "platform/win32/form.h"

#include <algorithm>
#include <map>

#include "platform/runtime/errors.h"
#include "platform/win32/backend.h"
#include "platform/win32/internals.h"
#include "platform/win32/state.h"

namespace rt {

struct Form::Impl {
    detail::FormState state;
};

struct FormAccess {
    static void Close(Form& f, int16_t mode);
    static void SetPosition(Form& f, int32_t left, int32_t top) {
        f.left_ = left;
        f.top_ = top;
    }
};

namespace {

std::vector<Form*>& Registry() { return detail::State().forms; }

std::map<int32_t, Form*>& Handles() { return detail::State().handles; }

}  // namespace

namespace detail {

int32_t NewHandle() {
    int32_t& next = State().nextHandle;
    int32_t h = next;
    next += 4;
    return h;
}

FormState& StateOf(Form& form) { return form.impl().state; }

void SetPositionFromSystem(Form& form, int32_t left, int32_t top) {
    FormAccess::SetPosition(form, left, top);
}

std::vector<Form*>& ZOrder() { return State().zOrder; }

void RaiseWindow(Form& form) {
    auto& z = ZOrder();
    z.erase(std::remove(z.begin(), z.end(), &form), z.end());
    z.push_back(&form);
}

}  // namespace detail

Form::Form(std::string name) : name_(std::move(name)), caption_(name_), impl_(std::make_unique<Impl>()) {
    impl_->state.hWnd = detail::NewHandle();
    Handles()[impl_->state.hWnd] = this;
}

Form::~Form() {
    Handles().erase(impl_->state.hWnd);
    auto& r = Registry();
    r.erase(std::remove(r.begin(), r.end(), this), r.end());
    auto& z = detail::ZOrder();
    z.erase(std::remove(z.begin(), z.end(), this), z.end());
}

void Form::AddControl(Control* c) { controls_.push_back(c); }

void Form::Caption(const std::string& caption) {
    caption_ = caption;
    if (impl_->state.created) detail::CurrentBackend().SetTitle(*this);
}

void Form::ClientSize(int32_t width, int32_t height) {
    if (width < 0 || height < 0 || width > 16384 || height > 16384) Raise(ErrInvalidCall);
    width_ = width;
    height_ = height;
    impl_->state.dirty = true;
    if (impl_->state.created) {
        detail::CurrentBackend().DestroyWindow(*this);
        detail::CurrentBackend().CreateWindow(*this);
        detail::CurrentBackend().ApplyShape(*this);
        if (visible_) detail::CurrentBackend().ShowWindow(*this, true);
    }
}

void Form::Move(int32_t left, int32_t top) {
    left_ = left;
    top_ = top;
    startPosition_ = StartPosition::Manual;
    if (impl_->state.created) detail::CurrentBackend().MoveWindow(*this);
}

void Form::BackColor(int32_t colour) {
    backColor_ = colour;
    impl_->state.dirty = true;
}

void Form::Picture(StdPicture picture) {
    picture_ = std::move(picture);
    impl_->state.dirty = true;
}

void Form::Icon(StdPicture icon) {
    icon_ = std::move(icon);
    if (impl_->state.created) detail::CurrentBackend().SetTitle(*this);
}

int32_t Form::hWnd() {
    if (!loaded_ && !loading_) Load();
    return impl_->state.hWnd;
}

void Form::Load() {
    if (loaded_ || loading_) return;
    auto& b = detail::CurrentBackend();
    if (startPosition_ != StartPosition::Manual) {
        int32_t sw = 0, sh = 0;
        b.ScreenSize(sw, sh);
        if (startPosition_ == StartPosition::CenterScreen) {
            left_ = (sw - width_) / 2;
            top_ = (sh - height_) / 2;
        } else {
            // The system's default: cascade from the top-left corner.
            int& cascade = detail::State().cascade;
            left_ = 24 * (cascade % 8) + 24;
            top_ = 24 * (cascade % 8) + 24;
            ++cascade;
        }
    }
    auto& st = impl_->state;
    st.shape.reset();
    st.dirty = true;
    st.focus = detail::FirstFocusable(*this);
    st.pressed = nullptr;
    b.CreateWindow(*this);  // raises when the window cannot be made
    loading_ = true;
    st.created = true;
    b.SetTitle(*this);
    loaded_ = true;  // the load handler already sees a loaded window (its hWnd, its controls)
    detail::RestartTimers(*this);
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{loading_};
    detail::RunHandler([&] { Form_Load(); });
}

void Form::Show() {
    Load();
    if (!loaded_) return;  // the load handler unloaded it
    visible_ = true;
    detail::RaiseWindow(*this);
    detail::Repaint(*this, true);
    detail::CurrentBackend().ShowWindow(*this, true);
}

void Form::Hide() {
    if (!loaded_) Load();
    if (!loaded_) return;
    visible_ = false;
    detail::CurrentBackend().ShowWindow(*this, false);
}

namespace detail {

// Asks the window's handlers whether it may close; false when one cancelled.
static bool MayClose(Form& f, int16_t mode) {
    int16_t cancel = 0;
    RunHandler([&] { f.Form_QueryUnload(cancel, mode); });
    if (cancel != 0 || !f.Loaded()) return false;
    RunHandler([&] { f.Form_Unload(cancel); });
    return cancel == 0 && f.Loaded();
}

void CloseForm(Form& f, int16_t mode) { FormAccess::Close(f, mode); }

}  // namespace detail

void FormAccess::Close(Form& f, int16_t mode) {
    if (!f.loaded_) return;
    if (!detail::MayClose(f, mode)) return;
    auto& st = f.impl_->state;
    f.loaded_ = false;
    f.visible_ = false;
    if (st.created) detail::CurrentBackend().DestroyWindow(f);
    st.created = false;
    st.shape.reset();  // the window's region goes with it
    st.focus = nullptr;
    st.pressed = nullptr;
    auto& z = detail::ZOrder();
    z.erase(std::remove(z.begin(), z.end(), &f), z.end());
}

void Form::Unload() { FormAccess::Close(*this, vbFormCode); }

Form& AdoptForm(std::unique_ptr<Form> form, Form*& instance) {
    instance = form.release();
    detail::State().formOfInstances.emplace_back(instance, &instance);
    RegisterForm(*instance);
    return *instance;
}

void RegisterForm(Form& form) {
    auto& r = Registry();
    if (std::find(r.begin(), r.end(), &form) == r.end()) r.push_back(&form);
}

Form* FindForm(const std::string& name) {
    for (Form* f : Registry())
        if (f->Name() == name) return f;
    return nullptr;
}

Form* FindFormByHandle(int32_t hWnd) {
    auto it = Handles().find(hWnd);
    return it == Handles().end() ? nullptr : it->second;
}

std::vector<Form*> AllForms() { return Registry(); }

}  // namespace rt
