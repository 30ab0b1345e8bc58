#include "commands/Menu.h"

#include <algorithm>

#include "commands/CommandIds.h"
#include "model/Block.h"
#include "pane/FigureFile.h"
#include "pane/FigureTree.h"

namespace tessary {

namespace {

MenuItem Entry(int id, const char* text) {
    return MenuItem{id, text, false, false};
}
MenuItem Separator() {
    return MenuItem{0, "", true, false};
}

}  // namespace

std::string MenuItem::PlainText() const {
    std::string plain;
    for (char c : text) {
        if (c != '&') {
            plain += c;
        }
    }
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    const auto first = std::find_if_not(plain.begin(), plain.end(), blank);
    const auto last = std::find_if_not(plain.rbegin(), plain.rend(), blank).base();
    return first < last ? std::string(first, last) : std::string();
}

void Menu::Gray(int commandId) {
    for (MenuItem& item : items) {
        if (!item.separator && item.id == commandId) {
            item.grayed = true;
        }
    }
}

bool Menu::IsGrayed(int commandId) const {
    return std::any_of(items.begin(), items.end(), [&](const MenuItem& item) {
        return !item.separator && item.id == commandId && item.grayed;
    });
}

bool Menu::Holds(int commandId) const {
    return std::any_of(items.begin(), items.end(), [&](const MenuItem& item) {
        return !item.separator && item.id == commandId;
    });
}

const MenuItem* Menu::FindByPlainText(std::string_view plainText) const {
    for (const MenuItem& item : items) {
        if (!item.separator && item.PlainText() == plainText) {
            return &item;
        }
    }
    return nullptr;
}

std::optional<Menu> LoadMenu(int resourceId) {
    Menu menu;
    menu.resourceId = resourceId;
    switch (resourceId) {
        case kMenuItem:
            menu.items = {Entry(kCmdCopy, "Copy"),
                          Entry(kCmdRename, "Rename"),
                          Entry(kCmdDelete, "Delete"),
                          Entry(kCmdExportToObj, "Export To OBJ"),
                          Entry(kCmdProperties, "Properties"),
                          Separator(),
                          Entry(kCmdCancel, "Cancel")};
            break;
        case kMenuPropsFolder:
            menu.items = {Entry(kCmdCopyAllProps, "Copy All Props"),
                          Entry(kCmdDeleteAllProps, "Delete All Props "),
                          Entry(kCmdExportAllProps, "Export All to Obj"), Separator(),
                          Entry(kCmdCancel, "Cancel")};
            break;
        case kMenuActor:
            menu.items = {Entry(kCmdExportActorToObj, "&Export To OBJ"),
                          Entry(kCmdProperties, "&Properties"), Separator(),
                          Entry(kCmdCancel, "&Cancel")};
            break;
        case kMenuMorphFolder:
            menu.items = {Entry(kCmdCopyAllMorphTargets, "Copy All Morph Targets"),
                          Entry(kCmdDeleteAllMorphTargets, "Delete All Morph Targets"),
                          Entry(kCmdCombineMorphTargets, "Combine Morph Targets"),
                          Entry(kCmdExportAllMorphTargets, "Export All Morph Targets"),
                          Separator(),
                          Entry(kCmdCancel, "Cancel")};
            break;
        case kMenuInspector:
            menu.items = {Entry(kCmdChangeData, "Change &Data"),
                          Entry(kCmdChangeTag, "Change &Tag"), Entry(kCmdDelete, "Delete"),
                          Separator(), Entry(kCmdCancel, "&Cancel")};
            break;
        case kMenuPoseActor:
            menu.items = {Entry(kCmdCopyAll, "Copy &All"),
                          Entry(kCmdCopyOnlyChannels, "Copy Only Channels"),
                          Entry(kCmdCopyAllMorphTargets, "Copy Only Morph Targets"),
                          Entry(kCmdProperties, "&Properties"),
                          Separator(),
                          Entry(kCmdZeroAllSettings, "Zero All Settings"),
                          Entry(kCmdZeroChannelSettings, "Zero Only Channel Settings"),
                          Entry(kCmdZeroMorphSettings, "Zero Only Morph Settings"),
                          Separator(),
                          Entry(kCmdDelete, "Delete"),
                          Entry(kCmdDeleteOnlyChannels, "Delete Only Channels"),
                          Entry(kCmdDeleteAllMorphTargets, "Delete Only Morph Targets")};
            break;
        case kMenuPoseLine:
            menu.items = {Entry(kCmdCopyPoseLine, "&Copy"), Entry(kCmdProperties, "&Properties"),
                          Separator(), Entry(kCmdZeroSettings, "&Zero Settings"),
                          Entry(kCmdDelete, "&Delete")};
            break;
        case kMenuRegions:
            menu.items = {Entry(kCmdRegions, "&Copy and zero specific regions."),
                          Entry(kCmdZeroMorphsInFile, "Zero all morph targets in file."),
                          Entry(kCmdZeroChannelsInFile, "Zero all channels in file."),
                          Separator(),
                          Entry(kCmdDeleteMorphsFromFile, "Delete all morph targets from file."),
                          Entry(kCmdDeleteChannelsFromFile, "Delete all channels from file."),
                          Entry(kCmdDeletePropsFromFile, "Delete all props from file.")};
            break;
        default:
            return std::nullopt;
    }
    return menu;
}

ItemClass ClassifyItem(FigureTree& tree, TreeItem item) {
    if (item == 0) {
        return ItemClass::None;
    }
    FigureFile& file = tree.file;
    if (file.viewKind == kRawView) {
        return ItemClass::InspectorLine;
    }
    const Block* block = file.BlockOfItem(item);
    if (file.viewKind == kPoseView) {
        if (block == nullptr) {
            return ItemClass::None;
        }
        return block->tag == "actor" ? ItemClass::PoseActor : ItemClass::PoseLine;
    }
    // Folders are told apart by their text: they have no Block.
    if (tree.control.ItemTextEquals(item, "MORPH TARGETS")) {
        return ItemClass::MorphFolder;
    }
    if (tree.control.ItemTextEquals(item, "PROPS")) {
        return ItemClass::PropsFolder;
    }
    if (block == nullptr) {
        return ItemClass::None;
    }
    if (block->tag == "actor") {
        return ItemClass::Actor;
    }
    if (block->tag == "targetGeom" || block->tag == "prop") {
        return ItemClass::MorphTargetOrProp;
    }
    return ItemClass::None;
}

std::optional<int> MenuOfClass(ItemClass itemClass) {
    switch (itemClass) {
        case ItemClass::MorphFolder:
            return kMenuMorphFolder;
        case ItemClass::PropsFolder:
            return kMenuPropsFolder;
        case ItemClass::Actor:
            return kMenuActor;
        case ItemClass::MorphTargetOrProp:
            return kMenuItem;
        case ItemClass::PoseActor:
            return kMenuPoseActor;
        case ItemClass::PoseLine:
            return kMenuPoseLine;
        case ItemClass::InspectorLine:
            return kMenuInspector;
        case ItemClass::None:
            break;
    }
    return std::nullopt;
}

}  // namespace tessary
