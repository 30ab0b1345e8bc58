#include "cli/Session.h"

namespace tessary {

Session::Session(std::ostream& out)
    : out(out), ui(out), window(ui, store, leftControl, rightControl) {}

}  // namespace tessary
