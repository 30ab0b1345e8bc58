#pragma once

#include <string_view>

#include "platform/RegionOptions.h"

namespace tessary {

// The region dialog's values and rules, apart from its widgets: each face fills a fresh form
// from the user's clicks and hands back Result() on OK. A form starts as every run of the
// dialog does: no entry chosen, nothing checked, "Copy Settings" selected.
class RegionForm {
  public:
    // The list's entries, in order: the region names and the empty entry last.
    static int EntryCount();
    static std::string_view EntryText(int index);
    // The index of the entry with exactly this text, or -1.
    static int FindEntry(std::string_view text);

    // -1 chooses nothing; other indexes outside the list are ignored.
    void ChooseEntry(int index);
    int Entry() const { return entry_; }

    // The two radio buttons: clicking one selects it and clears the other.
    void ClickCopySettings() { copy_ = true; }
    void ClickZeroSettings() { copy_ = false; }
    bool CopySelected() const { return copy_; }

    bool leaveHands = false;
    bool leaveFeet = false;
    bool leaveMorphTargets = false;

    // What OK reads from the controls.
    RegionOptions Result() const;

  private:
    int entry_ = -1;
    bool copy_ = true;
};

}  // namespace tessary
