#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/Block.h"
#include "platform/TreeControl.h"

namespace tessary {

// Where a Block stands in a tree: the index of each Block on the way down from the root, the
// Block's own index last. The root itself has the empty position.
using BlockPosition = std::vector<std::size_t>;

// The Block at `position` below `root`, or none when the position leads nowhere.
Block* BlockAt(Block& root, const BlockPosition& position);
// Where `target`, a Block of the tree below `root`, stands. Found level by level from the
// Block's address, so a Block near the top is found without walking the levels below it;
// none for a Block that is not in the tree.
std::optional<BlockPosition> PositionOf(const Block& root, const Block* target);
// Where the first Block (in file order, root excluded) with tree item `item` stands.
std::optional<BlockPosition> PositionOfItem(const Block& root, TreeItem item);

// One change to a file's tree as its history keeps it: only the Blocks the change replaced,
// inserted or removed, never a copy of the rest. Undo and Redo move those Blocks between the
// step and the tree (nothing is copied), so each is as fast as moving them; a step undone
// holds what Redo puts back.
class EditStep {
  public:
    explicit EditStep(std::string label = {}) : label_(std::move(label)) {}

    // "Delete All Morph Targets (lHand)": what the user did, as the window names it.
    const std::string& Label() const { return label_; }
    void SetLabel(std::string label) { label_ = std::move(label); }

    // The `count` children of the Block at `parent` that now stand from `at` on were `before`
    // until the change (count 0: `before` were removed there; no `before`: the children were
    // inserted); the Block at `parent` has `size` children now.
    void AddSplice(BlockPosition parent, std::size_t at, std::size_t count,
                   std::vector<Block> before, std::size_t size);
    // Children of the Block at `parent` that the change removed: `blocks`, which stood at the
    // runs of `runs` (start and length, ascending, counted in the list before the removal); the
    // Block at `parent` has `size` children now.
    void AddRemoval(BlockPosition parent, std::vector<std::pair<std::size_t, std::size_t>> runs,
                    std::vector<Block> blocks, std::size_t size);
    // Records `earlier`'s changes as made before this step's own.
    void Prepend(EditStep&& earlier);

    bool Empty() const { return changes_.empty(); }
    // A change happened that the step could not keep: undoing it would not give the tree
    // before the change back.
    void MarkIncomplete() { incomplete_ = true; }
    bool Incomplete() const { return incomplete_; }
    // Puts the tree back as it was before the step, or forward to how the step left it. False
    // (and the tree as it was) when the tree no longer fits the step: a position that leads
    // nowhere or a list of another length than the step left.
    bool Undo(Block& root);
    bool Redo(Block& root);

  private:
    struct Change {
        BlockPosition parent;
        bool removal = false;
        // A splice: the children now at [at, at + count) are swapped with `blocks`.
        std::size_t at = 0;
        std::size_t count = 0;
        // A removal: where `blocks` stood, and whether they are out of the tree now.
        std::vector<std::pair<std::size_t, std::size_t>> runs;
        bool out = true;
        std::vector<Block> blocks;
        // The number of children of the parent in the state the change is in now.
        std::size_t size = 0;
    };
    bool Apply(Block& root, bool undo);
    static bool Fits(Block& root, const Change& change);
    static void Swap(Block& root, Change& change);

    std::string label_;
    std::vector<Change> changes_;
    bool incomplete_ = false;
};

// A pane's history of changes to its tree: the steps that can be undone and, after an undo,
// those that can be redone. It knows which state the file on disk holds (the one last loaded
// or saved), so the pane's `modified` flag can follow it. At most kMaxSteps steps are kept;
// the oldest goes first.
class EditHistory {
  public:
    static constexpr std::size_t kMaxSteps = 100;

    // No steps; the tree as it is now is what the file holds (after a load).
    void Clear();
    // No steps; `matchesFile`: whether the tree as it is now is what the file holds.
    void Forget(bool matchesFile);
    // The tree as it is now is what the file holds (after a save).
    void MarkSaved();
    // A new change: the steps that could be redone go.
    void Push(EditStep step);

    const EditStep* NextUndo() const;
    const EditStep* NextRedo() const;
    // Undoes or redoes a step on `root`. False when there is none, or when the tree no longer
    // fits it: the history is then forgotten and the tree left as it is.
    bool Undo(Block& root);
    bool Redo(Block& root);
    // Whether the tree is in the state the file holds.
    bool AtSavedState() const;
    std::size_t UndoCount() const { return done_; }
    std::size_t RedoCount() const { return steps_.size() - done_; }

    // While a command runs under a step recorder, the step that the removals of the edit
    // operations move their Blocks into (see RemoveChildrenRecorded); none otherwise.
    EditStep* recording = nullptr;

  private:
    std::deque<EditStep> steps_;
    std::size_t done_ = 0;
    // Steps dropped from the front, so that savedAt_ stays an absolute count.
    long long dropped_ = 0;
    // How many steps (counted from the first ever kept) were done when the tree equalled the
    // file; -1 when no sequence of undos and redos leads back there.
    long long savedAt_ = 0;
};

// Removes the children of `parent`, a Block of the tree below `root`, for which `doomed` holds,
// keeping the others in order, in one pass; returns how many went. While `history` records a
// step, the removed Blocks move into it (Undo puts them back where they stood); otherwise they
// are freed.
template <typename Doomed>
std::size_t RemoveChildrenRecorded(EditHistory& history, Block& root, Block& parent, Doomed doomed);

template <typename Doomed>
std::size_t RemoveChildrenRecorded(EditHistory& history, Block& root, Block& parent,
                                   Doomed doomed) {
    ChildList& children = parent.children;
    // Everything the removal needs is allocated before the first Block moves, so running out
    // of memory leaves the tree as it was.
    std::vector<char> goes(children.size());
    std::size_t count = 0;
    std::size_t runCount = 0;
    for (std::size_t i = 0; i < children.size(); ++i) {
        goes[i] = doomed(children[i]) ? 1 : 0;
        count += goes[i];
        runCount += goes[i] != 0 && (i == 0 || goes[i - 1] == 0) ? 1 : 0;
    }
    if (count == 0) {
        return 0;
    }
    std::optional<BlockPosition> position;
    std::vector<Block> removed;
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    if (history.recording != nullptr) {
        position = PositionOf(root, &parent);
        if (!position) {
            history.recording->MarkIncomplete();
        } else {
            removed.reserve(count);
            runs.reserve(runCount);
        }
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < children.size(); ++i) {
        if (goes[i] != 0) {
            if (position) {
                if (!runs.empty() && runs.back().first + runs.back().second == i) {
                    ++runs.back().second;
                } else {
                    runs.emplace_back(i, 1);
                }
                removed.push_back(std::move(children[i]));
            } else {
                // Moved out first, so that its subtree is freed by ~Block (iteratively).
                Block gone(std::move(children[i]));
            }
            continue;
        }
        if (kept != i) {
            children[kept] = std::move(children[i]);
        }
        ++kept;
    }
    children.erase(children.begin() + static_cast<std::ptrdiff_t>(kept), children.end());
    if (position && children.capacity() > 2 * children.size()) {
        // The step holds the removed Blocks; the places they left in the list are given back,
        // so that keeping them costs no more than they cost in the tree.
        children.shrink_to_fit();
    }
    if (position) {
        try {
            history.recording->AddRemoval(std::move(*position), std::move(runs), std::move(removed),
                                          kept);
        } catch (const std::bad_alloc&) {
            // The removal stands; only its record is lost.
            history.recording->MarkIncomplete();
        }
    }
    return count;
}

}  // namespace tessary
