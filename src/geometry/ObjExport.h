#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "geometry/ObjMesh.h"
#include "platform/TreeControl.h"

namespace tessary {

class Block;
class FigureFile;
struct MorphDeltas;

// The offset of every vertex a morph target moves, indexed by vertex number: `numbDeltas`
// entries, at most `limit` (entries past the group's vertices would never be used), each set
// by the delta that names it (the last one wins). Deltas naming a vertex outside the table are
// skipped.
std::vector<ObjPoint> BuildOffsetTable(const MorphDeltas& deltas, std::int64_t numbDeltas,
                                       std::size_t limit);

// Exports the morph target behind `item` as its body part's OBJ group with the offsets added,
// or, for an "actor" item, the body part's group as it is. Returns 1 when a file was written.
int ExportMorphTarget(FigureFile& file, TreeItem item);
// Exports the group `groupName` of the pane's ObjMesh, moved by `morphTarget` (or unmoved when
// it is none), to a file named by the save dialog or, with AutoName, after the morph target or
// group in the current directory. Returns 1 when a file was written. Without such a group it
// says so ("OBJ Export") before any dialog and writes nothing.
int ExportGroup(FigureFile& file, const Block* morphTarget, std::string_view groupName);
// Writes the inline geometry ("geomCustom") of the prop behind `item` as OBJ text; lines of
// other statements become comments. Returns 1 when a file was written.
int ExportProp(FigureFile& file, TreeItem item);
// ExportMorphTarget for every morph target of the actor or prop behind `ownerItem`; a missing
// group is reported once for all of them.
void ExportAllMorphTargets(FigureFile& file, TreeItem ownerItem);
// ExportProp for every prop with a "parent" line naming the actor behind `actorItem` (same
// figure number), from the last one in the file to the first.
void ExportAllProps(FigureFile& file, TreeItem actorItem);

// A morph target's or group's name made usable as a file name of its own: path separators,
// the characters a file system refuses ("*?\"<>|:") and control characters become "_".
std::string SafeFileName(std::string_view name);

}  // namespace tessary
