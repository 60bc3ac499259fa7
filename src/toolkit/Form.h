#pragma once
// The form: a top-level window built from its layout, with creation, show and destroy events,
// modal showing with a modal result, and one static window procedure that hands every message to
// the object's HandleMessage.

#include <windows.h>

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

    // Makes the form's window and its controls, attaches the views and the handlers.
    void Build(const FormLayout& layout);

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    friend class Application;
    struct EventBinding {
        int id;
        WORD code;
        Handler handler;
    };

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void CreateFormWindow(const char* className, const char* caption, int clientWidth, int clientHeight,
                          Border border);
    HWND CreateControl(Kind kind, const char* caption, int left, int top, int width, int height, unsigned flags,
                       HWND parent, int id);
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

}  // namespace toolkit
