#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "headless/MemoryTreeControl.h"
#include "model/TextIO.h"
#include "pane/FigureFile.h"
#include "pane/FigureTree.h"
#include "support/ScratchDir.h"

namespace tessary::test {

// LF line ends as CR LF, as pose files are written.
inline std::string WithCrLf(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') {
            out += '\r';
        }
        out += c;
    }
    return out;
}

// Puts the tree of `text` into `file` as a load would, without touching a disk.
inline void SetTree(FigureFile& file, std::string text) {
    ParseFileText(text, file.root);
}

}  // namespace tessary::test
