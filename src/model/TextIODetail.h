#pragma once

// What the reader (TextReader.cpp), the writer (TextWriter.cpp) and the file handling
// (TextFiles.cpp) of TextIO.h share. Only those three include it.

#include <cstddef>
#include <cstring>
#include <string_view>

#include "model/TextIO.h"

namespace tessary::textio {

// The piece a file is read in, and the first step a buffer of its text grows by.
inline constexpr std::size_t kPieceSize = 256 * 1024;

inline void ReportPercent(Progress* progress, double done) {
    if (progress == nullptr || !progress->hook || !(progress->total > 0)) {
        return;
    }
    const int percent = static_cast<int>(100.0 * done / progress->total);
    if (percent != progress->reported) {
        progress->reported = percent;
        progress->hook(percent);
    }
}

inline bool Contains(std::string_view line, char c) {
    return !line.empty() && std::memchr(line.data(), c, line.size()) != nullptr;
}

// Load steps after the line source is installed: skip to the first "{", read the file's
// outermost block into the (reset) root. False when no line holds a "{".
bool ParseTree(LineSource& source, Block& root);

}  // namespace tessary::textio
