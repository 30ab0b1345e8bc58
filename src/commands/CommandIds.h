#pragma once

namespace tessary {

// Command ids of the context menus and of the region menu.
enum CommandId : int {
    kCmdCopy = 32778,
    kCmdRename = 32779,
    kCmdDelete = 32780,
    kCmdProperties = 32781,
    kCmdExportToObj = 32782,
    kCmdDeleteAllProps = 32783,
    kCmdExportAllProps = 32784,
    kCmdExportActorToObj = 32785,
    kCmdDeleteAllMorphTargets = 32786,
    kCmdCombineMorphTargets = 32787,
    kCmdCancel = 32788,
    kCmdCopyAllMorphTargets = 32789,
    kCmdCopyAllProps = 32790,
    kCmdExportAllMorphTargets = 32791,
    kCmdChangeData = 32794,
    kCmdChangeTag = 32796,
    kCmdCopyAll = 32798,
    kCmdCopyOnlyChannels = 32799,
    kCmdDeleteOnlyChannels = 32800,
    kCmdCopyPoseLine = 32806,
    kCmdZeroAllSettings = 32807,
    kCmdZeroChannelSettings = 32808,
    kCmdZeroMorphSettings = 32809,
    kCmdZeroSettings = 32810,
    kCmdDeleteMorphsFromFile = 32811,
    kCmdRegions = 32812,
    kCmdDeleteChannelsFromFile = 32813,
    kCmdZeroMorphsInFile = 32814,
    kCmdZeroChannelsInFile = 32815,
    kCmdDeletePropsFromFile = 32816,
};

// The range the pane trees dispatch; other ids are not theirs.
constexpr int kFirstPaneCommand = 32778;
constexpr int kLastPaneCommand = 32816;

// Menu resources.
enum MenuId : int {
    kMenuItem = 146,
    kMenuPropsFolder = 147,
    kMenuActor = 148,
    kMenuMorphFolder = 149,
    kMenuInspector = 159,
    kMenuPoseActor = 164,
    kMenuPoseLine = 165,
    kMenuRegions = 168,
};

}  // namespace tessary
