#include "geometry/SaveRepairs.h"

#include "geometry/MaterialList.h"
#include "geometry/StorageOffsets.h"

namespace tessary {

std::vector<FigureFile::SaveRepair> SaveTimeRepairs() {
    return {
        {&FigureFile::autoFixStorageOffset, RepairStorageOffsets},
        {&FigureFile::autoRemoveMaterials, RemoveUnusedMaterials},
        {&FigureFile::autoAddMaterials, AddMissingMaterials},
    };
}

}  // namespace tessary
