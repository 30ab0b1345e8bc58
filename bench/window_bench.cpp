// Filling the window's tree control beside the in-memory one, from the same parsed file.
//
// Inputs (see docs/performance.md), in the folder named by TESSARY_BENCH_DIR, default
// /tmp/tessary-bench: c100.cr2, and morphs5k.cr2, morphs11k.cr2, morphs23k.cr2 (58 body parts
// with 100, 200 and 400 morph targets of 100 deltas each). Each file is parsed once; each
// iteration is one FigureTree::Refresh in the figure view. The window's control is shown (on
// the offscreen platform unless QT_QPA_PLATFORM says otherwise) and the events the refresh
// leaves behind (the view's layout and painting) are handled inside the timed part.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>
#include <string>

#include "BenchSupport.h"
#include "app/QtTreeControl.h"
#include "headless/MemoryProfileStore.h"
#include "headless/MemoryTreeControl.h"
#include "model/TextIO.h"
#include "pane/FigureFile.h"
#include "pane/FigureTree.h"

namespace {

using namespace tessary;
using bench::InputPath;

struct LoadedFile : bench::ParsedFile {
    bool ok = false;

    explicit LoadedFile(const std::string& path) {
        ok = Parse(path);
        file.viewKind = kFigureView;
    }
};

// One file at a time stays parsed: the largest inputs hold a few hundred megabytes each.
LoadedFile* Input(const std::string& name) {
    static std::pair<std::string, std::unique_ptr<LoadedFile>> loaded;
    if (loaded.first != name) {
        loaded.second.reset();
        loaded = {name, std::make_unique<LoadedFile>(InputPath(name.c_str()))};
    }
    return loaded.second->ok ? loaded.second.get() : nullptr;
}

void MemoryRefresh(benchmark::State& state, const std::string& name) {
    LoadedFile* loaded = Input(name);
    if (loaded == nullptr) {
        state.SkipWithError("input missing: generate it with gen_cr2.py (docs/performance.md)");
        return;
    }
    MemoryTreeControl control;
    FigureTree tree{control, loaded->file};
    for (auto _ : state) {
        tree.Refresh();
        benchmark::DoNotOptimize(control.ItemCount());
    }
    state.counters["items"] = static_cast<double>(control.ItemCount());
}

void WindowRefresh(benchmark::State& state, const std::string& name) {
    LoadedFile* loaded = Input(name);
    if (loaded == nullptr) {
        state.SkipWithError("input missing: generate it with gen_cr2.py (docs/performance.md)");
        return;
    }
    QtTreeControl control;
    control.resize(300, 600);
    control.show();
    QApplication::processEvents();
    FigureTree tree{control, loaded->file};
    for (auto _ : state) {
        tree.Refresh();
        QApplication::processEvents();
    }
}

void BM_Memory_c100(benchmark::State& state) {
    MemoryRefresh(state, "c100.cr2");
}
void BM_Window_c100(benchmark::State& state) {
    WindowRefresh(state, "c100.cr2");
}
void BM_Memory_morphs5k(benchmark::State& state) {
    MemoryRefresh(state, "morphs5k.cr2");
}
void BM_Window_morphs5k(benchmark::State& state) {
    WindowRefresh(state, "morphs5k.cr2");
}
void BM_Memory_morphs11k(benchmark::State& state) {
    MemoryRefresh(state, "morphs11k.cr2");
}
void BM_Window_morphs11k(benchmark::State& state) {
    WindowRefresh(state, "morphs11k.cr2");
}
void BM_Memory_morphs23k(benchmark::State& state) {
    MemoryRefresh(state, "morphs23k.cr2");
}
void BM_Window_morphs23k(benchmark::State& state) {
    WindowRefresh(state, "morphs23k.cr2");
}

// Each pair runs side by side, so both see the same load on the shared machine.
BENCHMARK(BM_Memory_c100)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_Window_c100)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_Memory_morphs5k)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_Window_morphs5k)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_Memory_morphs11k)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_Window_morphs11k)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_Memory_morphs23k)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_Window_morphs23k)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
