// Combining morph targets: the dialog picks them, the chosen targets' deltas are summed per
// vertex with their current values as weights, and the sum becomes a new first channel.

#include "edit/Combine.h"

#include <algorithm>
#include <cstddef>
#include <new>
#include <utility>

#include "edit/MorphDeltas.h"
#include "pane/FigureFile.h"
#include "pane/FigureTree.h"
#include "platform/Ui.h"

namespace tessary {

namespace {

// Hands on positions only when they change: the summing reports once per vertex, and a
// window's progress bar needs no more than its hundred steps.
class ProgressSteps {
  public:
    explicit ProgressSteps(const std::function<void(int)>& report) : report_(report) {}

    // 100 × done / total, truncated.
    void Set(std::size_t done, std::size_t total) {
        const int percent = total == 0 ? 0 : static_cast<int>(100.0 * done / total);
        if (percent != last_ && report_) {
            last_ = percent;
            report_(percent);
        }
    }

  private:
    const std::function<void(int)>& report_;
    int last_ = -1;
};

// The per-vertex sums. `limit` is the accumulator's size as the file states it (the first
// target's "numbDeltas"); the array holds only the elements up to the highest vertex used so
// far, since the rest stay zero and give no lines.
struct Accumulator {
    std::size_t limit = 0;
    std::vector<Delta> sums;

    // Adds `weight` × each delta line of `target` in one pass.
    void Add(const MorphTargetHeader& target, double weight) {
        if (target.deltas == nullptr) {
            return;
        }
        const ChildList& lines = target.deltas->children;
        Delta delta;
        for (std::size_t i = 0; i < target.count; ++i) {
            ParseDeltaLine(lines[i].data, delta);
            if (delta.vertex < 0 || static_cast<std::size_t>(delta.vertex) >= limit) {
                continue;
            }
            const auto vertex = static_cast<std::size_t>(delta.vertex);
            if (vertex >= sums.size()) {
                // Doubling keeps the growth linear in the highest vertex number.
                sums.resize(std::min(limit, std::max(vertex + 1, sums.size() * 2)));
            }
            Delta& sum = sums[vertex];
            sum.dx += weight * delta.dx;
            sum.dy += weight * delta.dy;
            sum.dz += weight * delta.dz;
        }
    }
};

Block Line(const char* tag, std::string data) {
    Block line;
    line.tag = tag;
    line.data = std::move(data);
    return line;
}

Block BraceBlock(const char* tag) {
    Block block;
    block.tag = tag;
    block.hasBlock = 1;
    return block;
}

}  // namespace

std::vector<std::string> MorphTargetNames(const Block& channels) {
    std::vector<std::string> names;
    for (const Block& channel : channels.children) {
        if (channel.tag == "targetGeom") {
            names.push_back(channel.data);
        }
    }
    return names;
}

Block BuildCombinedMorphTarget(const Block& channels, const CombineChoice& choice,
                               const std::function<void(int)>& progress) {
    ProgressSteps steps(progress);
    std::vector<const Block*> targets;
    for (const Block& channel : channels.children) {
        if (channel.tag == "targetGeom") {
            targets.push_back(&channel);
        }
    }

    Accumulator accumulator;
    const std::size_t chosen = choice.selected.size();
    for (std::size_t i = 0; i < chosen; ++i) {
        steps.Set(i, chosen);
        const std::size_t index = choice.selected[i];
        if (index >= targets.size()) {
            break;
        }
        const MorphTargetHeader target = ReadMorphTargetHeader(*targets[index]);
        if (i == 0 && target.numbDeltas > 0) {
            accumulator.limit = static_cast<std::size_t>(target.numbDeltas);
        }
        accumulator.Add(target, choice.addMode ? target.weight : -target.weight);
    }

    const std::vector<Delta>& sums = accumulator.sums;
    Block deltas = BraceBlock("deltas");
    std::size_t nonzero = 0;
    for (const Delta& sum : sums) {
        if (sum.dx != 0.0 || sum.dy != 0.0 || sum.dz != 0.0) {
            ++nonzero;
        }
    }
    deltas.children.reserve(nonzero);
    TextArena texts;
    std::string text;
    for (std::size_t v = 0; v < sums.size(); ++v) {
        steps.Set(v, accumulator.limit);
        const Delta& sum = sums[v];
        if (sum.dx == 0.0 && sum.dy == 0.0 && sum.dz == 0.0) {
            continue;
        }
        Block& line = deltas.children.emplace_back();
        line.tag = "d";
        text.clear();
        AppendDeltaLine(text, static_cast<std::int32_t>(v), sum.dx, sum.dy, sum.dz);
        texts.Store(text, line.data);
    }

    Block keys = BraceBlock("keys");
    keys.children.push_back(Line("static", "0"));
    keys.children.push_back(Line("k", "0  0"));

    Block morphTarget = BraceBlock("targetGeom");
    morphTarget.data = choice.newName;
    ChildList& lines = morphTarget.children;
    lines.reserve(13);
    lines.push_back(Line("name", choice.newName));
    lines.push_back(Line("initValue", "1"));
    lines.push_back(Line("hidden", "0"));
    lines.push_back(Line("forceLimits", "4"));
    lines.push_back(Line("min", "-100000"));
    lines.push_back(Line("max", "100000"));
    lines.push_back(Line("trackingScale", "0.01"));
    lines.push_back(std::move(keys));
    lines.push_back(Line("interpStyleLocked", "0"));
    lines.push_back(Line("indexes", std::to_string(nonzero)));
    lines.push_back(Line("numbDeltas", std::to_string(accumulator.limit)));
    lines.push_back(std::move(deltas));
    return morphTarget;
}

int CombineMorphTargets(FigureFile& file, Block& bodyPart, const std::string& label) {
    const int channelsIndex = bodyPart.FindChildIndex("channels");
    if (channelsIndex < 0) {
        return 0;
    }
    CombineRequest request;
    request.names = MorphTargetNames(bodyPart.children[static_cast<std::size_t>(channelsIndex)]);
    request.label = label;
    const std::optional<CombineChoice> choice = file.ui.RunCombineDialog(request);
    if (!choice || choice->selected.size() < 2) {
        return 0;
    }
    if (!AcceptsLineText(file.ui, choice->newName)) {
        return 0;
    }

    file.ui.OpenProgress("Combining Morph Targets...\nPlease Wait.", true);
    file.ui.SetWaitCursor();
    file.ui.SetProgressPosition(0);
    Block& channels = bodyPart.children[static_cast<std::size_t>(channelsIndex)];
    try {
        Block morphTarget = BuildCombinedMorphTarget(
            channels, *choice, [&file](int percent) { file.ui.SetProgressPosition(percent); });
        channels.InsertChild(0, std::move(morphTarget));
    } catch (const std::bad_alloc&) {
        // A "numbDeltas" and vertex numbers beyond what memory holds: the file stays as it was.
        file.ReportOutOfMemory();
        return 0;
    }
    file.modified = 1;
    if (file.tree != nullptr) {
        file.tree->Refresh();
    }
    file.ui.CloseProgress();
    return 1;
}

}  // namespace tessary
