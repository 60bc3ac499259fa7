#include "toolkit/Form.h"

#include <commctrl.h>

#include "toolkit/Application.h"
#include "toolkit/Controls.h"
#include "toolkit/Error.h"
#include "toolkit/MediaPlayer.h"
#include "toolkit/Picture.h"
#include "util/Cp932.h"

namespace toolkit {
namespace {

constexpr WCHAR kIconName[] = L"MAINICON";

DWORD FormStyle(Border border)
{
    return border == Border::Single ? WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN
                                    : WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
}

DWORD FormExStyle(Border border) { return border == Border::Single ? 0 : WS_EX_DLGMODALFRAME; }

// Registers one window class per form class name, all with the one window procedure.
void RegisterFormClass(const std::wstring& name, WNDPROC procedure, HINSTANCE instance)
{
    WNDCLASSEXW existing{sizeof(existing)};
    if (::GetClassInfoExW(instance, name.c_str(), &existing)) return;
    WNDCLASSEXW windowClass{sizeof(windowClass)};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = ::LoadIconW(instance, kIconName);
    windowClass.hIconSm = static_cast<HICON>(
        ::LoadImageW(instance, kIconName, IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                     ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    windowClass.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = name.c_str();
    if (!::RegisterClassExW(&windowClass)) Throw("ウィンドウクラスを登録できません");
}

struct ControlClass {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

ControlClass ClassFor(Kind kind, unsigned flags, HINSTANCE instance)
{
    switch (kind) {
    case Kind::Button:
        return {L"BUTTON", static_cast<DWORD>(WS_TABSTOP | ((flags & flag::kDefault) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON)),
                0};
    case Kind::Label:
        return {L"STATIC", static_cast<DWORD>(SS_LEFT | SS_NOPREFIX), 0};
    case Kind::Edit:
        return {L"EDIT", static_cast<DWORD>(WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT), WS_EX_CLIENTEDGE};
    case Kind::CheckBox:
        return {L"BUTTON", static_cast<DWORD>(WS_TABSTOP | BS_AUTOCHECKBOX), 0};
    case Kind::RadioButton:
        return {L"BUTTON",
                static_cast<DWORD>(BS_AUTORADIOBUTTON | ((flags & flag::kTabStop) ? WS_TABSTOP : 0) |
                                   ((flags & flag::kGroup) ? WS_GROUP : 0)),
                0};
    case Kind::ProgressBar:
        return {PROGRESS_CLASSW, 0, 0};
    case Kind::Panel:
        return {L"STATIC", SS_NOPREFIX, WS_EX_STATICEDGE};
    case Kind::Picture:
        Picture::RegisterWindowClass(instance);
        return {Picture::WindowClassName(), 0, 0};
    case Kind::MediaPlayer:
        MediaPlayer::RegisterWindowClass(instance);
        return {MediaPlayer::WindowClassName(), 0, 0};
    }
    return {L"STATIC", 0, 0};
}

WORD EventCode(Kind kind)
{
    switch (kind) {
    case Kind::Edit:
        return EN_CHANGE;
    case Kind::MediaPlayer:
        return MediaPlayer::kNotifyCode;
    default:
        return BN_CLICKED;
    }
}

}  // namespace

Form::~Form()
{
    if (hwnd_) ::DestroyWindow(hwnd_);
}

Form* Form::FromHandle(HWND hwnd) noexcept
{
    if (!hwnd || ::GetWindowLongPtrW(hwnd, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&Form::WindowProc))
        return nullptr;
    return reinterpret_cast<Form*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

LRESULT CALLBACK Form::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Form* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Form*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    // No exception may unwind through the system: show it and let the loop go on.
    return RunGuarded([&] { return self->HandleMessage(message, wParam, lParam); });
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (lParam != 0) {
            const int id = LOWORD(wParam);
            const WORD code = HIWORD(wParam);
            for (const EventBinding& event : events_)
                if (event.id == id && event.code == code) {
                    event.handler(*this);
                    return 0;
                }
        }
        return 0;
    case DM_GETDEFID:
        return defaultButtonId_ ? MAKELRESULT(defaultButtonId_, DC_HASDEFID) : 0;
    case WM_CLOSE:
        Close();
        return 0;
    case WM_ACTIVATE:
        // Like a dialog: the focused control is kept while another window is active.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = ::GetFocus();
            if (focus && ::IsChild(hwnd_, focus)) savedFocus_ = focus;
            return 0;
        }
        RestoreFocus();
        return 0;
    default:
        return ::DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

void Form::CreateFormWindow(const char* className, const char* caption, int clientWidth, int clientHeight,
                            Border border)
{
    Application& app = Application::Instance();
    const std::wstring name = cp932::ToWideLossy(className);
    RegisterFormClass(name, &Form::WindowProc, app.InstanceHandle());
    RECT rect{0, 0, clientWidth, clientHeight};
    ::AdjustWindowRectEx(&rect, FormStyle(border), FALSE, FormExStyle(border));
    HWND owner = app.MainForm() && app.MainForm() != this ? app.MainForm()->Handle() : nullptr;
    HWND hwnd = ::CreateWindowExW(FormExStyle(border), name.c_str(), cp932::ToWideLossy(caption).c_str(),
                                  FormStyle(border), CW_USEDEFAULT, CW_USEDEFAULT, rect.right - rect.left,
                                  rect.bottom - rect.top, owner, nullptr, app.InstanceHandle(), this);
    if (!hwnd) Throw("ウィンドウを作成できません");
    ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(app.Font()), FALSE);
}

HWND Form::CreateControl(Kind kind, const char* caption, int left, int top, int width, int height, unsigned flags,
                         HWND parent, int id)
{
    Application& app = Application::Instance();
    const ControlClass cls = ClassFor(kind, flags, app.InstanceHandle());
    DWORD style = WS_CHILD | cls.style;
    if (!(flags & flag::kHidden) && kind != Kind::MediaPlayer) style |= WS_VISIBLE;
    if (flags & flag::kDisabled) style |= WS_DISABLED;
    HWND hwnd = ::CreateWindowExW(cls.exStyle, cls.className, cp932::ToWideLossy(caption ? caption : "").c_str(),
                                  style, left, top, width, height, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), app.InstanceHandle(), nullptr);
    if (!hwnd) Throw("コントロールを作成できません");
    ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(app.Font()), FALSE);
    if (flags & flag::kChecked) ::SendMessageW(hwnd, BM_SETCHECK, BST_CHECKED, 0);
    return hwnd;
}

void Form::Build(const FormLayout& layout)
{
    CreateFormWindow(layout.className, layout.caption, layout.clientWidth, layout.clientHeight, layout.border);
    visibleAtCreation_ = layout.visible;
    std::vector<HWND> made(layout.controlCount, nullptr);
    // Tab order is window order: controls that never take the focus first, then the others in tab
    // order; controls inside another control after all of the form's own.
    std::vector<std::size_t> order(layout.controlCount);
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    const auto before = [&layout](std::size_t a, std::size_t b) {
        const ControlLayout& x = layout.controls[a];
        const ControlLayout& y = layout.controls[b];
        if ((x.parent == kNoParent) != (y.parent == kNoParent)) return x.parent == kNoParent;
        return x.tabOrder < y.tabOrder;
    };
    // Insertion sort: stable, small in the program, and a form has a few dozen controls at most.
    for (std::size_t i = 1; i < order.size(); ++i) {
        for (std::size_t j = i; j > 0 && before(order[j], order[j - 1]); --j) std::swap(order[j], order[j - 1]);
    }
    for (std::size_t i : order) {
        const ControlLayout& row = layout.controls[i];
        const int id = 100 + static_cast<int>(i);
        HWND parent = row.parent == kNoParent ? hwnd_ : made[static_cast<std::size_t>(row.parent)];
        made[i] = CreateControl(row.kind, row.caption, row.left, row.top, row.width, row.height, row.flags, parent,
                                id);
        if (row.bind) row.bind(*this, made[i]);
        if (row.onEvent) events_.push_back({id, EventCode(row.kind), row.onEvent});
        if (row.flags & flag::kDefault) defaultButtonId_ = id;
    }
}

void Form::AfterConstruction()
{
    RunGuarded([this] { FormCreate(); });
    if (visibleAtCreation_) Show();
}

std::string Form::Caption() const { return WindowCaption(hwnd_); }

void Form::SetCaption(const std::string& caption) { SetWindowCaption(hwnd_, caption); }

void Form::CentreOnScreen()
{
    RECT rect{};
    ::GetWindowRect(hwnd_, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const int left = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    ::SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::Show()
{
    if (showing_) {
        ::SetForegroundWindow(hwnd_);
        return;
    }
    RunGuarded([this] { FormShow(); });
    // A modal result set by the show handler closes the form before it appears.
    if (modal_ && modalResult_ != kModalNone) return;
    CentreOnScreen();
    ::ShowWindow(hwnd_, SW_SHOW);
    ::SetForegroundWindow(hwnd_);
    showing_ = true;
    RestoreFocus();
}

void Form::Hide()
{
    showing_ = false;
    ::ShowWindow(hwnd_, SW_HIDE);
}

void Form::Close()
{
    if (modal_) {
        if (modalResult_ == kModalNone) modalResult_ = kModalCancel;
        return;
    }
    Application& app = Application::Instance();
    if (app.MainForm() == this) {
        app.Terminate();
        return;
    }
    Hide();
}

int Form::ShowModal()
{
    Application& app = Application::Instance();
    HWND owner = ::GetWindow(hwnd_, GW_OWNER);
    HWND root = owner ? ::GetAncestor(owner, GA_ROOT) : nullptr;
    const bool rootWasEnabled = root && ::IsWindowEnabled(root);
    modal_ = true;
    modalResult_ = kModalNone;
    if (rootWasEnabled) ::EnableWindow(root, FALSE);
    Show();
    while (modalResult_ == kModalNone && !app.Terminated()) {
        MSG message;
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            // The program is ending: leave the quit for the main loop.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            app.Terminate();
            break;
        }
        app.DispatchOne(message);
    }
    if (modalResult_ == kModalNone) modalResult_ = kModalCancel;
    // The owner is enabled again before the form goes, so that activation returns to it.
    if (rootWasEnabled) ::EnableWindow(root, TRUE);
    Hide();
    modal_ = false;
    return modalResult_;
}

void Form::RestoreFocus()
{
    for (HWND candidate : {pendingFocus_, savedFocus_}) {
        if (candidate && ::IsChild(hwnd_, candidate) && ::IsWindowVisible(candidate) &&
            ::IsWindowEnabled(candidate)) {
            pendingFocus_ = nullptr;
            savedFocus_ = candidate;
            ::SetFocus(candidate);
            return;
        }
    }
    pendingFocus_ = nullptr;
    FocusFirstControl();
}

void Form::FocusFirstControl()
{
    for (HWND child = ::GetWindow(hwnd_, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const LONG_PTR style = ::GetWindowLongPtrW(child, GWL_STYLE);
        if ((style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED)) {
            ::SetFocus(child);
            return;
        }
    }
}

}  // namespace toolkit
