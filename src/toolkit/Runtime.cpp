// What the C++ runtime does when a library check fails or an exception escapes, written here so that
// the program does not carry the library's own versions: those bring a symbol demangler, the printf
// machinery and a second (copy-on-write) string type along. Linked into every program as an object
// file: the linker must see these before it reaches the library's archive.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>
#include <typeinfo>

#include <bits/functexcept.h>
#include <cxxabi.h>

#include "toolkit/Error.h"
#include "util/Format.h"

namespace {
// The library's own failures (a string too long, an index out of range) reach the player the way
// the toolkit's errors do: an std::exception whose what() is the library's text.
[[noreturn]] void Raise(const char* message) { toolkit::Throw(message ? message : ""); }

void Say(const char* text) { std::fputs(text, stderr); }

// The library's patterns use %s and %zu (and %lu) only; `context` is their va_list.
size_t LibraryConversion(const char* spec, std::string& text, void* context)
{
    va_list& values = *static_cast<va_list*>(context);
    if (spec[0] == 's') {
        const char* value = va_arg(values, const char*);
        text += value ? value : "";
        return 1;
    }
    if (spec[0] == 'z' && spec[1] == 'u') {
        text += Format("%d", static_cast<long long>(va_arg(values, size_t)));
        return 2;
    }
    if (spec[0] == 'l' && spec[1] == 'u') {
        text += Format("%d", static_cast<long long>(va_arg(values, unsigned long)));
        return 2;
    }
    return 0;
}
}  // namespace

namespace std {
void __throw_bad_exception() { throw bad_exception(); }
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_logic_error(const char* message) { Raise(message); }
void __throw_domain_error(const char* message) { Raise(message); }
void __throw_invalid_argument(const char* message) { Raise(message); }
void __throw_length_error(const char* message) { Raise(message); }
void __throw_out_of_range(const char* message) { Raise(message); }
void __throw_runtime_error(const char* message) { Raise(message); }
void __throw_range_error(const char* message) { Raise(message); }
void __throw_overflow_error(const char* message) { Raise(message); }
void __throw_underflow_error(const char* message) { Raise(message); }

void __throw_out_of_range_fmt(const char* pattern, ...)
{
    va_list values;
    va_start(values, pattern);
    const std::string text = FormatWith(pattern, LibraryConversion, &values);
    va_end(values);
    toolkit::Throw(text.c_str());
}
}  // namespace std

namespace __gnu_cxx {
// As the library's handler says it, without demangling the type's name; then abort as it does.
void __verbose_terminate_handler()
{
    static bool terminating = false;
    if (terminating) {
        Say("terminate called recursively\n");
        std::abort();
    }
    terminating = true;
    if (const std::type_info* type = abi::__cxa_current_exception_type()) {
        Say("terminate called after throwing an instance of '");
        Say(type->name());
        Say("'\n");
        try {
            throw;
        } catch (const std::exception& error) {
            Say("  what():  ");
            Say(error.what());
            Say("\n");
        } catch (...) {
        }
    } else {
        Say("terminate called without an active exception\n");
    }
    std::abort();
}
}  // namespace __gnu_cxx
