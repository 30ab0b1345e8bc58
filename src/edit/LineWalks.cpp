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

bool RemoveAndRedirectLines(Block& root, std::string_view removedTag,
                            std::string_view redirectedTag,
                            const std::unordered_set<std::string_view>& names,
                            std::string_view newData) {
    bool changed = false;
    std::vector<Block*> pending{&root};
    while (!pending.empty()) {
        Block* block = pending.back();
        pending.pop_back();
        // A removed Block is not visited, as the per-name walks would not visit it after its
        // removal; lines redirected inside it would go with it anyway.
        if (block->tag == redirectedTag && names.count(block->data) != 0) {
            block->data = std::string(newData);
            changed = true;
        }
        if (RemoveChildrenWhere(*block, [&](const Block& child) {
                return child.tag == removedTag && names.count(child.data) != 0;
            }) != 0) {
            changed = true;
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
