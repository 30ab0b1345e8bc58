// tessary-cli check against loading: both read the same generated character file, so their
// throughputs compare directly (check should not be much slower than a pane's load).
//
// Inputs come from the generators in the shared tools folder (see docs/performance.md); the
// folder is taken from TESSARY_BENCH_DIR, default /tmp/tessary-bench.

#include <benchmark/benchmark.h>

#include <optional>
#include <string>

#include "BenchSupport.h"
#include "geometry/FileCheck.h"
#include "model/Block.h"
#include "model/TextIO.h"

namespace {

using tessary::bench::InputPath;
using tessary::bench::InputSize;

// What a pane's load does with the file.
void BM_Load(benchmark::State& state, const char* name) {
    const std::string path = InputPath(name);
    const std::optional<double> size = InputSize(path);
    if (!size) {
        state.SkipWithError(("missing input " + path + " (see docs/performance.md)").c_str());
        return;
    }
    for (auto _ : state) {
        tessary::Block root;
        benchmark::DoNotOptimize(tessary::ReadFileTree(path, root, nullptr));
    }
    state.SetBytesProcessed(static_cast<int64_t>(*size) * state.iterations());
}

// What `tessary-cli check FILE` does with it: the whole text, then the checks.
void BM_Check(benchmark::State& state, const char* name) {
    const std::string path = InputPath(name);
    const std::optional<double> size = InputSize(path);
    if (!size) {
        state.SkipWithError(("missing input " + path + " (see docs/performance.md)").c_str());
        return;
    }
    std::size_t findings = 0;
    for (auto _ : state) {
        std::string text;
        tessary::ReadWholeFile(path, text);
        findings = tessary::CheckFileText(text).size();
        benchmark::DoNotOptimize(findings);
    }
    state.SetBytesProcessed(static_cast<int64_t>(*size) * state.iterations());
    state.counters["findings"] = static_cast<double>(findings);
}

}  // namespace

BENCHMARK_CAPTURE(BM_Load, c100, "c100.cr2")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Check, c100, "c100.cr2")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Load, c20, "c20.cr2")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Check, c20, "c20.cr2")->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
