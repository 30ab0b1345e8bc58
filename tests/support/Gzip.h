#pragma once

// Gzip-compressed bytes for tests, made with the program's own compressing sink.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "model/ByteStream.h"

namespace tessary::test {

// `text` as one gzip member.
inline std::string Gzip(std::string_view text) {
    char* bytes = nullptr;
    std::size_t size = 0;
    std::FILE* memory = open_memstream(&bytes, &size);
    {
        const auto sink = GzipSink(memory);
        sink->Write(text.data(), text.size());
        sink->Finish();
    }
    std::fclose(memory);
    std::string compressed(bytes, size);
    std::free(bytes);
    return compressed;
}

// The text inside the file at `path`, inflated when it is compressed; a read error fails the test.
inline std::string Inflated(const std::string& path) {
    std::FILE* handle = std::fopen(path.c_str(), "rb");
    EXPECT_NE(handle, nullptr) << path;
    if (handle == nullptr) {
        return {};
    }
    const auto source = OpenByteSource(handle, 0);
    std::string text;
    char piece[4096];
    while (const std::size_t got = source->Read(piece, sizeof piece)) {
        text.append(piece, got);
    }
    EXPECT_FALSE(source->Failed()) << path;
    std::fclose(handle);
    return text;
}

}  // namespace tessary::test
