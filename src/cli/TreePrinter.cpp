#include "cli/TreePrinter.h"

#include <algorithm>
#include <utility>

namespace tessary {

namespace {

// Visits every item in display order with its depth; the walk keeps its own stack so that a
// deeply nested raw view prints without recursion.
template <typename Visit>
void WalkItems(const TreeControl& control, Visit&& visit) {
    std::vector<std::pair<TreeItem, int>> stack;
    for (TreeItem item = control.GetChildItem(0); item; item = control.GetNextSiblingItem(item)) {
        stack.emplace_back(item, 0);
        while (!stack.empty()) {
            auto [current, depth] = stack.back();
            stack.pop_back();
            if (!visit(current, depth)) {
                continue;
            }
            std::size_t mark = stack.size();
            for (TreeItem child = control.GetChildItem(current); child;
                 child = control.GetNextSiblingItem(child)) {
                stack.emplace_back(child, depth + 1);
            }
            std::reverse(stack.begin() + static_cast<std::ptrdiff_t>(mark), stack.end());
        }
    }
}

const char* Flag(bool value) {
    return value ? "1" : "0";
}

}  // namespace

TreeItem FindItemByLabels(const TreeControl& control, const std::vector<std::string>& labels) {
    if (labels.empty()) {
        return 0;
    }
    TreeItem found = 0;
    // Only items whose label path is a prefix of the wanted one are descended into.
    WalkItems(control, [&](TreeItem item, int depth) {
        if (found || static_cast<std::size_t>(depth) >= labels.size() ||
            !control.ItemTextEquals(item, labels[static_cast<std::size_t>(depth)])) {
            return false;
        }
        if (static_cast<std::size_t>(depth) + 1 == labels.size()) {
            found = item;
            return false;
        }
        return true;
    });
    return found;
}

void PrintState(const MainWindow& window, Side side, std::ostream& out) {
    auto& mutableWindow = const_cast<MainWindow&>(window);
    const FigureFile& file = mutableWindow.File(side);
    const PaneButtons& buttons = window.Buttons(side);
    out << "loaded: " << Flag(file.loaded) << '\n'
        << "modified: " << Flag(file.modified) << '\n'
        << "viewKind: " << file.viewKind << '\n'
        << "fileName: " << file.fileName << '\n'
        << "path: " << file.path << '\n'
        << "figureSuffix: " << file.figureSuffix << '\n'
        << "geometryName: " << file.geometryName << '\n'
        << "objFileName: " << file.objFileName << '\n'
        << "loadButton: " << buttons.load.text << '\n'
        << "saveButton: " << (buttons.save.enabled ? "enabled" : "disabled") << '\n'
        << "objButton: " << (buttons.obj.shown ? "shown" : "hidden") << ", "
        << (buttons.obj.enabled ? "enabled" : "disabled") << ", " << buttons.obj.text << '\n'
        << "optionsButton: " << (buttons.options.shown ? "shown" : "hidden") << '\n';
}

}  // namespace tessary
