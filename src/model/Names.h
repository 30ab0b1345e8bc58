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

}  // namespace tessary
