#pragma once

#include <cstdint>
#include <string>

namespace tessary {

// The per-user store of 32-bit numbers under a section and a key. Reading a missing or
// unreadable value yields the default; a failed write is silent.
class ProfileStore {
  public:
    virtual ~ProfileStore() = default;
    virtual std::int32_t ReadNumber(const std::string& section, const std::string& key,
                                    std::int32_t defaultValue) = 0;
    virtual void WriteNumber(const std::string& section, const std::string& key,
                             std::int32_t value) = 0;
};

}  // namespace tessary
