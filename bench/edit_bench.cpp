// The bulk commands of the context menus, timed per item at three sizes: their cost should
// grow with the items they touch, not with the file times the items.
//
// Inputs (see docs/performance.md), in the folder named by TESSARY_BENCH_DIR, default
// /tmp/tessary-bench:
//   heads250.cr2, heads1000.cr2, heads2000.cr2: five body parts (hip to head) with 250, 1,000
//     and 2,000 morph targets of 100 deltas each;
//   props50.cr2, props100.cr2, props200.cr2: the same five body parts with ten morph targets
//     each and 50, 100 and 200 props hanging from the head.
// Each file is parsed once and its figure view filled (the commands start from tree items).
// An iteration restores the edited file outside the timed part and runs the command once on
// the head; the counter `per_item` is the time per morph target or prop.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include <unistd.h>

#include "BenchSupport.h"
#include "edit/Copy.h"
#include "edit/Delete.h"
#include "geometry/ObjExport.h"
#include "geometry/ObjMesh.h"
#include "headless/MemoryProfileStore.h"
#include "headless/MemoryTreeControl.h"
#include "model/TextIO.h"
#include "pane/FigureFile.h"
#include "pane/FigureTree.h"

namespace {

using namespace tessary;
using bench::InputPath;

// A pane: a file, its figure view and the file as it was loaded.
struct Pane : bench::ParsedFile {
    MemoryTreeControl control;
    FigureTree tree{control, file};
    Block pristine;
    TreeItem head = 0;

    bool Load(const std::string& name) {
        if (!Parse(InputPath(name.c_str()))) {
            return false;
        }
        file.viewKind = kFigureView;
        file.loaded = 1;
        tree.Refresh();
        head = control.FindItemByText(0, "head");
        pristine = file.root;  // copies keep their tree items
        return head != 0;
    }

    // Puts the file back as it was loaded, tree items included.
    void Restore() { file.root = pristine; }
};

void SetPerItem(benchmark::State& state, double items) {
    state.counters["items"] = items;
    state.counters["per_item"] = benchmark::Counter(
        items, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

std::string HeadsFile(std::int64_t morphs) {
    return "heads" + std::to_string(morphs) + ".cr2";
}

// "Copy All Morph Targets" of the head into a pane that holds the same file: every copy
// replaces the morph target of that name there.
void BM_CopyAllMorphTargets(benchmark::State& state) {
    auto left = std::make_unique<Pane>();
    auto right = std::make_unique<Pane>();
    const std::string name = HeadsFile(state.range(0));
    if (!left->Load(name) || !right->Load(name)) {
        state.SkipWithError("input missing: generate it with gen_cr2.py (docs/performance.md)");
        return;
    }
    left->file.otherPane = &right->file;
    right->file.otherPane = &left->file;
    for (auto _ : state) {
        state.PauseTiming();
        right->Restore();
        state.ResumeTiming();
        CopyAllMorphTargets(left->file, left->head);
    }
    SetPerItem(state, static_cast<double>(state.range(0)));
}

// An OBJ mesh with a "head" group of 500 vertices and as many quads.
std::string HeadMesh() {
    std::string text = "g head\n";
    constexpr int kVertices = 500;
    for (int i = 0; i < kVertices; ++i) {
        text += "v " + std::to_string(i % 25) + " " + std::to_string(i / 25) + " 0.5\n";
        text += "vt 0.25 0.75\n";
    }
    for (int i = 1; i + 3 <= kVertices; ++i) {
        const std::string a = std::to_string(i);
        text += "f " + a + "/" + a + " " + std::to_string(i + 1) + "/" + std::to_string(i + 1) +
                " " + std::to_string(i + 2) + "/" + std::to_string(i + 2) + " " +
                std::to_string(i + 3) + "/" + std::to_string(i + 3) + "\n";
    }
    return text;
}

// "Export All Morph Targets" of the head with AutoName: one file per morph target in the
// current folder, which is a scratch folder for the run.
void BM_ExportAllMorphTargets(benchmark::State& state) {
    auto pane = std::make_unique<Pane>();
    if (!pane->Load(HeadsFile(state.range(0)))) {
        state.SkipWithError("input missing: generate it with gen_cr2.py (docs/performance.md)");
        return;
    }
    pane->file.objMesh.reset(new ObjMesh);
    pane->file.objMesh->Parse(HeadMesh());
    pane->file.autoName = 1;
    const std::filesystem::path before = std::filesystem::current_path();
    const std::filesystem::path scratch = std::filesystem::temp_directory_path() /
                                          ("tessary-export-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(scratch);
    std::filesystem::current_path(scratch);
    for (auto _ : state) {
        ExportAllMorphTargets(pane->file, pane->head);
    }
    std::filesystem::current_path(before);
    std::filesystem::remove_all(scratch);
    SetPerItem(state, static_cast<double>(state.range(0)));
}

// "Delete All Props" on the head.
void BM_DeleteAllProps(benchmark::State& state) {
    auto pane = std::make_unique<Pane>();
    if (!pane->Load("props" + std::to_string(state.range(0)) + ".cr2")) {
        state.SkipWithError("input missing: generate it with gen_cr2.py (docs/performance.md)");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        pane->Restore();
        state.ResumeTiming();
        DeleteAllProps(pane->file, pane->head);
    }
    SetPerItem(state, static_cast<double>(state.range(0)));
}

BENCHMARK(BM_CopyAllMorphTargets)
    ->Arg(250)
    ->Arg(1000)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(BM_ExportAllMorphTargets)
    ->Arg(250)
    ->Arg(1000)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_DeleteAllProps)
    ->Arg(50)
    ->Arg(100)
    ->Arg(200)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
