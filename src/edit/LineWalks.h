#pragma once

#include <cstddef>
#include <string_view>
#include <unordered_set>

#include "model/Block.h"

namespace tessary {

// Walks over a whole subtree that match a line exactly. Unlike Block::RemoveMatching and
// Block::ReplaceData, an empty tag or data here is a value to match, not a wildcard: a prop
// whose name is empty must not take every "parent" line or every "prop" Block with it.
// Both walk iteratively, so any nesting the reader accepts is safe.

// Removes every descendant of `root` whose tag and data equal the given ones, with its
// subtree. Returns the number of Blocks removed (subtrees counted once).
int RemoveLinesExactly(Block& root, std::string_view tag, std::string_view data);

// Sets `data` to `newData` in every Block of the subtree (`root` included) whose tag and data
// equal the given ones. Returns the number of Blocks changed.
int ReplaceDataExactly(Block& root, std::string_view tag, std::string_view data,
                       std::string_view newData);

// RemoveLinesExactly(root, removedTag, name) and then ReplaceDataExactly(root, redirectedTag,
// name, newData) for every name of `names`, in one walk instead of two per name. `names` must
// not hold `newData` unless a redirected line may keep it. Returns whether anything was
// removed or set.
bool RemoveAndRedirectLines(Block& root, std::string_view removedTag,
                            std::string_view redirectedTag,
                            const std::unordered_set<std::string_view>& names,
                            std::string_view newData);

// Removes the children of `block` for which `doomed` holds, keeping the others in order, in
// one pass. Returns the number removed.
template <typename Doomed>
std::size_t RemoveChildrenWhere(Block& block, Doomed doomed);

// Whether two subtrees hold the same lines: tags, data, brace blocks and children in order.
// Tree-item handles are not compared.
bool SameLines(const Block& a, const Block& b);

template <typename Doomed>
std::size_t RemoveChildrenWhere(Block& block, Doomed doomed) {
    ChildList& children = block.children;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < children.size(); ++i) {
        if (doomed(children[i])) {
            // Moved out first, so that its subtree is freed by ~Block (iteratively) and the
            // place it leaves is an empty shell.
            Block gone(std::move(children[i]));
            continue;
        }
        if (kept != i) {
            children[kept] = std::move(children[i]);
        }
        ++kept;
    }
    const std::size_t removed = children.size() - kept;
    children.erase(children.begin() + static_cast<std::ptrdiff_t>(kept), children.end());
    return removed;
}

}  // namespace tessary
