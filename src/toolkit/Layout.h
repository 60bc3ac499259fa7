#pragma once
// A window's layout as data: one constexpr table per form, which Form::Build turns into windows and
// which tests read as it stands.

#include <windows.h>

#include <cstddef>

namespace toolkit {

enum class Kind : unsigned char { Button, Label, Edit, CheckBox, RadioButton, ProgressBar, Panel, Picture, MediaPlayer };

// Single: fixed single border with system menu and minimise box (a main window).
// Dialog: fixed dialog frame with system menu only.
enum class Border : unsigned char { Single, Dialog };

namespace flag {
constexpr unsigned kHidden = 1u << 0;
constexpr unsigned kDisabled = 1u << 1;
constexpr unsigned kChecked = 1u << 2;
constexpr unsigned kDefault = 1u << 3;   // the default push button: Enter presses it
constexpr unsigned kTabStop = 1u << 4;   // a radio button that takes part in Tab navigation
constexpr unsigned kGroup = 1u << 5;     // the first radio button of a group
}  // namespace flag

constexpr int kNoTabOrder = -1;
constexpr int kNoParent = -1;

class Form;
// A row's view and handler, each a function of the form the table belongs to (BindView, Call), so
// that one builder serves every form.
using Binder = void (*)(Form&, HWND);
using Handler = void (*)(Form&);

struct ControlLayout {
    Kind kind;
    const char* name;
    const char* caption;
    int left, top, width, height;
    int tabOrder;   // kNoTabOrder for controls that never take the focus
    unsigned flags;
    int parent;     // index of the parent control in the table, or kNoParent for the form
    Binder bind;    // attaches the form's view member to the window made for this row
    Handler onEvent;  // click, change or notify, by kind; nullptr for none
};

struct FormLayout {
    const char* className;
    const char* caption;
    int designLeft, designTop;
    int clientWidth, clientHeight;
    Border border;
    bool visible;   // shown as soon as it is created
    const ControlLayout* controls;
    std::size_t controlCount;

    [[nodiscard]] constexpr const ControlLayout* begin() const { return controls; }
    [[nodiscard]] constexpr const ControlLayout* end() const { return controls + controlCount; }
};

template <class T>
struct MemberOf;
template <class F, class V>
struct MemberOf<V F::*> {
    using Form = F;
    using View = V;
};

// BindView<&TMainForm::BtExec> attaches the member view BtExec to its window.
template <auto Member>
void BindView(Form& form, HWND hwnd)
{
    using F = typename MemberOf<decltype(Member)>::Form;
    (static_cast<F&>(form).*Member).Attach(hwnd);
}

// Call<&TMainForm::BtExecClick> runs that member function of the form.
template <auto Method>
void Call(Form& form)
{
    using F = typename MemberOf<decltype(Method)>::Form;
    (static_cast<F&>(form).*Method)();
}

// The face that every form uses.
inline constexpr const char* kFontFace = "ＭＳ Ｐゴシック";
constexpr int kFontHeight = 12;

}  // namespace toolkit
