#pragma once

#include <string>
#include <vector>

namespace tessary {

struct ObjMesh;

// One thing `CheckFileText` found: the line it stands on (1-based, as an editor counts lines;
// 0 for the file as a whole), a short key for scripts and a sentence for people.
struct CheckFinding {
    int line = 0;
    std::string kind;
    std::string message;
};

// The kinds of finding, as `CheckFinding::kind` names them.
namespace checks {
inline constexpr const char* kDroppedText = "dropped-text";
inline constexpr const char* kUnclosedBlock = "unclosed-block";
inline constexpr const char* kTooDeep = "too-deep";
inline constexpr const char* kDuplicateName = "duplicate-name";
inline constexpr const char* kFigureNumber = "figure-number";
inline constexpr const char* kDeltaCount = "delta-count";
inline constexpr const char* kDeltaBeyondMesh = "delta-beyond-mesh";
inline constexpr const char* kMaterial = "material";
inline constexpr const char* kStorageOffset = "storage-offset";
inline constexpr const char* kNameCharacter = "name-character";
}  // namespace checks

// Reads the whole text of a pose file by the rules loading follows and lists, in line order,
// what is likely wrong with it: text the reader drops (before the first "{", after the
// outermost block, after a NUL byte, on a brace line), blocks never closed, nesting loading
// refuses, actors or props defined twice, figure numbers that disagree, "targetGeom" blocks
// whose "indexes" or "numbDeltas" disagree with their "d" lines, nonzero "storageOffset" lines
// and names holding "|" or a brace. With `mesh`, also deltas beyond the vertices of their body part's
// group and materials that the OBJ file and the figure do not both list. The text is used as
// the line source's buffer (control characters in it become blanks).
std::vector<CheckFinding> CheckFileText(std::string& text, const ObjMesh* mesh = nullptr);

}  // namespace tessary
