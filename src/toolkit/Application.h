#pragma once
// The application object: creates the forms into their global references, runs the message loop
// until the main form closes, lets pending messages run, and shows errors that leave handlers.

#include <windows.h>

#include <exception>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "toolkit/Form.h"
#include "util/Handles.h"

namespace toolkit {

class Application {
public:
    explicit Application(HINSTANCE instance);
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    // Destroys the forms, each after its destroy handler.
    ~Application();

    [[nodiscard]] static Application& Instance() noexcept { return *current_; }
    [[nodiscard]] static bool Exists() noexcept { return current_ != nullptr; }

    void Initialize();

    // Constructs a T into `reference`, which is set before the construction begins; then runs the
    // creation handler and, for a layout marked visible, shows the form. The first form created is
    // the main form.
    template <class T>
    void CreateForm(T*& reference);

    // Runs the message loop until the main form has closed.
    void Run();
    // Lets the messages that are waiting run once.
    void ProcessMessages();
    void Terminate() noexcept;
    [[nodiscard]] bool Terminated() const noexcept { return terminated_; }

    [[nodiscard]] Form* MainForm() const noexcept { return mainForm_; }
    [[nodiscard]] const std::string& Title() const noexcept { return title_; }
    void SetTitle(std::string title) { title_ = std::move(title); }
    [[nodiscard]] HINSTANCE InstanceHandle() const noexcept { return instance_; }
    [[nodiscard]] HFONT Font() const noexcept { return static_cast<HFONT>(font_.Get()); }

    // The standard error display: the error's text (with a full stop appended when its last byte
    // sorts after the full stop), the application title, an error icon.
    void ShowException(const std::exception& error) noexcept;
    [[nodiscard]] static std::string ErrorText(const std::string& message);

    // Hands one message to its window, with dialog keyboard handling for the forms.
    void DispatchOne(MSG& message);

private:
    void Adopt(Form* form);

    static Application* current_;
    Application* previous_;
    HINSTANCE instance_;
    std::string title_;
    GdiObject font_;
    Form* mainForm_ = nullptr;
    bool terminated_ = false;
    std::vector<std::unique_ptr<Form>> forms_;
};

template <class T>
void Application::CreateForm(T*& reference)
{
    void* memory = ::operator new(sizeof(T));
    reference = static_cast<T*>(memory);
    try {
        new (memory) T();
    } catch (...) {
        reference = nullptr;
        ::operator delete(memory);
        throw;
    }
    Adopt(reference);
}

}  // namespace toolkit
