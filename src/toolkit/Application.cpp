#include "toolkit/Application.h"

#include <commctrl.h>

#include "toolkit/Error.h"
#include "toolkit/Person.h"
#include "util/Cp932.h"

namespace toolkit {

Application* Application::current_ = nullptr;

Application::Application(HINSTANCE instance) : previous_(current_), instance_(instance)
{
    current_ = this;
    // Until the main form names it, the title is the program's file name without its extension.
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        std::wstring name(path, length);
        const size_t slash = name.find_last_of(L"\\/");
        if (slash != std::wstring::npos) name.erase(0, slash + 1);
        const size_t dot = name.find_last_of(L'.');
        if (dot != std::wstring::npos) name.erase(dot);
        title_ = cp932::FromWideLossy(name);
    }
}

Application::~Application()
{
    for (auto it = forms_.rbegin(); it != forms_.rend(); ++it) RunGuarded([&form = **it] { form.FormDestroy(); });
    forms_.clear();
    if (current_ == this) current_ = previous_;
}

void Application::Initialize()
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    const std::wstring face = cp932::ToWideLossy(kFontFace);
    font_.Reset(::CreateFontW(-kFontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                              DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
}

void Application::Adopt(Form* form)
{
    forms_.emplace_back(form);
    if (!mainForm_) mainForm_ = form;
    form->AfterConstruction();
}

void Application::Run()
{
    while (!terminated_) {
        MSG message;
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            terminated_ = true;
            break;
        }
        DispatchOne(message);
    }
}

void Application::ProcessMessages()
{
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            terminated_ = true;
            break;
        }
        DispatchOne(message);
    }
}

void Application::DispatchOne(MSG& message)
{
    HWND root = message.hwnd ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (root && Form::FromHandle(root) && ::IsDialogMessageW(root, &message)) return;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
}

void Application::Terminate() noexcept
{
    if (terminated_) return;
    terminated_ = true;
    ::PostQuitMessage(0);
}

std::string Application::ErrorText(const std::string& message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.'))
        return message + ".";
    return message;
}

void Application::ShowException(const std::exception& error) noexcept
{
    try {
        const std::string text = ErrorText(error.what());
        HWND owner = ::GetActiveWindow();
        if (!Form::FromHandle(owner)) owner = mainForm_ ? mainForm_->Handle() : nullptr;
        ShowMessageBox(owner, text, title_, MB_OK | MB_ICONERROR);
    } catch (...) {
        // Not even the error box could be shown; there is nothing left to tell the player with.
    }
}

void ReportUncaught(const std::exception& error) noexcept
{
    if (Application::Exists()) Application::Instance().ShowException(error);
}

}  // namespace toolkit
