#pragma once

namespace tessary {

// What the region dialog hands back on OK: the chosen list entry, the action and the parts to
// leave alone.
struct RegionOptions {
    // Bits of `flags`.
    static constexpr int kLeaveHands = 1;
    static constexpr int kLeaveFeet = 2;
    static constexpr int kLeaveMorphTargets = 4;

    int region = -1;   // index of the list entry, -1 when none was chosen
    bool copy = true;  // "Copy Settings"; false for "Zero Settings"
    int flags = 0;
};

}  // namespace tessary
