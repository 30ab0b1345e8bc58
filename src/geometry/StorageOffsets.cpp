#include "geometry/StorageOffsets.h"

#include "pane/FigureFile.h"

namespace tessary {

bool RepairStorageOffsets(FigureFile& file) {
    // Both tags in one walk of the tree: a large figure has millions of lines.
    return file.root.SetDataWhereTag({"storageOffset", "setGeomHandlerOffset"}, "0 0 0");
}

}  // namespace tessary
