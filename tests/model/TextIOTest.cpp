#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include "ModelTestUtil.h"
#include "support/FailingSink.h"
#include "support/ScratchDir.h"

namespace tessary {
namespace {

using testing::Dump;
using testing::Parse;
using testing::WriteToString;

std::vector<std::string> ReadAllLines(std::string text, Progress* progress = nullptr) {
    LineSource source(text.data(), text.size(), progress);
    std::vector<std::string> lines;
    std::string_view line;
    while (source.ReadLine(line)) {
        lines.emplace_back(line);
    }
    EXPECT_FALSE(source.ReadLine(line)) << "an exhausted source stays exhausted";
    return lines;
}

TEST(LineSourceTest, AcceptsEveryLineEndAndCleansLines) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(ReadAllLines("a\nb\n"), (Lines{"a", "b"}));
    EXPECT_EQ(ReadAllLines("a\rb\r"), (Lines{"a", "b"}));
    EXPECT_EQ(ReadAllLines("a\r\nb\r\n"), (Lines{"a", "b"}));
    EXPECT_EQ(ReadAllLines("a\n\r\r\n\nb"), (Lines{"a", "b"}));    // mixture, no empty lines
    EXPECT_EQ(ReadAllLines("  \t x\ty \f\v "), (Lines{"x y"}));    // controls become spaces
    EXPECT_EQ(ReadAllLines("a\n \t \nb"), (Lines{"a", "", "b"}));  // blank line comes out empty
    EXPECT_EQ(ReadAllLines(std::string("a\nb\0c\nd", 7)), (Lines{"a", "b"}));  // NUL ends text
    EXPECT_EQ(ReadAllLines("\xff\xa0 \x80"), (Lines{"\xff\xa0 \x80"}));        // high bytes kept
    EXPECT_EQ(ReadAllLines(""), Lines{});
    EXPECT_EQ(ReadAllLines("\r\n\r\n"), Lines{});
}

TEST(LineSourceTest, ReportsTruncatedPercentOfTheLineStart) {
    std::vector<int> seen;
    Progress progress;
    progress.hook = [&](int percent) { seen.push_back(percent); };
    progress.total = 9;
    ReadAllLines("ab\ncd\nef\n", &progress);
    // Lines start at offsets 0, 3 and 6 of 9 bytes.
    EXPECT_EQ(seen, (std::vector<int>{0, 33, 66}));
}

struct SplitCase {
    const char* line;
    const char* tag;
    const char* data;
};

TEST(ParseLineTest, SplitsTagAndData) {
    const SplitCase cases[] = {
        {"word", "word", ""},
        {"   word   two  words   ", "word", "two  words"},
        {"tag\t data", "tag", "data"},
        {"tag data\twith tab", "tag", "data\twith tab"},  // inner whitespace kept as it is
        {"tag data \t\r\n\v\f", "tag", "data"},
        {"", "", ""},
        {" \t ", "", ""},
        {"\xe9t\xe9 caf\xe9", "\xe9t\xe9", "caf\xe9"},
    };
    for (const SplitCase& c : cases) {
        Block block;
        block.AppendChild();
        block.hasBlock = 1;
        block.treeItem = 9;
        ParseLine(c.line, block);
        EXPECT_EQ(block.tag, c.tag) << c.line;
        EXPECT_EQ(block.data, c.data) << c.line;
        EXPECT_TRUE(block.children.empty());
        EXPECT_EQ(block.hasBlock, 0);
        EXPECT_EQ(block.treeItem, 0u);
    }
}

TEST(FormatLineTest, BuildsOneLine) {
    std::string out;
    FormatLine("tag", "some data", "    ", out);
    FormatLine("word", "", "", out);
    FormatLine("", "ignored", "  ", out);
    EXPECT_EQ(out, "    tag some data\nword\n");
}

// --- The reader's structure rules, each as text in and normalised text out ---

struct ReadCase {
    const char* name;
    const char* input;
    const char* written;  // with LF line ends
};

TEST(ReaderTest, BuildsTheTreeTheFormatRulesGive) {
    const ReadCase cases[] = {
        {"single word", "{\nword\n}\n", "{\nword\n}\n"},
        {"spaces normalised", "{\n   word   two  words   \n}\n", "{\nword two  words\n}\n"},
        {"tab separates and becomes a space inside data", "{\ntag\t\tdata\tmore\n}\n",
         "{\ntag data more\n}\n"},
        {"brace with no line before it", "{\n{\na\n}\n}\n", "{\n    {\n    a\n    }\n}\n"},
        {"second block joins the same line", "{\nx\n{\na\n}\n{\nb\n}\n}\n",
         "{\nx\n    {\n    a\n    b\n    }\n}\n"},
        {"word before brace dropped", "{\nx\nword {\na\n}\n}\n", "{\nx\n    {\n    a\n    }\n}\n"},
        {"text after closing brace dropped", "{\nx\n} tail\ny\n", "{\nx\n}\n"},
        {"unclosed blocks closed", "{\nx\n{\ny\n{\nz\n",
         "{\nx\n    {\n    y\n        {\n        z\n        }\n    }\n}\n"},
        {"lines before the first brace dropped", "version\nheader {\na\n}\n", "{\na\n}\n"},
        {"root closed early", "{\na\n}\nb\n{\nc\n}\n", "{\na\n}\n"},
        {"blank lines add nothing", "{\n\n \t \na\n\n}\n", "{\na\n}\n"},
        {"empty root", "{\n}\n", "{\n}\n"},
        {"no brace at all", "a\nb\n", "{\n}\n"},
        {"empty text", "", "{\n}\n"},
        {"empty block kept", "{\na\n{\n}\n}\n", "{\na\n    {\n    }\n}\n"},
    };
    for (const ReadCase& c : cases) {
        EXPECT_EQ(Dump(Parse(c.input)), c.written) << c.name;
    }
}

TEST(ReaderTest, LineEndsDoNotChangeTheTree) {
    const std::string lf = "{\nactor BODY:1\n{\nname BODY\n}\n}\n";
    std::string cr = lf;
    std::replace(cr.begin(), cr.end(), '\n', '\r');
    std::string crlf;
    for (char c : lf) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    EXPECT_EQ(Dump(Parse(cr)), Dump(Parse(lf)));
    EXPECT_EQ(Dump(Parse(crlf)), Dump(Parse(lf)));
}

TEST(ReaderTest, SetsFieldsAndReportsWhetherABraceWasFound) {
    Block root;
    root.AppendChild().tag = "old";
    std::string text = "{\n{\n}\n}\n";
    EXPECT_TRUE(ParseFileText(text, root));
    EXPECT_EQ(root.hasBlock, 1);
    ASSERT_EQ(root.children.size(), 1u);
    EXPECT_EQ(root.children[0].tag, "");
    EXPECT_EQ(root.children[0].hasBlock, 1);
    EXPECT_EQ(root.CountNodes(), 2);

    std::string none = "no braces here";
    EXPECT_FALSE(ParseFileText(none, root));
    EXPECT_EQ(root.hasBlock, 1);
    EXPECT_TRUE(root.children.empty());
    EXPECT_EQ(root.CountNodes(), 1);
}

TEST(ReaderTest, ParseBlockAddsToExistingChildren) {
    Block block;
    block.AppendChild().tag = "first";
    std::string text = "second\n{\ninner\n}\n}\nignored\n";
    LineSource source(text.data(), text.size());
    block.ParseBlock(source);
    EXPECT_EQ(block.children.size(), 2u);
    EXPECT_EQ(block.children[0].tag, "first");
    EXPECT_EQ(block.children[1].tag, "second");
    EXPECT_EQ(block.children[1].children.at(0).tag, "inner");
}

// --- Writer ---

TEST(WriterTest, WritesTheDocumentedLayoutWithCrLf) {
    const Block root = Parse(
        "{\r\nactor BODY:1\r\n{\r\nname\tBODY\r\nchannels\r\n{\r\ntargetGeom Blink\r\n{\r\nname "
        "Blink\r\n}\r\n}\r\n}\r\n}\r\n");
    EXPECT_EQ(WriteToString(root),
              "{\r\nactor BODY:1\r\n    {\r\n    name BODY\r\n    channels\r\n        {\r\n"
              "        targetGeom Blink\r\n            {\r\n            name Blink\r\n"
              "            }\r\n        }\r\n    }\r\n}\r\n");
}

TEST(WriterTest, RootWithoutBlockWritesNothingAndChildrenNeedHasBlock) {
    Block root;
    root.AppendChild().tag = "a";
    EXPECT_EQ(WriteToString(root), "");  // hasBlock 0: children are not written
    root.hasBlock = 1;
    EXPECT_EQ(WriteToString(root), "{\r\na\r\n}\r\n");
}

TEST(WriterTest, CountsProgressPerWrittenLine) {
    Block root = Parse("{\n{\nb\n}\na\n}\n");
    Progress progress;
    std::vector<int> seen;
    progress.hook = [&](int percent) { seen.push_back(percent); };
    progress.total = static_cast<double>(root.CountNodes());  // 4: root, the empty child, b, a
    std::FILE* sink = std::fopen("/dev/null", "wb");
    TextWriter writer(sink, TextWriter::LineEnds::CrLf);
    WriteTree(root, writer, &progress);
    EXPECT_TRUE(writer.Flush());
    std::fclose(sink);
    // Written lines: b, a; the empty-tag child and braces do not count.
    EXPECT_EQ(progress.count, 2);
    EXPECT_EQ(seen, (std::vector<int>{25, 50}));
}

TEST(WriterTest, TextWriterConvertsLineFeedsAndKeepsErrors) {
    char* bytes = nullptr;
    std::size_t size = 0;
    std::FILE* file = open_memstream(&bytes, &size);
    {
        TextWriter writer(file, TextWriter::LineEnds::CrLf);
        writer.Write("a\nb\n\n");
        writer.Write(std::string(200000, 'x') + "\n");  // longer than the buffer
        EXPECT_TRUE(writer.Flush());
    }
    std::fclose(file);
    const std::string text(bytes, size);
    std::free(bytes);
    EXPECT_EQ(text, "a\r\nb\r\n\r\n" + std::string(200000, 'x') + "\r\n");

    std::FILE* full = std::fopen("/dev/full", "wb");
    if (full == nullptr) {
        GTEST_SKIP() << "/dev/full is missing";
    }
    TextWriter failing(full, TextWriter::LineEnds::Lf);
    failing.Write(std::string(1 << 20, 'x'));
    EXPECT_FALSE(failing.Ok());
    failing.Write("more");
    EXPECT_FALSE(failing.Flush());
    std::fclose(full);
}

std::string WrittenThroughWriter(TextWriter::LineEnds ends,
                                 const std::function<void(TextWriter&)>& body) {
    char* bytes = nullptr;
    std::size_t size = 0;
    std::FILE* file = open_memstream(&bytes, &size);
    {
        TextWriter writer(file, ends);
        body(writer);
        EXPECT_TRUE(writer.Flush());
    }
    std::fclose(file);
    std::string text(bytes, size);
    std::free(bytes);
    return text;
}

TEST(WriterTest, LineFeedsOnEveryBufferBoundaryBecomeCrLf) {
    // Pieces of every length, line feeds everywhere, lines indented beyond the buffer size:
    // what comes out is exactly the input with each LF turned into CR LF.
    std::mt19937 random(11);
    std::string expected;
    std::string reference;
    const std::string written =
        WrittenThroughWriter(TextWriter::LineEnds::CrLf, [&](TextWriter& out) {
            for (int i = 0; i < 20000; ++i) {
                if (random() % 3 == 0) {
                    const std::size_t indent =
                        random() % 50 == 0 ? 70000 + random() % 70000 : random() % 40;
                    const std::string tag = random() % 10 == 0 ? "t\ag" : "tag";
                    const std::string data(random() % 30, random() % 7 == 0 ? '\n' : 'd');
                    out.WriteLine(indent, tag, data);
                    reference +=
                        std::string(indent, ' ') + tag + (data.empty() ? "" : " " + data) + "\n";
                } else {
                    std::string piece(random() % 3000, 'x');
                    for (char& c : piece) {
                        c = random() % 20 == 0 ? '\n' : c;
                    }
                    out.Write(piece);
                    reference += piece;
                }
            }
        });
    for (char c : reference) {
        expected += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    EXPECT_TRUE(written == expected) << "sizes " << written.size() << " and " << expected.size();
    EXPECT_EQ(WrittenThroughWriter(TextWriter::LineEnds::Lf,
                                   [](TextWriter& out) {
                                       out.WriteLine(2, "a", "b\nc");
                                       out.WriteLine(0, "", "ignored");
                                       out.Write("\n");
                                   }),
              "  a b\nc\n\n");
}

TEST(WriterTest, WriterWithoutFileIsFailed) {
    TextWriter writer(nullptr, TextWriter::LineEnds::Lf);
    writer.Write("x");
    EXPECT_FALSE(writer.Ok());
    EXPECT_FALSE(writer.Flush());
}

// --- Round trips ---

void ExpectRoundTrip(const std::string& text, const std::string& label) {
    const Block first = Parse(text);
    const std::string written = WriteToString(first);
    const Block second = Parse(written);
    EXPECT_EQ(Dump(second), Dump(first)) << label;
    EXPECT_EQ(WriteToString(second), written) << label << ": writing twice differs";
    EXPECT_EQ(second.CountNodes(), first.CountNodes()) << label;
    EXPECT_EQ(second.TextSize(), first.TextSize()) << label;
}

TEST(RoundTripTest, SnippetsLoadWriteLoadGiveTheSameTree) {
    ExpectRoundTrip("{\nversion\n{\nnumber 4\n}\nactor BODY:1\n{\nname BODY\n}\n}\n", "plain");
    ExpectRoundTrip("junk\r\n{ junk\r\n\ta  b\t c \r\n{\r\n}\r\n{\r\n{\r\nx\r\n", "odd");
    ExpectRoundTrip("{\n{\n{\n}\n}\n}\n", "empty lines with blocks");
    ExpectRoundTrip("{\n\xc3\xa9l\xc3\xa9ment d\xc3\xa9j\xc3\xa0 vu\n}\n", "high bytes");
}

TEST(RoundTripTest, RandomTextsSurviveLoadWriteLoad) {
    // Any text is a file: braces, blanks, control characters and high bytes in any order.
    std::mt19937 random(5);
    const char alphabet[] = "ab c{}{}\t\r\n\n\n\x01\x7f\xff:|";
    for (int round = 0; round < 300; ++round) {
        std::string text(random() % 2000, ' ');
        for (char& c : text) {
            c = alphabet[random() % (sizeof alphabet - 1)];
        }
        ExpectRoundTrip(text, "round " + std::to_string(round));
    }
}

TEST(RoundTripTest, CorpusFilesLoadWriteLoadGiveTheSameTree) {
    namespace fs = std::filesystem;
    const fs::path corpus(TESSARY_CORPUS_DIR);
    if (!fs::is_directory(corpus)) {
        GTEST_SKIP() << "no corpus at " << corpus;
    }
    int files = 0;
    for (const auto& entry : fs::directory_iterator(corpus)) {
        const std::string ext = entry.path().extension().string();
        if (ext != ".cr2" && ext != ".pz3" && ext != ".pz2" && ext != ".hd2" && ext != ".fc2") {
            continue;
        }
        std::string text;
        ASSERT_TRUE(ReadWholeFile(entry.path().string(), text));
        const Block tree = Parse(text);
        EXPECT_GT(tree.CountNodes(), 1) << entry.path();
        ExpectRoundTrip(text, entry.path().filename().string());
        ++files;
    }
    EXPECT_GT(files, 0);
}

// --- Whole files ---

class FileTest : public ::testing::Test {
  protected:

    std::string Slurp(const std::filesystem::path& path) {
        std::string text;
        EXPECT_TRUE(ReadWholeFile(path.string(), text));
        return text;
    }
    void Put(const std::filesystem::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    std::size_t EntriesInDir() {
        std::size_t n = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir)) {
            ++n;
        }
        return n;
    }

    test::ScratchDir scratch;
    std::filesystem::path dir = scratch.Path();
};

TEST_F(FileTest, ReadWholeFileReadsEveryByte) {
    const std::string bytes("a\0b\xff\r\n", 6);
    Put(dir / "f.cr2", bytes);
    EXPECT_EQ(Slurp(dir / "f.cr2"), bytes);
    Put(dir / "empty.cr2", "");
    EXPECT_EQ(Slurp(dir / "empty.cr2"), "");
    std::string text = "unchanged";
    EXPECT_FALSE(ReadWholeFile((dir / "missing.cr2").string(), text));
    EXPECT_FALSE(ReadWholeFile(dir.string(), text));  // a folder
    EXPECT_EQ(text, "unchanged");
    // A file that reports no size is read to its end all the same.
    ASSERT_TRUE(ReadWholeFile("/proc/self/status", text));
    EXPECT_NE(text.find("Name:"), std::string::npos);
}

TEST_F(FileTest, AtomicWriteReplacesTheTargetAndKeepsItsMode) {
    const auto target = dir / "out.cr2";
    Put(target, "old");
    std::filesystem::permissions(target, std::filesystem::perms(0640));
    EXPECT_TRUE(WriteFileAtomically(target.string(), TextWriter::LineEnds::CrLf,
                                    [](TextWriter& out) { out.Write("{\n}\n"); }));
    EXPECT_EQ(Slurp(target), "{\r\n}\r\n");
    EXPECT_EQ(std::filesystem::status(target).permissions(), std::filesystem::perms(0640));
    EXPECT_EQ(EntriesInDir(), 1u) << "no temporary file left behind";

    EXPECT_TRUE(WriteFileAtomically((dir / "new.obj").string(), TextWriter::LineEnds::Lf,
                                    [](TextWriter& out) { out.Write("v 1\n"); }));
    EXPECT_EQ(Slurp(dir / "new.obj"), "v 1\n");
}

TEST_F(FileTest, FailedWritesLeaveTheTargetAlone) {
    const auto target = dir / "keep.cr2";
    Put(target, "original");
    auto body = [](TextWriter& out) { out.Write("replacement\n"); };

    std::string reason;
    EXPECT_FALSE(WriteFileAtomically((dir / "missing" / "x.cr2").string(),
                                     TextWriter::LineEnds::CrLf, body, &reason));
    EXPECT_EQ(reason, "No such file or directory");
    // The target is a folder: the rename fails after a complete temporary file.
    std::filesystem::create_directory(dir / "folder.cr2");
    EXPECT_FALSE(WriteFileAtomically((dir / "folder.cr2").string(), TextWriter::LineEnds::CrLf,
                                     body, &reason));
    EXPECT_EQ(reason, "Is a directory");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder.cr2"));
    EXPECT_EQ(Slurp(target), "original");
    EXPECT_EQ(EntriesInDir(), 2u) << "no temporary file left behind";
}

TEST_F(FileTest, WriteThatRunsOutOfSpaceLeavesTheTargetAlone) {
    // The disk is "full" after 64 KiB, in the middle of the write.
    const auto target = dir / "keep.cr2";
    Put(target, "original");
    std::string reason;
    const bool ok = WriteFileAtomically(
        target.string(), TextWriter::LineEnds::CrLf,
        [](TextWriter& out) {
            for (int i = 0; i < 100000; ++i) {
                out.Write("line of text\n");
            }
        },
        &reason, test::FailAfter(64 * 1024, EFBIG));
    EXPECT_FALSE(ok);
    EXPECT_EQ(reason, "File too large");  // the first failing write names it, not the clean-up
    EXPECT_EQ(Slurp(target), "original");
    EXPECT_EQ(EntriesInDir(), 1u) << "no temporary file left behind";
}

TEST_F(FileTest, LoadSaveLoadThroughFiles) {
    const auto source = dir / "in.pz2";
    Put(source,
        "version\n{\n\tactor hip:2\n\t{\n\tchannels\n\t\t{\n\t\trotateX xrot\n\t\t}\n\t}\n}\n");
    std::string text = Slurp(source);
    Block root;
    ASSERT_TRUE(ParseFileText(text, root));
    const auto target = dir / "out.pz2";
    ASSERT_TRUE(WriteFileAtomically(target.string(), TextWriter::LineEnds::CrLf,
                                    [&](TextWriter& out) { WriteTree(root, out); }));
    std::string written = Slurp(target);
    Block again;
    ParseFileText(written, again);
    EXPECT_EQ(Dump(again), Dump(root));
    EXPECT_EQ(Slurp(target), WriteToString(root));
}

}  // namespace
}  // namespace tessary

namespace tessary {
namespace {

std::vector<std::string> ReadAllLinesFromFile(const std::string& text,
                                              Progress* progress = nullptr) {
    std::FILE* file = std::tmpfile();
    std::fwrite(text.data(), 1, text.size(), file);
    std::rewind(file);
    LineSource source(file, progress);
    std::vector<std::string> lines;
    std::string_view line;
    while (source.ReadLine(line)) {
        lines.emplace_back(line);
    }
    EXPECT_FALSE(source.ReadLine(line));
    EXPECT_FALSE(source.Failed());
    std::fclose(file);
    return lines;
}

TEST(FileLineSourceTest, GivesTheSameLinesAsTheWholeText) {
    // Texts larger than the piece the source reads at a time, with line ends, control
    // characters and blanks falling on every kind of boundary.
    std::mt19937 random(7);
    const char alphabet[] = "ab {}\t\r\n\r\n  \x01\xff";
    for (int round = 0; round < 20; ++round) {
        std::string text;
        const std::size_t size = 100000 + random() % 900000;
        while (text.size() < size) {
            if (random() % 5000 == 0) {
                text.append(300000 + random() % 300000, 'x');  // longer than a piece
            } else {
                text += alphabet[random() % (sizeof alphabet - 1)];
            }
        }
        if (round % 4 == 3) {
            text[text.size() / 2] = '\0';
        }
        EXPECT_EQ(ReadAllLinesFromFile(text), ReadAllLines(text)) << "round " << round;
    }
    EXPECT_EQ(ReadAllLinesFromFile(""), std::vector<std::string>{});
}

TEST(FileLineSourceTest, ReportsPercentOfTheFileOffset) {
    std::string text;
    for (int i = 0; i < 100000; ++i) {
        text += "line number " + std::to_string(i) + "\r\n";
    }
    std::vector<int> fromFile;
    std::vector<int> fromText;
    Progress progress;
    progress.total = static_cast<double>(text.size());
    progress.hook = [&](int percent) { fromFile.push_back(percent); };
    ReadAllLinesFromFile(text, &progress);
    progress.hook = [&](int percent) { fromText.push_back(percent); };
    ReadAllLines(text, &progress);
    EXPECT_EQ(fromFile, fromText);
    EXPECT_EQ(fromFile.back(), 99);
    // The hook hears each percentage once, not once a line.
    EXPECT_EQ(fromFile.size(), 100u);
    EXPECT_TRUE(std::is_sorted(fromFile.begin(), fromFile.end()));
}

TEST_F(FileTest, ReadFileTreeLoadsLikeParseFileText) {
    const auto source = dir / "in.cr2";
    std::string text = "junk\n{\nactor BODY:1\n{\nname\tBODY\n}\n}\ntrailing\n";
    Put(source, text);
    Block root;
    Progress progress;
    ASSERT_TRUE(ReadFileTree(source.string(), root, &progress));
    EXPECT_EQ(progress.total, static_cast<double>(text.size()));
    EXPECT_EQ(Dump(root), Dump(Parse(text)));
    EXPECT_EQ(root.hasBlock, 1);

    const std::string before = Dump(root);
    std::string reason;
    EXPECT_FALSE(ReadFileTree((dir / "missing.cr2").string(), root, nullptr, &reason));
    EXPECT_EQ(reason, "No such file or directory");
    EXPECT_FALSE(ReadFileTree(dir.string(), root, nullptr, &reason));
    EXPECT_EQ(reason, "Is a directory");
    EXPECT_EQ(Dump(root), before);
}

TEST_F(FileTest, ReadFileTreeRefusesNestingBeyondTheLimit) {
    // The file's own "{" is level 1; kMaxFileNesting levels load, one more is refused.
    auto nested = [](std::size_t levels) {
        std::string text;
        for (std::size_t i = 0; i < levels; ++i) {
            text += "{\n";
        }
        return text + "leaf\n";
    };
    Put(dir / "deepest.cr2", nested(kMaxFileNesting));
    Put(dir / "too-deep.cr2", nested(kMaxFileNesting + 1));
    Block root;
    ASSERT_TRUE(ReadFileTree((dir / "deepest.cr2").string(), root));
    EXPECT_EQ(root.CountNodes(), static_cast<long long>(kMaxFileNesting) + 1);
    const std::string before = Dump(root);
    std::string reason;
    EXPECT_FALSE(ReadFileTree((dir / "too-deep.cr2").string(), root, nullptr, &reason));
    EXPECT_EQ(reason, "brace blocks nested deeper than 1000 levels");
    EXPECT_EQ(Dump(root), before);
}

TEST_F(FileTest, LargeTextParsesTheSameFromMemoryAndFromFile) {
    // Several megabytes, so that the memory of delivered lines is handed back mid-parse.
    std::string text = "{\r\n";
    for (int actor = 0; actor < 400; ++actor) {
        text += "actor part" + std::to_string(actor) + ":1\r\n\t{\r\n\tchannels\r\n\t\t{\r\n";
        for (int d = 0; d < 300; ++d) {
            text += "\t\t\td " + std::to_string(d) + " 0.001234 -0.005678 0.009012\r\n";
        }
        text += "\t\t}\r\n\t}\r\n";
    }
    text += "}\r\n";
    ASSERT_GT(text.size(), 4u << 20);
    Put(dir / "big.cr2", text);

    Block fromFile;
    ASSERT_TRUE(ReadFileTree((dir / "big.cr2").string(), fromFile));
    Block fromText;
    std::string consumed = text;
    ASSERT_TRUE(ParseFileText(consumed, fromText));
    EXPECT_TRUE(consumed.empty());
    EXPECT_EQ(fromText.CountNodes(), 1 + 400 * 302);
    EXPECT_TRUE(Dump(fromText) == Dump(fromFile));
    EXPECT_EQ(fromText.children.back().children[0].children.back().data,
              "299 0.001234 -0.005678 0.009012");
}

}  // namespace
}  // namespace tessary
