// The parts of SaveTarget that every system shares; SaveTargetPosix.cpp and
// SaveTargetWindows.cpp hold the rest.

#include "platform/SaveTarget.h"

#include <cerrno>
#include <cstring>

namespace tessary {

SaveTarget::~SaveTarget() {
    Discard();
}

bool SaveTarget::Fail(int error) {
    if (error_ == 0 && refusal_ == nullptr) {
        error_ = error != 0 ? error : EIO;
    }
    return false;
}

std::string SaveTarget::Reason() const {
    if (refusal_ != nullptr) {
        return refusal_;
    }
    return std::strerror(error_ != 0 ? error_ : EIO);
}

}  // namespace tessary
