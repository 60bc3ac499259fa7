#include "toolkit/TextList.h"

#include <climits>

#include "toolkit/Error.h"

namespace toolkit {

void TextList::Append(std::string text)
{
    // Count() answers in int: a list that would outgrow it is refused rather than miscounted.
    if (items_.size() >= static_cast<size_t>(INT_MAX)) Throw("リストに追加できません");
    items_.push_back(std::move(text));
}

void TextList::Clear() noexcept { items_.clear(); }

int TextList::Count() const noexcept { return static_cast<int>(items_.size()); }

const std::string& TextList::Item(int index) const
{
    if (index < 0 || index >= Count())
        throw Error(Format("リストのインデックスが範囲を超えています (%d)", index));
    return items_[static_cast<size_t>(index)];
}

}  // namespace toolkit
