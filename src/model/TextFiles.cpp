// Whole files by name: saving through a SaveTarget, reading a file's text or its tree.

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>

#include "model/Block.h"
#include "model/TextIO.h"
#include "model/TextIODetail.h"
#include "platform/SaveTarget.h"

namespace tessary {

using textio::kPieceSize;

// --- Whole files ---

bool WriteFileAtomically(const std::string& path, TextWriter::LineEnds lineEnds,
                         const std::function<void(TextWriter&)>& body, std::string* reason,
                         const SinkFilter& filter) {
    SaveTarget target;
    bool ok = target.Open(path) && target.Stream() != nullptr;
    if (ok) {
        const std::unique_ptr<ByteSink> sink =
            IsCompressedName(path) ? GzipSink(target.Stream()) : PlainSink(target.Stream());
        const std::unique_ptr<ByteSink> filtered = filter ? filter(*sink) : nullptr;
        TextWriter writer(filtered != nullptr ? *filtered : *sink, lineEnds);
        body(writer);
        ok = writer.Flush() || target.Fail(errno);
    }
    ok = ok && target.Commit();
    if (!ok && reason != nullptr) {
        *reason = target.Reason();
    }
    return ok;
}

bool ReadWholeText(const std::string& path, std::string& text, std::string* reason) {
    const auto failed = [reason](std::string why) {
        return reason != nullptr ? (*reason = std::move(why), false) : false;
    };
    std::uint64_t size = 0;
    std::FILE* file = OpenForReading(path, size);  // a folder is refused here
    if (file == nullptr) {
        return failed(SystemErrorText(errno));
    }
    const std::unique_ptr<ByteSource> bytes = OpenByteSource(file, size);
    if (!bytes->Compressed()) {
        // A plain file takes the direct way, in one read of its size.
        std::fclose(file);
        errno = 0;
        if (!ReadWholeFile(path, text)) {
            return failed(SystemErrorText(errno != 0 ? errno : EIO));
        }
        return true;
    }
    std::string inflated;
    inflated.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(4 * size, 1u << 30)));
    for (;;) {
        if (inflated.capacity() - inflated.size() < kPieceSize) {
            inflated.reserve(2 * inflated.capacity() + kPieceSize);
        }
        const std::size_t used = inflated.size();
        inflated.resize(inflated.capacity());
        const std::size_t got = bytes->Read(inflated.data() + used, inflated.size() - used);
        inflated.resize(used + got);
        if (got == 0) {
            break;
        }
    }
    const int error = errno;
    std::fclose(file);
    if (bytes->Failed()) {
        const std::string problem = bytes->Problem();
        return failed(problem.empty() ? SystemErrorText(error != 0 ? error : EIO) : problem);
    }
    text = std::move(inflated);
    return true;
}

namespace {

bool IsBlankOrControl(unsigned char c) {
    return c <= ' ';
}

// Whether anything but blanks and control bytes follows `offset` in `file`.
bool TextAfter(std::FILE* file, long long offset) {
    if (::fseeko(file, static_cast<off_t>(offset), SEEK_SET) != 0) {
        return false;
    }
    char piece[64 * 1024];
    std::size_t got;
    while ((got = std::fread(piece, 1, sizeof piece, file)) > 0) {
        for (std::size_t i = 0; i < got; ++i) {
            if (!IsBlankOrControl(static_cast<unsigned char>(piece[i]))) {
                return true;
            }
        }
    }
    return false;
}

// Counts the line breaks of `file` before `offset` and in all, and fills the extent's lines.
void CountLines(std::FILE* file, long long offset, ReadExtent& extent) {
    if (::fseeko(file, 0, SEEK_SET) != 0) {
        return;
    }
    long long breaks = 0;
    long long breaksBefore = 0;
    long long position = 0;
    char last = '\n';
    char piece[64 * 1024];
    std::size_t got;
    while ((got = std::fread(piece, 1, sizeof piece, file)) > 0) {
        for (std::size_t i = 0; i < got; ++i, ++position) {
            const char c = piece[i];
            // CR LF is one break, counted at its LF.
            if (c == '\n' || (last == '\r' && c != '\n')) {
                ++breaks;
                if (position < offset) {
                    ++breaksBefore;
                }
            }
            last = c;
        }
    }
    if (last == '\r') {
        ++breaks;
    }
    extent.linesRead = breaksBefore + 1;
    // A last line without a break is a line too.
    extent.totalLines = breaks + (last != '\n' && last != '\r' && position > 0 ? 1 : 0);
    extent.linesRead = std::min(extent.linesRead, extent.totalLines);
}

}  // namespace

bool ReadFileTree(const std::string& path, Block& root, Progress* progress, std::string* reason,
                  ReadExtent* extent) {
    auto failed = [reason](std::string text) {
        if (reason != nullptr) {
            *reason = std::move(text);
        }
        return false;
    };
    std::uint64_t size = 0;
    std::FILE* file = OpenForReading(path, size);
    if (file == nullptr) {
        return failed(SystemErrorText(errno));
    }
    if (progress != nullptr) {
        progress->total = static_cast<double>(size);
        progress->count = 0;
        progress->reported = -1;
    }
    Block tree;
    bool readFailed;
    bool lineTooLong;
    bool tooDeep;
    std::string problem;
    {
        const std::unique_ptr<ByteSource> bytes = OpenByteSource(file, size);
        LineSource source(*bytes, progress);
        source.LimitNesting(kMaxFileNesting);
        textio::ParseTree(source, tree);
        readFailed = source.Failed();
        lineTooLong = source.LineTooLong();
        tooDeep = source.TooDeep();
        // A compressed file is only sound once all of it inflated with the right checksums,
        // also past where the parse stopped (a NUL, or the end of the outermost block).
        if (!readFailed && !tooDeep && !bytes->CheckRest()) {
            readFailed = true;
        }
        problem = bytes->Problem();
        if (!readFailed && !tooDeep && extent != nullptr) {
            *extent = ReadExtent{};
            extent->unclosedBlocks = source.UnclosedBlocks();
            // The end of the last line read is the break after it; the rest starts beyond. The
            // rest of a compressed file is not read a second time, so only a plain file tells
            // how many of its lines the tree took.
            const auto end = static_cast<long long>(source.DeliveredEnd());
            if (!bytes->Compressed() && TextAfter(file, end + 1)) {
                extent->restIsText = true;
                CountLines(file, end, *extent);
            }
        }
    }
    const int error = errno;
    std::fclose(file);
    if (lineTooLong) {
        return failed("a line longer than " + std::to_string(kMaxLineLength >> 20) + " MiB");
    }
    if (readFailed) {
        return failed(problem.empty() ? SystemErrorText(error) : problem);
    }
    if (tooDeep) {
        return failed("brace blocks nested deeper than " + std::to_string(kMaxFileNesting) +
                      " levels");
    }
    root.Reset();
    root.children.swap(tree.children);
    root.hasBlock = 1;
    return true;
}

std::string SystemErrorText(int error) {
    return std::strerror(error);
}

}  // namespace tessary
