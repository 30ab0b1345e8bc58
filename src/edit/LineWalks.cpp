#include "edit/LineWalks.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "model/Block.h"

namespace tessary {

int RemoveLinesExactly(Block& root, std::string_view tag, std::string_view data) {
    int removed = 0;
    std::vector<Block*> pending{&root};
    while (!pending.empty()) {
        Block* block = pending.back();
        pending.pop_back();
        // A Block's children are edited only while it is being visited, before any pointer
        // into them is taken, so the pointers pushed below stay valid.
        for (std::size_t i = block->children.size(); i-- > 0;) {
            const Block& child = block->children[i];
            if (child.tag == tag && child.data == data) {
                block->RemoveChild(i);
                ++removed;
            }
        }
        for (Block& child : block->children) {
            pending.push_back(&child);
        }
    }
    return removed;
}

int ReplaceDataExactly(Block& root, std::string_view tag, std::string_view data,
                       std::string_view newData) {
    int changed = 0;
    std::vector<Block*> pending{&root};
    while (!pending.empty()) {
        Block* block = pending.back();
        pending.pop_back();
        if (block->tag == tag && block->data == data) {
            block->data = std::string(newData);
            ++changed;
        }
        for (Block& child : block->children) {
            pending.push_back(&child);
        }
    }
    return changed;
}

bool SameLines(const Block& a, const Block& b) {
    std::vector<std::pair<const Block*, const Block*>> pending{{&a, &b}};
    while (!pending.empty()) {
        const auto [left, right] = pending.back();
        pending.pop_back();
        if (left->tag != right->tag || left->data != right->data ||
            left->hasBlock != right->hasBlock || left->children.size() != right->children.size()) {
            return false;
        }
        for (std::size_t i = 0; i < left->children.size(); ++i) {
            pending.emplace_back(&left->children[i], &right->children[i]);
        }
    }
    return true;
}

}  // namespace tessary
