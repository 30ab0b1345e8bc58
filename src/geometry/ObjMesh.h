#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/LargeArrayAllocator.h"

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

// A growable list in fixed chunks of one huge page each: appending never moves what is in a
// full chunk, so a list of millions of entries touches its memory about once (a doubling array
// touches it about three times), and a chunk goes back to the system whole once released. The
// first chunk grows by doubling from a few entries up to 32 KiB, so that a small list costs
// little.
template <typename T>
class ObjChunkedList {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

  public:
    static constexpr std::size_t kChunk = kLargeArrayPage / sizeof(T);

    ObjChunkedList() = default;
    ObjChunkedList(const ObjChunkedList&) = delete;
    ObjChunkedList& operator=(const ObjChunkedList&) = delete;
    ~ObjChunkedList() { clear(); }

    T& emplace_back() {
        if (next_ == limit_) {
            Grow();
        }
        T& entry = *next_++;
        entry = T{};
        ++size_;
        return entry;
    }
    const T& operator[](std::size_t i) const { return chunks_[i / kChunk][i % kChunk]; }
    std::size_t size() const { return size_; }
    void clear() {
        for (std::size_t c = 0; c < chunks_.size(); ++c) {
            ReleaseChunk(c);
        }
        chunks_.clear();
        size_ = 0;
        firstCapacity_ = 0;
        next_ = limit_ = nullptr;
    }
    // Calls `visit(first, count)` for each run of adjacent entries in [from, from + count).
    template <typename Visit>
    void ForEachRun(std::size_t from, std::size_t count, Visit&& visit) const {
        while (count > 0) {
            std::size_t offset = from % kChunk;
            std::size_t run = std::min(count, kChunk - offset);
            visit(chunks_[from / kChunk] + offset, run);
            from += run;
            count -= run;
        }
    }
    // Frees chunk `c` (the entries from c * kChunk on) ahead of the rest; they must not be
    // read again. Appending after a release is not allowed.
    void ReleaseChunk(std::size_t c) {
        if (c < chunks_.size() && chunks_[c]) {
            FreeLargeArray(chunks_[c], ChunkBytes(c));
            chunks_[c] = nullptr;
        }
    }
    std::size_t ChunkCount() const { return chunks_.size(); }

  private:
    std::size_t ChunkBytes(std::size_t c) const {
        return c == 0 && firstCapacity_ < kChunk ? firstCapacity_ * sizeof(T) : kLargeArrayPage;
    }

    void Grow() {
        chunks_.reserve(chunks_.size() + 1);
        if (size_ < kChunk) {
            // Doubling stops short of the shared regions, where the chunks it leaves behind
            // would stay resident: past 32 KiB the first chunk takes its whole huge page.
            std::size_t capacity = firstCapacity_ ? firstCapacity_ * 2 : 16;
            if (capacity >= kChunk || capacity * sizeof(T) > (std::size_t{32} << 10)) {
                capacity = kChunk;
            }
            std::size_t bytes = capacity < kChunk ? capacity * sizeof(T) : kLargeArrayPage;
            T* grown = static_cast<T*>(AllocateLargeArray(bytes));
            if (chunks_.empty()) {
                chunks_.push_back(grown);
            } else {
                std::memcpy(grown, chunks_[0], size_ * sizeof(T));
                FreeLargeArray(chunks_[0], ChunkBytes(0));
                chunks_[0] = grown;
            }
            firstCapacity_ = capacity;
            next_ = grown + size_;
            limit_ = grown + capacity;
            return;
        }
        T* chunk = static_cast<T*>(AllocateLargeArray(kLargeArrayPage));
        chunks_.push_back(chunk);
        next_ = chunk;
        limit_ = chunk + kChunk;
    }

    std::vector<T*> chunks_;
    std::size_t size_ = 0;
    std::size_t firstCapacity_ = 0;
    T* next_ = nullptr;
    T* limit_ = nullptr;
};

// Scratch space for renumbering faces: one slot per entry of the mesh-wide lists, so that
// finding a group's distinct indices costs time in proportion to its faces, not to the mesh.
struct ObjIndexScratch {
    LargeArray<std::int32_t> vertexSlots;
    LargeArray<std::int32_t> textureSlots;
    LargeArray<std::int32_t> normalSlots;
    std::vector<std::int32_t> vertexDistinct;
    std::vector<std::int32_t> textureDistinct;
    std::vector<std::int32_t> normalDistinct;
};

// One named part of the mesh. Once adjusted, the group is a mesh of its own: its lists hold only
// the entries its faces use, in the order of their numbers in the file, and its faces' indices
// are 0-based positions in those lists.
struct ObjGroup {
    std::string name;
    // Large meshes keep their lists in huge-page memory (see LargeArrayAllocator); they are
    // used as any std::vector.
    LargeArray<ObjPoint> vertices;
    LargeArray<ObjNormal> normals;
    LargeArray<ObjTextureVertex> textureVertices;
    LargeArray<ObjFace> faces;

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

// The text ObjMesh::WriteGroup makes of `group`, handed to `sink` in pieces of about 64 KiB as
// it is made.
void WriteObjGroup(const ObjGroup& group, const std::vector<ObjPoint>& offsets,
                   std::string_view dateText, const std::function<void(std::string_view)>& sink);

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
    // The group of that name (ignoring letter case), made when there is none.
    std::size_t GroupNamed(std::string_view name);
    void AddMaterial(std::string_view name);
    template <typename T>
    void ReleaseEntriesBelow(ObjChunkedList<T>& list, std::uint32_t lowest, std::size_t& released);

    ObjMesh& mesh_;
    // The groups that faces go into: those the last "g" statement named, each once.
    std::vector<std::size_t> currentGroups_{0};
    ObjChunkedList<ObjPoint> vertices_;
    ObjChunkedList<ObjNormal> normals_;
    ObjChunkedList<ObjTextureVertex> textureVertices_;
    // Faces read so far, in the order of the file, and which group each run of them belongs
    // to; Finish moves them into the groups (after any faces a group held before), so that
    // each group's list is allocated once, at its final size. A face that a "g" statement with
    // several names puts into several groups is read once, in a run of each group.
    ObjChunkedList<ObjFace> faces_;
    struct FaceRun {
        std::size_t start = 0;
        std::size_t count = 0;
        std::size_t nextOfGroup = SIZE_MAX;  // the group's next run, if any
    };
    std::vector<FaceRun> faceRuns_;
    struct GroupRuns {
        std::size_t first = SIZE_MAX;
        std::size_t last = SIZE_MAX;
        std::size_t faces = 0;
        // The lowest 0-based vertex, texture and normal positions its read faces name.
        std::uint32_t lowest[3] = {UINT32_MAX, UINT32_MAX, UINT32_MAX};
    };
    std::vector<GroupRuns> groupRuns_;
    // Whether a group held faces before the reader began; those are not tracked in
    // `GroupRuns::lowest`, so the mesh-wide lists are then kept whole until the end.
    bool hadFaces_ = false;
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
