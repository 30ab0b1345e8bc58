#include "pane/EditHistory.h"

#include <iterator>
#include <new>
#include <string_view>

namespace tessary {

Block* BlockAt(Block& root, const BlockPosition& position) {
    Block* block = &root;
    for (std::size_t index : position) {
        if (index >= block->children.size()) {
            return nullptr;
        }
        block = &block->children[index];
    }
    return block;
}

std::optional<BlockPosition> PositionOf(const Block& root, const Block* target) {
    if (target == &root) {
        return BlockPosition{};
    }
    // Breadth first: each entry is a Block whose children are looked at, with the entry of its
    // parent and its own index there, so that the way back up gives the position.
    struct Entry {
        const Block* block;
        std::size_t parent;
        std::size_t index;
    };
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::vector<Entry> entries{{&root, kNone, 0}};
    for (std::size_t next = 0; next < entries.size(); ++next) {
        const ChildList& children = entries[next].block->children;
        if (children.empty()) {
            continue;
        }
        const Block* first = children.data();
        if (target >= first && target < first + children.size()) {
            BlockPosition position{static_cast<std::size_t>(target - first)};
            for (std::size_t at = next; entries[at].parent != kNone; at = entries[at].parent) {
                position.push_back(entries[at].index);
            }
            return BlockPosition(position.rbegin(), position.rend());
        }
        for (std::size_t i = 0; i < children.size(); ++i) {
            if (!children[i].children.empty()) {
                entries.push_back({&children[i], next, i});
            }
        }
    }
    return std::nullopt;
}

std::optional<BlockPosition> PositionOfItem(const Block& root, TreeItem item) {
    BlockPosition position;
    if (root.FindDescendantByTreeItem(item, position) == nullptr) {
        return std::nullopt;
    }
    return position;
}

// --- EditStep

void EditStep::AddSplice(BlockPosition parent, std::size_t at, std::size_t count,
                         std::vector<Block> before, std::size_t size) {
    Change change;
    change.parent = std::move(parent);
    change.at = at;
    change.count = count;
    change.blocks = std::move(before);
    change.size = size;
    changes_.push_back(std::move(change));
}

void EditStep::AddRemoval(BlockPosition parent,
                          std::vector<std::pair<std::size_t, std::size_t>> runs,
                          std::vector<Block> blocks, std::size_t size) {
    Change change;
    change.parent = std::move(parent);
    change.removal = true;
    change.runs = std::move(runs);
    change.blocks = std::move(blocks);
    change.size = size;
    changes_.push_back(std::move(change));
}

void EditStep::Prepend(EditStep&& earlier) {
    earlier.changes_.insert(earlier.changes_.end(), std::make_move_iterator(changes_.begin()),
                            std::make_move_iterator(changes_.end()));
    changes_ = std::move(earlier.changes_);
    incomplete_ = incomplete_ || earlier.incomplete_;
}

bool EditStep::Fits(Block& root, const Change& change) {
    const Block* parent = BlockAt(root, change.parent);
    if (parent == nullptr || parent->children.size() != change.size) {
        return false;
    }
    if (!change.removal) {
        return change.at + change.count <= change.size;
    }
    std::size_t moved = 0;
    for (const auto& run : change.runs) {
        moved += run.second;
    }
    const std::size_t whole = change.out ? change.size + moved : change.size;
    return !change.runs.empty() && change.runs.back().first + change.runs.back().second <= whole;
}

void EditStep::Swap(Block& root, Change& change) {
    ChildList& children = BlockAt(root, change.parent)->children;
    if (!change.removal) {
        const auto at = static_cast<std::ptrdiff_t>(change.at);
        if (change.count == change.blocks.size()) {
            for (std::size_t i = 0; i < change.count; ++i) {
                std::swap(children[change.at + i], change.blocks[i]);
            }
            return;
        }
        // Both allocations come first: running out of memory leaves the tree as it was.
        std::vector<Block> taken;
        taken.reserve(change.count);
        children.reserve(children.size() - change.count + change.blocks.size());
        taken.assign(std::make_move_iterator(children.begin() + at),
                     std::make_move_iterator(children.begin() + at +
                                             static_cast<std::ptrdiff_t>(change.count)));
        children.erase(children.begin() + at,
                       children.begin() + at + static_cast<std::ptrdiff_t>(change.count));
        children.insert(children.begin() + at, std::make_move_iterator(change.blocks.begin()),
                        std::make_move_iterator(change.blocks.end()));
        change.count = change.blocks.size();
        change.blocks = std::move(taken);
        change.size = children.size();
        return;
    }
    if (change.out) {
        // Back in: the list grows by the removed Blocks and is merged from its end, so only
        // the children behind the first run move, each once.
        std::size_t source = children.size();
        children.resize(children.size() + change.blocks.size());
        std::size_t write = children.size();
        std::size_t block = change.blocks.size();
        for (auto run = change.runs.rbegin(); run != change.runs.rend(); ++run) {
            while (write > run->first + run->second) {
                children[--write] = std::move(children[--source]);
            }
            for (std::size_t i = 0; i < run->second; ++i) {
                children[--write] = std::move(change.blocks[--block]);
            }
        }
        change.blocks.clear();
    } else {
        std::size_t moved = 0;
        for (const auto& run : change.runs) {
            moved += run.second;
        }
        change.blocks.reserve(moved);
        std::size_t kept = change.runs.front().first;
        std::size_t read = kept;
        for (const auto& run : change.runs) {
            while (read < run.first) {
                children[kept++] = std::move(children[read++]);
            }
            for (std::size_t i = 0; i < run.second; ++i) {
                change.blocks.push_back(std::move(children[read++]));
            }
        }
        while (read < children.size()) {
            children[kept++] = std::move(children[read++]);
        }
        children.erase(children.begin() + static_cast<std::ptrdiff_t>(kept), children.end());
    }
    change.out = !change.out;
    change.size = children.size();
}

bool EditStep::Undo(Block& root) {
    return Apply(root, true);
}

bool EditStep::Redo(Block& root) {
    return Apply(root, false);
}

bool EditStep::Apply(Block& root, bool undo) {
    const std::size_t count = changes_.size();
    // Undoing swaps the last change first, redoing the first.
    auto nth = [&](std::size_t k) -> Change& { return changes_[undo ? count - 1 - k : k]; };
    std::size_t swapped = 0;
    // What was swapped already goes back when a change does not fit or memory runs out, so
    // the tree stays as it was.
    auto rollBack = [&] {
        while (swapped > 0) {
            Swap(root, nth(--swapped));
        }
    };
    try {
        for (; swapped < count; ++swapped) {
            if (!Fits(root, nth(swapped))) {
                rollBack();
                return false;
            }
            Swap(root, nth(swapped));
        }
    } catch (const std::bad_alloc&) {
        rollBack();
        throw;
    }
    return true;
}

// --- EditHistory

void EditHistory::Clear() {
    Forget(true);
}

void EditHistory::Forget(bool matchesFile) {
    steps_.clear();
    done_ = 0;
    dropped_ = 0;
    savedAt_ = matchesFile ? 0 : -1;
}

void EditHistory::MarkSaved() {
    savedAt_ = dropped_ + static_cast<long long>(done_);
}

void EditHistory::Push(EditStep step) {
    steps_.erase(steps_.begin() + static_cast<std::ptrdiff_t>(done_), steps_.end());
    if (savedAt_ > dropped_ + static_cast<long long>(done_)) {
        savedAt_ = -1;  // the saved state was among the steps that could be redone
    }
    steps_.push_back(std::move(step));
    ++done_;
    while (steps_.size() > kMaxSteps) {
        steps_.pop_front();
        --done_;
        ++dropped_;
    }
    if (savedAt_ >= 0 && savedAt_ < dropped_) {
        savedAt_ = -1;
    }
}

const EditStep* EditHistory::NextUndo() const {
    return done_ > 0 ? &steps_[done_ - 1] : nullptr;
}

const EditStep* EditHistory::NextRedo() const {
    return done_ < steps_.size() ? &steps_[done_] : nullptr;
}

bool EditHistory::Undo(Block& root) {
    if (done_ == 0) {
        return false;
    }
    if (!steps_[done_ - 1].Undo(root)) {
        Forget(AtSavedState());
        return false;
    }
    --done_;
    return true;
}

bool EditHistory::Redo(Block& root) {
    if (done_ == steps_.size()) {
        return false;
    }
    if (!steps_[done_].Redo(root)) {
        Forget(AtSavedState());
        return false;
    }
    ++done_;
    return true;
}

bool EditHistory::AtSavedState() const {
    return savedAt_ == dropped_ + static_cast<long long>(done_);
}

}  // namespace tessary
