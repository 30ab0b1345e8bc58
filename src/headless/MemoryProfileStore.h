#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "platform/ProfileStore.h"

namespace tessary {

// A profile store that lives only as long as the object: tessary-cli and the tests use it so
// that a run never reads or changes the user's stored preferences.
class MemoryProfileStore : public ProfileStore {
  public:
    std::int32_t ReadNumber(const std::string& section, const std::string& key,
                            std::int32_t defaultValue) override;
    void WriteNumber(const std::string& section, const std::string& key,
                     std::int32_t value) override;

    // Whether a value was ever written under section and key.
    bool Contains(const std::string& section, const std::string& key) const;
    std::size_t Size() const { return values_.size(); }

  private:
    std::map<std::pair<std::string, std::string>, std::int32_t> values_;
};

}  // namespace tessary
