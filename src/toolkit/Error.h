#pragma once
// The toolkit's error kind: what a handler raises when it gives up. The message loop catches it and
// shows it in the standard error box (Application::ShowException).

#include <exception>
#include <string>
#include <type_traits>

#include "util/Format.h"

namespace toolkit {

class Error : public std::exception {
public:
    explicit Error(std::string message) : message_(std::move(message)) {}
    // The message, a code-page-932 byte string.
    [[nodiscard]] const std::string& Message() const noexcept { return message_; }
    [[nodiscard]] const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

// Shows an error that left a handler in the standard error box and lets the program go on. For
// window procedures and callbacks, which must never let an exception unwind into the system.
void ReportUncaught(const std::exception& error) noexcept;
// The same for something thrown that is no std::exception.
void ReportUncaughtUnknown() noexcept;

// Runs `work` so that no exception leaves it, as every window procedure and handler call must:
// what is thrown is shown by ReportUncaught, and a value-initialised result is returned.
template <class Work>
auto RunGuarded(Work&& work) noexcept -> decltype(work());

// Throws Error(message): one call for the places that give up with a fixed message, and for the
// runtime's own failure reports (toolkit/Runtime.cpp).
[[noreturn]] void Throw(const char* message);

using ::Format;

template <class Work>
auto RunGuarded(Work&& work) noexcept -> decltype(work())
{
    try {
        return work();
    } catch (const std::exception& error) {
        ReportUncaught(error);
    } catch (...) {
        ReportUncaughtUnknown();
    }
    if constexpr (!std::is_void_v<decltype(work())>) return {};
}

}  // namespace toolkit
