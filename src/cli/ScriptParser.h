#pragma once

#include <istream>
#include <map>
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

// Reads a whole script; blank lines and lines whose first non-blank is "#" are skipped.
// On a malformed line (an unterminated quote, a NUL byte anywhere in it) returns false with
// `error` and `errorLine` set; the lines before it stay in `lines`, so that they can run
// before the run stops there.
bool ParseScript(std::istream& in, std::vector<ScriptLine>& lines, std::string& error,
                 int& errorLine);

// Replaces every ${NAME} (NAME of letters, digits and "_") inside the words of `lines` by its
// value, as given with run --set; the value is taken as it is and stays part of its word. A
// ${NAME} without a value sets `error` and `errorLine` and returns false. Other "$" text stays.
bool FillValues(std::vector<ScriptLine>& lines, const std::map<std::string, std::string>& values,
                std::string& error, int& errorLine);

// Splits an item path "lHand/MORPH TARGETS/Blink" into labels; "\/" stands for a "/".
std::vector<std::string> SplitItemPath(std::string_view path);

}  // namespace tessary
