#include "cli/ScriptParser.h"

#include <utility>

namespace tessary {

namespace {
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
}  // namespace

std::optional<std::vector<std::string>> SplitWords(std::string_view line, std::string& error) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (true) {
        while (i < line.size() && IsBlank(line[i])) {
            ++i;
        }
        if (i >= line.size()) {
            break;
        }
        // A word runs to the next blank outside quotes; quoted parts may stand anywhere in it
        // (BODY/"MORPH TARGETS"/Blink), as in a shell.
        std::string word;
        while (i < line.size() && !IsBlank(line[i])) {
            char c = line[i++];
            if (c != '"') {
                word += c;
                continue;
            }
            bool closed = false;
            while (i < line.size()) {
                c = line[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c == '\\' && i < line.size() && (line[i] == '"' || line[i] == '\\')) {
                    c = line[i++];
                }
                word += c;
            }
            if (!closed) {
                error = "unterminated quoted word";
                return std::nullopt;
            }
        }
        words.push_back(std::move(word));
    }
    return words;
}

bool ReadScriptLine(std::istream& in, int& number, ScriptLine& line, std::string& error) {
    error.clear();
    std::string text;
    while (std::getline(in, text)) {
        ++number;
        if (!text.empty() && text.back() == '\r') {
            text.pop_back();
        }
        if (text.find('\0') != std::string::npos) {
            error = "a NUL byte in the script";
            line = {number, {}};
            return true;
        }
        std::size_t first = text.find_first_not_of(" \t");
        if (first == std::string::npos || text[first] == '#') {
            continue;
        }
        std::optional<std::vector<std::string>> words = SplitWords(text, error);
        line = {number, words ? std::move(*words) : std::vector<std::string>()};
        return true;
    }
    return false;
}

bool ParseScript(std::istream& in, std::vector<ScriptLine>& lines, std::string& error,
                 int& errorLine) {
    int number = 0;
    ScriptLine line;
    while (ReadScriptLine(in, number, line, error)) {
        if (!error.empty()) {
            errorLine = line.number;
            return false;
        }
        lines.push_back(std::move(line));
    }
    return true;
}

std::vector<std::string> SplitItemPath(std::string_view path) {
    std::vector<std::string> labels(1);
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] == '\\' && i + 1 < path.size() && path[i + 1] == '/') {
            labels.back() += '/';
            ++i;
        } else if (path[i] == '/') {
            labels.emplace_back();
        } else {
            labels.back() += path[i];
        }
    }
    return labels;
}

}  // namespace tessary
