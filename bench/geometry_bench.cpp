// Throughput of the geometry work: reading a large OBJ into an ObjMesh (with the per-group
// renumbering), reading and summing the deltas of every morph target of a large character,
// and writing delta numbers. Inputs come from TESSARY_BENCH_DIR (default /tmp/tessary-bench):
//   python3 tools/gen_obj.py --mb 100 -o /tmp/tessary-bench/o100.obj
//   python3 tools/gen_cr2.py --mb 100 --seed 2 -o /tmp/tessary-bench/c100.cr2
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "edit/MorphDeltas.h"
#include "model/NumberText.h"
#include "geometry/ObjMesh.h"
#include "headless/MemoryProfileStore.h"
#include "model/Block.h"
#include "model/TextIO.h"
#include "pane/FigureFile.h"
#include "platform/Ui.h"

namespace tessary {
namespace {

using bench::SilentUi;
using bench::StatusBytes;

double PeakResidentBytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) * 1024.0;
}

struct FirstRun {
    double seconds = -1;  // wall time
    double cpuSeconds = -1;
    double peakBytes = -1;  // how far resident memory rose above where it started
};

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Runs `work` once in a child forked before any mesh was read in this process: a user's first
// OBJ load, with none of the memory that later reads find already mapped.
template <typename Work>
FirstRun RunFirstInChild(Work work) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return FirstRun();
    }
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        std::ofstream("/proc/self/clear_refs") << "5";  // the high-water mark starts here
        const long long before = StatusBytes("VmRSS");
        const double cpuBefore = CpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        work();
        FirstRun run;
        run.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        run.cpuSeconds = CpuSeconds() - cpuBefore;
        run.peakBytes = static_cast<double>(StatusBytes("VmHWM") - before);
        const ssize_t written = write(pipeEnds[1], &run, sizeof run);
        _exit(written == sizeof run ? 0 : 1);
    }
    close(pipeEnds[1]);
    FirstRun run;
    if (child < 0 || read(pipeEnds[0], &run, sizeof run) != sizeof run) {
        run = FirstRun();
    }
    close(pipeEnds[0]);
    if (child > 0) {
        waitpid(child, nullptr, 0);
    }
    return run;
}

// first_*: one read in a fresh child (wall and CPU throughput, peak); the timed iterations
// then read again and again in this process, one mesh at a time.
void BM_ReadObjFile(benchmark::State& state) {
    std::string path = bench::InputPath("o100.obj");
    if (!std::filesystem::exists(path)) {
        state.SkipWithError("o100.obj missing: generate it with tools/gen_obj.py");
        return;
    }
    const double size = static_cast<double>(std::filesystem::file_size(path));
    SilentUi ui;
    MemoryProfileStore store;
    FigureFile file(ui, store);
    file.objPath = path;
    file.objFileName = "o100.obj";
    const FirstRun first = RunFirstInChild([&file] { ReadObjFile(file); });
    const double before = PeakResidentBytes();
    std::size_t faces = 0;
    for (auto _ : state) {
        file.objMesh.reset();  // one mesh at a time: the peak is that of a single read
        if (!ReadObjFile(file)) {
            state.SkipWithError("read failed");
            return;
        }
        faces = 0;
        for (const ObjGroup& group : file.objMesh->groups) {
            faces += group.faces.size();
        }
        benchmark::DoNotOptimize(faces);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(size) * state.iterations());
    state.counters["faces"] = static_cast<double>(faces);
    state.counters["peak_over_file"] = (PeakResidentBytes() - before) / size;
    state.counters["first_wall_MBps"] = size / 1e6 / first.seconds;
    state.counters["first_cpu_MBps"] = size / 1e6 / first.cpuSeconds;
    state.counters["first_peak_over_file"] = first.peakBytes / size;
}
BENCHMARK(BM_ReadObjFile)->Unit(benchmark::kMillisecond)->Iterations(5);

// Every "targetGeom" Block of the tree, found without recursion.
void CollectMorphTargets(const Block& root, std::vector<const Block*>& out) {
    std::vector<const Block*> stack{&root};
    while (!stack.empty()) {
        const Block* block = stack.back();
        stack.pop_back();
        if (block->tag == "targetGeom") {
            out.push_back(block);
            continue;
        }
        for (const Block& child : block->children) {
            stack.push_back(&child);
        }
    }
}

void BM_SumMorphDeltas(benchmark::State& state) {
    std::string path = bench::InputPath("c100.cr2");
    std::string text;
    if (!ReadWholeFile(path, text)) {
        state.SkipWithError("c100.cr2 missing: generate it with tools/gen_cr2.py");
        return;
    }
    Block root;
    ParseFileText(text, root);
    std::string().swap(text);
    std::vector<const Block*> targets;
    CollectMorphTargets(root, targets);
    // One accumulator as large as the largest mesh, as combining uses one for all the
    // morph targets of a body part; the read record is reused so that only parsing and
    // summing are timed.
    std::size_t vertices = 0;
    for (const Block* target : targets) {
        MorphDeltas probe;
        std::int32_t numbDeltas = ReadMorphDeltas(*target, probe);
        vertices = std::max(vertices, static_cast<std::size_t>(std::max(numbDeltas, 0)));
    }
    MorphDeltas sum;
    sum.deltas.resize(vertices);
    MorphDeltas read;
    std::size_t lines = 0;
    for (auto _ : state) {
        lines = 0;
        for (const Block* target : targets) {
            read.deltas.clear();
            ReadMorphDeltas(*target, read);
            AccumulateDeltas(sum, read);
            lines += read.deltas.size();
        }
        benchmark::DoNotOptimize(sum.deltas.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(lines) * state.iterations());
    state.counters["morph_targets"] = static_cast<double>(targets.size());
    state.counters["delta_lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_SumMorphDeltas)->Unit(benchmark::kMillisecond);

// The delta lines alone: every "d" line of c100.cr2 read by ParseDeltaLine (what combining and
// exporting read each line with), without keeping or summing them.
void BM_ParseDeltaLines(benchmark::State& state) {
    std::string text;
    if (!ReadWholeFile(bench::InputPath("c100.cr2"), text)) {
        state.SkipWithError("c100.cr2 missing: generate it with tools/gen_cr2.py");
        return;
    }
    Block root;
    ParseFileText(text, root);
    std::vector<const Block*> targets;
    CollectMorphTargets(root, targets);
    std::vector<const Block*> lines;
    for (const Block* target : targets) {
        const MorphTargetHeader header = ReadMorphTargetHeader(*target);
        for (std::size_t i = 0; i < header.count; ++i) {
            lines.push_back(&header.deltas->children[i]);
        }
    }
    for (auto _ : state) {
        double sum = 0;
        for (const Block* line : lines) {
            Delta delta;
            ParseDeltaLine(line->data, delta);
            sum += delta.dx + delta.dy + delta.dz + delta.vertex;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(lines.size()) * state.iterations());
}
BENCHMARK(BM_ParseDeltaLines)->Unit(benchmark::kMillisecond);

void BM_FormatExponent(benchmark::State& state) {
    std::mt19937_64 random(3);
    std::uniform_real_distribution<double> spread(-0.05, 0.05);
    std::vector<double> values(1 << 16);
    for (double& value : values) {
        value = spread(random);
    }
    std::string out;
    out.reserve(values.size() * 16);
    for (auto _ : state) {
        out.clear();
        for (double value : values) {
            AppendExponent(out, value);
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(values.size()) * state.iterations());
}
BENCHMARK(BM_FormatExponent);

}  // namespace
}  // namespace tessary

BENCHMARK_MAIN();
