#pragma once

#include <vector>

#include "pane/FigureFile.h"

namespace tessary {

// The automatic repairs a pane's Save runs before writing, in their order, each tied to its
// preference copy: storage offsets (autoFixStorageOffset), unused materials
// (autoRemoveMaterials), missing materials (autoAddMaterials).
std::vector<FigureFile::SaveRepair> SaveTimeRepairs();

}  // namespace tessary
