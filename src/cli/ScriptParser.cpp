#include "cli/ScriptParser.h"

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

bool ParseScript(std::istream& in, std::vector<ScriptLine>& lines, std::string& error,
                 int& errorLine) {
    std::string text;
    int number = 0;
    while (std::getline(in, text)) {
        ++number;
        if (!text.empty() && text.back() == '\r') {
            text.pop_back();
        }
        // A NUL cannot stand in a file name or a label: the script is damaged or not a script.
        if (text.find('\0') != std::string::npos) {
            error = "a NUL byte in the script";
            errorLine = number;
            return false;
        }
        std::size_t first = text.find_first_not_of(" \t");
        if (first == std::string::npos || text[first] == '#') {
            continue;
        }
        std::optional<std::vector<std::string>> words = SplitWords(text, error);
        if (!words) {
            errorLine = number;
            return false;
        }
        lines.push_back({number, std::move(*words)});
    }
    return true;
}

namespace {
bool IsNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}
}  // namespace

bool FillValues(std::vector<ScriptLine>& lines, const std::map<std::string, std::string>& values,
                std::string& error, int& errorLine) {
    for (ScriptLine& line : lines) {
        for (std::string& word : line.words) {
            std::string filled;
            std::size_t i = 0;
            while (i < word.size()) {
                std::size_t end = i + 2;
                while (end < word.size() && IsNameCharacter(word[end])) {
                    ++end;
                }
                const bool reference = word.compare(i, 2, "${") == 0 && end > i + 2 &&
                                       end < word.size() && word[end] == '}';
                if (!reference) {
                    filled += word[i++];
                    continue;
                }
                const std::string name = word.substr(i + 2, end - i - 2);
                const auto value = values.find(name);
                if (value == values.end()) {
                    error = "no value for ${" + name + "} (give one with --set " + name + "=VALUE)";
                    errorLine = line.number;
                    return false;
                }
                filled += value->second;
                i = end + 1;
            }
            word = std::move(filled);
        }
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
