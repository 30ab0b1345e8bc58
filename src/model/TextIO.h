#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/FileAccess.h"  // ReadWholeFile, for the readers of whole files
#include "model/ByteStream.h"

namespace tessary {

class Block;

// Progress of one load or save: the hook receives a whole percentage, once each time it
// changes. Installed only while a load or a save runs; outside of that the reader and writer
// are given none.
struct Progress {
    std::function<void(int)> hook;
    double total = 0;
    long long count = 0;
    int reported = -1;  // the percentage the hook last got; -1: none yet
};

// The text of one file being read, split into lines in place. Either the whole text is in
// memory (a buffer of `size` bytes followed by a NUL), or the source reads a byte source (an open
// file, or the text inflated from a compressed one) piece by piece into a buffer of its own that
// only ever holds the lines not yet delivered, so that a large file is parsed without a copy of
// it in memory. A NUL inside the text ends it.
class LineSource {
  public:
    LineSource(char* buffer, std::size_t size, Progress* progress = nullptr);
    // Reads `file` (not owned) from its current position, inflating it when it is gzip.
    // Progress offsets count from there.
    explicit LineSource(std::FILE* file, Progress* progress = nullptr);
    // Reads `source` (not owned); progress offsets are the source's file offsets.
    explicit LineSource(ByteSource& source, Progress* progress = nullptr);
    ~LineSource();
    LineSource(const LineSource&) = delete;
    LineSource& operator=(const LineSource&) = delete;

    // Delivers the next non-empty line (control characters turned into spaces, outer spaces
    // trimmed; a line of blanks comes out empty). The line stays valid until the next call.
    // Returns false at the end of the text, and keeps returning false afterwards.
    bool ReadLine(std::string_view& line);

    // True when reading the file failed (as opposed to reaching its end), or a line in it was
    // longer than kMaxLineLength.
    bool Failed() const { return failed_; }
    // True when the read failed at a line longer than kMaxLineLength.
    bool LineTooLong() const { return lineTooLong_; }
    // Offset of the end of the last line delivered (where its line break or NUL is), counted
    // from where the source started.
    double DeliveredEnd() const { return deliveredEnd_; }
    // Brace blocks still open when the text ended, as the parse counted them.
    void NoteUnclosedBlocks(std::size_t count) { unclosedBlocks_ = count; }
    std::size_t UnclosedBlocks() const { return unclosedBlocks_; }

    // Brace blocks nested deeper than `depth` stop the parse and mark the text as refused.
    void LimitNesting(std::size_t depth) { maxNesting_ = depth; }
    std::size_t MaxNesting() const { return maxNesting_; }
    void RefuseTooDeep() { tooDeep_ = true; }
    bool TooDeep() const { return tooDeep_; }

    // For a text in memory that is parsed once and then thrown away: hands the memory of the
    // lines already delivered back to the system as the parse moves on, so that the text and
    // the tree built from it are not both held at their full size. Those bytes read as zeros
    // afterwards.
    void ReleaseDeliveredText() { releaseFrom_ = begin_; }

  private:
    // Keeps the bytes from `keep` on, reads more after them; false when nothing more came.
    bool Refill(char*& keep, char*& scan);

    char* begin_;
    char* cursor_;
    char* end_;
    Progress* progress_;
    ByteSource* source_ = nullptr;
    std::unique_ptr<ByteSource> ownedSource_;
    char* owned_ = nullptr;        // the piece buffer when reading a file
    std::size_t capacity_ = 0;     // its size
    double base_ = 0;              // file offset of begin_
    char* releaseFrom_ = nullptr;  // first byte not yet released, when releasing
    double deliveredEnd_ = 0;
    std::size_t unclosedBlocks_ = 0;
    bool done_ = false;
    bool sourceEnded_ = false;
    bool failed_ = false;
    bool lineTooLong_ = false;
    std::size_t maxNesting_ = static_cast<std::size_t>(-1);
    bool tooDeep_ = false;
};

// Buffered output of a text file whose line feeds are written as CR LF (or kept as LF).
// Errors are sticky: after a failed write nothing more is written and Ok() is false.
class TextWriter {
  public:
    enum class LineEnds { CrLf, Lf };

    // Writes into `file` (not owned) as it is.
    TextWriter(std::FILE* file, LineEnds lineEnds);
    // Writes into `sink` (not owned), for example a compressing one.
    TextWriter(ByteSink& sink, LineEnds lineEnds);
    ~TextWriter();
    TextWriter(const TextWriter&) = delete;
    TextWriter& operator=(const TextWriter&) = delete;

    void Write(std::string_view text);
    // Writes the line FormatLine builds (`indent` spaces, the tag, a space and the data when
    // there is data, a line feed; nothing when the tag is empty) without building it first.
    void WriteLine(std::size_t indent, std::string_view tag, std::string_view data);
    // Writes out everything (a compressed sink ends its member) and flushes the file.
    bool Flush();
    bool Ok() const { return ok_; }

  private:
    void Drain();

    std::unique_ptr<ByteSink> ownedSink_;
    ByteSink* sink_;
    LineEnds lineEnds_;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
    bool ok_ = true;
};

// Writes a file through a temporary file in the target's folder that replaces the target only
// after `body` wrote everything and the data reached the disk (see SaveTarget for links,
// permissions and targets that are refused). A failure leaves any existing file at `path`
// untouched and returns false, with the reason in `reason` when one is given ("No space left
// on device", "not a regular file"). A target whose name ends in a compressed extension
// (IsCompressedName) is written gzip-compressed; the text inside is the same as the plain
// file's, byte for byte.
//
// `filter`, when set, is given the sink that writes the file and returns the sink the writer
// writes into instead (tests give one that fails after so many bytes, as on a full disk; the
// errno value a failing sink leaves is the reason).
using SinkFilter = std::function<std::unique_ptr<ByteSink>(ByteSink& file)>;
bool WriteFileAtomically(const std::string& path, TextWriter::LineEnds lineEnds,
                         const std::function<void(TextWriter&)>& body,
                         std::string* reason = nullptr, const SinkFilter& filter = {});

// Builds the tree of a whole file's text in `root`: skips the lines up to and including the
// first one that contains "{", then reads the file's outermost brace block. The text is
// consumed: its memory is handed back while the parse moves on, and it is empty afterwards.
// With `progress`, its total becomes the text size and its count 0. Every text gives a tree and
// root.hasBlock ends up 1; the result only tells whether a "{" was found at all (false: the
// tree is empty). For a file, ReadFileTree does the same without holding the text at all.
bool ParseFileText(std::string& text, Block& root, Progress* progress = nullptr);

// Writes a whole tree (the root's own line is empty, its braces go to column 0).
void WriteTree(const Block& root, TextWriter& out, Progress* progress = nullptr);

// The longest line a reader accepts. Real files have lines of a few hundred bytes; a "line"
// longer than this is a file that is not text (or a device such as /dev/zero), and reading on
// would only grow a buffer until memory runs out. Such a file is refused as unreadable.
constexpr std::size_t kMaxLineLength = std::size_t{16} << 20;

// How deep a file's brace blocks may nest before loading refuses it. Real files nest a
// handful of levels; each level indents every line inside it by four more spaces when the file
// is saved, so a hostile file nested a million levels deep would be saved as terabytes.
constexpr std::size_t kMaxFileNesting = 1000;

// How much of a file its tree took. A file whose outermost block closes early (a stray "}"),
// that a NUL byte cuts, or that has text after its block loads what comes before; its
// `restIsText` is then set and the line counts say how far the tree reached. Lines are counted
// by their breaks (LF, CR LF or a lone CR), blank ones included; they are only counted when
// the rest is text, since that takes a second read of the file.
struct ReadExtent {
    bool restIsText = false;
    long long linesRead = 0;   // the line on which the tree ended
    long long totalLines = 0;  // the lines of the whole file
    std::size_t unclosedBlocks = 0;
};

// Loads a whole file into `root` as ParseFileText does, reading it in pieces rather than
// holding its text; a gzip-compressed file (whatever its name) is inflated as it is read. With
// `progress`, the total becomes the file size; with `extent`, it tells how much of the file the
// tree took (a compressed file reports its unclosed blocks only). Returns false when the file
// cannot be opened or read, its compressed data is broken (see ByteSource::Failed), has a line
// longer than kMaxLineLength, or nests deeper than kMaxFileNesting; `root` is then left as it
// was and `reason`, when given, says why ("No such file or directory"). Running out of memory
// throws std::bad_alloc, with `root` left as it was.
bool ReadFileTree(const std::string& path, Block& root, Progress* progress = nullptr,
                  std::string* reason = nullptr, ReadExtent* extent = nullptr);

// The system's text for an errno value ("No such file or directory").
std::string SystemErrorText(int error);

// Reads the whole text of a file into `text`: its bytes, or what they inflate to when the file
// is gzip-compressed (see ByteSource). False when the file cannot be read or its compressed data
// is broken; `reason`, when given, then says why.
bool ReadWholeText(const std::string& path, std::string& text, std::string* reason = nullptr);

}  // namespace tessary
