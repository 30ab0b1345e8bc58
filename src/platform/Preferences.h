#pragma once

#include <array>
#include <cstdint>

namespace tessary {

class ProfileStore;

// The six user options, in the order the store and the dialog list them.
struct Preferences {
    std::int32_t confirmDelete = 1;
    std::int32_t confirmMove = 1;
    std::int32_t autoName = 0;
    std::int32_t autoFixStorageOffset = 0;
    std::int32_t autoRemoveMaterials = 0;
    std::int32_t autoAddMaterials = 0;

    static constexpr const char* kSection = "Preferences";
    static constexpr std::array<const char*, 6> kKeys = {
        "ConfirmDelete",        "ConfirmMove",         "AutoName",
        "AutoFixStorageOffset", "AutoRemoveMaterials", "AutoAddMaterials"};

    std::int32_t& operator[](std::size_t i);
    std::int32_t operator[](std::size_t i) const;

    // Reads all six with their defaults.
    static Preferences Read(ProfileStore& store);
    // Writes all six, in order, changed or not.
    void Write(ProfileStore& store) const;
};

}  // namespace tessary
