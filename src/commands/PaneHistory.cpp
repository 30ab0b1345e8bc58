// Undo and Redo in a pane: the history's step applied to the pane's file, the view rebuilt
// and the user's place in it kept.

#include <new>
#include <string>
#include <vector>

#include "commands/PaneCommands.h"
#include "pane/EditHistory.h"
#include "pane/FigureFile.h"
#include "pane/FigureTree.h"

namespace tessary {

namespace {

// The labels from the top level down to `item`; empty for no item.
std::vector<std::string> LabelPath(const TreeControl& control, TreeItem item) {
    std::vector<std::string> path;
    for (TreeItem at = item; at != 0; at = control.GetParentItem(at)) {
        path.push_back(control.GetItemText(at));
    }
    return std::vector<std::string>(path.rbegin(), path.rend());
}

// Selects the item at the end of `path`, or the nearest item above it that is still there,
// and expands it with the items above it.
void ShowPlace(TreeControl& control, const std::vector<std::string>& path) {
    TreeItem found = 0;
    for (const std::string& label : path) {
        TreeItem child = control.GetChildItem(found);
        while (child != 0 && !control.ItemTextEquals(child, label)) {
            child = control.GetNextSiblingItem(child);
        }
        if (child == 0) {
            break;
        }
        found = child;
    }
    if (found == 0) {
        return;
    }
    for (TreeItem at = found; at != 0; at = control.GetParentItem(at)) {
        control.Expand(at);
    }
    control.SelectItem(found);
}

}  // namespace

void PaneCommands::Undo() {
    StepHistory(true);
}

void PaneCommands::Redo() {
    StepHistory(false);
}

void PaneCommands::StepHistory(bool undo) {
    context.currentPopup.reset();
    const EditStep* step = undo ? file.history.NextUndo() : file.history.NextRedo();
    if (file.loaded == 0 || step == nullptr) {
        return;
    }
    BeginCommand();
    const std::string label = step->Label();
    const std::vector<std::string> place = LabelPath(tree.control, tree.control.GetSelectedItem());
    try {
        if (undo ? file.history.Undo(file.root) : file.history.Redo(file.root)) {
            file.modified = file.history.AtSavedState() ? 0 : 1;
            tree.Refresh();
            ShowPlace(tree.control, place);
            context.status = (undo ? "Undid " : "Redid ") + label;
        } else {
            context.status = "Could not " + std::string(undo ? "undo " : "redo ") + label +
                             ": the file changed since";
        }
    } catch (const std::bad_alloc&) {
        file.ReportOutOfMemory();
    }
    EndCommand();
}

}  // namespace tessary
