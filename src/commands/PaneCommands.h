#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "commands/Menu.h"
#include "platform/TreeControl.h"

namespace tessary {

class Block;
class FigureFile;
class FigureTree;

// State the commands share across all trees of one run: the popup menu shown last. A new
// right-click in any tree, and every command, clears it.
//
// It also carries what the last command did, for the window's status line: `status` is cleared
// when a command starts and set by the operations that have something to say; `commandDone`,
// when set, is called after every command, key, label edit and drop, so a face can show it.
struct CommandContext {
    std::optional<Menu> currentPopup;
    std::string status;
    std::function<void()> commandDone;
};

enum class TreeKey { Insert, Delete, Other };

// Everything the user does inside one tree: context menus, the commands chosen from them, the
// Insert and Delete keys, in-place renaming and dropped files. One per tree (both panes and the
// Block Info dialog's tree); the faces forward their events here and render what comes back,
// so a click in the window and a line of a session script take the same path.
//
// Refreshing goes through FigureTree::Refresh of this tree or of the other pane's tree (found
// through FigureFile::otherPane and FigureFile::tree).
class PaneCommands {
  public:
    // `acceptsDrops` is false for the Block Info dialog's tree.
    PaneCommands(FigureTree& tree, CommandContext& context, bool acceptsDrops = true);

    // Right button pressed on `item` (0: on no item). Selects the item, classifies it and
    // returns its menu with the entries that do not apply grayed; the menu's command then comes
    // back through Dispatch. Nothing (not even a selection) happens while the pane is empty.
    std::optional<Menu> OpenContextMenu(TreeItem item);

    // Runs a command on the item the last menu or key chose. Ids outside the pane range, and
    // the ids the table does not list, do nothing.
    void Dispatch(int commandId);

    // Insert starts renaming the selected item, Delete deletes it; other keys are the tree's.
    void OnKey(TreeKey key);

    // In-place label editing: allowed on morph targets and props of a figure file only.
    bool CanBeginLabelEdit(TreeItem item) const;
    // `text` is the edited label, none when editing was cancelled. A label that is empty once
    // trimmed changes nothing; otherwise the item is renamed and shows the trimmed text.
    void EndLabelEdit(TreeItem item, const std::optional<std::string>& text);

    // Ctrl+Z: the last change of this pane's file undone; Ctrl+Shift+Z or Ctrl+Y: the last
    // change undone redone. The view is rebuilt; the item that was selected, or the nearest
    // item above it that is still there, is selected and expanded. With nothing to undo or redo
    // nothing happens.
    void Undo();
    void Redo();

    // Files dropped onto the tree: the first one is loaded (once the user agreed to discard
    // unsaved changes), or attached as geometry when it ends in ".obj" or ".obz" (any case).
    // Returns whether the drop was taken.
    bool OnDrop(const std::vector<std::string>& paths);

    // What a face provides. Each may be left empty; the command that needs it then does
    // nothing, as for a tree that cannot do it.
    //
    // Starts the tree's in-place label editor on the item, if its label is visible.
    std::function<void(TreeItem)> startLabelEdit;
    // The Block Info dialog on a Block: true when it ended with OK and changed the Block.
    std::function<bool(Block&)> runBlockInfoDialog;
    // The Change dialog: the label and the value; the edited text on OK, none on Cancel.
    std::function<std::optional<std::string>(const std::string& label, const std::string& value)>
        runChangeDialog;

    // A command's operation; `target` is the item the command acts on (see the table).
    using Handler = std::function<void(PaneCommands& commands, TreeItem target)>;
    // Connects the operation of a command whose work lives outside this folder (combining).
    // The table's target, "needs other" and cursor rules still apply.
    void SetHandler(int commandId, Handler handler);

    FigureTree& tree;
    FigureFile& file;
    CommandContext& context;
    const bool acceptsDrops;

    // The other pane's tree, or none (the Block Info dialog's tree has no other pane).
    FigureTree* OtherTree() const;
    bool OtherLoaded() const;

    // The operations behind the table's rows, public so that tests and handlers can reach them.
    void CopyCommand(TreeItem item);
    void ExportItem(TreeItem item);
    void StartRename(TreeItem item);
    void DeleteOneItem(TreeItem item);
    void ShowProperties(TreeItem item);
    // The end of Properties on `item` once the Block Info dialog closed with OK: the file is
    // marked changed when its Block no longer equals `before` (a step of its history), and the
    // tree is refreshed. For a face whose dialog outlives the call of runBlockInfoDialog (a
    // session script).
    void PropertiesAccepted(TreeItem item, Block before);
    void DeleteAllPropsCommand(TreeItem owner);
    void DeleteAllMorphTargetsCommand(TreeItem item);
    void CopyAllMorphTargetsCommand(TreeItem item);
    void CopyAllPropsCommand(TreeItem owner);
    void ChangeData(TreeItem item);
    void ChangeTag(TreeItem item);
    void CopyAllCommand(TreeItem item);
    void CopyOnlyChannelsCommand(TreeItem item);
    void DeleteOnlyChannelsCommand(TreeItem item);
    void CopyPoseLineCommand(TreeItem item);
    void ZeroAllSettings(TreeItem item);
    void ZeroChannelSettings(TreeItem item);
    void ZeroMorphSettings(TreeItem item);
    void ZeroSettings(TreeItem item);
    // "Combine Morph Targets" on the folder under `owner` (the body part or prop item).
    void CombineCommand(TreeItem owner);

  private:
    // Asks a delete question under the ConfirmDelete option; true when the answer allows it.
    bool Confirm(const std::string& text, const std::string& caption);
    // Delete-all with confirmation: the question names the base name of the item's Block.
    bool ConfirmDeleteAll(TreeItem item, const char* textFormat, const char* caption);
    void ChangeLine(TreeItem item, bool tag);
    // True when `text` may become a tag, data or name; otherwise tells the user why not.
    bool AcceptsLineText(const std::string& text);
    void RefreshOther();
    // Runs a command of the table; what it changes becomes a step named after `entry`, its
    // menu entry, in the history of each pane it changes.
    void RunCommand(int commandId, const std::string& entry);
    // Undo or Redo: the step applied, the view rebuilt and the user's place kept.
    void StepHistory(bool undo);
    // Starts and ends a command for the status line; the end also shows what a copy brought
    // into the other pane by selecting the copied item that comes first there.
    void ReportZeroed(TreeItem item);
    void BeginCommand();
    void EndCommand();
    void ShowCopies();

    std::map<int, Handler> handlers_;
};

// "%s" in `format` replaced by `value` (the first occurrence).
std::string FormatMessage(const char* format, const std::string& value);

}  // namespace tessary
