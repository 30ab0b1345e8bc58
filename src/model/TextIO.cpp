#include "model/TextIO.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "model/Block.h"
#include "platform/HeapAdvice.h"
#include "platform/SaveTarget.h"

namespace tessary {

namespace {

// Whitespace of the line splitter: codes 1 to 32. Bytes 128 to 255 are ordinary characters,
// for the splitter and the line source alike.
bool IsBlank(unsigned char c) {
    return c >= 1 && c <= 32;
}

bool IsTrailingBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

void ReportPercent(Progress* progress, double done) {
    if (progress == nullptr || !progress->hook || !(progress->total > 0)) {
        return;
    }
    progress->hook(static_cast<int>(100.0 * done / progress->total));
}

// Splits a line as delivered by the line source (no control characters, no outer spaces),
// into a Block that is still empty.
void SplitCleanLine(std::string_view line, Block& block) {
    const std::size_t space = line.find(' ');
    if (space == std::string_view::npos) {
        block.tag.assign(line);
        return;
    }
    block.tag.assign(line.substr(0, space));
    std::size_t start = space + 1;
    while (start < line.size() && line[start] == ' ') {
        ++start;
    }
    block.data.assign(line.substr(start));
}

bool Contains(std::string_view line, char c) {
    return !line.empty() && std::memchr(line.data(), c, line.size()) != nullptr;
}

}  // namespace

// --- Line source ---

namespace {
constexpr std::size_t kPieceSize = 256 * 1024;
// A text in memory is handed back in steps of this size while it is parsed.
constexpr std::size_t kReleaseStep = 1024 * 1024;
}  // namespace

LineSource::LineSource(char* buffer, std::size_t size, Progress* progress)
    : begin_(buffer), cursor_(buffer), end_(buffer + size), progress_(progress) {}

LineSource::LineSource(std::FILE* file, Progress* progress)
    : begin_(nullptr), cursor_(nullptr), end_(nullptr), progress_(progress) {
    capacity_ = kPieceSize;
    owned_ = new char[capacity_];
    begin_ = cursor_ = end_ = owned_;
    done_ = file == nullptr;
    if (file != nullptr) {
        ownedSource_ = OpenByteSource(file, 0);
        source_ = ownedSource_.get();
    }
}

LineSource::LineSource(ByteSource& source, Progress* progress)
    : begin_(nullptr), cursor_(nullptr), end_(nullptr), progress_(progress), source_(&source) {
    capacity_ = kPieceSize;
    owned_ = new char[capacity_];
    begin_ = cursor_ = end_ = owned_;
}

LineSource::~LineSource() {
    delete[] owned_;
}

bool LineSource::Refill(char*& keep, char*& scan) {
    if (source_ == nullptr || sourceEnded_ || failed_) {
        return false;
    }
    if (static_cast<std::size_t>(end_ - keep) > kMaxLineLength) {
        failed_ = true;  // not text: the line would only grow until memory runs out
        lineTooLong_ = true;
        return false;
    }
    // Move the unfinished line to the front; a line longer than the buffer doubles it.
    const std::size_t kept = static_cast<std::size_t>(end_ - keep);
    const std::size_t scanned = static_cast<std::size_t>(scan - keep);
    base_ += static_cast<double>(keep - owned_);
    if (capacity_ - kept < kPieceSize / 2) {
        const std::size_t grown = std::max(2 * capacity_, kept + kPieceSize);
        char* bigger = new char[grown];
        std::memcpy(bigger, keep, kept);
        delete[] owned_;
        owned_ = bigger;
        capacity_ = grown;
    } else if (kept > 0) {
        std::memmove(owned_, keep, kept);
    }
    // The tree grows by a few bytes for every byte read: keep its memory in huge pages.
    AdviseHugePagesForHeapGrowth();
    const std::size_t got = source_->Read(owned_ + kept, capacity_ - kept);
    if (got == 0) {
        sourceEnded_ = true;
        failed_ = source_->Failed();
    }
    begin_ = owned_;
    keep = owned_;
    scan = owned_ + scanned;
    end_ = owned_ + kept + got;
    return got > 0;
}

namespace {

// The bits 0x80 of the bytes of `word` that are below 32. Only the lowest flagged byte is
// certain (a borrow may flag bytes above it), which is the one the scan needs.
std::uint64_t ControlBytes(std::uint64_t word) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    return (word - 32 * kOnes) & ~word & (0x80 * kOnes);
}

// Finds the end of the line at `p` (a CR, LF or NUL, or `end`) and turns the other control
// characters on the way into spaces. Lines are mostly printable: eight bytes are checked at
// once until one of them is not.
char* ScanLine(char* p, char* end) {
    while (p < end) {
        if constexpr (std::endian::native == std::endian::little) {
            if (end - p >= 8) {
                std::uint64_t word;
                std::memcpy(&word, p, sizeof word);
                const std::uint64_t control = ControlBytes(word);
                if (control == 0) {
                    p += 8;
                    continue;
                }
                p += std::countr_zero(control) / 8;
            }
        }
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c < 32) {
            if (c == '\n' || c == '\r' || c == '\0') {
                return p;
            }
            *p = ' ';
        }
        ++p;
    }
    return p;
}

}  // namespace

bool LineSource::ReadLine(std::string_view& line) {
    line = {};
    if (done_) {
        return false;
    }
    char* p = cursor_;
    for (;;) {
        while (p < end_ && (*p == '\r' || *p == '\n')) {
            ++p;
        }
        if (p < end_) {
            break;
        }
        char* keep = p;
        if (!Refill(keep, p)) {
            break;
        }
    }
    if (p >= end_ || *p == '\0') {
        done_ = true;
        cursor_ = end_;
        return false;
    }
    char* start = p;
    for (;;) {
        p = ScanLine(p, end_);
        if (p < end_ || !Refill(start, p)) {
            break;
        }
    }
    char* stop = p;
    deliveredEnd_ = base_ + static_cast<double>(p - begin_);
    if (p < end_ && *p != '\0') {
        cursor_ = p + 1;
    } else {
        // A NUL, or the end of the text, ends the text: the next call finds nothing more.
        cursor_ = end_;
        done_ = true;
    }
    char* first = start;
    while (first < stop && *first == ' ') {
        ++first;
    }
    while (stop > first && stop[-1] == ' ') {
        --stop;
    }
    line = std::string_view(first, static_cast<std::size_t>(stop - first));
    if (progress_ != nullptr) {
        const double offset = base_ + static_cast<double>(start - begin_);
        ReportPercent(progress_, source_ != nullptr ? source_->FileOffset(offset) : offset);
    }
    if (releaseFrom_ != nullptr &&
        start - releaseFrom_ >= static_cast<std::ptrdiff_t>(kReleaseStep)) {
        // Everything before the line just delivered is done with.
        ReleasePages(releaseFrom_, static_cast<std::size_t>(start - releaseFrom_));
        releaseFrom_ = start;
    }
    return true;
}

// --- Splitting and formatting lines ---

void ParseLine(std::string_view line, Block& block) {
    block.Reset();
    std::size_t i = 0;
    const std::size_t n = line.size();
    while (i < n && IsBlank(static_cast<unsigned char>(line[i]))) {
        ++i;
    }
    const std::size_t tagStart = i;
    while (i < n && !IsBlank(static_cast<unsigned char>(line[i]))) {
        ++i;
    }
    block.tag.assign(line.substr(tagStart, i - tagStart));
    while (i < n && IsBlank(static_cast<unsigned char>(line[i]))) {
        ++i;
    }
    std::size_t end = n;
    while (end > i && IsTrailingBlank(line[end - 1])) {
        --end;
    }
    block.data.assign(line.substr(i, end - i));
}

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

// --- Building the tree ---

void Block::ParseBlock(LineSource& source) {
    // The children of every open brace block are collected on one stack and moved into an
    // array of exactly their number when the block closes: no array is grown child by child
    // and none keeps spare room. A Block whose block opens again ("line { a } { b }") or that
    // already had children gets them back on the stack first, so they stay in order.
    struct Frame {
        std::size_t owner;  // index in `pending` of the Block whose block is open; npos: this
        std::size_t first;  // index in `pending` of its first child
    };
    constexpr std::size_t kThis = static_cast<std::size_t>(-1);
    std::vector<Block> pending;
    std::vector<Frame> frames;

    auto ownerOf = [&](const Frame& frame) -> Block& {
        return frame.owner == kThis ? *this : pending[frame.owner];
    };
    auto open = [&](std::size_t owner) {
        const std::size_t first = pending.size();
        Block& block = owner == kThis ? *this : pending[owner];
        std::vector<Block> earlier = std::move(block.children);
        block.children = std::vector<Block>();
        for (Block& child : earlier) {
            pending.push_back(std::move(child));
        }
        frames.push_back({owner, first});
    };
    auto close = [&] {
        const Frame frame = frames.back();
        frames.pop_back();
        std::vector<Block> kids;
        kids.reserve(pending.size() - frame.first);
        for (std::size_t i = frame.first; i < pending.size(); ++i) {
            kids.push_back(std::move(pending[i]));
        }
        pending.resize(frame.first);
        ownerOf(frame).children = std::move(kids);
    };

    open(kThis);
    std::string_view line;
    while (!frames.empty() && source.ReadLine(line)) {
        if (Contains(line, '{')) {
            if (frames.size() >= source.MaxNesting()) {
                source.RefuseTooDeep();
                break;
            }
            if (pending.size() == frames.back().first) {
                pending.emplace_back();
            }
            const std::size_t owner = pending.size() - 1;
            pending[owner].hasBlock = 1;
            open(owner);
        } else if (Contains(line, '}')) {
            close();
        } else if (!line.empty()) {
            SplitCleanLine(line, pending.emplace_back());
        }
    }
    // The frame of this Block itself stays open until its own "}" too.
    source.NoteUnclosedBlocks(frames.size());
    while (!frames.empty()) {
        close();
    }
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

// --- Whole files ---

bool WriteFileAtomically(const std::string& path, TextWriter::LineEnds lineEnds,
                         const std::function<void(TextWriter&)>& body, std::string* reason) {
    SaveTarget target;
    bool ok = target.Open(path) && target.Stream() != nullptr;
    if (ok) {
        const std::unique_ptr<ByteSink> sink =
            IsCompressedName(path) ? GzipSink(target.Stream()) : PlainSink(target.Stream());
        TextWriter writer(*sink, lineEnds);
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

// --- Whole trees ---

namespace {

// Load steps after the line source is installed: skip to the first "{", read the file's
// outermost block into the (reset) root.
bool ParseTree(LineSource& source, Block& root) {
    std::string_view line;
    bool opened = false;
    while (source.ReadLine(line)) {
        if (Contains(line, '{')) {
            opened = true;
            break;
        }
    }
    root.ParseBlock(source);
    root.hasBlock = 1;
    return opened;
}

}  // namespace

bool ParseFileText(std::string& text, Block& root, Progress* progress) {
    root.Reset();
    if (progress != nullptr) {
        progress->total = static_cast<double>(text.size());
        progress->count = 0;
    }
    LineSource source(text.data(), text.size(), progress);
    source.ReleaseDeliveredText();
    const bool opened = ParseTree(source, root);
    // The text is spent (partly zeros by now): let it go rather than keep its capacity.
    std::string().swap(text);
    return opened;
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
        ParseTree(source, tree);
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

void WriteTree(const Block& root, TextWriter& out, Progress* progress) {
    root.Write(out, -1, progress);
}

}  // namespace tessary
