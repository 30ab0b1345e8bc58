#include "geometry/SaveRepairs.h"

#include "geometry/MaterialList.h"
#include "geometry/StorageOffsets.h"

namespace tessary {

std::vector<FigureFile::SaveRepair> SaveTimeRepairs() {
    return {
        {&FigureFile::autoFixStorageOffset, [](FigureFile& file) { RepairStorageOffsets(file); }},
        {&FigureFile::autoRemoveMaterials, [](FigureFile& file) { RemoveUnusedMaterials(file); }},
        {&FigureFile::autoAddMaterials, [](FigureFile& file) { AddMissingMaterials(file); }},
    };
}

}  // namespace tessary
