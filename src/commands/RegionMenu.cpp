#include "commands/RegionMenu.h"

#include "commands/CommandIds.h"
#include "commands/PaneCommands.h"
#include "pane/FigureFile.h"

namespace tessary {

Menu ShowRegionMenu(PaneCommands& commands) {
    commands.context.currentPopup.reset();
    Menu menu = *LoadMenu(kMenuRegions);
    if (commands.file.otherPane == nullptr) {
        menu.Gray(kCmdRegions);
    }
    commands.context.currentPopup = menu;
    return menu;
}

}  // namespace tessary
