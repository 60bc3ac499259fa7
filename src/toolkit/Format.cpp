#include "toolkit/Error.h"

// Plain C++: the fuzz targets build it natively with the configuration reader.

namespace toolkit {
namespace {
// The pattern with its first %d or %s replaced by `value` and %% by %. Done by hand: the printf
// family would bring its whole machinery into the program for two conversions.
std::string Substitute(const char* pattern, const std::string& value)
{
    std::string text;
    bool done = false;
    for (const char* p = pattern; *p; ++p) {
        if (p[0] != '%' || p[1] == '\0') {
            text += *p;
        } else if (p[1] == '%') {
            text += '%';
            ++p;
        } else if (!done && (p[1] == 'd' || p[1] == 's')) {
            text += value;
            done = true;
            ++p;
        } else {
            text += *p;
        }
    }
    return text;
}
}  // namespace

std::string Format(const char* pattern, long long value)
{
    char digits[24];
    char* end = digits + sizeof digits;
    char* p = end;
    // Counted in the negative range so that the smallest value needs no special case.
    long long rest = value < 0 ? value : -value;
    do {
        *--p = static_cast<char>('0' - rest % 10);
        rest /= 10;
    } while (rest != 0);
    if (value < 0) *--p = '-';
    return Substitute(pattern, std::string(p, end));
}

std::string Format(const char* pattern, const std::string& value) { return Substitute(pattern, value); }

}  // namespace toolkit
