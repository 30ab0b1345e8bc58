#pragma once

#include <string>

#include "pane/FigureFile.h"

namespace tessary {

// The one-line reports of what a command did, as the window's status line shows them. Both
// faces build them from the same results, so they read the same wherever they are shown.

// 1204 -> "1,204".
std::string GroupedNumber(long long number);

// "Loaded figure.cr2", or for a file whose tree did not take all of it "Read 1,204 of 1,260
// lines; the rest is not part of the file's tree" (and the like for blocks left unclosed).
std::string LoadedText(const FigureFile& file);
// "Saved pose.pz2".
std::string SavedText(const FigureFile& file);
// "Attached figure.obj: 54 groups, 3 materials"; "Could not read figure.obj" when the pane
// has no geometry after the attempt.
std::string AttachedText(const FigureFile& file);
// "Copied 12 morph targets to lHand", "Copied prop box_1", "Nothing was copied".
std::string CopiedText(const FigureFile::CopyRecord& copy);
// "1 morph target", "12 morph targets".
std::string CountOf(long long count, const char* singular, const char* plural);

}  // namespace tessary
