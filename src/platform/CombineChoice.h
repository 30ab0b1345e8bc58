#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tessary {

// What the Combine Morph Targets dialog opens on: the morph target names of one body part in
// file order, and the body part's tree-item text shown at its top.
struct CombineRequest {
    std::vector<std::string> names;
    std::string label;
};

// What the dialog hands back when Combine is pressed: the name field as typed, the indexes of
// the selected entries in ascending order (every one of them, however many), and whether "Add"
// (true) or "Subtract" (false) was on.
struct CombineChoice {
    std::string newName;
    std::vector<std::size_t> selected;
    bool addMode = true;
};

}  // namespace tessary
