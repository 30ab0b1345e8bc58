#pragma once

// Pieces the fuzz targets share.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "model/Block.h"
#include "model/TextIO.h"

namespace tessary::fuzz {

// The text Save writes for `root`.
inline std::string Saved(const Block& root) {
    char* bytes = nullptr;
    std::size_t size = 0;
    std::FILE* memory = open_memstream(&bytes, &size);
    {
        TextWriter writer(memory, TextWriter::LineEnds::CrLf);
        WriteTree(root, writer);
        writer.Flush();
    }
    std::fclose(memory);
    std::string text(bytes, size);
    std::free(bytes);
    return text;
}

}  // namespace tessary::fuzz
