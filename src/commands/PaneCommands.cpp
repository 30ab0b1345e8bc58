#include "commands/PaneCommands.h"

#include <iterator>
#include <new>

#include "commands/CommandIds.h"
#include "commands/StatusText.h"
#include "commands/StepRecorder.h"
#include "edit/Combine.h"
#include "edit/Copy.h"
#include "edit/Delete.h"
#include "edit/LineWalks.h"
#include "edit/Rename.h"
#include "edit/Zero.h"
#include "geometry/ObjExport.h"
#include "geometry/ObjMesh.h"
#include "model/Block.h"
#include "model/Names.h"
#include "pane/FigureFile.h"
#include "pane/FigureTree.h"
#include "platform/Ui.h"
#include "regions/RegionOperations.h"

namespace tessary {

namespace {

// Which item a command acts on.
enum class Target {
    CommandItem,          // the item the menu or key chose
    Owner,                // its parent item: the actor or prop a folder hangs under
    ItemInPoseElseOwner,  // the item itself in a pose file, its owner in a figure file
    File,                 // no item: the whole file (region menu)
};

// How the command shows that it is busy.
enum class Cursor {
    None,
    Wait,        // hourglass for the whole command
    ArrowAtEnd,  // the operation sets the hourglass itself; the arrow comes back at the end
};

// What a command may change, so that it becomes one step of the history of the pane it
// changes (see StepRecorder).
enum class Keeps {
    Nothing,            // no Block of either file
    Target,             // the target's Block, in place
    NewChannel,         // a new first channel of the target
    Removals,           // removes Blocks (a prop's deletion changes the whole file)
    WholeFile,          // any top-level Block of this file
    PropsOfTarget,      // the Blocks naming the props that hang from the target
    Copy,               // the other file's channels of the target's body part, or a prop's Blocks
    CopyPropsOfTarget,  // the Blocks of the other file that the target's props go into
    BothWholeFiles,     // any top-level Block of either file
};

using Operation = void (*)(PaneCommands&, TreeItem);

// One row of the command table. `needsOther`: the command does nothing at all while the other
// pane is empty. `keeps`: what the history of each pane needs to undo the command. A row whose
// operation is null names a command whose operation is not part of this program yet (or is
// connected by SetHandler); it does nothing until then.
struct CommandRow {
    int id;
    Target target;
    bool needsOther;
    Cursor cursor;
    Keeps keeps;
    Operation run;
};

const CommandRow kCommandTable[] = {
    {kCmdCopy, Target::CommandItem, true, Cursor::Wait, Keeps::Copy,
     [](PaneCommands& c, TreeItem i) { c.CopyCommand(i); }},
    {kCmdRename, Target::CommandItem, false, Cursor::None, Keeps::Nothing,
     [](PaneCommands& c, TreeItem i) { c.StartRename(i); }},
    {kCmdDelete, Target::CommandItem, false, Cursor::Wait, Keeps::Removals,
     [](PaneCommands& c, TreeItem i) { c.DeleteOneItem(i); }},
    {kCmdProperties, Target::CommandItem, false, Cursor::None, Keeps::Nothing,
     [](PaneCommands& c, TreeItem i) { c.ShowProperties(i); }},
    {kCmdExportToObj, Target::CommandItem, false, Cursor::Wait, Keeps::Nothing,
     [](PaneCommands& c, TreeItem i) { c.ExportItem(i); }},
    {kCmdDeleteAllProps, Target::Owner, false, Cursor::None, Keeps::PropsOfTarget,
     [](PaneCommands& c, TreeItem i) { c.DeleteAllPropsCommand(i); }},
    {kCmdExportAllProps, Target::Owner, false, Cursor::None, Keeps::Nothing,
     [](PaneCommands& c, TreeItem i) { ExportAllProps(c.file, i); }},
    {kCmdExportActorToObj, Target::CommandItem, false, Cursor::Wait, Keeps::Nothing,
     [](PaneCommands& c, TreeItem i) { ExportMorphTarget(c.file, i); }},
    {kCmdDeleteAllMorphTargets, Target::ItemInPoseElseOwner, false, Cursor::None, Keeps::Removals,
     [](PaneCommands& c, TreeItem i) { c.DeleteAllMorphTargetsCommand(i); }},
    {kCmdCombineMorphTargets, Target::Owner, false, Cursor::ArrowAtEnd, Keeps::NewChannel,
     [](PaneCommands& c, TreeItem i) { c.CombineCommand(i); }},
    {kCmdCopyAllMorphTargets, Target::ItemInPoseElseOwner, true, Cursor::Wait, Keeps::Copy,
     [](PaneCommands& c, TreeItem i) { c.CopyAllMorphTargetsCommand(i); }},
    {kCmdCopyAllProps, Target::Owner, true, Cursor::Wait, Keeps::CopyPropsOfTarget,
     [](PaneCommands& c, TreeItem i) { c.CopyAllPropsCommand(i); }},
    {kCmdExportAllMorphTargets, Target::Owner, false, Cursor::None, Keeps::Nothing,
     [](PaneCommands& c, TreeItem i) { ExportAllMorphTargets(c.file, i); }},
    {kCmdChangeData, Target::CommandItem, false, Cursor::None, Keeps::Target,
     [](PaneCommands& c, TreeItem i) { c.ChangeData(i); }},
    {kCmdChangeTag, Target::CommandItem, false, Cursor::None, Keeps::Target,
     [](PaneCommands& c, TreeItem i) { c.ChangeTag(i); }},
    // Each copy checks the destination itself.
    {kCmdCopyAll, Target::CommandItem, false, Cursor::Wait, Keeps::Copy,
     [](PaneCommands& c, TreeItem i) { c.CopyAllCommand(i); }},
    {kCmdCopyOnlyChannels, Target::CommandItem, true, Cursor::Wait, Keeps::Copy,
     [](PaneCommands& c, TreeItem i) { c.CopyOnlyChannelsCommand(i); }},
    {kCmdDeleteOnlyChannels, Target::CommandItem, false, Cursor::None, Keeps::Removals,
     [](PaneCommands& c, TreeItem i) { c.DeleteOnlyChannelsCommand(i); }},
    {kCmdCopyPoseLine, Target::CommandItem, true, Cursor::Wait, Keeps::Copy,
     [](PaneCommands& c, TreeItem i) { c.CopyPoseLineCommand(i); }},
    {kCmdZeroAllSettings, Target::CommandItem, false, Cursor::Wait, Keeps::Target,
     [](PaneCommands& c, TreeItem i) { c.ZeroAllSettings(i); }},
    {kCmdZeroChannelSettings, Target::CommandItem, false, Cursor::Wait, Keeps::Target,
     [](PaneCommands& c, TreeItem i) { c.ZeroChannelSettings(i); }},
    {kCmdZeroMorphSettings, Target::CommandItem, false, Cursor::Wait, Keeps::Target,
     [](PaneCommands& c, TreeItem i) { c.ZeroMorphSettings(i); }},
    {kCmdZeroSettings, Target::CommandItem, false, Cursor::Wait, Keeps::Target,
     [](PaneCommands& c, TreeItem i) { c.ZeroSettings(i); }},
    // The region menu: whole-file clean-ups without confirmation, and the region dialog.
    {kCmdDeleteMorphsFromFile, Target::File, false, Cursor::None, Keeps::Removals,
     [](PaneCommands& c, TreeItem) {
         ApplyToWholeFile(c.file, WholeFileAction::Delete, ChannelKind::MorphTargets);
     }},
    {kCmdRegions, Target::File, false, Cursor::None, Keeps::BothWholeFiles,
     [](PaneCommands& c, TreeItem) { RunRegionDialog(c.file); }},
    {kCmdDeleteChannelsFromFile, Target::File, false, Cursor::None, Keeps::Removals,
     [](PaneCommands& c, TreeItem) {
         ApplyToWholeFile(c.file, WholeFileAction::Delete, ChannelKind::OtherChannels);
     }},
    {kCmdZeroMorphsInFile, Target::File, false, Cursor::None, Keeps::WholeFile,
     [](PaneCommands& c, TreeItem) {
         ApplyToWholeFile(c.file, WholeFileAction::Zero, ChannelKind::MorphTargets);
     }},
    {kCmdZeroChannelsInFile, Target::File, false, Cursor::None, Keeps::WholeFile,
     [](PaneCommands& c, TreeItem) {
         ApplyToWholeFile(c.file, WholeFileAction::Zero, ChannelKind::OtherChannels);
     }},
    {kCmdDeletePropsFromFile, Target::File, false, Cursor::None, Keeps::WholeFile,
     [](PaneCommands& c, TreeItem) { DeletePropsInFile(c.file); }},
};

const CommandRow* FindRow(int commandId) {
    for (const CommandRow& row : kCommandTable) {
        if (row.id == commandId) {
            return &row;
        }
    }
    return nullptr;
}

// The text of a command's menu entry: the entry of the menu it was chosen from, or (for a key)
// of the first menu that holds it.
std::string EntryText(const std::optional<Menu>& popup, int commandId) {
    if (popup && popup->Holds(commandId)) {
        for (const MenuItem& item : popup->items) {
            if (!item.separator && item.id == commandId) {
                return item.PlainText();
            }
        }
    }
    for (int menuId : {kMenuItem, kMenuPropsFolder, kMenuActor, kMenuMorphFolder, kMenuInspector,
                       kMenuPoseActor, kMenuPoseLine, kMenuRegions}) {
        if (const std::optional<Menu> menu = LoadMenu(menuId); menu && menu->Holds(commandId)) {
            return EntryText(menu, commandId);
        }
    }
    return "Change";
}

std::string Trimmed(const std::string& text) {
    const char* blanks = " \t\r\n\v\f";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// "Delete All Morph Targets (lHand)": the entry and the label of the item it acted on.
std::string StepLabel(const PaneCommands& commands, const std::string& entry, TreeItem item) {
    return item == 0 ? entry : entry + " (" + commands.tree.control.GetItemText(item) + ")";
}

// The names of the top-level props whose first "parent" line names `bodyPart`, or the prop's
// own name.
std::vector<std::string> PropNames(const Block& root, const Block& bodyPart) {
    if (bodyPart.tag == "prop") {
        return {bodyPart.data};
    }
    std::vector<std::string> names;
    for (const Block& block : root.children) {
        const int parent = block.tag == "prop" ? block.FindChildIndex("parent") : -1;
        if (parent >= 0 && block.children[static_cast<std::size_t>(parent)].data == bodyPart.data) {
            names.push_back(block.data);
        }
    }
    return names;
}

// The recorders of a command that `keeps` so: `here` for this pane's file, `there` for the
// other one's.
void PrepareSteps(PaneCommands& commands, Keeps keeps, TreeItem target, const std::string& label,
                  std::optional<StepRecorder>& here, std::optional<StepRecorder>& there) {
    FigureFile& file = commands.file;
    const Block* block = target != 0 ? file.BlockOfItem(target) : nullptr;
    // A prop's lines are all over its file: its steps keep the top-level Blocks that name it.
    // (In a pose file a prop is a body part like any other.)
    const bool prop = block != nullptr && file.viewKind == kFigureView && block->tag == "prop";
    switch (keeps) {
        case Keeps::Nothing:
            return;
        case Keeps::Target:
            if (block != nullptr) {
                here.emplace(file, label);
                here->KeepBlockOf(target);
            }
            return;
        case Keeps::NewChannel:
            if (const Block* channels =
                    block != nullptr ? block->FindNthChild("channels", 0, Match::Tag) : nullptr) {
                here.emplace(file, label);
                here->KeepFrontInsertions(*channels, {});
            }
            return;
        case Keeps::Removals:
            here.emplace(file, label);
            if (prop) {
                here->KeepTopLevelNaming({block->data});
            } else {
                here->RecordRemovals();
            }
            return;
        case Keeps::PropsOfTarget:
            if (block != nullptr) {
                here.emplace(file, label);
                here->KeepTopLevelNaming(PropNames(file.root, *block));
            }
            return;
        case Keeps::WholeFile:
            here.emplace(file, label);
            here->KeepWholeFile();
            return;
        case Keeps::BothWholeFiles:
            here.emplace(file, label);
            here->KeepWholeFile();
            break;
        case Keeps::Copy:
        case Keeps::CopyPropsOfTarget:
            break;
    }
    if (!commands.OtherLoaded()) {
        return;
    }
    FigureFile& other = *file.otherPane;
    if (keeps == Keeps::BothWholeFiles) {
        there.emplace(other, label);
        there->KeepWholeFile();
        return;
    }
    if (block == nullptr) {
        return;  // nothing to copy
    }
    if (keeps == Keeps::CopyPropsOfTarget || prop) {
        // The props arrive under the other file's figure number, beside any of that name.
        std::vector<std::string> names = PropNames(file.root, *block);
        for (std::string& name : names) {
            name = WithFigureSuffix(name, other.figureSuffix);
        }
        there.emplace(other, label);
        there->KeepTopLevelNaming(names);
        return;
    }
    // A copy goes in front of the channels of the body part of that name in the other file,
    // replacing the channels of its lines; or it makes the levels it needs there.
    std::vector<const Block*> sources{block};
    if (const Block* channels = block->FindNthChild("channels", 0, Match::Tag)) {
        sources.clear();
        for (const Block& channel : channels->children) {
            sources.push_back(&channel);
        }
    }
    std::vector<std::string> keys;
    TreeItem sourceItem = 0;
    for (const Block* source : sources) {
        keys.push_back(source->LineKey());
        sourceItem = sourceItem == 0 ? source->treeItem : sourceItem;
    }
    const std::string path = sourceItem != 0 ? file.root.PathOf(sourceItem, true) : std::string();
    if (const Block* list =
            path.empty() ? nullptr : other.root.FindByPath(PathParent(path), true)) {
        there.emplace(other, label);
        there->KeepFrontInsertions(*list, keys);
        return;
    }
    if (const std::optional<BlockPosition> position = PositionOfItem(file.root, target)) {
        const Block& top = file.root.children[position->front()];
        there.emplace(other, label);
        there->KeepTopLevel(top.tag, BaseName(top.data));
    }
}

}  // namespace

std::string FormatMessage(const char* format, const std::string& value) {
    std::string text(format);
    const std::size_t at = text.find("%s");
    if (at != std::string::npos) {
        text.replace(at, 2, value);
    }
    return text;
}

PaneCommands::PaneCommands(FigureTree& tree, CommandContext& context, bool acceptsDrops)
    : tree(tree), file(tree.file), context(context), acceptsDrops(acceptsDrops) {}

void PaneCommands::SetHandler(int commandId, Handler handler) {
    handlers_[commandId] = std::move(handler);
}

FigureTree* PaneCommands::OtherTree() const {
    return file.otherPane != nullptr ? file.otherPane->tree : nullptr;
}

bool PaneCommands::OtherLoaded() const {
    return file.otherPane != nullptr && file.otherPane->loaded != 0;
}

std::optional<Menu> PaneCommands::OpenContextMenu(TreeItem item) {
    context.currentPopup.reset();
    if (file.loaded == 0 || item == 0) {
        return std::nullopt;
    }
    tree.control.SelectItem(item);
    const std::optional<int> menuId = MenuOfClass(ClassifyItem(tree, item));
    if (!menuId) {
        return std::nullopt;
    }
    std::optional<Menu> menu = LoadMenu(*menuId);
    if (!menu) {
        return std::nullopt;
    }
    if (file.viewKind == kFigureView) {
        const Block* block = file.BlockOfItem(item);
        if (!file.objMesh && (block == nullptr || block->tag == "targetGeom")) {
            menu->Gray(kCmdExportActorToObj);
            menu->Gray(kCmdExportToObj);
            menu->Gray(kCmdExportAllMorphTargets);
        }
        if (!OtherLoaded()) {
            menu->Gray(kCmdCopy);
            menu->Gray(kCmdCopyAllMorphTargets);
            menu->Gray(kCmdCopyAllProps);
        }
    }
    file.commandItem = item;
    context.currentPopup = menu;
    return menu;
}

void PaneCommands::BeginCommand() {
    context.status.clear();
    file.lastCopy = {};
}

void PaneCommands::EndCommand() {
    const FigureFile::CopyRecord& copy = file.lastCopy;
    if (copy.morphTargets + copy.channels + copy.props > 0) {
        context.status = CopiedText(copy);
        ShowCopies();
    }
    if (context.commandDone) {
        context.commandDone();
    }
}

void PaneCommands::ShowCopies() {
    FigureTree* other = OtherTree();
    if (other == nullptr) {
        return;
    }
    // Copies go in front of their siblings, so the last one made is the one shown first.
    Block& root = other->file.root;
    TreeItem shown = 0;
    const std::vector<std::string>& paths = file.lastCopy.paths;
    for (auto path = paths.rbegin(); path != paths.rend() && shown == 0; ++path) {
        if (const Block* block = root.FindByPath(*path, true)) {
            shown = block->treeItem;
        }
    }
    const std::vector<std::string>& props = file.lastCopy.propNames;
    for (auto name = props.rbegin(); name != props.rend() && shown == 0; ++name) {
        for (const Block& block : root.children) {
            if (block.tag == "prop" && block.data == *name && block.treeItem != 0) {
                shown = block.treeItem;
                break;
            }
        }
    }
    if (shown != 0) {
        other->control.SelectItem(shown);
    }
}

void PaneCommands::Dispatch(int commandId) {
    const std::string entry = EntryText(context.currentPopup, commandId);
    context.currentPopup.reset();
    if (commandId < kFirstPaneCommand || commandId > kLastPaneCommand) {
        return;
    }
    BeginCommand();
    RunCommand(commandId, entry);
    EndCommand();
}

void PaneCommands::RunCommand(int commandId, const std::string& entry) {
    const CommandRow* row = FindRow(commandId);
    if (row == nullptr) {
        return;
    }
    const auto connected = handlers_.find(commandId);
    if (connected == handlers_.end() && row->run == nullptr) {
        return;
    }
    if (row->needsOther && !OtherLoaded()) {
        return;
    }
    TreeItem target = 0;
    switch (row->target) {
        case Target::CommandItem:
            target = file.commandItem;
            break;
        case Target::Owner:
            target = file.commandItem != 0 ? tree.control.GetParentItem(file.commandItem) : 0;
            break;
        case Target::ItemInPoseElseOwner:
            target = file.viewKind == kPoseView || file.commandItem == 0
                         ? file.commandItem
                         : tree.control.GetParentItem(file.commandItem);
            break;
        case Target::File:
            break;
    }
    if (row->cursor == Cursor::Wait) {
        file.ui.SetWaitCursor();
    }
    // Without Finish (memory ran out) the recorders forget the histories they were for.
    std::optional<StepRecorder> here;
    std::optional<StepRecorder> there;
    try {
        PrepareSteps(*this, row->keeps, target, StepLabel(*this, entry, target), here, there);
    } catch (const std::bad_alloc&) {
        // Nothing changed yet: the command does not run.
        for (std::optional<StepRecorder>* recorder : {&here, &there}) {
            if (*recorder) {
                (*recorder)->Abandon();
            }
        }
        file.ReportOutOfMemory();
        if (row->cursor != Cursor::None) {
            file.ui.SetArrowCursor();
        }
        return;
    }
    try {
        if (connected != handlers_.end()) {
            connected->second(*this, target);
        } else {
            row->run(*this, target);
        }
        if (here) {
            here->Finish();
        }
        if (there) {
            there->Finish();
        }
    } catch (const std::bad_alloc&) {
        file.ReportOutOfMemory();
    }
    if (row->cursor != Cursor::None) {
        file.ui.SetArrowCursor();
    }
}

void PaneCommands::OnKey(TreeKey key) {
    if (key == TreeKey::Other) {
        return;
    }
    const TreeItem selected = tree.control.GetSelectedItem();
    if (selected == 0) {
        return;
    }
    file.commandItem = selected;
    Dispatch(key == TreeKey::Insert ? kCmdRename : kCmdDelete);
}

bool PaneCommands::CanBeginLabelEdit(TreeItem item) const {
    if (file.viewKind != kFigureView || item == 0) {
        return false;
    }
    const Block* block = file.BlockOfItem(item);
    return block != nullptr && block->tag != "actor";
}

void PaneCommands::EndLabelEdit(TreeItem item, const std::optional<std::string>& text) {
    if (!text || !CanBeginLabelEdit(item)) {
        return;
    }
    const std::string name = Trimmed(*text);
    if (name.empty() || !AcceptsLineText(*text)) {
        return;
    }
    BeginCommand();
    const std::string before = tree.control.GetItemText(item);
    std::optional<StepRecorder> step;
    try {
        step.emplace(file, "Rename (" + before + ")");
        // A prop is renamed in every line that names it.
        const Block* block = file.BlockOfItem(item);
        if (block != nullptr && block->tag == "prop") {
            step->KeepTopLevelNaming({block->data});
        } else {
            step->KeepBlockOf(item);
        }
    } catch (const std::bad_alloc&) {
        if (step) {
            step->Abandon();
        }
        file.ReportOutOfMemory();
        EndCommand();
        return;
    }
    try {
        RenameItem(file, item, name);
        step->Finish();
        tree.control.SetItemText(item, name);
        context.status = "Renamed " + before + " to " + name;
    } catch (const std::bad_alloc&) {
        file.ReportOutOfMemory();
    }
    EndCommand();
}

bool PaneCommands::OnDrop(const std::vector<std::string>& paths) {
    if (!acceptsDrops || paths.empty()) {
        return false;
    }
    BeginCommand();
    const std::string& path = paths.front();
    const std::string name = FileNameOfPath(path);
    const std::size_t dot = name.rfind('.');
    const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
    if (EqualsIgnoringCase(extension, ".obj") || EqualsIgnoringCase(extension, ".obz")) {
        file.objPath = path;
        file.objFileName = name;
        if (ReadObjFile(file) != 0) {
            context.status = AttachedText(file);
        }
    } else if (file.MayDiscardChanges()) {
        file.path = path;
        file.fileName = name;
        if (file.Load() != 0) {
            context.status = LoadedText(file);
        }
    }
    EndCommand();
    return true;
}

// --- The operations of the table ---

void PaneCommands::RefreshOther() {
    // An empty pane stays empty: refreshing it would only mark it as holding a file.
    if (FigureTree* other = OtherTree(); other != nullptr && other->file.loaded != 0) {
        other->Refresh();
    }
}

bool PaneCommands::AcceptsLineText(const std::string& text) {
    return tessary::AcceptsLineText(file.ui, text);
}

bool PaneCommands::Confirm(const std::string& text, const std::string& caption) {
    if (file.confirmDelete == 0) {
        return true;
    }
    return file.ui.ShowMessage(text, caption, MessageButtons::OkCancel, MessageIcon::Exclamation) ==
           MessageAnswer::Ok;
}

bool PaneCommands::ConfirmDeleteAll(TreeItem item, const char* textFormat, const char* caption) {
    const Block* block = item != 0 ? file.BlockOfItem(item) : nullptr;
    if (block == nullptr) {
        return false;
    }
    return Confirm(FormatMessage(textFormat, std::string(BaseName(block->data))), caption);
}

void PaneCommands::CopyCommand(TreeItem item) {
    const Block* block = item != 0 ? file.BlockOfItem(item) : nullptr;
    if (block == nullptr) {
        return;
    }
    const int copied = block->tag == "prop" ? CopyProp(file, item) : CopyItem(file, item);
    if (copied != 0) {
        RefreshOther();
    }
}

void PaneCommands::ExportItem(TreeItem item) {
    const Block* block = item != 0 ? file.BlockOfItem(item) : nullptr;
    if (block == nullptr) {
        return;
    }
    if (block->tag == "prop") {
        ExportProp(file, item);
    } else {
        ExportMorphTarget(file, item);
    }
}

void PaneCommands::StartRename(TreeItem item) {
    if (file.viewKind == kFigureView && item != 0 && startLabelEdit) {
        startLabelEdit(item);
    }
}

void PaneCommands::DeleteOneItem(TreeItem item) {
    const Block* block = item != 0 ? file.BlockOfItem(item) : nullptr;
    if (block == nullptr) {
        return;
    }
    const bool prop = file.viewKind == kFigureView && block->tag == "prop";
    std::string text;
    std::string caption = "Delete?";
    if (prop) {
        caption = "Delete Prop?";
        text = FormatMessage("Are you sure you wish to delete prop %s?", block->data);
    } else if (file.viewKind == kFigureView) {
        text = FormatMessage("Are you sure you wish to delete morph target %s?", block->data);
    } else {
        text = FormatMessage("Are you sure you wish to delete %s?", block->tag + " " + block->data);
    }
    if (!Confirm(text, caption)) {
        return;
    }
    const std::string deleted =
        "Deleted " + (prop ? "prop " + std::string(BaseName(block->data))
                           : (block->tag == "targetGeom" ? "morph target " + block->data
                                                         : block->tag + " " + block->data));
    if (!prop) {
        if (DeleteItem(file, item)) {
            tree.control.DeleteItem(item);
            tree.folders.erase(item);
            context.status = deleted;
        }
        return;
    }
    context.status = deleted;
    if (DeleteProp(file, item) != 0) {
        tree.control.DeleteItem(item);
        tree.folders.erase(item);
    } else if (file.BlockOfItem(item) == nullptr) {
        // A file without a "figure" Block still loses the prop's Blocks; its tree must not go
        // on showing them, nor the props that now hang from the universe where they were.
        tree.Refresh();
    }
}

void PaneCommands::ShowProperties(TreeItem item) {
    Block* block = item != 0 ? file.BlockOfItem(item) : nullptr;
    if (block == nullptr || !runBlockInfoDialog) {
        return;
    }
    Block before = *block;
    if (runBlockInfoDialog(*block)) {
        PropertiesAccepted(item, std::move(before));
    }
}

void PaneCommands::PropertiesAccepted(TreeItem item, Block before) {
    StepRecorder step(file, StepLabel(*this, "Properties", item));
    if (const Block* after = file.BlockOfItem(item);
        after == nullptr || !SameLines(before, *after)) {
        file.modified = 1;
    }
    step.KeepBlockWas(item, std::move(before));
    step.Finish();
    tree.Refresh();
}

void PaneCommands::DeleteAllPropsCommand(TreeItem owner) {
    if (!ConfirmDeleteAll(owner,
                          "This will delete ALL props targets from the %s body part! Are you sure?",
                          "Delete ALL Props?")) {
        return;
    }
    context.status = "Deleted all props of " + std::string(BaseName(file.BlockOfItem(owner)->data));
    DeleteAllProps(file, owner);
    tree.Refresh();
}

void PaneCommands::DeleteAllMorphTargetsCommand(TreeItem item) {
    if (!ConfirmDeleteAll(item,
                          "This will delete ALL morph targets from the %s body part! Are you sure?",
                          "Delete all Morph Target?")) {
        return;
    }
    context.status =
        "Deleted all morph targets of " + std::string(BaseName(file.BlockOfItem(item)->data));
    DeleteAllMorphTargets(file, item);
    tree.Refresh();
}

void PaneCommands::DeleteOnlyChannelsCommand(TreeItem item) {
    if (!ConfirmDeleteAll(item,
                          "This will delete ALL channels from the %s body part! Are you sure?",
                          "Delete all channels?")) {
        return;
    }
    context.status =
        "Deleted all channels of " + std::string(BaseName(file.BlockOfItem(item)->data));
    DeleteAllChannels(file, item);
    tree.Refresh();
}

void PaneCommands::CopyAllMorphTargetsCommand(TreeItem item) {
    CopyAllMorphTargets(file, item);
    RefreshOther();
}

void PaneCommands::CopyAllPropsCommand(TreeItem owner) {
    CopyAllProps(file, owner);
    RefreshOther();
}

void PaneCommands::CopyAllCommand(TreeItem item) {
    CopyAllMorphTargets(file, item);
    CopyAllChannels(file, item);
    RefreshOther();
}

void PaneCommands::CopyOnlyChannelsCommand(TreeItem item) {
    CopyAllChannels(file, item);
    RefreshOther();
}

void PaneCommands::CopyPoseLineCommand(TreeItem item) {
    if (item == 0 || file.BlockOfItem(item) == nullptr) {
        return;
    }
    if (CopyItem(file, item) != 0) {
        RefreshOther();
    }
}

void PaneCommands::ChangeData(TreeItem item) {
    ChangeLine(item, false);
}
void PaneCommands::ChangeTag(TreeItem item) {
    ChangeLine(item, true);
}

void PaneCommands::ChangeLine(TreeItem item, bool tag) {
    const Block* block = item != 0 ? file.BlockOfItem(item) : nullptr;
    if (block == nullptr || !runChangeDialog) {
        return;
    }
    const std::optional<std::string> edited =
        tag ? runChangeDialog("Change Tag: Warning! Very Dangerous!", block->tag)
            : runChangeDialog("Change Data:", block->data);
    // The dialog is modal, but the Block is looked up again rather than trusted across it.
    Block* target = file.BlockOfItem(item);
    if (!edited || target == nullptr || !AcceptsLineText(*edited)) {
        return;
    }
    if (tag) {
        target->tag = *edited;  // exactly as typed
    } else {
        target->data = *edited;
    }
    file.modified = 1;
    context.status = (tag ? "Changed the tag to " : "Changed the data to ") + *edited;
    tree.Refresh();
}

void PaneCommands::ReportZeroed(TreeItem item) {
    if (item != 0 && file.BlockOfItem(item) != nullptr) {
        context.status = "Zeroed " + tree.control.GetItemText(item);
    }
}

void PaneCommands::ZeroAllSettings(TreeItem item) {
    ZeroActorItem(file, item, ChannelChoice::All);
    ReportZeroed(item);
}
void PaneCommands::ZeroChannelSettings(TreeItem item) {
    ZeroActorItem(file, item, ChannelChoice::OtherChannels);
    ReportZeroed(item);
}
void PaneCommands::ZeroMorphSettings(TreeItem item) {
    ZeroActorItem(file, item, ChannelChoice::MorphTargets);
    ReportZeroed(item);
}
void PaneCommands::ZeroSettings(TreeItem item) {
    ZeroItem(file, item);
    ReportZeroed(item);
}

void PaneCommands::CombineCommand(TreeItem owner) {
    Block* block = owner != 0 ? file.BlockOfItem(owner) : nullptr;
    if (block == nullptr) {
        return;
    }
    const std::string label = tree.control.GetItemText(owner);
    if (CombineMorphTargets(file, *block, label) != 0) {
        // The new morph target is the body part's first channel; the rebuilt tree has new
        // items, but the body part's Block stays where it was.
        const Block* channels = block->FindNthChild("channels", 0, Match::Tag);
        context.status =
            channels != nullptr && !channels->children.empty()
                ? "Combined morph targets into " + channels->children.front().data + " on " + label
                : "Combined morph targets on " + label;
    }
}

}  // namespace tessary
