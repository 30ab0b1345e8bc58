#pragma once

namespace tessary {

class FigureFile;

// The material list of a character lives in its first top-level "figure" block: one "material"
// child per material and, in files that have them, a matching "presetMaterial" child. These two
// bring that list in line with the materials the attached OBJ file uses ("usemtl" names). Both
// look only at the figure block's direct children and compare names exactly; without an
// attached OBJ file or without a "figure" block they change nothing. The tree view is not
// rebuilt: material lines are not shown in a pane.

// Removes every "material" and "presetMaterial" child, with its whole block, whose name the OBJ
// file does not use; a material named "Preview" always stays.
// Both return whether they changed the list.
bool RemoveUnusedMaterials(FigureFile& file);

// For every OBJ material without a "material" child of that name, adds a default material block
// directly after the first "material" child and, tagged "presetMaterial", directly after the
// first "presetMaterial" child (each only when that first child exists). Every new block goes
// right after the same first child, so several added materials end up in reverse order.
bool AddMissingMaterials(FigureFile& file);

}  // namespace tessary
