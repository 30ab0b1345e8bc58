#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/TreeControl.h"
#include "shell/MainWindow.h"

namespace tessary {

// The first item in display order whose labels from the top level down equal `labels`; 0 if
// there is none.
TreeItem FindItemByLabels(const TreeControl& control, const std::vector<std::string>& labels);

// The pane's state as "name: value" lines.
void PrintState(const MainWindow& window, Side side, std::ostream& out);

}  // namespace tessary
