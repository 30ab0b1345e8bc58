#include "regions/BodyRegions.h"

namespace tessary {

const std::vector<BodyRegion>& BodyRegions() {
    constexpr LeftAloneBy hands = LeftAloneBy::LeaveHands;
    constexpr LeftAloneBy feet = LeftAloneBy::LeaveFeet;
    // The head and neck belong to "Head" only, the chest, abdomen and hip to the body halves
    // only; no region covers the whole figure.
    static const std::vector<BodyRegion> regions = {
        {"Head", {{headParts}}},
        {"Left Hand", {{leftHandParts, hands}}},
        {"Left Arm", {{leftArmParts}, {leftHandParts, hands}}},
        {"Left Leg", {{leftLegParts}, {leftFootParts, feet}}},
        {"Left Foot", {{leftFootParts, feet}}},
        {"Left Side",
         {{leftArmParts}, {leftHandParts, hands}, {leftLegParts}, {leftFootParts, feet}}},
        {"Right Hand", {{rightHandParts, hands}}},
        {"Right Arm", {{rightArmParts}, {rightHandParts, hands}}},
        {"Right Leg", {{rightLegParts}, {rightFootParts, feet}}},
        {"Right Foot", {{rightFootParts, feet}}},
        {"Right Side",
         {{rightArmParts}, {rightHandParts, hands}, {rightLegParts}, {rightFootParts, feet}}},
        {"Upper Body",
         {{chestParts},
          {rightArmParts},
          {rightHandParts, hands},
          {leftArmParts},
          {leftHandParts, hands}}},
        {"Lower Body",
         {{hipParts},
          {rightLegParts},
          {rightFootParts, feet},
          {leftLegParts},
          {leftFootParts, feet}}},
        {"Genitals", {{genitalParts}}},
        {"", {}},
    };
    return regions;
}

}  // namespace tessary
