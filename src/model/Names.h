#pragma once

#include <string>
#include <string_view>

namespace tessary {

// Names may carry a figure-number suffix after their last ":" ("BODY:3").

// The text before the last ":", or the whole name.
std::string_view BaseName(std::string_view name);
// The text after the last ":", or empty.
std::string_view NameSuffix(std::string_view name);
// The path without its last "|"-separated segment; empty for a one-segment path.
std::string_view PathParent(std::string_view path);

// ASCII letter case: extensions, OBJ keywords and OBJ group and material names are compared
// without it; every other byte compares as it is, whatever the locale.
inline char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
std::string LowerAscii(std::string_view text);
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace tessary
