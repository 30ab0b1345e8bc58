// Compressed files: loading a gzip-compressed character against zlib's own inflate plus the
// plain load of the same text, and saving one compressed against zlib's own compression of the
// bytes that are saved.
//
// Inputs (see docs/performance.md): c100.cr2 from the shared generator, and c100.crz made from
// it with `gzip -6 -n -c c100.cr2 > c100.crz`; the same for c25. The folder is taken from
// TESSARY_BENCH_DIR, default /tmp/tessary-bench.

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "BenchSupport.h"
#include "model/Block.h"
#include "model/ByteStream.h"
#include "model/TextIO.h"

namespace {

using tessary::Block;
using tessary::TextWriter;
using tessary::bench::InputPath;

bool ReadInput(benchmark::State& state, const std::string& path, std::string& bytes) {
    if (!tessary::ReadWholeFile(path, bytes) || bytes.empty()) {
        state.SkipWithError(("missing input " + path + " (see docs/performance.md)").c_str());
        return false;
    }
    return true;
}

// zlib's own inflate of the whole compressed file into one buffer of the inflated size.
void BM_ZlibInflate(benchmark::State& state, const char* name) {
    std::string packed;
    if (!ReadInput(state, InputPath(name), packed)) {
        return;
    }
    // The inflated size is the last four bytes of a single-member file.
    const unsigned char* tail =
        reinterpret_cast<const unsigned char*>(packed.data()) + packed.size() - 4;
    const std::size_t inflatedSize =
        tail[0] | (tail[1] << 8) | (tail[2] << 16) | (static_cast<std::size_t>(tail[3]) << 24);
    for (auto _ : state) {
        // Reading the file is part of inflating it "from the file".
        std::string file;
        tessary::ReadWholeFile(InputPath(name), file);
        std::string text(inflatedSize, '\0');
        z_stream stream{};
        inflateInit2(&stream, 15 + 16);
        stream.next_in = reinterpret_cast<Bytef*>(file.data());
        stream.avail_in = static_cast<uInt>(file.size());
        stream.next_out = reinterpret_cast<Bytef*>(text.data());
        stream.avail_out = static_cast<uInt>(text.size());
        const int result = inflate(&stream, Z_FINISH);
        inflateEnd(&stream);
        if (result != Z_STREAM_END) {
            state.SkipWithError("inflate failed");
            return;
        }
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * inflatedSize));
}

// A pane's load: the file read in pieces into the tree, inflated on the way when compressed.
void BM_LoadFile(benchmark::State& state, const char* name) {
    const std::string path = InputPath(name);
    {
        Block warm;  // the allocator as a running program has it after its first file
        if (!tessary::ReadFileTree(path, warm, nullptr)) {
            state.SkipWithError(("missing input " + path + " (see docs/performance.md)").c_str());
            return;
        }
    }
    for (auto _ : state) {
        Block root;
        tessary::ReadFileTree(path, root, nullptr);
        benchmark::DoNotOptimize(root.children.data());
        state.PauseTiming();
        root = Block();
        state.ResumeTiming();
    }
}

// The text Save writes for a loaded file.
bool SavedText(benchmark::State& state, const char* name, Block& root, std::string& text) {
    const std::string path = InputPath(name);
    if (!tessary::ReadFileTree(path, root, nullptr)) {
        state.SkipWithError(("missing input " + path + " (see docs/performance.md)").c_str());
        return false;
    }
    char* bytes = nullptr;
    std::size_t size = 0;
    std::FILE* memory = open_memstream(&bytes, &size);
    {
        TextWriter writer(memory, TextWriter::LineEnds::CrLf);
        tessary::WriteTree(root, writer);
        writer.Flush();
    }
    std::fclose(memory);
    text.assign(bytes, size);
    std::free(bytes);
    return true;
}

// zlib's own compression, at the level Save uses, of the bytes Save writes, into memory.
void BM_ZlibDeflate(benchmark::State& state, const char* name) {
    Block root;
    std::string text;
    if (!SavedText(state, name, root, text)) {
        return;
    }
    root = Block();
    std::string packed;
    for (auto _ : state) {
        z_stream stream{};
        deflateInit2(&stream, tessary::kGzipLevel, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
        packed.resize(deflateBound(&stream, text.size()));
        stream.next_in = reinterpret_cast<Bytef*>(text.data());
        stream.avail_in = static_cast<uInt>(text.size());
        stream.next_out = reinterpret_cast<Bytef*>(packed.data());
        stream.avail_out = static_cast<uInt>(packed.size());
        deflate(&stream, Z_FINISH);
        packed.resize(stream.total_out);
        deflateEnd(&stream);
        benchmark::DoNotOptimize(packed.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.counters["output_MB"] = static_cast<double>(packed.size()) / 1e6;
}

// Save of a loaded tree into a compressed file: the tree walk, the compression and the writes.
void BM_SaveCompressed(benchmark::State& state, const char* name, const char* target) {
    Block root;
    std::string text;
    if (!SavedText(state, name, root, text)) {
        return;
    }
    const std::string out = target != nullptr ? InputPath(target) : std::string("/dev/null");
    for (auto _ : state) {
        std::FILE* file = std::fopen(out.c_str(), "wb");
        {
            const auto sink = tessary::GzipSink(file);
            TextWriter writer(*sink, TextWriter::LineEnds::CrLf);
            tessary::WriteTree(root, writer);
            if (!writer.Flush()) {
                state.SkipWithError(("cannot write " + out).c_str());
            }
        }
        std::fclose(file);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    if (target != nullptr) {
        std::remove(out.c_str());
    }
}

}  // namespace

BENCHMARK_CAPTURE(BM_ZlibInflate, c100, "c100.crz")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_LoadFile, c100_plain, "c100.cr2")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_LoadFile, c100_gzip, "c100.crz")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_ZlibInflate, c25, "c25.crz")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_LoadFile, c25_plain, "c25.cr2")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_LoadFile, c25_gzip, "c25.crz")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_ZlibDeflate, c100, "c100.cr2")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_SaveCompressed, c100_devnull, "c100.cr2", nullptr)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_SaveCompressed, c100_file, "c100.cr2", "c100-written.crz")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_ZlibDeflate, c25, "c25.cr2")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_SaveCompressed, c25_devnull, "c25.cr2", nullptr)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_MAIN();
