// Reading and writing whole figure files: throughput and peak memory.
//
// Inputs come from the generators in the shared tools folder (see docs/performance.md); the
// folder is taken from TESSARY_BENCH_DIR, default /tmp/tessary-bench.

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "BenchSupport.h"
#include "model/Block.h"
#include "model/TextIO.h"

namespace {

using tessary::Block;
using tessary::TextWriter;
using tessary::bench::InputPath;
using tessary::bench::StatusBytes;

struct ColdRun {
    double peakBytes = -1;  // how far resident memory rose above where it started
    double seconds = -1;    // wall time
};

// Runs `work` once in a fresh child process: the peak memory and time of a program's first
// load or save, without the memory that earlier iterations left in the allocator.
template <typename Work>
ColdRun RunColdInChild(Work work) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return ColdRun();
    }
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        // Resets the high-water mark to the current resident size.
        malloc_trim(0);
        std::ofstream("/proc/self/clear_refs") << "5";
        const long long before = StatusBytes("VmRSS");
        const auto start = std::chrono::steady_clock::now();
        work();
        ColdRun run;
        run.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        run.peakBytes = static_cast<double>(StatusBytes("VmHWM") - before);
        const ssize_t written = write(pipeEnds[1], &run, sizeof run);
        _exit(written == sizeof run ? 0 : 1);
    }
    close(pipeEnds[1]);
    ColdRun run;
    if (read(pipeEnds[0], &run, sizeof run) != sizeof run) {
        run = ColdRun();
    }
    close(pipeEnds[0]);
    waitpid(child, nullptr, 0);
    return run;
}

// What a pane's load does: the file is read in pieces straight into the tree.
bool LoadFile(const std::string& path, Block& root) {
    return tessary::ReadFileTree(path, root, nullptr);
}

// The whole text in memory first, then the tree.
bool LoadText(const std::string& path, Block& root) {
    std::string text;
    if (!tessary::ReadWholeFile(path, text)) {
        return false;
    }
    tessary::ParseFileText(text, root, nullptr);
    return true;
}

long long CountLines(const std::string& path) {
    std::string text;
    tessary::ReadWholeFile(path, text);
    long long lines = 0;
    for (char c : text) {
        lines += c == '\n';
    }
    return lines;
}

template <bool kWholeText>
void BM_Load(benchmark::State& state, const char* name) {
    auto load = [](const std::string& path, Block& root) {
        return kWholeText ? LoadText(path, root) : LoadFile(path, root);
    };
    const std::string path = InputPath(name);
    std::string probe;
    if (!tessary::ReadWholeFile(path, probe)) {
        state.SkipWithError(("missing input " + path + " (see docs/performance.md)").c_str());
        return;
    }
    const double size = static_cast<double>(probe.size());
    probe = std::string();
    const long long lines = CountLines(path);

    const ColdRun cold = RunColdInChild([&] {
        Block root;
        load(path, root);
    });
    {
        // Warm the allocator as a running program is after its first file.
        Block warm;
        load(path, warm);
    }
    for (auto _ : state) {
        Block root;
        load(path, root);
        benchmark::DoNotOptimize(root.children.data());
        state.PauseTiming();
        root = Block();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
    state.counters["lines/s"] = benchmark::Counter(static_cast<double>(lines),
                                                   benchmark::Counter::kIsIterationInvariantRate);
    state.counters["peak_MB"] = cold.peakBytes / 1e6;
    state.counters["peak/file"] = cold.peakBytes / size;
    state.counters["first_load_ms"] = cold.seconds * 1e3;
}

void BM_Write(benchmark::State& state, const char* name, const char* target) {
    const std::string path = InputPath(name);
    Block root;
    if (!LoadFile(path, root)) {
        state.SkipWithError(("missing input " + path + " (see docs/performance.md)").c_str());
        return;
    }
    const std::string out = target != nullptr ? InputPath(target) : std::string("/dev/null");
    auto writeOnce = [&] {
        std::FILE* file = std::fopen(out.c_str(), "wb");
        TextWriter writer(file, TextWriter::LineEnds::CrLf);
        tessary::WriteTree(root, writer);
        const bool ok = writer.Flush();
        const long long size = std::ftell(file);
        std::fclose(file);
        return ok ? size : -1;
    };
    const long long written = writeOnce();
    if (written < 0) {
        state.SkipWithError(("cannot write " + out).c_str());
        return;
    }
    const ColdRun cold = RunColdInChild(writeOnce);
    for (auto _ : state) {
        benchmark::DoNotOptimize(writeOnce());
    }
    // /dev/null reports no position: count the output once through a real file instead.
    double outputSize = static_cast<double>(written);
    if (target == nullptr) {
        char* bytes = nullptr;
        std::size_t size = 0;
        std::FILE* memory = open_memstream(&bytes, &size);
        {
            TextWriter writer(memory, TextWriter::LineEnds::CrLf);
            tessary::WriteTree(root, writer);
        }
        std::fclose(memory);
        std::free(bytes);
        outputSize = static_cast<double>(size);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * outputSize));
    state.counters["output_MB"] = outputSize / 1e6;
    state.counters["peak_MB"] = cold.peakBytes / 1e6;
    if (target != nullptr) {
        std::remove(out.c_str());
    }
}

}  // namespace

void BM_ReadFileTree(benchmark::State& state, const char* name) {
    BM_Load<false>(state, name);
}
void BM_ParseFileText(benchmark::State& state, const char* name) {
    BM_Load<true>(state, name);
}

BENCHMARK_CAPTURE(BM_ReadFileTree, c100, "c100.cr2")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_ReadFileTree, anim, "anim.cr2")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_ReadFileTree, lines20m, "lines20m.pz2")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_ParseFileText, c100, "c100.cr2")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_ParseFileText, anim, "anim.cr2")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Write, c100_devnull, "c100.cr2", nullptr)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Write, c100_file, "c100.cr2", "c100-written.cr2")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Write, anim_devnull, "anim.cr2", nullptr)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_MAIN();
