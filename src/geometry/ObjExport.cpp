#include "geometry/ObjExport.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>

#include "edit/MorphDeltas.h"
#include "model/Block.h"
#include "model/Names.h"
#include "model/NumberText.h"
#include "model/TextIO.h"
#include "pane/FigureFile.h"
#include "platform/Ui.h"

namespace tessary {

namespace {

// The group named by the actor segment of a morph target's path
// (" |actor lHand|channels |targetGeom Smile" gives "lHand"); none when the path is too short.
std::optional<std::string> GroupNameFromPath(std::string_view path) {
    // The last three separators; the actor's segment lies between the first two of them.
    std::size_t bars[3] = {std::string_view::npos, std::string_view::npos, std::string_view::npos};
    int found = 0;
    for (std::size_t bar = FindPathSeparator(path); bar != std::string_view::npos;
         bar = FindPathSeparator(path, bar + 1)) {
        bars[0] = bars[1];
        bars[1] = bars[2];
        bars[2] = bar;
        ++found;
    }
    if (found < 3) {
        return std::nullopt;
    }
    std::string segment = PathSegmentText(path.substr(bars[0] + 1, bars[1] - bars[0] - 1));
    std::size_t space = segment.find(' ');
    if (space == std::string::npos) {
        return std::nullopt;
    }
    return segment.substr(space + 1);
}

bool IsGeometryStatement(std::string_view tag) {
    return tag == "v" || tag == "vt" || tag == "vn" || tag == "f" || tag == "usemtl" ||
           tag == "s" || tag == "h" || tag == "g";
}

std::string InCurrentDirectory(const std::string& name) {
    std::error_code error;
    std::filesystem::path directory = std::filesystem::current_path(error);
    if (error) {
        return name;
    }
    // Names are UTF-8 in and out, whatever narrow text means to the system's paths.
    const std::u8string joined = (directory / std::u8string(name.begin(), name.end())).u8string();
    return std::string(joined.begin(), joined.end());
}

// The body part's group in the attached OBJ file; when there is none (or no file), the
// message box that says so, before any file dialog.
const ObjGroup* FoundGroup(FigureFile& file, std::string_view groupName) {
    const ObjGroup* group = file.objMesh ? file.objMesh->FindGroup(groupName) : nullptr;
    if (!group) {
        file.ui.ShowMessage("The OBJ file has no group named " + std::string(groupName) + ".",
                            "OBJ Export", MessageButtons::Ok, MessageIcon::Exclamation);
    }
    return group;
}

int ExportPropBlock(FigureFile& file, const Block& prop) {
    if (prop.tag != "prop") {
        return 0;
    }
    // The first top-level "prop" line of that name holds the geometry, whichever was clicked.
    const Block* definition = file.root.FindNthChild("prop " + prop.data, 0, Match::LineKey);
    if (!definition) {
        return 0;
    }
    FileDialogRequest request;
    request.filter =
        "Wavefront Obj Files (*.obj)|*.obj|Compressed Wavefront Obj Files (*.obz)|*.obz||";
    request.defaultExtension = "obj";
    request.proposedName = std::string(BaseName(definition->data));
    std::optional<std::string> target = file.ui.SaveFileDialog(request);
    if (!target) {
        return 0;
    }
    const Block* geometry = definition->FindNthChild("geomCustom", 0, Match::Tag);
    std::string reason;
    bool written = WriteFileAtomically(
        *target, TextWriter::LineEnds::CrLf,
        [&](TextWriter& out) {
            if (!geometry) {
                return;
            }
            std::string line;
            for (const Block& child : geometry->children) {
                line.clear();
                if (!IsGeometryStatement(child.tag)) {
                    line += "# ";  // "numbVerts 8" and the like are no OBJ statements
                }
                line += child.tag;
                line += ' ';
                line += child.data;
                line += '\n';
                out.Write(line);
            }
        },
        &reason);
    file.ui.SetArrowCursor();
    if (!written) {
        file.ui.ShowError("Error opening file.", "FileOpenError", *target + ": " + reason);
        return 0;
    }
    return 1;
}

}  // namespace

std::vector<ObjPoint> BuildOffsetTable(const MorphDeltas& deltas, std::int64_t numbDeltas,
                                       std::size_t limit) {
    std::size_t size = numbDeltas > 0 ? static_cast<std::size_t>(numbDeltas) : 0;
    if (size > limit) {
        size = limit;
    }
    std::vector<ObjPoint> table(size);
    for (const Delta& delta : deltas.deltas) {
        if (delta.vertex >= 0 && static_cast<std::size_t>(delta.vertex) < size) {
            table[delta.vertex] = ObjPoint{delta.dx, delta.dy, delta.dz};
        }
    }
    return table;
}

std::string SafeFileName(std::string_view name) {
    std::string safe(name);
    for (char& c : safe) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' ||
            c == '"' || c == '<' || c == '>' || c == '|') {
            c = '_';
        }
    }
    return safe;
}

int ExportGroup(FigureFile& file, const Block* morphTarget, std::string_view groupName) {
    const ObjGroup* group = FoundGroup(file, groupName);
    if (!group) {
        return 0;
    }
    std::vector<ObjPoint> offsets;
    if (morphTarget) {
        MorphDeltas deltas;
        std::int32_t numbDeltas = ReadMorphDeltas(*morphTarget, deltas);
        offsets = BuildOffsetTable(deltas, numbDeltas, group->vertices.size());
    }
    std::string defaultName = (morphTarget ? morphTarget->data : std::string(groupName)) + ".obj";
    std::string target;
    if (file.autoName == 0) {
        FileDialogRequest request;
        request.filter =
            "Wavefront OBJ Files (*.obj)|*.obj|Compressed Wavefront OBJ Files (*.obz)|*.obz||";
        request.defaultExtension = "obj";
        request.proposedName = defaultName;
        request.overwritePrompt = true;
        request.pathMustExist = true;
        request.createPrompt = true;
        std::optional<std::string> chosen = file.ui.SaveFileDialog(request);
        if (!chosen) {
            return 0;
        }
        target = *chosen;
    } else {
        target = InCurrentDirectory(SafeFileName(defaultName));
    }
    file.modified = 1;
    file.ui.OpenExportingWindow(target);
    std::string dateText = file.ui.ExportDateText();
    file.ui.SetWaitCursor();
    std::string reason;
    // The text goes into the file as it is made, never whole in memory.
    bool written = WriteFileAtomically(
        target, TextWriter::LineEnds::Lf,
        [&](TextWriter& out) {
            WriteObjGroup(*group, offsets, dateText,
                          [&out](std::string_view piece) { out.Write(piece); });
        },
        &reason);
    file.ui.SetArrowCursor();
    file.ui.CloseExportingWindow();
    if (!written) {
        file.ui.ShowError("Error opening obj file.", "OBJ File Open Error", target + ": " + reason);
        return 0;
    }
    return 1;
}

int ExportMorphTarget(FigureFile& file, TreeItem item) {
    if (item == 0) {
        return 0;
    }
    const Block* block = file.BlockOfItem(item);
    if (!block) {
        return 0;
    }
    if (block->tag == "actor") {
        return ExportGroup(file, nullptr, BaseName(block->data));
    }
    std::optional<std::string> groupName = GroupNameFromPath(file.root.PathOf(item, true));
    if (!groupName) {
        return 0;
    }
    return ExportGroup(file, block, *groupName);
}

int ExportProp(FigureFile& file, TreeItem item) {
    const Block* block = item ? file.BlockOfItem(item) : nullptr;
    return block ? ExportPropBlock(file, *block) : 0;
}

void ExportAllMorphTargets(FigureFile& file, TreeItem ownerItem) {
    const Block* owner = ownerItem ? file.BlockOfItem(ownerItem) : nullptr;
    if (!owner) {
        return;
    }
    const Block* channels = owner->FindNthChild("channels", 0, Match::Tag);
    if (!channels) {
        return;
    }
    // Exports change nothing in the tree, so the Blocks stay where they are across the loop.
    std::vector<const Block*> morphTargets;
    for (const Block& child : channels->children) {
        if (child.tag == "targetGeom" && child.treeItem != 0) {
            morphTargets.push_back(&child);
        }
    }
    if (morphTargets.empty()) {
        return;
    }
    // All of them move the same group: a missing one is reported once.
    std::optional<std::string> groupName =
        GroupNameFromPath(file.root.PathOf(morphTargets.front()->treeItem, true));
    if (!groupName || !FoundGroup(file, *groupName)) {
        return;
    }
    // Each is exported as ExportMorphTarget would export it by its item, without the two
    // searches of the whole file (its Block, its path) for every one: they all lie below the
    // same actor, whose group that is. A morph target without a brace block has no path, and
    // ExportMorphTarget exports nothing for it.
    for (const Block* morphTarget : morphTargets) {
        if (morphTarget->hasBlock != 0) {
            ExportGroup(file, morphTarget, *groupName);
        }
    }
}

void ExportAllProps(FigureFile& file, TreeItem actorItem) {
    const Block* actor = actorItem ? file.BlockOfItem(actorItem) : nullptr;
    if (!actor) {
        return;
    }
    const std::string actorName = actor->data;
    const ChildList& top = file.root.children;
    for (std::size_t i = top.size(); i-- > 0;) {
        const Block& block = top[i];
        if (block.tag != "prop") {
            continue;
        }
        // Any of its "parent" lines may name the actor, not only the first.
        const bool hangsFromActor = std::any_of(
            block.children.begin(), block.children.end(),
            [&](const Block& line) { return line.tag == "parent" && line.data == actorName; });
        if (hangsFromActor) {
            ExportPropBlock(file, block);
        }
    }
}

}  // namespace tessary
