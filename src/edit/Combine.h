#pragma once

#include <functional>
#include <string>
#include <vector>

#include "model/Block.h"
#include "platform/CombineChoice.h"

namespace tessary {

class FigureFile;

// The data of every "targetGeom" child of a body part's "channels" Block, in file order: the
// entries the Combine dialog lists, the n-th standing for the n-th "targetGeom" child.
std::vector<std::string> MorphTargetNames(const Block& channels);

// The new morph target that combining the chosen morph targets of `channels` gives: per vertex,
// the sum of each chosen target's offsets times its value (negated for Subtract), over as many
// vertices as the first chosen target's "numbDeltas" says. Vertices whose sum is exactly zero
// are left out, and deltas of vertices the first target does not have are ignored. Every chosen
// entry counts; the summing stops at the first index that names no "targetGeom" child.
//
// `progress`, when set, is given the progress position each time it changes. Memory grows
// with the vertex numbers the deltas use, not with a "numbDeltas" claim; std::bad_alloc leaves
// nothing behind.
Block BuildCombinedMorphTarget(const Block& channels, const CombineChoice& choice,
                               const std::function<void(int)>& progress = {});

// The Combine dialog on the morph targets of `bodyPart` (a body part or prop of `file`),
// `label` shown at its top; with two or more chosen, their weighted sum becomes the first
// channel, the file is marked modified and its tree rebuilt. Returns 1 when a morph target was
// added, 0 otherwise (no "channels", Cancel, fewer than two).
int CombineMorphTargets(FigureFile& file, Block& bodyPart, const std::string& label);

}  // namespace tessary
