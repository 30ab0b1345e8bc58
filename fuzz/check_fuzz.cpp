// libFuzzer target for tessary-cli check: any text, with or without an OBJ mesh, is checked
// without a crash, and every finding names a line of the text (or 0 for the whole file).
// Build with -DTESSARY_BUILD_FUZZ=ON and clang (see fuzz/CMakeLists.txt).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "geometry/FileCheck.h"
#include "geometry/ObjMesh.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const tessary::ObjMesh* mesh = [] {
        auto* built = new tessary::ObjMesh;
        built->Parse("v 0 0 0\nv 1 0 0\nv 0 1 0\ng head\nusemtl skin\nf 1 2 3\n");
        return built;
    }();
    const std::string original(reinterpret_cast<const char*>(data), size);
    const int lines = 1 + static_cast<int>(std::count(original.begin(), original.end(), '\n') +
                                           std::count(original.begin(), original.end(), '\r'));
    for (const tessary::ObjMesh* with : {static_cast<const tessary::ObjMesh*>(nullptr), mesh}) {
        std::string text = original;
        for (const tessary::CheckFinding& finding : tessary::CheckFileText(text, with)) {
            if (finding.line < 0 || finding.line > lines || finding.kind.empty()) {
                std::abort();
            }
        }
    }
    return 0;
}
