#include "commands/StatusText.h"

#include <vector>

#include "geometry/ObjMesh.h"
#include "model/Names.h"

namespace tessary {

std::string GroupedNumber(long long number) {
    const bool negative = number < 0;
    std::string digits = std::to_string(negative ? -number : number);
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), 1, ',');
    }
    return negative ? "-" + digits : digits;
}

std::string CountOf(long long count, const char* singular, const char* plural) {
    return GroupedNumber(count) + " " + (count == 1 ? singular : plural);
}

std::string LoadedText(const FigureFile& file) {
    const ReadExtent& read = file.lastRead;
    if (read.restIsText) {
        return "Read " + GroupedNumber(read.linesRead) + " of " + GroupedNumber(read.totalLines) +
               " lines; the rest is not part of the file's tree";
    }
    if (read.unclosedBlocks > 0) {
        return "Loaded " + file.fileName + "; " +
               CountOf(static_cast<long long>(read.unclosedBlocks), "block was", "blocks were") +
               " not closed at the end of the file";
    }
    return "Loaded " + file.fileName;
}

std::string SavedText(const FigureFile& file) {
    return "Saved " + file.fileName;
}

std::string AttachedText(const FigureFile& file) {
    if (!file.objMesh) {
        return "Could not read " + file.objFileName;
    }
    return "Attached " + file.objFileName + ": " +
           CountOf(static_cast<long long>(file.objMesh->groups.size()), "group", "groups") + ", " +
           CountOf(static_cast<long long>(file.objMesh->materialNames.size()), "material",
                   "materials");
}

std::string CopiedText(const FigureFile::CopyRecord& copy) {
    if (copy.props == 1 && copy.morphTargets == 0 && copy.channels == 0) {
        return "Copied prop " + std::string(BaseName(copy.propNames.front()));
    }
    std::vector<std::string> parts;
    if (copy.morphTargets > 0) {
        parts.push_back(CountOf(copy.morphTargets, "morph target", "morph targets"));
    }
    if (copy.channels > 0) {
        parts.push_back(CountOf(copy.channels, "channel", "channels"));
    }
    if (copy.props > 0) {
        parts.push_back(CountOf(copy.props, "prop", "props"));
    }
    if (parts.empty()) {
        return "Nothing was copied";
    }
    std::string text = "Copied " + parts.front();
    for (std::size_t i = 1; i < parts.size(); ++i) {
        text += (i + 1 == parts.size() ? " and " : ", ") + parts[i];
    }
    if (!copy.bodyPart.empty() && !copy.severalBodyParts && copy.props == 0) {
        text += " to " + copy.bodyPart;
    }
    return text;
}

}  // namespace tessary
