#pragma once

#include <QPoint>
#include <optional>

#include "commands/Menu.h"

class QMenu;
class QWidget;

namespace tessary {

class PaneCommands;
class QtTreeControl;

// Hands what the user does in a tree widget to the pane's commands and shows what comes back:
// a right-click opens the item's menu at the mouse and its choice is dispatched; Insert and
// Delete are the pane's keys; label editing is allowed and ended as the commands say; dropped
// files go to the commands when they take drops (the Block Info dialog's tree does not).
// "Rename" opens the tree's label editor on the item.
void ConnectTreeCommands(QtTreeControl& tree, PaneCommands& commands);
// Undoes ConnectTreeCommands, for a tree that outlives its commands while its window closes.
void DisconnectTreeCommands(QtTreeControl& tree, PaneCommands& commands);

// The popup of a menu: its entries with their "&" texts, its separators, grayed entries
// disabled. Each action carries its command id as data.
QMenu* BuildPopup(const Menu& menu, QWidget* parent);
// Shows the menu at a screen point, left-aligned, and waits for a choice: the command id of
// the chosen entry, or none when the menu was dismissed.
std::optional<int> ShowPopup(const Menu& menu, QWidget* parent, QPoint screenPoint);

}  // namespace tessary
