#pragma once

#include <string_view>

namespace tessary {

class Block;

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

// Whether two subtrees hold the same lines: tags, data, brace blocks and children in order.
// Tree-item handles are not compared.
bool SameLines(const Block& a, const Block& b);

}  // namespace tessary
