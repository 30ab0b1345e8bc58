#include "platform/Preferences.h"

#include "platform/ProfileStore.h"

namespace tessary {

std::int32_t& Preferences::operator[](std::size_t i) {
    std::int32_t* fields[] = {&confirmDelete,        &confirmMove,         &autoName,
                              &autoFixStorageOffset, &autoRemoveMaterials, &autoAddMaterials};
    return *fields[i];
}

std::int32_t Preferences::operator[](std::size_t i) const {
    return const_cast<Preferences&>(*this)[i];
}

Preferences Preferences::Read(ProfileStore& store) {
    const Preferences defaults;
    Preferences read;
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        read[i] = store.ReadNumber(kSection, kKeys[i], defaults[i]);
    }
    return read;
}

void Preferences::Write(ProfileStore& store) const {
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        store.WriteNumber(kSection, kKeys[i], (*this)[i]);
    }
}

}  // namespace tessary
