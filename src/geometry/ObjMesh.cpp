#include "geometry/ObjMesh.h"

#include <algorithm>
#include <cstring>

#include "model/Names.h"
#include "model/NumberText.h"
#include "platform/Ui.h"

namespace tessary {

namespace {

bool IsSeparator(char c) {
    return c == ' ' || c == '\t';
}

// The next blank-separated token at `p`; `p` moves past it. Empty at the end of the line.
std::string_view NextToken(const char*& p, const char* end) {
    while (p != end && IsSeparator(*p)) {
        ++p;
    }
    const char* start = p;
    while (p != end && !IsSeparator(*p)) {
        ++p;
    }
    return std::string_view(start, static_cast<std::size_t>(p - start));
}

// A face number as the file writes it, made absolute: 1-based, negative numbers counting back
// from the last entry read so far ("-1" is the newest). 0 stands for "no such entry". Reads
// the leading integer of [p, end) as atoi would and leaves `p` after it.
std::int32_t ReadIndex(const char*& p, const char* end, std::size_t countSoFar) {
    bool negative = false;
    if (p != end && (*p == '-' || *p == '+')) {
        negative = *p == '-';
        ++p;
    }
    std::int64_t number = 0;
    while (p != end && *p >= '0' && *p <= '9') {
        if (number <= INT32_MAX) {  // past that it names nothing; stop growing
            number = number * 10 + (*p - '0');
        }
        ++p;
    }
    if (number == 0) {
        return 0;  // "0", "-0", "-" and "x" name no entry
    }
    if (negative) {
        std::int64_t resolved = static_cast<std::int64_t>(countSoFar) - number + 1;
        number = resolved < 0 ? 0 : resolved;
    }
    return number > INT32_MAX ? 0 : static_cast<std::int32_t>(number);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A coordinate at `p` (after any blanks), read as ReadLeadingDouble reads its token; `p` moves
// past the token. The common forms "0.012345" and "-12" are read here in one pass: with at most
// fifteen digits the mantissa and the power of ten are exact, so one division rounds as
// std::from_chars does. Everything else goes the general way.
double ReadCoordinate(const char*& p, const char* end) {
    static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    while (p != end && IsSeparator(*p)) {
        ++p;
    }
    const char* q = p;
    bool negative = false;
    if (q != end && (*q == '-' || *q == '+')) {
        negative = *q == '-';
        ++q;
    }
    std::uint64_t mantissa = 0;
    const char* digits = q;
    while (q != end && IsDigit(*q) && q - digits < 16) {
        mantissa = mantissa * 10 + static_cast<unsigned>(*q - '0');
        ++q;
    }
    const std::ptrdiff_t whole = q - digits;
    std::ptrdiff_t fraction = 0;
    if (whole > 0 && q != end && *q == '.') {
        ++q;
        const char* first = q;
        while (q != end && IsDigit(*q) && whole + (q - first) < 16) {
            mantissa = mantissa * 10 + static_cast<unsigned>(*q - '0');
            ++q;
        }
        fraction = q - first;
    }
    if (whole > 0 && whole + fraction <= 15 && (q == end || IsSeparator(*q))) {
        p = q;
        double value = static_cast<double>(mantissa) / kPowers[fraction];
        return negative ? -value : value;
    }
    return ReadLeadingDouble(NextToken(p, end));
}

// Reads the fields of one face corner at `p` ("7", "7/3", "7/3/5", "7//5", "7/"; an empty
// field is absent), stopping anywhere inside the corner's token.
void ReadCorner(const char*& p, const char* end, ObjCorner& corner, std::size_t vertices,
                std::size_t textures, std::size_t normals) {
    auto toSlash = [&p, end] {
        while (p != end && *p != '/' && !IsSeparator(*p)) {
            ++p;
        }
        return p != end && *p == '/';
    };
    corner.vertexIndex = ReadIndex(p, end, vertices);
    if (!toSlash()) {
        return;
    }
    ++p;
    if (p != end && *p != '/' && !IsSeparator(*p)) {
        corner.textureIndex = ReadIndex(p, end, textures);
        if (!toSlash()) {
            return;
        }
    } else if (p == end || *p != '/') {
        return;
    }
    ++p;
    if (p != end && !IsSeparator(*p)) {
        corner.normalIndex = ReadIndex(p, end, normals);
    }
}

constexpr std::int32_t kFree = -1;

// The distinct entries of one kind (vertices, texture vertices or normals) that a group's
// faces use, found by marking one slot per entry of the mesh-wide list.
struct UsedEntries {
    LargeArray<std::int32_t>& slots;
    std::vector<std::int32_t>& distinct;
    std::int32_t lowest = INT32_MAX;
    std::int32_t highest = -1;

    UsedEntries(LargeArray<std::int32_t>& slotList, std::vector<std::int32_t>& distinctList,
                std::size_t count)
        : slots(slotList), distinct(distinctList) {
        if (slots.size() < count) {
            slots.reserve(WholePagesOf<std::int32_t>(count));  // given back whole when done
            slots.resize(count, kFree);
        }
        distinct.clear();
    }

    // `index` is 1-based and in range, or absent.
    void Mark(std::int32_t index) {
        if (index == kAbsentIndex) {
            return;
        }
        std::int32_t at = index - 1;
        if (slots[at] == kFree) {
            slots[at] = 0;
            distinct.push_back(at);
            lowest = std::min(lowest, at);
            highest = std::max(highest, at);
        }
    }

    // Copies the used entries, in the order of their numbers, into `own` and gives each its
    // position there, which Renumber then reads.
    template <typename Entry, typename List>
    void Collect(const List& all, LargeArray<Entry>& own) {
        own.clear();
        if (distinct.empty()) {
            return;
        }
        // Ascending order: a dense range is read straight off the slots, a sparse one sorted.
        std::size_t span = static_cast<std::size_t>(highest - lowest) + 1;
        if (span <= 4 * distinct.size() + 64) {
            distinct.clear();
            for (std::int32_t at = lowest; at <= highest; ++at) {
                if (slots[at] != kFree) {
                    distinct.push_back(at);
                }
            }
        } else {
            std::sort(distinct.begin(), distinct.end());
        }
        own.resize(distinct.size());
        for (std::size_t position = 0; position < distinct.size(); ++position) {
            slots[distinct[position]] = static_cast<std::int32_t>(position);
            own[position] = all[distinct[position]];
        }
    }

    std::int32_t Renumber(std::int32_t index) const {
        return index == kAbsentIndex ? index : slots[index - 1];
    }

    // Leaves the slots free for the next group.
    void Release() {
        for (std::int32_t at : distinct) {
            slots[at] = kFree;
        }
        distinct.clear();
    }
};

// One corner, 1-based, then a blank: "12/34/5 ", "12/34 ", "12//5 ", "12/ ". The "/" after
// the vertex stands even when no texture number follows, as the files we match write it.
void AppendCorner(std::string& out, const ObjCorner& corner) {
    if (corner.vertexIndex != kAbsentIndex) {
        AppendInt(out, static_cast<std::int64_t>(corner.vertexIndex) + 1);
    } else {
        out += '/';
    }
    out += '/';
    if (corner.textureIndex != kAbsentIndex) {
        AppendInt(out, static_cast<std::int64_t>(corner.textureIndex) + 1);
    }
    if (corner.normalIndex != kAbsentIndex) {
        out += '/';
        AppendInt(out, static_cast<std::int64_t>(corner.normalIndex) + 1);
    }
    out += ' ';
}

bool InRange(std::int32_t index, std::size_t count) {
    return index >= 1 && static_cast<std::size_t>(index) <= count;
}

}  // namespace

namespace {

// Renumbers a group's faces against the mesh-wide lists and gives the group its own lists.
// The faces are the group's own followed by the `readCount` faces that `forEachRead(take)`
// hands to `take` one by one.
template <typename ForEachRead, typename Points, typename Normals, typename Textures>
void AdjustGroup(ObjGroup& group, std::size_t readCount, ForEachRead&& forEachRead,
                 const Points& allVertices, const Normals& allNormals,
                 const Textures& allTextureVertices, ObjIndexScratch& scratch) {
    UsedEntries usedVertices(scratch.vertexSlots, scratch.vertexDistinct, allVertices.size());
    UsedEntries usedTextures(scratch.textureSlots, scratch.textureDistinct,
                             allTextureVertices.size());
    UsedEntries usedNormals(scratch.normalSlots, scratch.normalDistinct, allNormals.size());
    // A face that names a vertex the file does not have cannot be drawn or exported; a missing
    // texture or normal entry only loses that attribute.
    auto accept = [&](ObjFace& face) {
        for (ObjCorner& corner : face.corners) {
            if (corner.vertexIndex != kAbsentIndex &&
                !InRange(corner.vertexIndex, allVertices.size())) {
                return false;
            }
            if (corner.textureIndex != kAbsentIndex &&
                !InRange(corner.textureIndex, allTextureVertices.size())) {
                corner.textureIndex = kAbsentIndex;
            }
            if (corner.normalIndex != kAbsentIndex &&
                !InRange(corner.normalIndex, allNormals.size())) {
                corner.normalIndex = kAbsentIndex;
            }
        }
        for (const ObjCorner& corner : face.corners) {
            usedVertices.Mark(corner.vertexIndex);
            usedTextures.Mark(corner.textureIndex);
            usedNormals.Mark(corner.normalIndex);
        }
        return true;
    };
    LargeArray<ObjFace>& faces = group.faces;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < faces.size(); ++i) {
        ObjFace face = faces[i];
        if (accept(face)) {
            faces[kept++] = face;
        }
    }
    faces.resize(kept);
    if (readCount > 0) {
        // One allocation of the final size (less any dropped faces) instead of doubling.
        faces.reserve(kept + readCount);
        forEachRead([&](ObjFace face) {
            if (accept(face)) {
                faces.push_back(face);
            }
        });
    }
    usedVertices.Collect(allVertices, group.vertices);
    usedTextures.Collect(allTextureVertices, group.textureVertices);
    usedNormals.Collect(allNormals, group.normals);
    for (ObjFace& face : faces) {
        for (ObjCorner& corner : face.corners) {
            corner.vertexIndex = usedVertices.Renumber(corner.vertexIndex);
            corner.textureIndex = usedTextures.Renumber(corner.textureIndex);
            corner.normalIndex = usedNormals.Renumber(corner.normalIndex);
        }
    }
    usedVertices.Release();
    usedTextures.Release();
    usedNormals.Release();
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// ObjGroup

void ObjGroup::AdjustFaces(const std::vector<ObjPoint>& allVertices,
                           const std::vector<ObjNormal>& allNormals,
                           const std::vector<ObjTextureVertex>& allTextureVertices) {
    ObjIndexScratch scratch;
    AdjustFaces(allVertices, allNormals, allTextureVertices, scratch);
}

void ObjGroup::AdjustFaces(const std::vector<ObjPoint>& allVertices,
                           const std::vector<ObjNormal>& allNormals,
                           const std::vector<ObjTextureVertex>& allTextureVertices,
                           ObjIndexScratch& scratch) {
    AdjustGroup(
        *this, 0, [](auto&&) {}, allVertices, allNormals, allTextureVertices, scratch);
}

// ---------------------------------------------------------------------------------------------
// ObjReader

ObjReader::ObjReader(ObjMesh& mesh) : mesh_(mesh) {
    if (mesh_.groups.empty()) {
        mesh_.groups.emplace_back();
        mesh_.groups.back().name = "default";
    }
    for (std::size_t i = 0; i < mesh_.groups.size(); ++i) {
        groupByName_.emplace(LowerAscii(mesh_.groups[i].name), i);
    }
    for (const std::string& name : mesh_.materialNames) {
        materialKeys_.insert(LowerAscii(name));
    }
    groupRuns_.resize(mesh_.groups.size());
    for (const ObjGroup& group : mesh_.groups) {
        hadFaces_ = hadFaces_ || !group.faces.empty();
    }
}

void ObjReader::ReadLines(std::string_view text) {
    const char* p = text.data();
    const char* end = p + text.size();
    // Lines end at LF or CR, so CR LF, LF and lone CR files read alike. The next CR is looked
    // for once, not on every line: most files have none.
    auto findCr = [end](const char* from) {
        const char* cr = static_cast<const char*>(std::memchr(from, '\r', end - from));
        return cr ? cr : end;
    };
    const char* cr = p != end ? findCr(p) : end;
    while (p != end) {
        const char* lineEnd = static_cast<const char*>(std::memchr(p, '\n', end - p));
        if (!lineEnd) {
            lineEnd = end;
        }
        while (cr < lineEnd) {
            ReadLine(p, cr);
            p = cr + 1;
            cr = findCr(p);
        }
        ReadLine(p, lineEnd);
        p = lineEnd == end ? end : lineEnd + 1;
    }
}

void ObjReader::ReadLine(const char* p, const char* end) {
    // A NUL ends the line, as it ends the text of a pose file: "v 1 2\0 3" is "v 1 2".
    if (const void* nul = std::memchr(p, '\0', static_cast<std::size_t>(end - p))) {
        end = static_cast<const char*>(nul);
    }
    std::string_view keyword = NextToken(p, end);
    if (keyword.empty() || keyword[0] == '#') {
        return;
    }
    switch (keyword.size()) {
        case 1:
            if (EqualsIgnoringCase(keyword, "v")) {
                ObjPoint& point = vertices_.emplace_back();
                point.x = ReadCoordinate(p, end);
                point.y = ReadCoordinate(p, end);
                point.z = ReadCoordinate(p, end);
            } else if (EqualsIgnoringCase(keyword, "f")) {
                ReadFace(p, end);
            } else if (EqualsIgnoringCase(keyword, "g")) {
                // "g TextureGroup_He head": the faces that follow belong to every named group.
                // Real files name two or three; a hostile file naming thousands would have
                // every face stored thousands of times, so names after the first eight are
                // ignored.
                constexpr std::size_t kMostNames = 8;
                std::string_view name = NextToken(p, end);
                if (!name.empty()) {
                    currentGroups_.clear();
                    for (std::size_t taken = 0; !name.empty() && taken < kMostNames;
                         name = NextToken(p, end), ++taken) {
                        const std::size_t group = GroupNamed(name);
                        if (std::find(currentGroups_.begin(), currentGroups_.end(), group) ==
                            currentGroups_.end()) {
                            currentGroups_.push_back(group);
                        }
                    }
                }
            }
            return;
        case 2:
            if (EqualsIgnoringCase(keyword, "vt")) {
                ObjTextureVertex& texture = textureVertices_.emplace_back();
                texture.u = static_cast<float>(ReadCoordinate(p, end));
                texture.v = static_cast<float>(ReadCoordinate(p, end));
            } else if (EqualsIgnoringCase(keyword, "vn")) {
                ObjNormal& normal = normals_.emplace_back();
                normal.x = static_cast<float>(ReadCoordinate(p, end));
                normal.y = static_cast<float>(ReadCoordinate(p, end));
                normal.z = static_cast<float>(ReadCoordinate(p, end));
            }
            return;
        case 6:
            if (EqualsIgnoringCase(keyword, "usemtl")) {
                std::string_view name = NextToken(p, end);
                if (!name.empty()) {
                    AddMaterial(name);
                }
            }
            return;
        default:
            return;
    }
}

void ObjReader::ReadFace(const char* p, const char* end) {
    const std::size_t at = faces_.size();
    ObjFace& face = faces_.emplace_back();
    const std::size_t vertices = vertices_.size();
    const std::size_t textures = textureVertices_.size();
    const std::size_t normals = normals_.size();
    // Absent and 0 wrap to the top and so never lower the minimum.
    std::uint32_t lowest[3] = {UINT32_MAX, UINT32_MAX, UINT32_MAX};
    for (ObjCorner& corner : face.corners) {
        while (p != end && IsSeparator(*p)) {
            ++p;
        }
        if (p == end) {
            break;
        }
        ReadCorner(p, end, corner, vertices, textures, normals);
        while (p != end && !IsSeparator(*p)) {
            ++p;  // whatever follows the fields: "7/3/5/9" is read as "7/3/5"
        }
        lowest[0] = std::min(lowest[0], static_cast<std::uint32_t>(corner.vertexIndex - 1));
        lowest[1] = std::min(lowest[1], static_cast<std::uint32_t>(corner.textureIndex - 1));
        lowest[2] = std::min(lowest[2], static_cast<std::uint32_t>(corner.normalIndex - 1));
    }
    for (std::size_t group : currentGroups_) {
        GroupRuns& runs = groupRuns_[group];
        // The group's last run goes on when it ends just before this face.
        if (runs.last == SIZE_MAX ||
            faceRuns_[runs.last].start + faceRuns_[runs.last].count != at) {
            if (runs.last != SIZE_MAX) {
                faceRuns_[runs.last].nextOfGroup = faceRuns_.size();
            } else {
                runs.first = faceRuns_.size();
            }
            runs.last = faceRuns_.size();
            faceRuns_.push_back(FaceRun{at, 0, SIZE_MAX});
        }
        ++faceRuns_[runs.last].count;
        ++runs.faces;
        for (int kind = 0; kind < 3; ++kind) {
            runs.lowest[kind] = std::min(runs.lowest[kind], lowest[kind]);
        }
    }
}

// Frees the whole chunks of `list` below position `lowest`, from chunk `released` on.
template <typename T>
void ObjReader::ReleaseEntriesBelow(ObjChunkedList<T>& list, std::uint32_t lowest,
                                    std::size_t& released) {
    const std::size_t below =
        std::min<std::size_t>(lowest / ObjChunkedList<T>::kChunk, list.ChunkCount());
    for (; released < below; ++released) {
        list.ReleaseChunk(released);
    }
}

std::size_t ObjReader::GroupNamed(std::string_view name) {
    auto [it, added] = groupByName_.emplace(LowerAscii(name), mesh_.groups.size());
    if (added) {
        mesh_.groups.emplace_back().name = std::string(name);
        groupRuns_.emplace_back();
    }
    return it->second;
}

void ObjReader::AddMaterial(std::string_view name) {
    if (materialKeys_.insert(LowerAscii(name)).second) {
        mesh_.materialNames.emplace_back(name);
    }
}

void ObjReader::Finish(Ui* ui) {
    if (ui) {
        ui->SetProgressText("Adjusting faces...\nPlease Wait.");
    }
    // Faces not yet moved into their group, per chunk of the read list: a chunk goes back to
    // the system once its faces are moved, so the read faces and the groups' copies of them
    // hardly coexist (groups usually follow one another in the file).
    // A face in several groups is counted once for each of them.
    auto forEachChunkOf = [](const FaceRun& run, auto&& visit) {
        std::size_t from = run.start;
        std::size_t left = run.count;
        while (left > 0) {
            std::size_t chunk = from / decltype(faces_)::kChunk;
            std::size_t taken = std::min(left, (chunk + 1) * decltype(faces_)::kChunk - from);
            visit(chunk, taken);
            from += taken;
            left -= taken;
        }
    };
    std::vector<std::size_t> unmoved(faces_.ChunkCount(), 0);
    for (const FaceRun& run : faceRuns_) {
        forEachChunkOf(
            run, [&unmoved](std::size_t chunk, std::size_t taken) { unmoved[chunk] += taken; });
    }
    ObjIndexScratch scratch;
    const std::size_t count = mesh_.groups.size();
    // The lowest entries the groups from g on still need (per kind): the chunks of the
    // mesh-wide lists below them go back as soon as the groups before are built. Groups
    // usually name rising ranges of the lists, so little of them outlives its last group.
    std::vector<std::array<std::uint32_t, 3>> stillNeeded(count + 1);
    stillNeeded[count] = {UINT32_MAX, UINT32_MAX, UINT32_MAX};
    for (std::size_t g = count; g-- > 0;) {
        for (int kind = 0; kind < 3; ++kind) {
            stillNeeded[g][kind] =
                hadFaces_ ? 0 : std::min(stillNeeded[g + 1][kind], groupRuns_[g].lowest[kind]);
        }
    }
    std::size_t released[3] = {0, 0, 0};
    int shown = -1;
    for (std::size_t g = 0; g < count; ++g) {
        int percent = static_cast<int>(g * 100 / count);
        if (ui && percent != shown) {
            ui->SetProgressPosition(percent);
            shown = percent;
        }
        const GroupRuns& runs = groupRuns_[g];
        auto forEachRead = [this, &runs](auto&& take) {
            for (std::size_t r = runs.first; r != SIZE_MAX; r = faceRuns_[r].nextOfGroup) {
                faces_.ForEachRun(faceRuns_[r].start, faceRuns_[r].count,
                                  [&take](const ObjFace* run, std::size_t n) {
                                      for (std::size_t i = 0; i < n; ++i) {
                                          take(run[i]);
                                      }
                                  });
            }
        };
        AdjustGroup(mesh_.groups[g], runs.faces, forEachRead, vertices_, normals_, textureVertices_,
                    scratch);
        for (std::size_t r = runs.first; r != SIZE_MAX; r = faceRuns_[r].nextOfGroup) {
            forEachChunkOf(faceRuns_[r], [this, &unmoved](std::size_t chunk, std::size_t taken) {
                unmoved[chunk] -= taken;
                if (unmoved[chunk] == 0) {
                    faces_.ReleaseChunk(chunk);
                }
            });
        }
        ReleaseEntriesBelow(vertices_, stillNeeded[g + 1][0], released[0]);
        ReleaseEntriesBelow(textureVertices_, stillNeeded[g + 1][1], released[1]);
        ReleaseEntriesBelow(normals_, stillNeeded[g + 1][2], released[2]);
    }
    faces_.clear();
    faceRuns_.clear();
    // Lines read after this start afresh, as the groups' faces are now their own.
    groupRuns_.assign(count, GroupRuns());
    hadFaces_ = true;
    vertices_.clear();
    normals_.clear();
    textureVertices_.clear();
}

// ---------------------------------------------------------------------------------------------
// ObjMesh

void ObjMesh::Parse(std::string_view text, Ui* ui) {
    ObjReader reader(*this);
    if (ui) {
        ui->OpenProgress("Loading obj mesh...\nPlease Wait.", true);
        ui->SetProgressPosition(0);
    }
    // The bar moves by the share of the text read, in steps of a few lines' worth at most.
    constexpr std::size_t kStep = 1 << 20;
    std::size_t done = 0;
    while (done < text.size()) {
        std::size_t stop = std::min(text.size(), done + kStep);
        const char* nl =
            static_cast<const char*>(std::memchr(text.data() + stop, '\n', text.size() - stop));
        stop = nl ? static_cast<std::size_t>(nl - text.data()) + 1 : text.size();
        reader.ReadLines(text.substr(done, stop - done));
        done = stop;
        if (ui) {
            ui->SetProgressPosition(static_cast<int>(done * 100.0 / text.size()));
        }
    }
    reader.Finish(ui);
    if (ui) {
        ui->CloseProgress();
    }
}

ObjGroup* ObjMesh::FindGroup(std::string_view name) {
    for (ObjGroup& group : groups) {
        if (EqualsIgnoringCase(group.name, name)) {
            return &group;
        }
    }
    return nullptr;
}

const ObjGroup* ObjMesh::FindGroup(std::string_view name) const {
    return const_cast<ObjMesh*>(this)->FindGroup(name);
}

std::optional<std::string> ObjMesh::WriteGroup(std::string_view groupName,
                                               const std::vector<ObjPoint>& offsets,
                                               std::string_view dateText) const {
    const ObjGroup* group = FindGroup(groupName);
    if (!group) {
        return std::nullopt;
    }
    std::string text;
    WriteObjGroup(*group, offsets, dateText, [&text](std::string_view piece) { text += piece; });
    return text;
}

void WriteObjGroup(const ObjGroup& group, const std::vector<ObjPoint>& offsets,
                   std::string_view dateText, const std::function<void(std::string_view)>& sink) {
    // The text goes out in pieces of about 64 KiB, so that a large group is never held whole
    // and the piece buffer never grows past its first size.
    constexpr std::size_t kPiece = 64 * 1024;
    constexpr std::size_t kLongestLine = 512;  // a line of numbers is far shorter
    std::string out;
    out.reserve(kPiece + kLongestLine);
    auto flushIfFull = [&]() {
        if (out.size() >= kPiece) {
            sink(out);
            out.clear();
        }
    };
    out += "# Created by Tessary - obj compatible with Poser 3\n";
    out += "# Exported on: ";
    out += dateText;
    out += '\n';
    out += "# Note: Morph targets are intellectual propery of their creators. As such\n";
    out += "# distribution of morph targets without due credit or redistribution\n";
    out += "# under your own name is piracy. Please give credit where credit is due.\n";
    flushIfFull();
    for (std::size_t m = 0; m < group.vertices.size(); ++m) {
        ObjPoint point = group.vertices[m];
        if (m < offsets.size()) {
            point.x += offsets[m].x;
            point.y += offsets[m].y;
            point.z += offsets[m].z;
        }
        out += "v ";
        AppendGeneral(out, point.x);
        out += ' ';
        AppendGeneral(out, point.y);
        out += ' ';
        AppendGeneral(out, point.z);
        out += '\n';
        flushIfFull();
    }
    for (const ObjTextureVertex& texture : group.textureVertices) {
        out += "vt ";
        AppendFixed(out, texture.u);
        out += ' ';
        AppendFixed(out, texture.v);
        out += '\n';
        flushIfFull();
    }
    for (const ObjNormal& normal : group.normals) {
        out += "vn ";
        AppendFixed(out, normal.x);
        out += ' ';
        AppendFixed(out, normal.y);
        out += ' ';
        AppendFixed(out, normal.z);
        out += '\n';
        flushIfFull();
    }
    out += "g ";
    out += group.name;
    out += '\n';
    flushIfFull();
    for (const ObjFace& face : group.faces) {
        out += "f ";
        for (const ObjCorner& corner : face.corners) {
            if (!corner.IsEmpty()) {
                AppendCorner(out, corner);
            }
        }
        out += '\n';
        flushIfFull();
    }
    if (!out.empty()) {
        sink(out);
    }
}

}  // namespace tessary
