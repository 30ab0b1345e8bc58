#pragma once

#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessary {

// One action of a session script: its words and the line it stands on.
struct ScriptLine {
    int number = 0;
    std::vector<std::string> words;
};

// Splits one script line into words: blanks (spaces, tabs) separate words; double quotes
// around a word or any part of it keep blanks inside it, with \" for a quote and \\ for a
// backslash. Returns nothing and sets `error` for an unterminated quote.
std::optional<std::vector<std::string>> SplitWords(std::string_view line, std::string& error);

// Reads the next action line of a script, skipping blank lines and lines whose first non-blank
// is "#"; `number` counts the lines read so far. Returns false at the end of the script. A
// malformed line (an unterminated quote, a NUL byte anywhere in it) returns true with `error`
// set and `line` holding its number.
bool ReadScriptLine(std::istream& in, int& number, ScriptLine& line, std::string& error);

// Reads a whole script with ReadScriptLine. On a malformed line returns false with `error` and
// `errorLine` set.
bool ParseScript(std::istream& in, std::vector<ScriptLine>& lines, std::string& error,
                 int& errorLine);

// Splits an item path "lHand/MORPH TARGETS/Blink" into labels; "\/" stands for a "/".
std::vector<std::string> SplitItemPath(std::string_view path);

}  // namespace tessary
