#include "toolkit/Error.h"

#include <cstdio>
#include <vector>

namespace toolkit {
namespace {
template <class T>
std::string FormatOne(const char* pattern, T value)
{
    const int needed = std::snprintf(nullptr, 0, pattern, value);
    if (needed <= 0) return pattern;
    std::vector<char> buffer(static_cast<size_t>(needed) + 1);
    std::snprintf(buffer.data(), buffer.size(), pattern, value);
    return std::string(buffer.data(), static_cast<size_t>(needed));
}
}  // namespace

std::string Format(const char* pattern, long long value)
{
    // The pattern says %d; widen it so any integer fits.
    std::string wide;
    for (const char* p = pattern; *p; ++p) {
        if (p[0] == '%' && p[1] == 'd') {
            wide += "%lld";
            ++p;
        } else {
            wide += *p;
        }
    }
    return FormatOne(wide.c_str(), value);
}

std::string Format(const char* pattern, const std::string& value) { return FormatOne(pattern, value.c_str()); }

}  // namespace toolkit
