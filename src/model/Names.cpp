#include "model/Names.h"

namespace tessary {

namespace {

bool NeedsEscape(char c) {
    return c == '|' || c == '\\';
}

void AppendEscaped(std::string& out, std::string_view text) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (NeedsEscape(text[i])) {
            out.append(text.substr(start, i - start)).append(1, '\\');
            start = i;
        }
    }
    out.append(text.substr(start));
}

// Matches `text` (raw) against the escaped segment from `at`; moves `at` past it.
bool MatchEscaped(std::string_view segment, std::size_t& at, std::string_view text) {
    for (char c : text) {
        if (NeedsEscape(c)) {
            if (at >= segment.size() || segment[at] != '\\') {
                return false;
            }
            ++at;
        }
        if (at >= segment.size() || segment[at] != c) {
            return false;
        }
        ++at;
    }
    return true;
}

}  // namespace

std::string_view BaseName(std::string_view name) {
    const std::size_t colon = name.rfind(':');
    return colon == std::string_view::npos ? name : name.substr(0, colon);
}

std::string_view NameSuffix(std::string_view name) {
    const std::size_t colon = name.rfind(':');
    return colon == std::string_view::npos ? std::string_view() : name.substr(colon + 1);
}

std::string RenamedName(std::string_view newName, std::string_view oldName) {
    std::string renamed(newName);
    const std::string_view suffix = NameSuffix(oldName);
    if (!suffix.empty()) {
        renamed.append(1, ':').append(suffix);
    }
    return renamed;
}

std::string_view PathParent(std::string_view path) {
    std::size_t last = std::string_view::npos;
    for (std::size_t bar = FindPathSeparator(path); bar != std::string_view::npos;
         bar = FindPathSeparator(path, bar + 1)) {
        last = bar;
    }
    return last == std::string_view::npos ? std::string_view() : path.substr(0, last);
}

void AppendPathSegment(std::string& path, std::string_view tag, std::string_view data) {
    if (!path.empty()) {
        path.append(1, '|');
    }
    AppendEscaped(path, tag);
    path.append(1, ' ');
    AppendEscaped(path, data);
}

std::size_t FindPathSeparator(std::string_view path, std::size_t from) {
    for (std::size_t i = from; i < path.size(); ++i) {
        if (path[i] == '\\') {
            ++i;  // the escaped character
        } else if (path[i] == '|') {
            return i;
        }
    }
    return std::string_view::npos;
}

bool PathSegmentIs(std::string_view segment, std::string_view tag, std::string_view data) {
    std::size_t at = 0;
    if (!MatchEscaped(segment, at, tag) || at >= segment.size() || segment[at] != ' ') {
        return false;
    }
    ++at;
    return MatchEscaped(segment, at, data) && at == segment.size();
}

std::string PathSegmentText(std::string_view segment) {
    std::string text;
    text.reserve(segment.size());
    for (std::size_t i = 0; i < segment.size(); ++i) {
        if (segment[i] == '\\' && i + 1 < segment.size()) {
            ++i;
        }
        text.append(1, segment[i]);
    }
    return text;
}

std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = LowerAscii(c);
    }
    return lower;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

bool FitsInLine(std::string_view text) {
    return text.find_first_of(std::string_view("{}\r\n\0", 5)) == std::string_view::npos;
}

}  // namespace tessary
