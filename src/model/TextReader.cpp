// Reading text: the line source, splitting lines and building the block tree from them.

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <exception>
#include <new>
#include <vector>

#include "model/Block.h"
#include "model/Text.h"
#include "model/TextIO.h"
#include "model/TextIODetail.h"
#include "platform/HeapAdvice.h"

namespace tessary {

using textio::Contains;
using textio::kPieceSize;
using textio::ReportPercent;

namespace {

// Whitespace of the line splitter: codes 1 to 32. Bytes 128 to 255 are ordinary characters,
// for the splitter and the line source alike.
bool IsBlank(unsigned char c) {
    return c >= 1 && c <= 32;
}

bool IsTrailingBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

}  // namespace

// --- Line source ---

namespace {
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

// Skips the tabs and spaces at `p`, eight at a time while they are all tabs.
char* SkipIndent(char* p, char* end) {
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t kTabs = 0x0909090909090909ull;
        while (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, sizeof word);
            const std::uint64_t other = word ^ kTabs;
            if (other != 0) {
                p += std::countr_zero(other) / 8;
                break;
            }
            p += 8;
        }
    }
    while (p < end && (*p == '\t' || *p == ' ')) {
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
    // The indentation (a run of tabs, or blanks) is trimmed anyway: skip it in one step
    // instead of turning each tab into a space first.
    for (;;) {
        p = SkipIndent(p, end_);
        if (p < end_ || !Refill(start, p)) {
            break;
        }
    }
    const std::size_t indent = static_cast<std::size_t>(p - start);
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
    char* first = start + indent;
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

// --- Building the tree ---

namespace {

// Tags of the lines being read: a small cache in front of the table of tag texts, since a file
// repeats a few tags millions of times.
class TagCache {
  public:
    std::uint16_t Find(std::string_view text) {
        if (text.size() > kLongest) {
            return Tag::Intern(text);
        }
        const auto first = static_cast<unsigned char>(text.empty() ? 0 : text.front());
        const auto last = static_cast<unsigned char>(text.empty() ? 0 : text.back());
        Entry& entry = entries_[(first * 31u + last * 7u + text.size()) % kEntries];
        if (entry.size == text.size() && std::memcmp(entry.text, text.data(), text.size()) == 0 &&
            entry.used) {
            return entry.id;
        }
        entry.id = Tag::Intern(text);
        entry.size = static_cast<std::uint8_t>(text.size());
        std::memcpy(entry.text, text.data(), text.size());
        entry.used = true;
        return entry.id;
    }

  private:
    static constexpr std::size_t kLongest = 20;
    static constexpr std::size_t kEntries = 256;
    struct Entry {
        char text[kLongest];
        std::uint16_t id = 0;
        std::uint8_t size = 0;
        bool used = false;
    };
    Entry entries_[kEntries];
};

// The Blocks of all open brace blocks of a parse, in chunks that never move, so that each
// Block is moved once: from here into the children array of exactly its siblings' number.
class PendingBlocks {
  public:
    PendingBlocks() = default;
    PendingBlocks(const PendingBlocks&) = delete;
    PendingBlocks& operator=(const PendingBlocks&) = delete;
    ~PendingBlocks() {
        for (std::size_t i = size_; i > 0; --i) {
            (*this)[i - 1].~Block();
        }
        for (Block* chunk : chunks_) {
            FreeChunk(chunk);
        }
    }

    std::size_t size() const { return size_; }
    Block& operator[](std::size_t i) { return chunks_[i / kChunk][i % kChunk]; }

    Block& emplace_back() {
        Block* block = new (Slot()) Block();
        ++size_;
        return *block;
    }
    void push_back(Block&& moved) {
        new (Slot()) Block(std::move(moved));
        ++size_;
    }

    // Moves the Blocks from `first` on into `target`, in an array of exactly their number, and
    // gives back the chunks emptied on the way (a file of millions of top-level lines is then
    // not held twice).
    void MoveOutFrom(std::size_t first, ChildList& target) {
        ChildList kids;
        kids.reserve(size_ - first);
        if ((size_ - first) * sizeof(Block) >= 2 * kHugeBytes) {
            AdviseHugePages(kids.data(), (size_ - first) * sizeof(Block));
        }
        for (std::size_t i = first; i < size_; ++i) {
            Block& block = (*this)[i];
            kids.emplace_back(std::move(block));
            block.~Block();
            if ((i + 1) % kChunk == 0 && i + 1 - kChunk >= first) {
                Block*& chunk = chunks_[i / kChunk];
                ReleasePages(chunk, kHugeBytes);
                FreeChunk(chunk);
                chunk = nullptr;
            }
        }
        size_ = first;
        target = std::move(kids);
    }

  private:
    static constexpr std::size_t kHugeBytes = 2 * 1024 * 1024;
    static constexpr std::size_t kChunk = kHugeBytes / sizeof(Block);

    static void FreeChunk(Block* chunk) {
        if (chunk != nullptr) {
            ::operator delete (chunk, std::align_val_t{kHugeBytes});
        }
    }

    void* Slot() {
        const std::size_t index = size_ / kChunk;
        if (index == chunks_.size()) {
            chunks_.push_back(nullptr);
        }
        if (chunks_[index] == nullptr) {
            // A whole huge page even where the Blocks leave its last bytes unused, so that the
            // advice below covers it.
            void* memory = ::operator new (kHugeBytes, std::align_val_t{kHugeBytes});
            // The first chunk serves every small file: only later ones take huge pages.
            if (index > 0) {
                AdviseHugePages(memory, kHugeBytes);
            }
            chunks_[index] = static_cast<Block*>(memory);
        }
        return chunks_[index] + size_ % kChunk;
    }

    std::vector<Block*> chunks_;
    std::size_t size_ = 0;
};

// Splits a line as delivered by the line source (no control characters, no outer spaces),
// into a Block that is still empty.
void SplitCleanLine(std::string_view line, Block& block, TagCache& tags, TextArena& texts) {
    const void* found = line.empty() ? nullptr : std::memchr(line.data(), ' ', line.size());
    if (found == nullptr) {
        block.tag = Tag::FromId(tags.Find(line));
        return;
    }
    const auto space = static_cast<std::size_t>(static_cast<const char*>(found) - line.data());
    block.tag = Tag::FromId(tags.Find(line.substr(0, space)));
    std::size_t start = space + 1;
    while (start < line.size() && line[start] == ' ') {
        ++start;
    }
    texts.Store(line.substr(start), block.data);
}

}  // namespace

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
    // A parse that throws (no memory, or a file with more distinct tags than the table takes)
    // takes back the tags it added: its Blocks die with it, and a refused hostile file must not
    // fill the table for the files loaded after it.
    struct TagRollback {
        std::size_t size = Tag::TableSize();
        int exceptions = std::uncaught_exceptions();
        ~TagRollback() {
            if (std::uncaught_exceptions() > exceptions) {
                Tag::ForgetTagsFrom(size);
            }
        }
    };
    const TagRollback rollback;
    PendingBlocks pending;
    std::vector<Frame> frames;
    TagCache tags;
    TextArena texts;

    auto ownerOf = [&](const Frame& frame) -> Block& {
        return frame.owner == kThis ? *this : pending[frame.owner];
    };
    auto open = [&](std::size_t owner) {
        const std::size_t first = pending.size();
        Block& block = owner == kThis ? *this : pending[owner];
        ChildList earlier = std::move(block.children);
        for (Block& child : earlier) {
            pending.push_back(std::move(child));
        }
        frames.push_back({owner, first});
    };
    auto close = [&] {
        const Frame frame = frames.back();
        frames.pop_back();
        pending.MoveOutFrom(frame.first, ownerOf(frame).children);
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
            SplitCleanLine(line, pending.emplace_back(), tags, texts);
        }
    }
    // The frame of this Block itself stays open until its own "}" too.
    source.NoteUnclosedBlocks(frames.size());
    while (!frames.empty()) {
        close();
    }
}

// --- Whole trees ---

bool textio::ParseTree(LineSource& source, Block& root) {
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

bool ParseFileText(std::string& text, Block& root, Progress* progress) {
    root.Reset();
    if (progress != nullptr) {
        progress->total = static_cast<double>(text.size());
        progress->count = 0;
        progress->reported = -1;
    }
    LineSource source(text.data(), text.size(), progress);
    source.ReleaseDeliveredText();
    const bool opened = textio::ParseTree(source, root);
    // The text is spent (partly zeros by now): let it go rather than keep its capacity.
    std::string().swap(text);
    return opened;
}

}  // namespace tessary
