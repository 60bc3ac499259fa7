#include "toolkit/Controls.h"

#include <commctrl.h>

#include "toolkit/Error.h"
#include "toolkit/Form.h"
#include "util/Cp932.h"

namespace toolkit {

namespace {

std::wstring WideWindowText(HWND hwnd)
{
    const int length = ::GetWindowTextLengthW(hwnd);
    if (length <= 0) return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

}  // namespace

std::string WindowCaption(HWND hwnd) { return cp932::FromWideLossy(WideWindowText(hwnd)); }

std::optional<std::string> WindowCaptionExact(HWND hwnd) { return cp932::FromWide(WideWindowText(hwnd)); }

void SetWindowCaption(HWND hwnd, const std::string& caption)
{
    ::SetWindowTextW(hwnd, cp932::ToWideLossy(caption).c_str());
}

std::string Control::Caption() const { return WindowCaption(hwnd_); }

void Control::SetCaption(const std::string& caption) { SetWindowCaption(hwnd_, caption); }

bool Control::Visible() const noexcept { return (::GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0; }

void Control::SetVisible(bool visible)
{
    if (Visible() == visible) return;
    const bool hadFocus = !visible && Focused();
    ::ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
    if (hadFocus)
        if (Form* form = Form::FromHandle(::GetAncestor(hwnd_, GA_ROOT))) form->FocusFirstControl();
}

bool Control::Enabled() const noexcept { return ::IsWindowEnabled(hwnd_) != FALSE; }

void Control::SetEnabled(bool enabled)
{
    const bool hadFocus = !enabled && Focused();
    ::EnableWindow(hwnd_, enabled ? TRUE : FALSE);
    if (hadFocus)
        if (Form* form = Form::FromHandle(::GetAncestor(hwnd_, GA_ROOT))) form->FocusFirstControl();
}

bool Control::Focused() const noexcept { return hwnd_ != nullptr && ::GetFocus() == hwnd_; }

void Control::SetFocus()
{
    Form* form = Form::FromHandle(::GetAncestor(hwnd_, GA_ROOT));
    if (form && !form->Showing()) {
        form->SetPendingFocus(hwnd_);
        return;
    }
    ::SetFocus(hwnd_);
}

int Control::Width() const noexcept
{
    RECT rect{};
    ::GetWindowRect(hwnd_, &rect);
    return rect.right - rect.left;
}

int Control::Height() const noexcept
{
    RECT rect{};
    ::GetWindowRect(hwnd_, &rect);
    return rect.bottom - rect.top;
}

CustomControl::~CustomControl() { CustomControl::Attach(nullptr); }

void CustomControl::Attach(HWND hwnd)
{
    const HWND old = Handle();
    if (old && ::GetWindowLongPtrW(old, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this))
        ::SetWindowLongPtrW(old, GWLP_USERDATA, 0);
    Control::Attach(hwnd);
    if (hwnd) ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void CustomControl::RegisterClassOnce(HINSTANCE instance, const wchar_t* className, UINT style, HCURSOR cursor,
                                      const char* failure)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = style;
    windowClass.lpfnWndProc = &CustomControl::WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = cursor;
    windowClass.lpszClassName = className;
    if (!::RegisterClassExW(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) Throw(failure);
}

LRESULT CALLBACK CustomControl::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<CustomControl*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        self->Attach(nullptr);
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return RunGuarded([&] { return self->HandleMessage(message, wParam, lParam); });
}

void Label::SetCaptionFitted(const std::string& caption)
{
    SetCaption(caption);
    const std::wstring text = cp932::ToWideLossy(caption);
    HDC dc = ::GetDC(Handle());
    if (!dc) return;
    const HGDIOBJ font = reinterpret_cast<HGDIOBJ>(::SendMessageW(Handle(), WM_GETFONT, 0, 0));
    const HGDIOBJ previous = font ? ::SelectObject(dc, font) : nullptr;
    SIZE extent{};
    const BOOL measured = ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    if (previous) ::SelectObject(dc, previous);
    ::ReleaseDC(Handle(), dc);
    if (measured)
        ::SetWindowPos(Handle(), nullptr, 0, 0, extent.cx, Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CheckBox::Checked() const noexcept
{
    return ::SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CheckBox::SetChecked(bool checked)
{
    ::SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void ProgressBar::SetRange(int minimum, int maximum)
{
    ::SendMessageW(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(minimum), static_cast<LPARAM>(maximum));
}

int ProgressBar::Minimum() const noexcept
{
    return static_cast<int>(::SendMessageW(Handle(), PBM_GETRANGE, TRUE, 0));
}

int ProgressBar::Maximum() const noexcept
{
    return static_cast<int>(::SendMessageW(Handle(), PBM_GETRANGE, FALSE, 0));
}

void ProgressBar::SetPosition(int position)
{
    ::SendMessageW(Handle(), PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

int ProgressBar::Position() const noexcept { return static_cast<int>(::SendMessageW(Handle(), PBM_GETPOS, 0, 0)); }

}  // namespace toolkit
