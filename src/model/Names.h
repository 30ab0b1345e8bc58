#pragma once

#include <string_view>

namespace tessary {

// Names may carry a figure-number suffix after their last ":" ("BODY:3").

// The text before the last ":", or the whole name.
std::string_view BaseName(std::string_view name);
// The text after the last ":", or empty.
std::string_view NameSuffix(std::string_view name);
// The path without its last "|"-separated segment; empty for a one-segment path.
std::string_view PathParent(std::string_view path);

// False for a text that cannot stand in a tag or data of a line: one holding "{" or "}" (a line
// with either anywhere opens or closes a block when the file is read back), a line break or a
// NUL (either ends the line).
bool FitsInLine(std::string_view text);

}  // namespace tessary
