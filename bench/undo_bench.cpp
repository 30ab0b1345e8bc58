// Undo and redo of "Delete All Morph Targets" on the largest body part of a large character,
// against the deletion itself, and the memory the step holds against the memory the removed
// Blocks held in the tree.
//
// Inputs (see docs/performance.md), in the folder named by TESSARY_BENCH_DIR, default
// /tmp/tessary-bench: c100.cr2 (gen_cr2.py --mb 100 --seed 2) and c25.cr2 (--mb 25 --seed 2).
// The file is parsed once and its figure view filled. Each benchmark runs the command as the
// dispatcher does (the step recorded, without the view rebuilt: both directions rebuild the
// same view) and puts the tree back outside the timed part.
//
// The counters of BM_Delete: `removed_MB`, the heap the removed Blocks held (what dropping the
// step gives back), and `step_MB`, what the step holds; `grew_MB`, how much the heap grew by
// the deletion with its step kept. Heap bytes are counted by this program's operator new.

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>

#include "BenchSupport.h"
#include "commands/CommandIds.h"
#include "commands/PaneCommands.h"
#include "commands/StepRecorder.h"
#include "edit/Delete.h"
#include "headless/MemoryTreeControl.h"
#include "pane/EditHistory.h"
#include "pane/FigureFile.h"
#include "pane/FigureTree.h"

namespace {

std::atomic<long long> heapInUse{0};

}  // namespace

// GCC sees the std::free below paired with an inlined operator new and warns that the two do
// not match; both are this program's own replacements over malloc, so they do.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size) {
    void* memory = std::malloc(size == 0 ? 1 : size);
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    heapInUse += static_cast<long long>(malloc_usable_size(memory));
    return memory;
}

void operator delete(void* memory) noexcept {
    if (memory != nullptr) {
        heapInUse -= static_cast<long long>(malloc_usable_size(memory));
        std::free(memory);
    }
}

void operator delete(void* memory, std::size_t) noexcept {
    operator delete(memory);
}

namespace {

using namespace tessary;

struct Pane : bench::ParsedFile {
    MemoryTreeControl control;
    FigureTree tree{control, file};
    TreeItem largest = 0;
    std::string name;

    // Loads the input and finds the body part with the most Blocks.
    bool Load(const std::string& input) {
        if (!Parse(bench::InputPath(input.c_str()))) {
            return false;
        }
        file.viewKind = kFigureView;
        file.loaded = 1;
        tree.Refresh();
        long long most = 0;
        for (const Block& block : file.root.children) {
            if (block.tag == "actor" && block.treeItem != 0 && block.CountNodes() > most) {
                most = block.CountNodes();
                largest = block.treeItem;
                name = block.data;
            }
        }
        return largest != 0;
    }

    // "Delete All Morph Targets" as the dispatcher runs it: a step of the history.
    void Delete() {
        StepRecorder step(file, "Delete All Morph Targets (" + name + ")");
        step.RecordRemovals();
        DeleteAllMorphTargets(file, largest);
        step.Finish();
    }
};

std::unique_ptr<Pane> LoadOrSkip(benchmark::State& state) {
    auto pane = std::make_unique<Pane>();
    const std::string input = "c" + std::to_string(state.range(0)) + ".cr2";
    if (!pane->Load(input)) {
        state.SkipWithError(
            ("input missing: generate " + input + " with gen_cr2.py (docs/performance.md)")
                .c_str());
        return nullptr;
    }
    return pane;
}

void SetMorphCounters(benchmark::State& state, Pane& pane) {
    const Block* channels =
        pane.file.BlockOfItem(pane.largest)->FindNthChild("channels", 0, Match::Tag);
    long long morphs = 0;
    for (const Block& channel : channels->children) {
        morphs += channel.tag == "targetGeom" ? 1 : 0;
    }
    state.counters["morph_targets"] = static_cast<double>(morphs);
    state.SetLabel(pane.name);
}

void BM_Delete(benchmark::State& state) {
    const std::unique_ptr<Pane> pane = LoadOrSkip(state);
    if (!pane) {
        return;
    }
    SetMorphCounters(state, *pane);
    for (auto _ : state) {
        pane->Delete();
        state.PauseTiming();
        pane->file.history.Undo(pane->file.root);
        pane->file.history.Clear();
        state.ResumeTiming();
    }
    const long long before = heapInUse;
    pane->Delete();
    const long long withStep = heapInUse;
    pane->file.history.Clear();
    const long long stepDropped = heapInUse;
    constexpr double kMB = 1e6;
    state.counters["removed_MB"] = static_cast<double>(before - stepDropped) / kMB;
    state.counters["step_MB"] = static_cast<double>(withStep - stepDropped) / kMB;
    state.counters["grew_MB"] = static_cast<double>(withStep - before) / kMB;
}

// Times Undo (or Redo) of the deletion; the other one puts the tree back, untimed.
void TimeHistory(benchmark::State& state, bool undo) {
    const std::unique_ptr<Pane> pane = LoadOrSkip(state);
    if (!pane) {
        return;
    }
    SetMorphCounters(state, *pane);
    pane->Delete();
    EditHistory& history = pane->file.history;
    Block& root = pane->file.root;
    if (!undo) {
        history.Undo(root);
    }
    for (auto _ : state) {
        if (!(undo ? history.Undo(root) : history.Redo(root))) {
            state.SkipWithError("the step did not fit the tree");
            return;
        }
        state.PauseTiming();
        undo ? history.Redo(root) : history.Undo(root);
        state.ResumeTiming();
    }
}

void BM_Undo(benchmark::State& state) {
    TimeHistory(state, true);
}

void BM_Redo(benchmark::State& state) {
    TimeHistory(state, false);
}

// "Delete" on a prop of the head through the dispatcher: its step keeps the top-level Blocks
// naming the prop and the figure Block, not the file. `step_MB` is what the step holds.
void BM_DeleteProp(benchmark::State& state) {
    const std::unique_ptr<Pane> pane = LoadOrSkip(state);
    if (!pane) {
        return;
    }
    CommandContext context;
    PaneCommands commands(pane->tree, context);
    EditHistory& history = pane->file.history;
    auto choose = [&pane] {
        pane->file.commandItem = pane->control.FindItemByText(0, "smartProp1");
    };
    for (auto _ : state) {
        state.PauseTiming();
        choose();
        state.ResumeTiming();
        commands.Dispatch(kCmdDelete);
        state.PauseTiming();
        if (history.NextUndo() == nullptr || !history.Undo(pane->file.root)) {
            state.SkipWithError("no step to undo");
            return;
        }
        history.Clear();
        pane->tree.Refresh();
        state.ResumeTiming();
    }
    choose();
    commands.Dispatch(kCmdDelete);
    const long long withStep = heapInUse;
    history.Clear();
    state.counters["step_MB"] = static_cast<double>(withStep - heapInUse) / 1e6;
}

// The view rebuilt after an undo (the same rebuild follows the deletion), for scale.
void BM_RefreshView(benchmark::State& state) {
    const std::unique_ptr<Pane> pane = LoadOrSkip(state);
    if (!pane) {
        return;
    }
    for (auto _ : state) {
        pane->tree.Refresh();
    }
}

BENCHMARK(BM_Delete)->Arg(25)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_Undo)->Arg(25)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_Redo)->Arg(25)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_DeleteProp)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_RefreshView)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
