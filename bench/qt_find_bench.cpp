// The find field's search: every label of a pane's tree that contains the typed text, on a head
// with thousands of morph targets, in the window's tree control and in the in-memory one that
// tessary-cli uses (the port's own walk).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <string>

#include "app/QtTreeControl.h"
#include "commands/ItemFinder.h"
#include "headless/MemoryTreeControl.h"

namespace {

// A head as the figure view shows it: the actor, its MORPH TARGETS folder, the morph targets.
void FillHead(tessary::TreeControl& control, int morphTargets) {
    const tessary::TreeItem head = control.InsertItem(0, "head", tessary::kImageActor);
    const tessary::TreeItem folder =
        control.InsertItem(head, "MORPH TARGETS", tessary::kImageFolder);
    for (int i = 0; i < morphTargets; ++i) {
        control.InsertItem(folder, "PHMEyesClosed" + std::to_string(i), tessary::kImageMorph);
    }
}

template <typename Control>
void BM_Find(benchmark::State& state) {
    Control control;
    FillHead(control, static_cast<int>(state.range(0)));
    tessary::ItemFinder finder(control);
    // "closed3" is typed letter by letter: each letter searches again.
    const std::string typed = "closed3";
    for (auto _ : state) {
        for (std::size_t length = 1; length <= typed.size(); ++length) {
            benchmark::DoNotOptimize(finder.Find(typed.substr(0, length)));
        }
    }
    state.counters["matches"] = static_cast<double>(finder.Count());
    state.SetItemsProcessed(state.iterations() * state.range(0) *
                            static_cast<std::int64_t>(typed.size()));
}

// The search alone, without selecting and showing the first match.
template <typename Control>
void BM_Match(benchmark::State& state) {
    Control control;
    FillHead(control, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(control.FindItemsContaining("closed3"));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_Match<tessary::QtTreeControl>)->Arg(3400)->Arg(34000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Find<tessary::QtTreeControl>)->Arg(3400)->Arg(34000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Find<tessary::MemoryTreeControl>)
    ->Arg(3400)
    ->Arg(34000)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
