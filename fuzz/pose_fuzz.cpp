// libFuzzer target for the pose-file reader and writer. The input is loaded as Load does, from
// a file through the chunked reader with its nesting limit; what loads must save, and load
// again to the same text, and the in-memory reader must build the same tree. Build with
// -DTESSARY_BUILD_FUZZ=ON and clang (see fuzz/CMakeLists.txt).
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "FuzzSupport.h"
#include "model/Block.h"
#include "model/TextIO.h"

namespace {

namespace fs = std::filesystem;

using tessary::fuzz::Saved;

std::string gPath;

bool LoadFile(const std::string& bytes, tessary::Block& root) {
    std::ofstream(gPath, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return tessary::ReadFileTree(gPath, root);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Shared memory when there is some: the file is rewritten for every input.
    const fs::path folder =
        fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    gPath = (folder / ("tessary-pose-fuzz-" + std::to_string(::getpid()) + ".pz2")).string();
    std::atexit([] { std::remove(gPath.c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    tessary::Block root;
    if (!LoadFile(text, root)) {
        return 0;  // refused (nested too deep): nothing to check
    }
    const std::string once = Saved(root);
    tessary::Block again;
    if (!LoadFile(once, again) || Saved(again) != once) {
        std::abort();  // saving is a fixed point after the first normalisation
    }
    std::string copy = text;
    tessary::Block inMemory;
    tessary::ParseFileText(copy, inMemory);
    if (Saved(inMemory) != once) {
        std::abort();  // both readers build the same tree
    }
    tessary::Block copied(root);
    if (copied.CountNodes() != root.CountNodes()) {
        std::abort();
    }
    return 0;
}
