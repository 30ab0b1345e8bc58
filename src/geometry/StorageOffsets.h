#pragma once

namespace tessary {

class FigureFile;

// Resets the data of every "storageOffset" line of the file, at any depth, to "0 0 0", and then
// that of every "setGeomHandlerOffset" line; a figure-number suffix after the data's last ":"
// is kept. Tags are compared exactly ("StorageOffset" stays as it is). The `modified` flag is
// left alone. Returns whether a line changed.
bool RepairStorageOffsets(FigureFile& file);

}  // namespace tessary
