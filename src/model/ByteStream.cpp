#include "model/ByteStream.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace tessary {

namespace {

constexpr unsigned char kGzipMagic[2] = {0x1F, 0x8B};
// Compressed bytes read from the file at a time, and compressed bytes written at a time.
constexpr std::size_t kCompressedPiece = 256 * 1024;
// zlib's window bits for a gzip wrapper (rather than a bare zlib stream).
constexpr int kGzipWindowBits = 15 + 16;

class PlainSource final : public ByteSource {
  public:
    PlainSource(std::FILE* file, const unsigned char* prefix, std::size_t prefixSize)
        : file_(file), prefixSize_(prefixSize) {
        std::memcpy(prefix_, prefix, prefixSize);
    }

    std::size_t Read(char* into, std::size_t size) override {
        std::size_t got = 0;
        if (prefixUsed_ < prefixSize_ && size > 0) {
            got = std::min(size, prefixSize_ - prefixUsed_);
            std::memcpy(into, prefix_ + prefixUsed_, got);
            prefixUsed_ += got;
        }
        if (got < size) {
            got += std::fread(into + got, 1, size - got, file_);
        }
        return got;
    }

    bool Failed() const override { return std::ferror(file_) != 0; }
    bool Compressed() const override { return false; }

  private:
    std::FILE* file_;
    unsigned char prefix_[2] = {};
    std::size_t prefixSize_;
    std::size_t prefixUsed_ = 0;
};

// Inflates the gzip members of a file one after another into the reader's buffer, reading the
// compressed file a piece at a time: neither the compressed nor the inflated text is ever held
// whole.
class GzipSource final : public ByteSource {
  public:
    GzipSource(std::FILE* file, const unsigned char* prefix, std::size_t prefixSize,
               std::uint64_t limit)
        : file_(file), input_(new unsigned char[kCompressedPiece]), limit_(limit) {
        std::memcpy(input_.get(), prefix, prefixSize);
        stream_.next_in = input_.get();
        stream_.avail_in = static_cast<uInt>(prefixSize);
        fileRead_ = prefixSize;
        ready_ = inflateInit2(&stream_, kGzipWindowBits) == Z_OK;
        if (!ready_) {
            Fail("out of memory");
        }
    }

    ~GzipSource() override {
        if (ready_) {
            inflateEnd(&stream_);
        }
    }

    std::size_t Read(char* into, std::size_t size) override {
        if (failed_ || ended_ || size == 0) {
            return 0;
        }
        stream_.next_out = reinterpret_cast<Bytef*>(into);
        stream_.avail_out = static_cast<uInt>(std::min<std::size_t>(size, 1u << 30));
        const uInt wanted = stream_.avail_out;
        while (stream_.avail_out > 0 && !failed_) {
            if (!inMember_ && !StartMember()) {
                break;
            }
            if (stream_.avail_in == 0 && !Fill()) {
                if (!failed_) {
                    Fail("the compressed data ends early");
                }
                break;
            }
            const int result = inflate(&stream_, Z_NO_FLUSH);
            if (result == Z_STREAM_END) {
                inMember_ = false;  // the member's checksum and length were right
            } else if (result != Z_OK && !(result == Z_BUF_ERROR && stream_.avail_in == 0)) {
                // A bad header, bad data or a bad checksum.
                Fail(std::string("the compressed data is damaged (") +
                     (stream_.msg != nullptr ? stream_.msg : "zlib error") + ")");
            }
        }
        const std::size_t got = wanted - stream_.avail_out;
        produced_ += got;
        if (!failed_ && produced_ > limit_) {
            Fail("the compressed data inflates to more than " + std::to_string(limit_) + " bytes");
        }
        return failed_ ? 0 : got;
    }

    bool Failed() const override { return failed_; }
    bool Compressed() const override { return true; }

    double FileOffset(double) const override {
        return static_cast<double>(fileRead_ - stream_.avail_in);
    }

    bool CheckRest() override {
        std::vector<char> scratch(kCompressedPiece);
        while (Read(scratch.data(), scratch.size()) > 0) {
        }
        return !failed_;
    }

    std::string Problem() const override { return problem_; }

  private:
    // Marks the source as failed; `problem` empty when the system's error tells why.
    void Fail(std::string problem = std::string()) {
        failed_ = true;
        problem_ = std::move(problem);
    }

    // Reads more of the file after the compressed bytes not yet inflated; false when nothing
    // more came (the end of the file, or a read error).
    bool Fill() {
        if (std::feof(file_) || std::ferror(file_)) {
            if (std::ferror(file_)) {
                Fail();
            }
            return false;
        }
        unsigned char* base = input_.get();
        if (stream_.avail_in > 0 && stream_.next_in != base) {
            std::memmove(base, stream_.next_in, stream_.avail_in);
        }
        stream_.next_in = base;
        const std::size_t got =
            std::fread(base + stream_.avail_in, 1, kCompressedPiece - stream_.avail_in, file_);
        if (got == 0 && std::ferror(file_)) {
            Fail();
        }
        stream_.avail_in += static_cast<uInt>(got);
        fileRead_ += got;
        return got > 0;
    }

    // After a member ended: the file either ends there or another member follows. Anything
    // else is refused, as bytes that are not part of the file's text.
    bool StartMember() {
        while (stream_.avail_in < 2 && Fill()) {
        }
        if (failed_) {
            return false;
        }
        if (stream_.avail_in == 0) {
            ended_ = true;
            return false;
        }
        if (stream_.avail_in < 2 || std::memcmp(stream_.next_in, kGzipMagic, 2) != 0) {
            Fail("bytes follow the compressed data");
            return false;
        }
        inflateReset(&stream_);
        inMember_ = true;
        return true;
    }

    std::FILE* file_;
    std::unique_ptr<unsigned char[]> input_;
    z_stream stream_{};
    std::uint64_t limit_;
    std::uint64_t fileRead_ = 0;
    std::uint64_t produced_ = 0;
    bool ready_ = false;
    bool inMember_ = true;
    bool ended_ = false;
    bool failed_ = false;
    std::string problem_;
};

class FileSink final : public ByteSink {
  public:
    explicit FileSink(std::FILE* file) : file_(file), ok_(file != nullptr) {}

    bool Write(const char* data, std::size_t size) override {
        if (ok_ && size > 0 && std::fwrite(data, 1, size, file_) != size) {
            ok_ = false;
        }
        return ok_;
    }

    bool Finish() override {
        if (ok_ && std::fflush(file_) != 0) {
            ok_ = false;
        }
        return ok_;
    }

  private:
    std::FILE* file_;
    bool ok_;
};

class GzipFileSink final : public ByteSink {
  public:
    GzipFileSink(std::FILE* file, int level)
        : file_(file), output_(new unsigned char[kCompressedPiece]) {
        ok_ = file != nullptr && deflateInit2(&stream_, level, Z_DEFLATED, kGzipWindowBits, 8,
                                              Z_DEFAULT_STRATEGY) == Z_OK;
        ready_ = ok_;
        stream_.next_out = output_.get();
        stream_.avail_out = static_cast<uInt>(kCompressedPiece);
    }

    ~GzipFileSink() override {
        if (ready_) {
            deflateEnd(&stream_);
        }
    }

    bool Write(const char* data, std::size_t size) override {
        while (ok_ && size > 0) {
            const std::size_t step = std::min<std::size_t>(size, 1u << 30);
            stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
            stream_.avail_in = static_cast<uInt>(step);
            Deflate(Z_NO_FLUSH);
            data += step;
            size -= step;
        }
        return ok_;
    }

    bool Finish() override {
        stream_.next_in = nullptr;
        stream_.avail_in = 0;
        Deflate(Z_FINISH);
        if (ok_) {
            deflateReset(&stream_);
            if (std::fflush(file_) != 0) {
                ok_ = false;
            }
        }
        return ok_;
    }

  private:
    // Compresses the input given to the stream; with Z_FINISH also ends the member and writes
    // out everything. The compressed bytes collect in `output_` and go to the file a whole
    // piece at a time.
    void Deflate(int flush) {
        for (;;) {
            if (stream_.avail_out == 0 && !WriteOutput()) {
                return;
            }
            const int result = deflate(&stream_, flush);
            if (result == Z_STREAM_ERROR) {
                ok_ = false;
                return;
            }
            if (flush == Z_FINISH ? result == Z_STREAM_END
                                  : stream_.avail_in == 0 && stream_.avail_out > 0) {
                if (flush == Z_FINISH) {
                    WriteOutput();
                }
                return;
            }
        }
    }

    // Writes the compressed bytes collected so far and empties the output piece.
    bool WriteOutput() {
        const std::size_t made = kCompressedPiece - stream_.avail_out;
        if (made > 0 && std::fwrite(output_.get(), 1, made, file_) != made) {
            ok_ = false;
        }
        stream_.next_out = output_.get();
        stream_.avail_out = static_cast<uInt>(kCompressedPiece);
        return ok_;
    }

    std::FILE* file_;
    std::unique_ptr<unsigned char[]> output_;
    z_stream stream_{};
    bool ok_ = false;
    bool ready_ = false;
};

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::unique_ptr<ByteSource> OpenByteSource(std::FILE* file, std::uint64_t fileSize) {
    unsigned char prefix[2] = {};
    const std::size_t got = std::fread(prefix, 1, sizeof prefix, file);
    if (got == sizeof prefix && std::memcmp(prefix, kGzipMagic, sizeof prefix) == 0) {
        const std::uint64_t limit =
            fileSize == 0 ? 16 * kMinInflatedLimit
                          : std::max(kMinInflatedLimit, kMaxInflationRatio * fileSize);
        return std::make_unique<GzipSource>(file, prefix, got, limit);
    }
    return std::make_unique<PlainSource>(file, prefix, got);
}

std::unique_ptr<ByteSink> PlainSink(std::FILE* file) {
    return std::make_unique<FileSink>(file);
}

std::unique_ptr<ByteSink> GzipSink(std::FILE* file, int level) {
    return std::make_unique<GzipFileSink>(file, level);
}

bool IsCompressedName(std::string_view name) {
    static constexpr std::string_view kExtensions[] = {".crz", ".pzz", ".p2z", ".hdz",
                                                       ".fcz", ".ppz", ".obz"};
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos) {
        return false;
    }
    const std::string_view extension = name.substr(dot);
    return std::any_of(std::begin(kExtensions), std::end(kExtensions), [&](std::string_view known) {
        return extension.size() == known.size() &&
               std::equal(extension.begin(), extension.end(), known.begin(),
                          [](char a, char b) { return LowerAscii(a) == b; });
    });
}

}  // namespace tessary
