#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/TreeControl.h"

namespace tessary {

class FigureTree;

// One entry of a popup menu: a command with its text ("&" marks the access key), or a
// separator (id 0, empty text).
struct MenuItem {
    int id = 0;
    std::string text;
    bool separator = false;
    bool grayed = false;

    // The text without "&" and without surrounding blanks, as scripts name an entry.
    std::string PlainText() const;
};

// A popup menu as loaded from its resource; the faces render it.
struct Menu {
    int resourceId = 0;
    std::vector<MenuItem> items;

    // Grays every entry with that command id; an id the menu does not hold changes nothing.
    void Gray(int commandId);
    bool IsGrayed(int commandId) const;
    bool Holds(int commandId) const;
    // The first command entry whose PlainText equals `plainText`, or none.
    const MenuItem* FindByPlainText(std::string_view plainText) const;
};

// The menu of a resource id (146, 147, 148, 149, 159, 164, 165, 168), or none.
std::optional<Menu> LoadMenu(int resourceId);

// What a right-clicked item is; it decides the menu.
enum class ItemClass {
    None,
    MorphFolder,
    PropsFolder,
    Actor,
    MorphTargetOrProp,
    PoseActor,
    PoseLine,
    InspectorLine,
};

ItemClass ClassifyItem(FigureTree& tree, TreeItem item);
// The menu resource of an item class, or none.
std::optional<int> MenuOfClass(ItemClass itemClass);

}  // namespace tessary
