// Filling a pane's tree control from a loaded figure file, in each of the three views.
//
// The input is c100.cr2 from the shared generators (see docs/performance.md), taken from the
// folder named by TESSARY_BENCH_DIR, default /tmp/tessary-bench. The file is parsed once; each
// iteration is one FigureTree::Refresh into the in-memory tree control, which is what a load
// costs on top of the parse and what every copy, deletion or combination costs afterwards.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "BenchSupport.h"
#include "headless/MemoryProfileStore.h"
#include "headless/MemoryTreeControl.h"
#include "model/TextIO.h"
#include "pane/FigureFile.h"
#include "pane/FigureTree.h"
#include "platform/Ui.h"

namespace {

using namespace tessary;
using bench::InputPath;
using bench::SilentUi;

struct LoadedFile : bench::ParsedFile {
    MemoryTreeControl control;
    FigureTree tree{control, file};
    bool ok = false;

    explicit LoadedFile(const std::string& path) { ok = Parse(path); }
};

LoadedFile* Input(const std::string& name) {
    static std::map<std::string, std::unique_ptr<LoadedFile>> loaded;
    std::unique_ptr<LoadedFile>& file = loaded[name];
    if (!file) {
        file = std::make_unique<LoadedFile>(InputPath(name.c_str()));
    }
    return file->ok ? file.get() : nullptr;
}

void Refresh(benchmark::State& state, int viewKind, const std::string& name) {
    LoadedFile* loaded = Input(name);
    if (loaded == nullptr) {
        state.SkipWithError("input missing: generate it with gen_cr2.py (docs/performance.md)");
        return;
    }
    loaded->file.viewKind = viewKind;
    for (auto _ : state) {
        loaded->tree.Refresh();
        benchmark::DoNotOptimize(loaded->control.ItemCount());
    }
    state.counters["items"] = static_cast<double>(loaded->control.ItemCount());
    state.counters["blocks"] = static_cast<double>(loaded->file.root.CountNodes());
}

void BM_FigureView_c100(benchmark::State& state) {
    Refresh(state, kFigureView, "c100.cr2");
}
void BM_PoseView_c100(benchmark::State& state) {
    Refresh(state, kPoseView, "c100.cr2");
}
void BM_RawView_c100(benchmark::State& state) {
    Refresh(state, kRawView, "c100.cr2");
}
// Eight figures of 58 body parts: many actors, and every base name eight times.
void BM_FigureView_anim(benchmark::State& state) {
    Refresh(state, kFigureView, "anim.cr2");
}

// A scene of 3,000 uniquely named props with ten morph targets each, built in memory: every
// prop is looked up by its text while the items grow, so a search that walks the items makes
// the fill quadratic.
void BM_FigureView_manyProps(benchmark::State& state) {
    SilentUi ui;
    MemoryProfileStore store;
    MemoryTreeControl control;
    FigureFile file{ui, store};
    FigureTree tree{control, file};
    std::string text = "{\nactor BODY:1\n{\nchannels\n{\n}\n}\n";
    for (int prop = 0; prop < 3000; ++prop) {
        text += "prop box_" + std::to_string(prop) + "\n{\nparent BODY:1\nchannels\n{\n";
        for (int morph = 0; morph < 10; ++morph) {
            text += "targetGeom m" + std::to_string(morph) + "\n{\n}\n";
        }
        text += "}\n}\n";
    }
    text += "}\n";
    ParseFileText(text, file.root);
    file.viewKind = kFigureView;
    for (auto _ : state) {
        tree.Refresh();
        benchmark::DoNotOptimize(control.ItemCount());
    }
    state.counters["items"] = static_cast<double>(control.ItemCount());
}

BENCHMARK(BM_FigureView_c100)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PoseView_c100)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_FigureView_anim)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_FigureView_manyProps)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_RawView_c100)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
