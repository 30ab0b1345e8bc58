#pragma once

#include <string_view>

#include "platform/TreeControl.h"

namespace tessary {

class FigureFile;

// Renames the morph target, channel or prop behind `item` of `file`; `newName` is trimmed and
// not empty. Sets `modified`.
void RenameItem(FigureFile& file, TreeItem item, std::string_view newName);

}  // namespace tessary
