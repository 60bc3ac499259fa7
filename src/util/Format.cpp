#include "util/Format.h"

namespace {

struct FirstValue {
    const std::string& value;
    bool done;
};

// Only the first %d or %s: a message formats one value.
size_t SubstituteFirst(const char* spec, std::string& text, void* context)
{
    FirstValue& first = *static_cast<FirstValue*>(context);
    if (first.done || (spec[0] != 'd' && spec[0] != 's')) return 0;
    text += first.value;
    first.done = true;
    return 1;
}

}  // namespace

std::string FormatWith(const char* pattern, FormatConversion convert, void* context)
{
    std::string text;
    for (const char* p = pattern; p && *p; ++p) {
        if (p[0] != '%' || p[1] == '\0') {
            text += *p;
        } else if (p[1] == '%') {
            text += '%';
            ++p;
        } else if (const size_t length = convert(p + 1, text, context)) {
            p += length;
        } else {
            text += *p;
        }
    }
    return text;
}

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
    return Format(pattern, std::string(p, end));
}

std::string Format(const char* pattern, const std::string& value)
{
    FirstValue first{value, false};
    return FormatWith(pattern, SubstituteFirst, &first);
}
