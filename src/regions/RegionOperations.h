#pragma once

#include <string_view>

#include "platform/RegionOptions.h"
#include "regions/BodyRegions.h"

namespace tessary {

class FigureFile;

// The region menu's operations on `file`, the file of the pane whose More Options button was
// pressed; copies go to its otherPane. Body parts the file lacks are skipped silently. Every
// change marks the file it changes as modified (the copy operations mark the other file).

// The region dialog; on OK with a chosen entry, ApplyRegion.
void RunRegionDialog(FigureFile& file);

// Applies the region's lists in order, leaving out those the flags leave alone, then
// refreshes the other pane's tree after a copy (zeroing refreshes nothing). A region number
// outside the table applies nothing.
void ApplyRegion(FigureFile& file, const RegionOptions& options);

// ApplyToActor for each name of `list`, in order.
void ApplyToActorList(FigureFile& file, BodyPartList list, bool copy, bool leaveMorphTargets);

// The first top-level actor whose base name is `name`: its other channels, then (unless left
// alone) its morph targets, copied to the other file or zeroed. Later actors of that base
// name are left alone.
void ApplyToActor(FigureFile& file, std::string_view name, bool copy, bool leaveMorphTargets);

enum class WholeFileAction { Zero, Delete };
enum class ChannelKind { MorphTargets, OtherChannels };

// Zeroes or deletes one kind of channel in every top-level Block that has a tree item, without
// asking; deleting refreshes this pane's tree, zeroing refreshes nothing.
void ApplyToWholeFile(FigureFile& file, WholeFileAction action, ChannelKind which);

// Removes every "prop" Block at any depth with its subtree, without asking, and refreshes this
// pane's tree.
void DeletePropsInFile(FigureFile& file);

}  // namespace tessary
