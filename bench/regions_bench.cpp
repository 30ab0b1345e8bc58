// The region menu on a large pose file: copying a region into the other pane and deleting
// every morph target of the file, each with the tree rebuild it ends with.
//
// The input is made here, not read from disk: every body part the regions name, each with 20
// morph targets and 50 other channels of KEYS "k" lines (the argument of each benchmark), so
// that the cost can be seen to grow with the file (KEYS 15: 0.6 MB, 60: 2.1 MB, 240: 8.4 MB).

#include <benchmark/benchmark.h>

#include <string>

#include "BenchSupport.h"
#include "headless/MemoryProfileStore.h"
#include "headless/MemoryTreeControl.h"
#include "model/TextIO.h"
#include "pane/FigureFile.h"
#include "pane/FigureTree.h"
#include "regions/RegionOperations.h"

namespace {

using namespace tessary;

std::string PoseText(int keys) {
    const std::vector<BodyPartList> lists = {
        headParts,     chestParts,     hipParts,      leftHandParts, leftArmParts,   leftLegParts,
        leftFootParts, rightHandParts, rightArmParts, rightLegParts, rightFootParts, genitalParts};
    std::string keyLines;
    for (int frame = 0; frame < keys; ++frame) {
        keyLines += "k " + std::to_string(frame) + " 0.5\n";
    }
    std::string text = "{\nversion\n{\nnumber 4\n}\n";
    for (BodyPartList list : lists) {
        for (std::string_view name : list) {
            text += "actor " + std::string(name) + ":1\n{\nchannels\n{\n";
            for (int i = 0; i < 70; ++i) {
                text += (i < 20 ? "targetGeom morph" : "rotateX channel") + std::to_string(i) +
                        "\n{\nkeys\n{\n" + keyLines + "}\n}\n";
            }
            text += "}\n}\n";
        }
    }
    return text + "}\n";
}

Block Parse(std::string text) {
    Block root;
    ParseFileText(text, root);
    return root;
}

struct Panes {
    bench::SilentUi ui;
    MemoryProfileStore store;
    MemoryTreeControl leftControl;
    MemoryTreeControl rightControl;
    FigureFile left{ui, store};
    FigureFile right{ui, store};
    FigureTree leftTree{leftControl, left};
    FigureTree rightTree{rightControl, right};

    Panes() {
        left.otherPane = &right;
        right.otherPane = &left;
    }
    static void Show(FigureFile& file, const Block& root) {
        file.root = root;
        file.viewKind = kPoseView;
        file.loaded = 1;
        file.tree->Refresh();
    }
};

// "Upper Body" copied into a pane that holds only a version block: 40 body parts, 2,800
// channels, and the other tree rebuilt.
void CopyUpperBody(benchmark::State& state) {
    const std::string text = PoseText(static_cast<int>(state.range(0)));
    const Block source = Parse(text);
    const Block empty = Parse("{\nversion\n{\nnumber 4\n}\n}\n");
    Panes panes;
    Panes::Show(panes.left, source);
    RegionOptions upperBody;
    upperBody.region = 11;
    for (auto _ : state) {
        state.PauseTiming();
        Panes::Show(panes.right, empty);
        state.ResumeTiming();
        ApplyRegion(panes.left, upperBody);
    }
    state.SetBytesProcessed(static_cast<long long>(text.size()) * state.iterations());
}
BENCHMARK(CopyUpperBody)->Arg(15)->Arg(60)->Arg(240)->Unit(benchmark::kMillisecond);

// "Delete all morph targets from file.": 57 body parts lose 20 morph targets each; the tree
// is rebuilt.
void DeleteAllMorphTargetsInFile(benchmark::State& state) {
    const std::string text = PoseText(static_cast<int>(state.range(0)));
    const Block source = Parse(text);
    Panes panes;
    for (auto _ : state) {
        state.PauseTiming();
        Panes::Show(panes.left, source);
        state.ResumeTiming();
        ApplyToWholeFile(panes.left, WholeFileAction::Delete, ChannelKind::MorphTargets);
    }
    state.SetBytesProcessed(static_cast<long long>(text.size()) * state.iterations());
}
BENCHMARK(DeleteAllMorphTargetsInFile)->Arg(15)->Arg(60)->Arg(240)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
