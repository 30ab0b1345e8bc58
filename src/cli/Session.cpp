#include "cli/Session.h"

#include <new>
#include <vector>

#include "model/Block.h"
#include "platform/DateText.h"

namespace tessary {

Session::Session(std::ostream& out, std::ostream* err)
    : out(out), ui(out, err), window(ui, store, leftControl, rightControl) {
    // Scripted exports are compared byte for byte: SOURCE_DATE_EPOCH pins their date (UTC).
    ui.fixedExportTime = SourceDateEpoch();
}

Session::~Session() {
    // The leak checker of a sanitized build would not see the texts behind a Text's unaligned
    // pointer as reachable: there the trees are freed as usual.
#if defined(__SANITIZE_ADDRESS__)
    constexpr bool kLeave = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    constexpr bool kLeave = false;
#else
    constexpr bool kLeave = true;
#endif
#else
    constexpr bool kLeave = true;
#endif
    if (kLeave && leaveTreesAtExit) {
        try {
            static auto* left = new std::vector<Block>;
            left->reserve(left->size() + 2);
            for (Side side : {Side::Left, Side::Right}) {
                left->push_back(std::move(window.File(side).root));
            }
        } catch (const std::bad_alloc&) {
            // Freed the usual way then.
        }
    }
}

}  // namespace tessary
