// Combining morph targets of one body part of c100.cr2: the whole command as the dispatcher
// runs it (names, dialog answer, summing, the new Block, its insertion and the pane's refresh).
//
// The input is c100.cr2 from the shared generators (see docs/performance.md), taken from the
// folder named by TESSARY_BENCH_DIR, default /tmp/tessary-bench. The body part with the most
// delta lines is used; where it has fewer morph targets than a run combines, copies of its own
// targets under new names are added first, so every run sums real delta lines. Each iteration
// combines the first N targets (the dialog answers Select All up to N) and the new morph target
// is taken out again, untimed. `lines/s` counts the delta lines read per second.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "BenchSupport.h"
#include "edit/Combine.h"
#include "edit/MorphDeltas.h"
#include "headless/MemoryProfileStore.h"
#include "headless/MemoryTreeControl.h"
#include "model/TextIO.h"
#include "pane/FigureFile.h"
#include "pane/FigureTree.h"

namespace {

using namespace tessary;
using bench::InputPath;

constexpr std::size_t kMostTargets = 100;

// Answers the Combine dialog with the first `count` entries, Add.
class CombineUi : public bench::SilentUi {
  public:
    std::size_t count = 0;
    std::optional<CombineChoice> RunCombineDialog(const CombineRequest& request) override {
        CombineChoice choice;
        choice.newName = "Combined";
        for (std::size_t i = 0; i < count && i < request.names.size(); ++i) {
            choice.selected.push_back(i);
        }
        return choice;
    }
};

std::size_t DeltaLines(const Block& bodyPart, std::size_t targets) {
    std::size_t lines = 0;
    const Block* channels = bodyPart.FindNthChild("channels", 0, Match::Tag);
    for (int n = 0; channels != nullptr && static_cast<std::size_t>(n) < targets; ++n) {
        const Block* target = channels->FindNthChild("targetGeom", n, Match::Tag);
        if (target == nullptr) {
            break;
        }
        lines += ReadMorphTargetHeader(*target).count;
    }
    return lines;
}

struct Input {
    CombineUi ui;
    MemoryProfileStore store;
    MemoryTreeControl control;
    FigureFile file{ui, store};
    FigureTree tree{control, file};
    Block* bodyPart = nullptr;

    Input() {
        std::string text;
        if (!ReadWholeFile(InputPath("c100.cr2"), text)) {
            return;
        }
        ParseFileText(text, file.root);
        file.loaded = 1;
        file.viewKind = kFigureView;
        std::size_t most = 0;
        // The body part with the most delta lines in its first targets.
        for (Block& block : file.root.children) {
            if (block.tag == "actor" && DeltaLines(block, kMostTargets) > most) {
                most = DeltaLines(block, kMostTargets);
                bodyPart = &block;
            }
        }
        if (bodyPart == nullptr) {
            return;
        }
        Block& channels = *bodyPart->FindNthChild("channels", 0, Match::Tag);
        const std::size_t own = MorphTargetCount(channels);
        for (std::size_t copy = 0; MorphTargetCount(channels) < kMostTargets; ++copy) {
            Block target =
                *channels.FindNthChild("targetGeom", static_cast<int>(copy % own), Match::Tag);
            target.data += " copy";
            channels.AppendChild(std::move(target));
        }
        // The generated dials are all at 0, which would sum to nothing: set each to a value,
        // as a user would before combining, so that the output pass writes real lines.
        int dial = 0;
        for (Block& channel : channels.children) {
            if (channel.tag == "targetGeom") {
                Block* key =
                    channel.FindNthChild("keys", 0, Match::Tag)->FindNthChild("k", 0, Match::Tag);
                key->data = "0 0." + std::to_string(1 + dial++ % 9);
            }
        }
        tree.Refresh();
    }

    static std::size_t MorphTargetCount(const Block& channels) {
        std::size_t count = 0;
        for (const Block& channel : channels.children) {
            count += channel.tag == "targetGeom" ? 1 : 0;
        }
        return count;
    }
};

Input& Loaded() {
    static Input input;
    return input;
}

void BM_CombineMorphTargets_c100(benchmark::State& state) {
    Input& input = Loaded();
    if (input.bodyPart == nullptr) {
        state.SkipWithError("input missing: generate it with gen_cr2.py (docs/performance.md)");
        return;
    }
    input.ui.count = static_cast<std::size_t>(state.range(0));
    const std::size_t lines = DeltaLines(*input.bodyPart, input.ui.count);
    Block& channels = *input.bodyPart->FindNthChild("channels", 0, Match::Tag);
    std::size_t written = 0;
    for (auto _ : state) {
        CombineMorphTargets(input.file, *input.bodyPart, input.bodyPart->data);
        state.PauseTiming();
        written = channels.children.front().FindNthChild("deltas", 0, Match::Tag)->children.size();
        channels.RemoveChild(0);
        state.ResumeTiming();
    }
    state.counters["delta_lines"] = static_cast<double>(lines);
    state.counters["lines_written"] = static_cast<double>(written);
    state.counters["lines/s"] =
        benchmark::Counter(static_cast<double>(lines) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CombineMorphTargets_c100)->Arg(25)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond);

// The summing and the new Block alone, without the dialog, the insertion and the refresh.
void BM_BuildCombinedMorphTarget_c100(benchmark::State& state) {
    Input& input = Loaded();
    if (input.bodyPart == nullptr) {
        state.SkipWithError("input missing: generate it with gen_cr2.py (docs/performance.md)");
        return;
    }
    const auto count = static_cast<std::size_t>(state.range(0));
    CombineChoice choice;
    for (std::size_t i = 0; i < count; ++i) {
        choice.selected.push_back(i);
    }
    const Block& channels = *input.bodyPart->FindNthChild("channels", 0, Match::Tag);
    for (auto _ : state) {
        Block built = BuildCombinedMorphTarget(channels, choice);
        benchmark::DoNotOptimize(built.children.size());
    }
    const std::size_t lines = DeltaLines(*input.bodyPart, count);
    state.counters["lines/s"] =
        benchmark::Counter(static_cast<double>(lines) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BuildCombinedMorphTarget_c100)->Arg(100)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
