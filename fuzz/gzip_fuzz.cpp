// libFuzzer target for reading compressed files. The first byte picks the case: odd, the rest is
// a hostile file, gzip or not, read as a load reads a file, which must never crash or hang; even,
// the rest is a text that is compressed first, and the compressed file must load (or be refused)
// exactly as the text itself does. Build with -DTESSARY_BUILD_FUZZ=ON and clang (see
// fuzz/CMakeLists.txt).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "FuzzSupport.h"
#include "model/Block.h"
#include "model/ByteStream.h"
#include "model/TextIO.h"

namespace {

using tessary::fuzz::Saved;

std::string Compressed(const std::string& text) {
    char* bytes = nullptr;
    std::size_t size = 0;
    std::FILE* memory = open_memstream(&bytes, &size);
    {
        const auto sink = tessary::GzipSink(memory, 1);
        sink->Write(text.data(), text.size());
        sink->Finish();
    }
    std::fclose(memory);
    std::string packed(bytes, size);
    std::free(bytes);
    return packed;
}

// Reads `file` as a load does: skip to the first "{", parse the outermost block, then check that
// the rest of a compressed file is sound. False when the file is refused.
bool Load(std::string& file, tessary::Block& root) {
    std::FILE* handle = fmemopen(file.data(), file.size(), "rb");
    if (handle == nullptr) {
        return false;
    }
    bool ok;
    {
        const auto bytes = tessary::OpenByteSource(handle, file.size());
        tessary::LineSource source(*bytes);
        source.LimitNesting(tessary::kMaxFileNesting);
        std::string_view line;
        while (source.ReadLine(line) && line.find('{') == std::string_view::npos) {
        }
        root.ParseBlock(source);
        ok = !source.Failed() && !source.TooDeep() && bytes->CheckRest();
    }
    std::fclose(handle);
    return ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    tessary::Block root;
    if ((data[0] & 1) != 0) {
        Load(rest, root);
        return 0;
    }
    if (rest.empty() || (rest.size() >= 2 && rest[0] == '\x1F' && rest[1] == '\x8B')) {
        return 0;  // nothing to open, or the plain text would itself read as compressed
    }
    std::string packed = Compressed(rest);
    const bool packedOk = Load(packed, root);
    tessary::Block plain;
    const bool plainOk = Load(rest, plain);
    // Only nesting too deep refuses a sound file, and it refuses both alike.
    if (packedOk != plainOk || (packedOk && Saved(root) != Saved(plain))) {
        std::abort();
    }
    return 0;
}
