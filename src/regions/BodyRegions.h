#pragma once

#include <array>
#include <span>
#include <string_view>
#include <vector>

namespace tessary {

// A fixed, ordered list of actor base names, walked in its order.
using BodyPartList = std::span<const std::string_view>;

inline constexpr std::array<std::string_view, 4> headParts = {"head", "neck", "leftEye",
                                                              "rightEye"};
inline constexpr std::array<std::string_view, 2> chestParts = {"chest", "abdomen"};
inline constexpr std::array<std::string_view, 1> hipParts = {"hip"};
inline constexpr std::array<std::string_view, 16> leftHandParts = {
    "lHand", "lThumb1", "lThumb2", "lThumb3", "lIndex1", "lIndex2", "lIndex3", "lMid1",
    "lMid2", "lMid3",   "lRing1",  "lRing2",  "lRing3",  "lPinky1", "lPinky2", "lPinky3"};
inline constexpr std::array<std::string_view, 3> leftArmParts = {"lCollar", "lShldr", "lForeArm"};
inline constexpr std::array<std::string_view, 2> leftLegParts = {"lThigh", "lShin"};
inline constexpr std::array<std::string_view, 2> leftFootParts = {"lFoot", "lToe"};
inline constexpr std::array<std::string_view, 16> rightHandParts = {
    "rHand", "rThumb1", "rThumb2", "rThumb3", "rIndex1", "rIndex2", "rIndex3", "rMid1",
    "rMid2", "rMid3",   "rRing1",  "rRing2",  "rRing3",  "rPinky1", "rPinky2", "rPinky3"};
inline constexpr std::array<std::string_view, 3> rightArmParts = {"rCollar", "rShldr", "rForeArm"};
inline constexpr std::array<std::string_view, 2> rightLegParts = {"rThigh", "rShin"};
inline constexpr std::array<std::string_view, 2> rightFootParts = {"rFoot", "rToe"};
// Not a list of its own: "Genitals" applies to this one actor.
inline constexpr std::array<std::string_view, 1> genitalParts = {"genitals"};

// Which check box of the region dialog leaves a list alone.
enum class LeftAloneBy { Nothing, LeaveHands, LeaveFeet };

struct RegionStep {
    BodyPartList parts;
    LeftAloneBy leftAloneBy = LeftAloneBy::Nothing;
};

// One entry of the region dialog's list and the lists it applies, in order.
struct BodyRegion {
    std::string_view entry;
    std::vector<RegionStep> steps;
};

// The fifteen regions, numbered as the entries of the region dialog's list; the last is the
// empty entry, which applies nothing.
const std::vector<BodyRegion>& BodyRegions();

}  // namespace tessary
