#include "cli/Session.h"

#include "platform/DateText.h"

namespace tessary {

Session::Session(std::ostream& out, std::ostream* err)
    : out(out), ui(out, err), window(ui, store, leftControl, rightControl) {
    // Scripted exports are compared byte for byte: SOURCE_DATE_EPOCH pins their date (UTC).
    ui.fixedExportTime = SourceDateEpoch();
}

}  // namespace tessary
