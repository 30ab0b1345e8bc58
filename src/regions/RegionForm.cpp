#include "regions/RegionForm.h"

#include "regions/BodyRegions.h"

namespace tessary {

int RegionForm::EntryCount() {
    return static_cast<int>(BodyRegions().size());
}

std::string_view RegionForm::EntryText(int index) {
    return index >= 0 && index < EntryCount() ? BodyRegions()[static_cast<std::size_t>(index)].entry
                                              : std::string_view();
}

int RegionForm::FindEntry(std::string_view text) {
    for (int i = 0; i < EntryCount(); ++i) {
        if (EntryText(i) == text) {
            return i;
        }
    }
    return -1;
}

void RegionForm::ChooseEntry(int index) {
    if (index >= -1 && index < EntryCount()) {
        entry_ = index;
    }
}

RegionOptions RegionForm::Result() const {
    RegionOptions options;
    options.region = entry_;
    options.copy = copy_;
    options.flags = (leaveFeet ? RegionOptions::kLeaveFeet : 0) |
                    (leaveHands ? RegionOptions::kLeaveHands : 0) |
                    (leaveMorphTargets ? RegionOptions::kLeaveMorphTargets : 0);
    return options;
}

}  // namespace tessary
