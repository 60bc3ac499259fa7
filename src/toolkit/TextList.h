#pragma once
// An ordered list of texts: kept in the order they were appended, duplicates included.

#include <string>
#include <vector>

namespace toolkit {

class TextList {
public:
    void Append(std::string text);
    void Clear() noexcept;
    [[nodiscard]] int Count() const noexcept;
    // Throws Error for an index outside 0 .. Count() - 1.
    [[nodiscard]] const std::string& Item(int index) const;

private:
    std::vector<std::string> items_;
};

}  // namespace toolkit
