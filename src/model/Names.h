#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tessary {

// Names may carry a figure-number suffix after their last ":" ("BODY:3").

// The text before the last ":", or the whole name.
std::string_view BaseName(std::string_view name);
// The text after the last ":", or empty.
std::string_view NameSuffix(std::string_view name);
// The new name of a renamed `oldName`: `newName` with the old name's suffix, or alone when the
// old name has none (a name ending in ":" has an empty suffix, so "box:" becomes "Crate").
std::string RenamedName(std::string_view newName, std::string_view oldName);

// Paths name a Block by the segments "tag data" of its ancestors, joined by "|". A "|" or "\"
// inside a tag or data is written with a "\" before it, so that a morph target named "x|y" is
// one segment; a path of names without either character reads as plain text.

// The path without its last segment; empty for a one-segment path.
std::string_view PathParent(std::string_view path);
// Appends the segment of a Block's tag and data (escaped) to `path`, after a "|" unless the
// path is empty.
void AppendPathSegment(std::string& path, std::string_view tag, std::string_view data);
// The position of the first "|" between segments at or after `from`, or npos.
std::size_t FindPathSeparator(std::string_view path, std::size_t from = 0);
// Whether an (escaped) segment names the line "tag data".
bool PathSegmentIs(std::string_view segment, std::string_view tag, std::string_view data);
// The line text "tag data" that an (escaped) segment names.
std::string PathSegmentText(std::string_view segment);

// ASCII letter case: extensions, OBJ keywords and OBJ group and material names are compared
// without it; every other byte compares as it is, whatever the locale.
inline char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
std::string LowerAscii(std::string_view text);
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// False for a text that cannot stand in a tag or data of a line: one holding "{" or "}" (a line
// with either anywhere opens or closes a block when the file is read back), a line break or a
// NUL (either ends the line).
bool FitsInLine(std::string_view text);

}  // namespace tessary
