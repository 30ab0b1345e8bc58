#include "regions/RegionOperations.h"

#include "edit/Copy.h"
#include "edit/Delete.h"
#include "edit/Zero.h"
#include "model/Block.h"
#include "pane/FigureFile.h"
#include "pane/FigureTree.h"
#include "platform/Ui.h"

namespace tessary {

namespace {

void RefreshTree(FigureFile* file) {
    // An empty pane stays empty: refreshing it would only mark it as holding a file.
    if (file != nullptr && file->tree != nullptr && file->loaded != 0) {
        file->tree->Refresh();
    }
}

bool LeftAlone(LeftAloneBy by, int flags) {
    switch (by) {
        case LeftAloneBy::LeaveHands:
            return (flags & RegionOptions::kLeaveHands) != 0;
        case LeftAloneBy::LeaveFeet:
            return (flags & RegionOptions::kLeaveFeet) != 0;
        case LeftAloneBy::Nothing:
            break;
    }
    return false;
}

}  // namespace

void RunRegionDialog(FigureFile& file) {
    const std::optional<RegionOptions> chosen = file.ui.RunRegionDialog();
    if (!chosen || chosen->region == -1) {
        return;
    }
    ApplyRegion(file, *chosen);
}

void ApplyRegion(FigureFile& file, const RegionOptions& options) {
    const std::vector<BodyRegion>& regions = BodyRegions();
    if (options.region >= 0 && static_cast<std::size_t>(options.region) < regions.size()) {
        const bool leaveMorphTargets = (options.flags & RegionOptions::kLeaveMorphTargets) != 0;
        for (const RegionStep& step : regions[static_cast<std::size_t>(options.region)].steps) {
            if (!LeftAlone(step.leftAloneBy, options.flags)) {
                ApplyToActorList(file, step.parts, options.copy, leaveMorphTargets);
            }
        }
    }
    if (options.copy) {
        RefreshTree(file.otherPane);
    }
}

void ApplyToActorList(FigureFile& file, BodyPartList list, bool copy, bool leaveMorphTargets) {
    for (std::string_view name : list) {
        ApplyToActor(file, name, copy, leaveMorphTargets);
    }
}

void ApplyToActor(FigureFile& file, std::string_view name, bool copy, bool leaveMorphTargets) {
    // Copying reads this file only, so the actor stays where it is meanwhile.
    Block* actor = file.root.FindChild("actor", name, true);
    if (actor == nullptr) {
        return;
    }
    if (copy) {
        CopyChannelsOf(file, actor);
    } else {
        ZeroActorChannels(file, actor, ChannelChoice::OtherChannels);
    }
    if (leaveMorphTargets) {
        return;
    }
    if (copy) {
        CopyMorphTargetsOf(file, actor);
    } else {
        ZeroActorChannels(file, actor, ChannelChoice::MorphTargets);
    }
}

void ApplyToWholeFile(FigureFile& file, WholeFileAction action, ChannelKind which) {
    const bool morphTargets = which == ChannelKind::MorphTargets;
    // Each top-level Block is taken as its tree item would find it, without a search per
    // item; only channels inside them change, so the walk over them stays valid.
    for (Block& block : file.root.children) {
        if (block.treeItem == 0) {
            continue;
        }
        if (action == WholeFileAction::Zero) {
            ZeroActorChannels(
                file, &block,
                morphTargets ? ChannelChoice::MorphTargets : ChannelChoice::OtherChannels);
        } else {
            DeleteChannelsWhere(file, &block, morphTargets);
        }
    }
    if (action == WholeFileAction::Delete) {
        RefreshTree(&file);
    }
}

void DeletePropsInFile(FigureFile& file) {
    const long long before = file.root.CountNodes();
    file.root.RemoveMatching("prop", "");
    if (file.root.CountNodes() != before) {
        file.modified = 1;
    }
    RefreshTree(&file);
}

}  // namespace tessary
