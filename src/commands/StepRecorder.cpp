#include "commands/StepRecorder.h"

#include <algorithm>
#include <iterator>
#include <unordered_set>
#include <utility>

#include "edit/LineWalks.h"
#include "model/Block.h"
#include "model/Names.h"
#include "pane/FigureFile.h"

namespace tessary {

StepRecorder::StepRecorder(FigureFile& file, std::string label)
    : file_(file), removals_(std::move(label)), topCount_(file.root.children.size()) {}

StepRecorder::~StepRecorder() {
    if (file_.history.recording == &removals_) {
        file_.history.recording = nullptr;
    }
    if (!finished_) {
        file_.history.Forget(file_.modified == 0 && file_.history.AtSavedState());
    }
}

void StepRecorder::KeepBlockOf(TreeItem item) {
    if (item == 0) {
        return;
    }
    if (std::optional<BlockPosition> position = PositionOfItem(file_.root, item)) {
        Block* block = BlockAt(file_.root, *position);
        kept_.push_back({std::move(*position), *block});
    }
}

void StepRecorder::KeepBlockWas(TreeItem item, Block before) {
    if (std::optional<BlockPosition> position =
            item != 0 ? PositionOfItem(file_.root, item) : std::nullopt) {
        kept_.push_back({std::move(*position), std::move(before)});
    } else {
        incomplete_ = true;  // the Block went: where it stood is not known any more
    }
}

void StepRecorder::KeepTopLevel(std::string_view tag, std::string_view baseName) {
    const ChildList& children = file_.root.children;
    for (std::size_t i = 0; i < children.size(); ++i) {
        if (children[i].tag == tag && BaseName(children[i].data) == baseName) {
            kept_.push_back({BlockPosition{i}, children[i]});
        }
    }
    appends_ = true;
}

void StepRecorder::KeepFrontInsertions(const Block& parent,
                                       const std::vector<std::string>& replaced) {
    list_ = PositionOf(file_.root, &parent);
    if (!list_) {
        incomplete_ = true;
        return;
    }
    const std::unordered_set<std::string> keys(replaced.begin(), replaced.end());
    std::unordered_set<std::string> seen;
    listKeys_.reserve(parent.children.size());
    for (std::size_t i = 0; i < parent.children.size(); ++i) {
        listKeys_.push_back(parent.children[i].LineKey());
        if (keys.count(listKeys_.back()) != 0 && seen.insert(listKeys_.back()).second) {
            replaceable_.emplace_back(i, parent.children[i]);
        }
    }
}

void StepRecorder::KeepTopLevelNaming(const std::vector<std::string>& names) {
    if (std::find(names.begin(), names.end(), std::string()) != names.end()) {
        KeepWholeFile();
        return;
    }
    const std::unordered_set<std::string_view> named(names.begin(), names.end());
    const ChildList& children = file_.root.children;
    naming_ = true;
    topKeys_.reserve(children.size());
    topSizes_.reserve(children.size());
    topKept_.resize(children.size());
    for (std::size_t i = 0; i < children.size(); ++i) {
        const Block& top = children[i];
        topKeys_.push_back(top.LineKey());
        topSizes_.push_back(top.children.size());
        bool mentions = top.tag == "figure";
        std::vector<const Block*> pending{&top};
        while (!mentions && !pending.empty()) {
            const Block* block = pending.back();
            pending.pop_back();
            mentions = named.count(block->tag) != 0 || named.count(block->data) != 0;
            for (const Block& child : block->children) {
                pending.push_back(&child);
            }
        }
        if (mentions) {
            topKept_[i] = top;
        }
    }
}

void StepRecorder::KeepWholeFile() {
    if (!keepsWholeFile_) {
        wholeFile_ = file_.root.children;
        keepsWholeFile_ = true;
    }
}

void StepRecorder::RecordRemovals() {
    file_.history.recording = &removals_;
}

void StepRecorder::FinishWholeFile(EditStep& step) {
    ChildList& before = wholeFile_;
    const ChildList& after = file_.root.children;
    const std::size_t common = std::min(before.size(), after.size());
    std::size_t head = 0;
    while (head < common && SameLines(before[head], after[head])) {
        ++head;
    }
    std::size_t tail = 0;
    while (tail < common - head &&
           SameLines(before[before.size() - 1 - tail], after[after.size() - 1 - tail])) {
        ++tail;
    }
    if (before.size() == after.size()) {
        // Blocks changed in place: each one that differs is a change of its own.
        for (std::size_t i = head; i < after.size() - tail; ++i) {
            if (i == head || i + 1 == after.size() - tail || !SameLines(before[i], after[i])) {
                std::vector<Block> was;
                was.push_back(std::move(before[i]));
                step.AddSplice({}, i, 1, std::move(was), after.size());
            }
        }
    } else {
        const auto first = before.begin() + static_cast<std::ptrdiff_t>(head);
        const auto last = before.end() - static_cast<std::ptrdiff_t>(tail);
        step.AddSplice(
            {}, head, after.size() - tail - head,
            std::vector<Block>(std::make_move_iterator(first), std::make_move_iterator(last)),
            after.size());
    }
    ChildList().swap(before);
}

void StepRecorder::Abandon() {
    finished_ = true;
    if (file_.history.recording == &removals_) {
        file_.history.recording = nullptr;
    }
}

void StepRecorder::FinishFrontInsertions(EditStep& step) {
    const Block* parent = BlockAt(file_.root, *list_);
    if (parent == nullptr) {
        incomplete_ = true;
        return;
    }
    const ChildList& after = parent->children;
    // The children behind the new ones are the old ones, in their order, less those a copy
    // replaced; matched from the end, a replaceable child that is still there is the same.
    std::vector<std::size_t> removed;
    std::size_t candidate = replaceable_.size();
    std::size_t j = after.size();
    for (std::size_t i = listKeys_.size(); i-- > 0;) {
        const bool replaceable = candidate > 0 && replaceable_[candidate - 1].first == i;
        const bool kept =
            j > 0 && after[j - 1].LineKey() == listKeys_[i] &&
            (!replaceable || SameLines(after[j - 1], replaceable_[candidate - 1].second));
        if (replaceable) {
            --candidate;
        }
        if (kept) {
            --j;
        } else if (replaceable) {
            removed.push_back(i);
        } else {
            incomplete_ = true;  // an old child changed that no copy replaces
            return;
        }
    }
    if (!removed.empty()) {
        std::vector<std::pair<std::size_t, std::size_t>> runs;
        std::vector<Block> blocks;
        for (auto at = removed.rbegin(); at != removed.rend(); ++at) {
            if (!runs.empty() && runs.back().first + runs.back().second == *at) {
                ++runs.back().second;
            } else {
                runs.emplace_back(*at, 1);
            }
            for (auto& [index, block] : replaceable_) {
                if (index == *at) {
                    blocks.push_back(std::move(block));
                }
            }
        }
        step.AddRemoval(*list_, std::move(runs), std::move(blocks),
                        listKeys_.size() - removed.size());
    }
    if (j > 0) {
        step.AddSplice(*list_, 0, j, {}, after.size());
    }
}

void StepRecorder::FinishNaming(EditStep& step) {
    const ChildList& after = file_.root.children;
    // The Blocks that were not copied are anchors: the command leaves them as they were, in
    // their order. Between two anchors, the copied Blocks of before became whatever stands
    // between them now; each such stretch that differs is one change.
    auto sameAnchor = [&](std::size_t before, const Block& now) {
        return topKeys_[before] == now.LineKey() && topSizes_[before] == now.children.size();
    };
    const std::size_t count = topKeys_.size();
    std::size_t size = count;  // the top level's length with the changes so far made
    std::size_t i = 0;
    std::size_t j = 0;
    while (i <= count) {
        // The next anchor of before (or the end) and where it stands now.
        std::size_t anchor = i;
        while (anchor < count && topKept_[anchor]) {
            ++anchor;
        }
        std::size_t found = j;
        if (anchor < count) {
            while (found < after.size() && !sameAnchor(anchor, after[found])) {
                ++found;
            }
            if (found == after.size()) {
                incomplete_ = true;  // an uncopied Block changed or went
                return;
            }
        } else {
            found = after.size();
        }
        const std::size_t was = anchor - i;
        const std::size_t now = found - j;
        bool changed = was != now;
        for (std::size_t k = 0; !changed && k < was; ++k) {
            changed = !SameLines(*topKept_[i + k], after[j + k]);
        }
        if (changed) {
            std::vector<Block> before;
            before.reserve(was);
            for (std::size_t k = 0; k < was; ++k) {
                before.push_back(std::move(*topKept_[i + k]));
            }
            size = size - was + now;
            step.AddSplice({}, j, now, std::move(before), size);
        }
        i = anchor + 1;
        j = found + 1;
    }
    topKept_.clear();
}

void StepRecorder::Finish() {
    finished_ = true;
    if (file_.history.recording == &removals_) {
        file_.history.recording = nullptr;
    }
    Block& root = file_.root;
    EditStep step(removals_.Label());
    if (keepsWholeFile_) {
        FinishWholeFile(step);
    } else if (naming_) {
        FinishNaming(step);
    } else if (list_) {
        if (root.children.size() != topCount_) {
            incomplete_ = true;
        } else {
            FinishFrontInsertions(step);
        }
    } else {
        const std::size_t count = root.children.size();
        // Copied Blocks are found again at their places: the top level keeps its length, but
        // for Blocks a copy appends. (Removals recorded in the step may shorten it.)
        if (!kept_.empty() && (count < topCount_ || (count > topCount_ && !appends_))) {
            incomplete_ = true;
        }
        for (Kept& kept : kept_) {
            const Block* now = BlockAt(root, kept.position);
            if (now == nullptr || kept.position.empty()) {
                incomplete_ = true;
                continue;
            }
            if (SameLines(kept.before, *now)) {
                continue;
            }
            const std::size_t index = kept.position.back();
            kept.position.pop_back();
            std::vector<Block> was;
            was.push_back(std::move(kept.before));
            // The appended Blocks are taken away first when undoing, so the top level then
            // has the length it had before the command.
            const std::size_t size =
                kept.position.empty() ? topCount_ : BlockAt(root, kept.position)->children.size();
            step.AddSplice(std::move(kept.position), index, 1, std::move(was), size);
        }
        if (count > topCount_ && appends_) {
            step.AddSplice({}, topCount_, count - topCount_, {}, count);
        }
    }
    kept_.clear();
    // The copies were made before the command; its removals came during it.
    removals_.Prepend(std::move(step));
    if (incomplete_ || removals_.Incomplete()) {
        file_.history.Forget(false);
        return;
    }
    if (!removals_.Empty()) {
        file_.history.Push(std::move(removals_));
        file_.modified = 1;
    }
}

}  // namespace tessary
