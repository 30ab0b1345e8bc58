#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace tessary {

// The bytes of a file as its readers see them: the file itself, or the text inside it when it
// is gzip-compressed. Which one is told by the file's first two bytes (1F 8B), never by its name.
class ByteSource {
  public:
    virtual ~ByteSource() = default;

    // Reads up to `size` bytes into `into`; returns how many came, 0 at the end of the text or
    // after a failure (Failed() tells which).
    virtual std::size_t Read(char* into, std::size_t size) = 0;
    // True when reading failed: the file could not be read, or its compressed data is broken
    // (truncated, a bad checksum, bytes after the last member, or more text than allowed).
    virtual bool Failed() const = 0;
    // True when the file is gzip-compressed and the source inflates it.
    virtual bool Compressed() const = 0;
    // What is wrong with a file whose compressed data is broken ("the compressed data ends
    // early"); empty when nothing is, or when the system's error says it better.
    virtual std::string Problem() const { return std::string(); }
    // How far into the file the reader is, in bytes of the file (for a progress bar whose total
    // is the file size), given that it has delivered `textOffset` bytes of text so far.
    virtual double FileOffset(double textOffset) const { return textOffset; }
    // Reads whatever is left, so that a reader that stopped early still learns whether the
    // whole file was sound. Returns !Failed() afterwards. A plain file has nothing to check.
    virtual bool CheckRest() { return !Failed(); }
};

// A gzip-compressed file may inflate to at most this many bytes, or to kMaxInflationRatio times
// its own size when that is more. Real files compress a few to a few dozen times; a file
// built to inflate beyond that (a "gzip bomb") is refused rather than read.
constexpr std::uint64_t kMinInflatedLimit = std::uint64_t{256} << 20;
constexpr std::uint64_t kMaxInflationRatio = 256;

// The source of `file` (not owned), read from its current position; `fileSize` is the file's
// size in bytes, or 0 when unknown (the inflation limit then is kMinInflatedLimit times 16).
std::unique_ptr<ByteSource> OpenByteSource(std::FILE* file, std::uint64_t fileSize);

// Where a writer's bytes go: a file as they are, or gzip-compressed.
class ByteSink {
  public:
    virtual ~ByteSink() = default;
    // False when the bytes could not be written; later writes are then refused as well.
    virtual bool Write(const char* data, std::size_t size) = 0;
    // Writes out whatever is held back (a compressed sink ends its gzip member here; bytes
    // written afterwards start a new member) and flushes the file.
    virtual bool Finish() = 0;
};

// The compression level of the files Tessary writes compressed: gzip's own default.
constexpr int kGzipLevel = 6;

// A sink that writes straight into `file` (not owned).
std::unique_ptr<ByteSink> PlainSink(std::FILE* file);
// A sink that writes one gzip member into `file` (not owned): no name, no time stamp.
std::unique_ptr<ByteSink> GzipSink(std::FILE* file, int level = kGzipLevel);

// True when `name` ends in one of the compressed extensions (".crz", ".pzz", ".p2z", ".hdz",
// ".fcz", ".ppz", ".obz"; letter case ignored): such files are written gzip-compressed.
bool IsCompressedName(std::string_view name);

}  // namespace tessary
