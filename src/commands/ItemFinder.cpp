#include "commands/ItemFinder.h"

#include "commands/StatusText.h"

namespace tessary {

TreeItem ItemFinder::Find(std::string_view text) {
    text_ = std::string(text);
    matches_.clear();
    index_ = 0;
    if (!text.empty()) {
        matches_ = control_.FindItemsContaining(text);
    }
    return SelectCurrent();
}

TreeItem ItemFinder::Next() {
    if (matches_.empty()) {
        return 0;
    }
    index_ = (index_ + 1) % matches_.size();
    return SelectCurrent();
}

TreeItem ItemFinder::Previous() {
    if (matches_.empty()) {
        return 0;
    }
    index_ = (index_ + matches_.size() - 1) % matches_.size();
    return SelectCurrent();
}

std::string ItemFinder::Summary() const {
    if (text_.empty()) {
        return {};
    }
    if (matches_.empty()) {
        return "No match";
    }
    return GroupedNumber(static_cast<long long>(Position())) + " of " +
           GroupedNumber(static_cast<long long>(matches_.size()));
}

TreeItem ItemFinder::SelectCurrent() {
    if (matches_.empty()) {
        return 0;
    }
    const TreeItem item = matches_[index_];
    control_.SelectItem(item);
    return item;
}

}  // namespace tessary
