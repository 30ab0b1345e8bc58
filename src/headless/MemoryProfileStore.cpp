#include "headless/MemoryProfileStore.h"

namespace tessary {

std::int32_t MemoryProfileStore::ReadNumber(const std::string& section, const std::string& key,
                                            std::int32_t defaultValue) {
    const auto found = values_.find({section, key});
    return found != values_.end() ? found->second : defaultValue;
}

void MemoryProfileStore::WriteNumber(const std::string& section, const std::string& key,
                                     std::int32_t value) {
    values_[{section, key}] = value;
}

bool MemoryProfileStore::Contains(const std::string& section, const std::string& key) const {
    return values_.count({section, key}) != 0;
}

}  // namespace tessary
