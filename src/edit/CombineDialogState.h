#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/CombineChoice.h"

namespace tessary {

// What the Combine Morph Targets dialog does, apart from its widgets: the list of names with
// the entries selected so far, the name field, and the Add / Subtract pair. The window renders
// it and forwards clicks; a session script sets it up entry by entry. Both read the result
// from Combine().
class CombineDialogState {
  public:
    // As the dialog opens: nothing selected, "New Morph Target" in the name field, Add on.
    explicit CombineDialogState(CombineRequest request);

    const std::vector<std::string>& Names() const { return request_.names; }
    const std::string& Label() const { return request_.label; }
    std::size_t Count() const { return selected_.size(); }

    // The name field's text, as typed.
    std::string newName = "New Morph Target";

    // A click on a list entry: selects it when it was not, clears it when it was. Indexes
    // past the list are ignored.
    void Toggle(std::size_t index);
    void SetSelected(std::size_t index, bool on);
    bool IsSelected(std::size_t index) const;
    std::size_t SelectedCount() const;
    void SelectAll();
    void SelectNone();

    // The two radio buttons: each handler turns its own button on and the other off.
    void OnAdd() { addMode_ = true; }
    void OnSubtract() { addMode_ = false; }
    bool AddOn() const { return addMode_; }
    bool SubtractOn() const { return !addMode_; }

    // The Combine button: the selection in list order, the name field and the Add state.
    CombineChoice Combine() const;

    // The entry a script word names: "#N" for the N-th entry counted from 0, otherwise the
    // first entry with exactly that text. Nothing when there is no such entry.
    std::optional<std::size_t> FindEntry(std::string_view word) const;

  private:
    CombineRequest request_;
    std::vector<bool> selected_;
    bool addMode_ = true;
};

}  // namespace tessary
