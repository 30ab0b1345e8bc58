// Writing text: formatting lines, the buffered writer and whole block trees.

#include <algorithm>
#include <cstring>
#include <memory>

#include "model/Block.h"
#include "model/TextIO.h"
#include "model/TextIODetail.h"

namespace tessary {

using textio::Contains;
using textio::ReportPercent;

void FormatLine(std::string_view tag, std::string_view data, std::string_view indent,
                std::string& out) {
    if (tag.empty()) {
        return;
    }
    out.append(indent).append(tag);
    if (!data.empty()) {
        out.append(1, ' ').append(data);
    }
    out.append(1, '\n');
}

// --- Writing ---

void Block::Write(TextWriter& out, int depth, Progress* progress) const {
    auto indentOf = [](int level) { return level > 0 ? 4 * static_cast<std::size_t>(level) : 0; };
    auto writeOwnLine = [&](const Block& block, int level) {
        if (block.tag.empty()) {
            return;
        }
        out.WriteLine(indentOf(level), block.tag, block.data);
        if (progress != nullptr && progress->hook) {
            ++progress->count;
            ReportPercent(progress, static_cast<double>(progress->count));
        }
    };
    auto writeBrace = [&](const char* brace, int level) {
        out.WriteLine(indentOf(level), brace, {});
    };

    struct Frame {
        const Block* block;
        std::size_t next;
        int depth;
    };
    std::vector<Frame> stack;
    writeOwnLine(*this, depth);
    if (hasBlock == 1) {
        writeBrace("{", depth + 1);
        stack.push_back({this, 0, depth});
    }
    // A failed output stays failed: there is no point in walking the rest of the tree.
    while (!stack.empty() && out.Ok()) {
        Frame& frame = stack.back();
        if (frame.next == frame.block->children.size()) {
            writeBrace("}", frame.depth + 1);
            stack.pop_back();
            continue;
        }
        const Block& child = frame.block->children[frame.next++];
        const int childDepth = frame.depth + 1;
        writeOwnLine(child, childDepth);
        if (child.hasBlock == 1) {
            writeBrace("{", childDepth + 1);
            stack.push_back({&child, 0, childDepth});
        }
    }
}

// --- TextWriter ---

namespace {
constexpr std::size_t kWriterBuffer = 64 * 1024;
}

TextWriter::TextWriter(std::FILE* file, LineEnds lineEnds)
    : ownedSink_(PlainSink(file)),
      sink_(ownedSink_.get()),
      lineEnds_(lineEnds),
      buffer_(std::make_unique<char[]>(kWriterBuffer)),
      ok_(file != nullptr) {}

TextWriter::TextWriter(ByteSink& sink, LineEnds lineEnds)
    : sink_(&sink), lineEnds_(lineEnds), buffer_(std::make_unique<char[]>(kWriterBuffer)) {}

TextWriter::~TextWriter() {
    Drain();
}

void TextWriter::Write(std::string_view text) {
    while (ok_ && !text.empty()) {
        // Room for at least one byte and a CR LF pair after it.
        if (used_ + 3 > kWriterBuffer) {
            Drain();
            continue;
        }
        const std::size_t room = kWriterBuffer - used_ - 2;
        std::string_view chunk = text.substr(0, room);
        bool feed = false;
        if (lineEnds_ == LineEnds::CrLf) {
            const void* found = std::memchr(chunk.data(), '\n', chunk.size());
            if (found != nullptr) {
                chunk = chunk.substr(
                    0, static_cast<std::size_t>(static_cast<const char*>(found) - chunk.data()));
                feed = true;
            }
        }
        std::memcpy(buffer_.get() + used_, chunk.data(), chunk.size());
        used_ += chunk.size();
        text.remove_prefix(chunk.size());
        if (feed) {
            buffer_[used_++] = '\r';
            buffer_[used_++] = '\n';
            text.remove_prefix(1);
        }
    }
}

void TextWriter::WriteLine(std::size_t indent, std::string_view tag, std::string_view data) {
    if (tag.empty() || !ok_) {
        return;
    }
    const std::size_t size = indent + tag.size() + (data.empty() ? 0 : 1 + data.size()) + 2;
    // An empty view may have no data pointer at all, which memchr must not be given.
    const bool plain = size <= kWriterBuffer && !Contains(tag, '\n') && !Contains(data, '\n');
    if (!plain) {
        // Deep indentation or line feeds inside the text: the general path.
        static constexpr char kSpaces[] =
            "                                                                ";
        constexpr std::size_t kSpaceCount = sizeof kSpaces - 1;
        for (std::size_t left = indent; left > 0;) {
            const std::size_t n = std::min(left, kSpaceCount);
            Write(std::string_view(kSpaces, n));
            left -= n;
        }
        Write(tag);
        if (!data.empty()) {
            Write(" ");
            Write(data);
        }
        Write("\n");
        return;
    }
    if (used_ + size > kWriterBuffer) {
        Drain();
        if (!ok_) {
            return;
        }
    }
    char* out = buffer_.get() + used_;
    std::memset(out, ' ', indent);
    out += indent;
    std::memcpy(out, tag.data(), tag.size());
    out += tag.size();
    if (!data.empty()) {
        *out++ = ' ';
        std::memcpy(out, data.data(), data.size());
        out += data.size();
    }
    if (lineEnds_ == LineEnds::CrLf) {
        *out++ = '\r';
    }
    *out++ = '\n';
    used_ = static_cast<std::size_t>(out - buffer_.get());
}

void TextWriter::Drain() {
    if (ok_ && used_ > 0) {
        ok_ = sink_->Write(buffer_.get(), used_);
    }
    used_ = 0;
}

bool TextWriter::Flush() {
    Drain();
    if (ok_) {
        ok_ = sink_->Finish();
    }
    return ok_;
}

void WriteTree(const Block& root, TextWriter& out, Progress* progress) {
    root.Write(out, -1, progress);
}

}  // namespace tessary
