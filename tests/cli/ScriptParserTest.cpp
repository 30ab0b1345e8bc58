#include "cli/ScriptParser.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tessary {
namespace {

using Words = std::vector<std::string>;

TEST(SplitWords, SeparatesOnSpacesAndTabsAndKeepsQuotedBlanks) {
    struct Case {
        const char* line;
        Words words;
    };
    const Case cases[] = {
        {"load left a.cr2", {"load", "left", "a.cr2"}},
        {"  menu\tleft \t x  ", {"menu", "left", "x"}},
        {R"(menu left "lHand/MORPH TARGETS/Blink" Copy)",
         {"menu", "left", "lHand/MORPH TARGETS/Blink", "Copy"}},
        {R"(rename left x "say \"hi\"")", {"rename", "left", "x", "say \"hi\""}},
        {R"("back\\slash" "")", {"back\\slash", ""}},
        // A backslash before anything else stays as it is.
        {R"("a\b")", {"a\\b"}},
        // Quoted parts anywhere inside a word, as in a shell.
        {R"(menu left BODY/"MORPH TARGETS"/Blink x)",
         {"menu", "left", "BODY/MORPH TARGETS/Blink", "x"}},
        {R"(a"b c"d"" e""f ""g)", {"ab cd", "ef", "g"}},
    };
    for (const Case& c : cases) {
        std::string error;
        auto words = SplitWords(c.line, error);
        ASSERT_TRUE(words) << c.line;
        EXPECT_EQ(*words, c.words) << c.line;
    }
}

TEST(SplitWords, RefusesAnUnterminatedQuote) {
    std::string error;
    EXPECT_FALSE(SplitWords(R"(rename left x "open)", error));
    EXPECT_FALSE(error.empty());
}

TEST(ParseScript, SkipsBlankAndCommentLinesAndKeepsLineNumbers) {
    std::istringstream in(
        "# a comment\n\n   \t\nload left a.cr2\r\n  # indented comment\nshow left\n");
    std::vector<ScriptLine> lines;
    std::string error;
    int errorLine = 0;
    ASSERT_TRUE(ParseScript(in, lines, error, errorLine));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].number, 4);
    EXPECT_EQ(lines[0].words, (Words{"load", "left", "a.cr2"}));
    EXPECT_EQ(lines[1].number, 6);
}

TEST(ParseScript, ReportsTheLineOfAMalformedWord) {
    std::istringstream in("show left\nrename left x \"open\n");
    std::vector<ScriptLine> lines;
    std::string error;
    int errorLine = 0;
    EXPECT_FALSE(ParseScript(in, lines, error, errorLine));
    EXPECT_EQ(errorLine, 2);
}

TEST(ParseScript, RefusesANulByteEvenInAComment) {
    for (const std::string& text :
         {std::string("show left\nstate le\0ft\n", 22), std::string("show left\n# note\0\n", 18)}) {
        std::istringstream in(text);
        std::vector<ScriptLine> lines;
        std::string error;
        int errorLine = 0;
        EXPECT_FALSE(ParseScript(in, lines, error, errorLine));
        EXPECT_EQ(errorLine, 2);
        EXPECT_EQ(error, "a NUL byte in the script");
        EXPECT_EQ(lines.size(), 1u);  // the line before it, to run before the run stops
    }
}

TEST(SplitItemPath, EscapedSlashStaysInsideALabel) {
    EXPECT_EQ(SplitItemPath("lHand/MORPH TARGETS/Blink"),
              (Words{"lHand", "MORPH TARGETS", "Blink"}));
    EXPECT_EQ(SplitItemPath(R"(head/MORPH TARGETS/Up\/Down)"),
              (Words{"head", "MORPH TARGETS", "Up/Down"}));
    EXPECT_EQ(SplitItemPath("BODY"), (Words{"BODY"}));
}

}  // namespace
}  // namespace tessary
