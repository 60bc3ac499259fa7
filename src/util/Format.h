#pragma once
// printf-style formatting of the program's messages, done by hand: the printf family would bring
// its whole machinery into the program for a few conversions. Plain C++: the fuzz targets build it
// natively with the configuration reader.

#include <cstddef>
#include <string>

// The pattern with its first %d or %s replaced by `value` and %% by %, e.g. Format("... (%d)", 3).
[[nodiscard]] std::string Format(const char* pattern, long long value);
[[nodiscard]] std::string Format(const char* pattern, const std::string& value);

// Appends the value of the conversion that starts at `spec` (the text after a '%') to `text` and
// returns how many bytes of `spec` it spans; 0 when it takes none, and appends nothing then.
using FormatConversion = size_t (*)(const char* spec, std::string& text, void* context);

// The one reading of a pattern, for Format and for the runtime's failure reports: %% becomes %,
// each other '%' is offered to `convert` (with `context`), and one it does not take stays as it is.
// A null pattern gives an empty text.
[[nodiscard]] std::string FormatWith(const char* pattern, FormatConversion convert, void* context);
