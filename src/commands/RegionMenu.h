#pragma once

#include "commands/Menu.h"

namespace tessary {

class PaneCommands;

// The region menu (168) of a pane, as its More Options button opens it: "&Copy and zero
// specific regions." is grayed only when the pane's file has no other pane. It becomes the
// run's current popup; the face shows it at the button's top-left corner and hands the chosen
// command to the pane's Dispatch.
Menu ShowRegionMenu(PaneCommands& commands);

}  // namespace tessary
