#pragma once
// The form: a top-level window built from its layout, with creation, show and destroy events,
// modal showing with a modal result, and one static window procedure that hands every message to
// the object's HandleMessage.

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/Layout.h"

namespace toolkit {

class Application;

constexpr int kModalNone = 0;
constexpr int kModalOk = 1;
constexpr int kModalCancel = 2;

class Form {
public:
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    virtual ~Form();

    [[nodiscard]] HWND Handle() const noexcept { return hwnd_; }
    // The form whose window this is, or nullptr for any other window.
    [[nodiscard]] static Form* FromHandle(HWND hwnd) noexcept;

    [[nodiscard]] std::string Caption() const;
    void SetCaption(const std::string& caption);

    // Runs the show handler, then centres and shows the window.
    void Show();
    void Hide();
    // The main form's closing ends the program; a modal form's ends its modal loop with Cancel;
    // any other form is hidden.
    void Close();
    // Shows the form with its owner disabled until a handler sets a modal result; returns it.
    int ShowModal();
    [[nodiscard]] int ModalResult() const noexcept { return modalResult_; }
    void SetModalResult(int result) noexcept { modalResult_ = result; }
    [[nodiscard]] bool Showing() const noexcept { return showing_; }
    [[nodiscard]] bool IsModal() const noexcept { return modal_; }

    void SetPendingFocus(HWND control) noexcept { pendingFocus_ = control; }
    // Focus to the first visible, enabled control in tab order.
    void FocusFirstControl();

    // Events, run by the toolkit.
    virtual void FormCreate() {}
    virtual void FormShow() {}
    virtual void FormDestroy() {}

protected:
    Form() = default;

    template <class F>
    void Build(F& self, const FormLayout<F>& layout);

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    friend class Application;
    struct EventBinding {
        int id;
        WORD code;
        std::function<void()> handler;
    };

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void CreateFormWindow(const char* className, const char* caption, int clientWidth, int clientHeight,
                          Border border);
    HWND CreateControl(Kind kind, const char* caption, int left, int top, int width, int height, unsigned flags,
                       HWND parent, int id);
    void AddEvent(int id, Kind kind, std::function<void()> handler);
    void AfterConstruction();
    void CentreOnScreen();
    void RestoreFocus();

    HWND hwnd_ = nullptr;
    bool visibleAtCreation_ = false;
    bool showing_ = false;
    bool modal_ = false;
    int modalResult_ = kModalNone;
    int defaultButtonId_ = 0;
    HWND pendingFocus_ = nullptr;
    HWND savedFocus_ = nullptr;
    std::vector<EventBinding> events_;
};

template <class F>
void Form::Build(F& self, const FormLayout<F>& layout)
{
    CreateFormWindow(layout.className, layout.caption, layout.clientWidth, layout.clientHeight, layout.border);
    visibleAtCreation_ = layout.visible;
    std::vector<HWND> made(layout.controlCount, nullptr);
    // Tab order is window order: controls that never take the focus first, then the others in tab
    // order; controls inside another control after all of the form's own.
    std::vector<std::size_t> order(layout.controlCount);
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    const auto before = [&layout](std::size_t a, std::size_t b) {
        const ControlLayout<F>& x = layout.controls[a];
        const ControlLayout<F>& y = layout.controls[b];
        if ((x.parent == kNoParent) != (y.parent == kNoParent)) return x.parent == kNoParent;
        return x.tabOrder < y.tabOrder;
    };
    // Insertion sort: stable, small in the program, and a form has a few dozen controls at most.
    for (std::size_t i = 1; i < order.size(); ++i) {
        for (std::size_t j = i; j > 0 && before(order[j], order[j - 1]); --j) std::swap(order[j], order[j - 1]);
    }
    for (std::size_t i : order) {
        const ControlLayout<F>& row = layout.controls[i];
        const int id = 100 + static_cast<int>(i);
        HWND parent = row.parent == kNoParent ? hwnd_ : made[static_cast<std::size_t>(row.parent)];
        made[i] = CreateControl(row.kind, row.caption, row.left, row.top, row.width, row.height, row.flags, parent,
                                id);
        if (row.bind) row.bind(self, made[i]);
        if (row.onEvent) AddEvent(id, row.kind, [&self, handler = row.onEvent] { (self.*handler)(); });
        if (row.flags & flag::kDefault) defaultButtonId_ = id;
    }
}

}  // namespace toolkit
