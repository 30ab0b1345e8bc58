// libFuzzer target for the pose-file reader and writer: any text loads, saves, and loads again
// to the same tree. Build with -DTESSARY_BUILD_FUZZ=ON and clang (see fuzz/CMakeLists.txt).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzSupport.h"
#include "model/Block.h"
#include "model/TextIO.h"

using tessary::fuzz::Saved;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    tessary::Block root;
    tessary::ParseFileText(text, root);
    std::string once = Saved(root);
    tessary::Block again;
    std::string copy = once;
    tessary::ParseFileText(copy, again);
    // Saving is a fixed point after the first normalisation.
    if (Saved(again) != once) {
        std::abort();
    }
    tessary::Block copied(root);
    if (copied.CountNodes() != root.CountNodes()) {
        std::abort();
    }
    return 0;
}
