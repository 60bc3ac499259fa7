#pragma once
// A reader of code-page-932 ini files that follows the Windows private-profile rules without
// going through the system's code page: the bytes are parsed once into an index, and every lookup
// afterwards is a hash lookup.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace setup {

class IniReader {
public:
    // What a value may hold: the profile functions read into a buffer of 2048 bytes.
    static constexpr size_t kMaxValueBytes = 2047;

    explicit IniReader(std::string_view bytes);

    // The value of `key` in `section`, names compared without regard to ASCII letter case; ended at
    // its first zero byte, trimmed, one matching pair of quotes removed, at most kMaxValueBytes bytes
    // and never half a character. `defaultValue` when the section or the key is missing.
    [[nodiscard]] std::string ReadString(std::string_view section, std::string_view key,
                                         std::string_view defaultValue) const;

    // The value read as a signed 32-bit decimal or "0x" hexadecimal number, with an optional minus
    // sign. `defaultValue` when the key is missing; 0 when its text is not a whole number or does
    // not fit, as the profile functions give.
    [[nodiscard]] int32_t ReadInteger(std::string_view section, std::string_view key, int32_t defaultValue) const;

    // The conversion that ReadInteger applies to a value; exposed for the callers that hold text.
    [[nodiscard]] static int32_t ToInteger(std::string_view text) noexcept;

private:
    using Keys = std::unordered_map<std::string, std::string>;

    [[nodiscard]] const std::string* Find(std::string_view section, std::string_view key) const;

    std::unordered_map<std::string, Keys> sections_;
};

}  // namespace setup
