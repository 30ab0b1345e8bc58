#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/TreeControl.h"

namespace tessary {

// The find field of a pane: the items whose label contains the typed text (ignoring letter
// case), stepped through in display order. Each step selects its item, which shows it: the
// control opens its parents and scrolls it into view.
class ItemFinder {
  public:
    explicit ItemFinder(TreeControl& control) : control_(control) {}

    // Looks for `text` afresh and selects the first match; returns it, or 0 when none (an
    // empty text matches nothing).
    TreeItem Find(std::string_view text);
    // The match after (or before) the one selected last, wrapping round; 0 when none.
    TreeItem Next();
    TreeItem Previous();

    std::size_t Count() const { return matches_.size(); }
    // 1-based place of the selected match, 0 when none.
    std::size_t Position() const { return matches_.empty() ? 0 : index_ + 1; }
    // "3 of 12", "No match" or empty for an empty text.
    std::string Summary() const;

  private:
    TreeItem SelectCurrent();

    TreeControl& control_;
    std::string text_;
    std::vector<TreeItem> matches_;
    std::size_t index_ = 0;
};

}  // namespace tessary
