#include "pane/FigureFile.h"

namespace tessary {

// The OBJ geometry a pane can hold. Until the OBJ reader gives it its lists of groups, vertices
// and faces, a pane can only be without one; this keeps FigureFile's owner complete.
struct ObjMesh {};

void ObjMeshDeleter::operator()(ObjMesh* mesh) const {
    delete mesh;
}

}  // namespace tessary
