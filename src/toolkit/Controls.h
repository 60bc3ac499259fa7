#pragma once
// Views of the standard controls a form is built from. A view does not own its window: the form's
// window owns its children, and a view is only a handle with the operations the handlers use.

#include <windows.h>

#include <optional>
#include <string>

namespace toolkit {

// A window's text as code-page-932 bytes, for forms and controls alike.
[[nodiscard]] std::string WindowCaption(HWND hwnd);
// The same read strictly: nothing when a character has no code-page-932 form.
[[nodiscard]] std::optional<std::string> WindowCaptionExact(HWND hwnd);
void SetWindowCaption(HWND hwnd, const std::string& caption);

class Control {
public:
    Control() noexcept = default;
    explicit Control(HWND hwnd) noexcept : hwnd_(hwnd) {}
    virtual ~Control() = default;

    virtual void Attach(HWND hwnd) { hwnd_ = hwnd; }
    [[nodiscard]] HWND Handle() const noexcept { return hwnd_; }

    // The window text, as code-page-932 bytes.
    [[nodiscard]] std::string Caption() const;
    void SetCaption(const std::string& caption);
    // The control's own visibility, whether or not its form is shown at the moment.
    [[nodiscard]] bool Visible() const noexcept;
    void SetVisible(bool visible);
    [[nodiscard]] bool Enabled() const noexcept;
    void SetEnabled(bool enabled);
    [[nodiscard]] bool Focused() const noexcept;
    // Gives the control the keyboard focus; on a form not shown yet, when the form next appears.
    void SetFocus();
    [[nodiscard]] int Width() const noexcept;
    [[nodiscard]] int Height() const noexcept;

private:
    HWND hwnd_ = nullptr;
};

// A control of a window class of our own: the object is bound to its window, and the one window
// procedure of all such classes hands each message to the object's HandleMessage.
class CustomControl : public Control {
public:
    CustomControl() noexcept = default;
    CustomControl(const CustomControl&) = delete;
    CustomControl& operator=(const CustomControl&) = delete;
    ~CustomControl() override;

    void Attach(HWND hwnd) override;

protected:
    // Registers `className` with the shared window procedure unless it is there already; throws
    // Error(failure) when it cannot.
    static void RegisterClassOnce(HINSTANCE instance, const wchar_t* className, UINT style, HCURSOR cursor,
                                  const char* failure);
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
};

class Button : public Control {};
class Label : public Control {
public:
    // An auto-size label: the caption, with the width made to fit it.
    void SetCaptionFitted(const std::string& caption);
};
class Panel : public Control {};

class Edit : public Control {
public:
    [[nodiscard]] std::string Text() const { return Caption(); }
    // Nothing when the text holds a character with no code-page-932 form, never a '?' for it.
    [[nodiscard]] std::optional<std::string> TextExact() const { return WindowCaptionExact(Handle()); }
    void SetText(const std::string& text) { SetCaption(text); }
};

class CheckBox : public Control {
public:
    [[nodiscard]] bool Checked() const noexcept;
    void SetChecked(bool checked);
};

class RadioButton : public CheckBox {};

class ProgressBar : public Control {
public:
    void SetRange(int minimum, int maximum);
    [[nodiscard]] int Minimum() const noexcept;
    [[nodiscard]] int Maximum() const noexcept;
    void SetPosition(int position);
    [[nodiscard]] int Position() const noexcept;
};

}  // namespace toolkit
