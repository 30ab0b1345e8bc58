#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace tessary {

class FigureFile;
class Ui;

// Marks an index that a face corner does not have ("12//5" has no texture index).
inline constexpr std::int32_t kAbsentIndex = -1000000;

struct ObjCorner {
    std::int32_t vertexIndex = kAbsentIndex;
    std::int32_t textureIndex = kAbsentIndex;
    std::int32_t normalIndex = kAbsentIndex;

    bool IsEmpty() const {
        return vertexIndex == kAbsentIndex && textureIndex == kAbsentIndex &&
               normalIndex == kAbsentIndex;
    }
};

// Always four corners; a triangle leaves the last one empty, and a polygon with more corners
// keeps its first four.
struct ObjFace {
    std::array<ObjCorner, 4> corners;
};

struct ObjPoint {
    double x = 0;
    double y = 0;
    double z = 0;
};

struct ObjNormal {
    float x = 0;
    float y = 0;
    float z = 0;
};

struct ObjTextureVertex {
    float u = 0;
    float v = 0;
};

// A growable list in fixed chunks: appending never moves or copies what is there, so a list of
// millions of entries touches its memory once (a doubling array touches it about three times).
template <typename T>
class ObjChunkedList {
  public:
    T& emplace_back() {
        if ((size_ & kMask) == 0 && (size_ >> kShift) == chunks_.size()) {
            chunks_.push_back(std::make_unique<T[]>(kChunk));
        }
        T& entry = chunks_[size_ >> kShift][size_ & kMask];
        ++size_;
        return entry;
    }
    const T& operator[](std::size_t i) const { return chunks_[i >> kShift][i & kMask]; }
    std::size_t size() const { return size_; }
    void clear() {
        chunks_.clear();
        size_ = 0;
    }

  private:
    static constexpr std::size_t kShift = 15;
    static constexpr std::size_t kChunk = std::size_t{1} << kShift;
    static constexpr std::size_t kMask = kChunk - 1;
    std::vector<std::unique_ptr<T[]>> chunks_;
    std::size_t size_ = 0;
};

// Scratch space for renumbering faces: one slot per entry of the mesh-wide lists, so that
// finding a group's distinct indices costs time in proportion to its faces, not to the mesh.
struct ObjIndexScratch {
    std::vector<std::int32_t> vertexSlots;
    std::vector<std::int32_t> textureSlots;
    std::vector<std::int32_t> normalSlots;
    std::vector<std::int32_t> distinct;
};

// One named part of the mesh. Once adjusted, the group is a mesh of its own: its lists hold only
// the entries its faces use, in the order of their numbers in the file, and its faces' indices
// are 0-based positions in those lists.
struct ObjGroup {
    std::string name;
    std::vector<ObjPoint> vertices;
    std::vector<ObjNormal> normals;
    std::vector<ObjTextureVertex> textureVertices;
    std::vector<ObjFace> faces;

    // Gives the group its own coordinate lists and renumbers its faces; the faces must hold
    // the file's 1-based (already resolved) numbers. A face whose vertex number is 0 or beyond
    // `allVertices` is dropped; a texture or normal number 0 or beyond its list becomes absent.
    void AdjustFaces(const std::vector<ObjPoint>& allVertices,
                     const std::vector<ObjNormal>& allNormals,
                     const std::vector<ObjTextureVertex>& allTextureVertices);
    void AdjustFaces(const std::vector<ObjPoint>& allVertices,
                     const std::vector<ObjNormal>& allNormals,
                     const std::vector<ObjTextureVertex>& allTextureVertices,
                     ObjIndexScratch& scratch);
};

// The geometry of an attached Wavefront OBJ file: one group per body part ("default" first,
// for faces before any "g"), plus the material names in the order they are first used.
//
// Only "v", "vt", "vn", "f", "g" and "usemtl" are read; other statements are skipped. Bad input
// is data: a missing number reads as 0, a face that names a vertex that does not exist is
// dropped, and no input makes the reader fail.
struct ObjMesh {
    std::vector<ObjGroup> groups;
    std::vector<std::string> materialNames;

    // Fills an empty mesh from the whole text of an OBJ file (the last line need not end with
    // a line break) and adjusts every group. With a `ui`, the progress window is shown.
    void Parse(std::string_view text, Ui* ui = nullptr);

    // The first group whose name equals `name` ignoring letter case, or none.
    ObjGroup* FindGroup(std::string_view name);
    const ObjGroup* FindGroup(std::string_view name) const;

    // The OBJ text of one group (five header lines, v, vt, vn, g, f), the first `offsets.size()`
    // vertices moved by the offsets; none when there is no such group.
    std::optional<std::string> WriteGroup(std::string_view groupName,
                                          const std::vector<ObjPoint>& offsets,
                                          std::string_view dateText) const;
};

// Reads OBJ text piece by piece, so that a file need not be held whole in memory: every piece
// must end at a line break, except the last one given to Finish.
class ObjReader {
  public:
    explicit ObjReader(ObjMesh& mesh);
    ObjReader(const ObjReader&) = delete;
    ObjReader& operator=(const ObjReader&) = delete;

    // Reads every line of `text`.
    void ReadLines(std::string_view text);
    // Adjusts every group (the progress, if any, is moved once per group) and releases the
    // mesh-wide lists.
    void Finish(Ui* ui);

  private:
    void ReadLine(const char* p, const char* end);
    void ReadFace(const char* p, const char* end);
    void SelectGroup(std::string_view name);
    void AddMaterial(std::string_view name);

    ObjMesh& mesh_;
    std::size_t currentGroup_ = 0;
    ObjChunkedList<ObjPoint> vertices_;
    ObjChunkedList<ObjNormal> normals_;
    ObjChunkedList<ObjTextureVertex> textureVertices_;
    // Group and material names in lower case: a hostile file with a million names must not
    // cost a million scans of the lists.
    std::unordered_map<std::string, std::size_t> groupByName_;
    std::unordered_set<std::string> materialKeys_;
};

// Open dialog for an OBJ file (proposing `geometryName`); on OK stores objPath and objFileName
// and reads the file. Returns 1 when a file was chosen and read, else 0.
int ChooseObjFile(FigureFile& file);
// Reads the file named by objPath into a new ObjMesh that replaces the pane's; then
// geometryName becomes objFileName. Returns 0 (after the "Error opening obj file." box) when the
// file cannot be opened or read, leaving the previous mesh in place.
int ReadObjFile(FigureFile& file);

}  // namespace tessary
