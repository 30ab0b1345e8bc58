#include "geometry/StorageOffsets.h"

#include "pane/FigureFile.h"

namespace tessary {

void RepairStorageOffsets(FigureFile& file) {
    file.root.SetDataWhereTag("storageOffset", "0 0 0");
    file.root.SetDataWhereTag("setGeomHandlerOffset", "0 0 0");
}

}  // namespace tessary
