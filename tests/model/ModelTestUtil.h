#pragma once

#include <pthread.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "model/Block.h"
#include "model/TextIO.h"

namespace tessary::testing {

// Parses a file's text as a load does.
inline Block Parse(std::string text) {
    Block root;
    ParseFileText(text, root);
    return root;
}

// Writes a tree as a save does, into memory.
inline std::string WriteToString(const Block& root,
                                 TextWriter::LineEnds ends = TextWriter::LineEnds::CrLf) {
    char* bytes = nullptr;
    std::size_t size = 0;
    std::FILE* file = open_memstream(&bytes, &size);
    {
        TextWriter writer(file, ends);
        WriteTree(root, writer);
        writer.Flush();
    }
    std::fclose(file);
    std::string text(bytes, size);
    std::free(bytes);
    return text;
}

// The tree as indented text with LF line ends: the form trees are compared in.
inline std::string Dump(const Block& root) {
    return WriteToString(root, TextWriter::LineEnds::Lf);
}

// Runs `work` on a thread with a small stack, so that a walk that recurses with the nesting of
// the tree fails here long before it would on the main thread.
inline void RunOnSmallStack(const std::function<void()>& work,
                            std::size_t stackBytes = 256 * 1024) {
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, stackBytes);
    pthread_t thread;
    auto trampoline = [](void* arg) -> void* {
        (*static_cast<const std::function<void()>*>(arg))();
        return nullptr;
    };
    pthread_create(&thread, &attr, trampoline, const_cast<std::function<void()>*>(&work));
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
}

}  // namespace tessary::testing
