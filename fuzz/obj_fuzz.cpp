// libFuzzer target for the OBJ reader, the delta-line parser and the number readers (built by
// fuzz/CMakeLists.txt with -DTESSARY_BUILD_FUZZ=ON and clang).
// Checks that no input crashes and that every renumbered index lies inside its group's list.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "edit/MorphDeltas.h"
#include "model/NumberText.h"
#include "geometry/ObjMesh.h"

namespace {

void CheckIndex(std::int32_t index, std::size_t size) {
    if (index != tessary::kAbsentIndex && (index < 0 || static_cast<std::size_t>(index) >= size)) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    tessary::ObjMesh mesh;
    mesh.Parse(text);
    for (const tessary::ObjGroup& group : mesh.groups) {
        for (const tessary::ObjFace& face : group.faces) {
            for (const tessary::ObjCorner& corner : face.corners) {
                CheckIndex(corner.vertexIndex, group.vertices.size());
                CheckIndex(corner.textureIndex, group.textureVertices.size());
                CheckIndex(corner.normalIndex, group.normals.size());
            }
        }
        mesh.WriteGroup(group.name, {}, "now");
    }
    tessary::Delta delta;
    tessary::ParseDeltaLine(text, delta);
    tessary::ReadLeadingDouble(text);
    tessary::ReadLeadingInt(text);
    return 0;
}
