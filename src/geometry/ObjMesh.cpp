#include "geometry/ObjMesh.h"

#include <algorithm>
#include <cstring>

#include "edit/NumberText.h"
#include "pane/FigureFile.h"
#include "platform/Ui.h"

namespace tessary {

void ObjMeshDeleter::operator()(ObjMesh* mesh) const {
    delete mesh;
}

namespace {

bool IsSeparator(char c) {
    return c == ' ' || c == '\t';
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string LowerCase(std::string_view text) {
    std::string key(text);
    for (char& c : key) {
        c = Lower(c);
    }
    return key;
}

bool KeywordIs(std::string_view token, std::string_view keyword) {
    if (token.size() != keyword.size()) {
        return false;
    }
    for (std::size_t i = 0; i < token.size(); ++i) {
        if (Lower(token[i]) != keyword[i]) {
            return false;
        }
    }
    return true;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) {
            return false;
        }
    }
    return true;
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

template <typename Entry, typename List>
void CollectAndRenumber(std::vector<ObjFace>& faces, std::int32_t ObjCorner::*field,
                        const List& all, std::vector<Entry>& own, std::vector<std::int32_t>& slots,
                        std::vector<std::int32_t>& distinct) {
    constexpr std::int32_t kFree = -1;
    if (slots.size() < all.size()) {
        slots.resize(all.size(), kFree);
    }
    distinct.clear();
    std::int32_t lowest = INT32_MAX;
    std::int32_t highest = -1;
    for (ObjFace& face : faces) {
        for (ObjCorner& corner : face.corners) {
            std::int32_t index = corner.*field;
            if (index == kAbsentIndex) {
                continue;
            }
            std::int32_t at = index - 1;
            if (slots[at] == kFree) {
                slots[at] = 0;
                distinct.push_back(at);
                lowest = std::min(lowest, at);
                highest = std::max(highest, at);
            }
        }
    }
    if (distinct.empty()) {
        own.clear();
        return;
    }
    // Ascending order: a dense range is read straight off the slots, a sparse one is sorted.
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
    own.clear();
    own.reserve(distinct.size());
    for (std::size_t position = 0; position < distinct.size(); ++position) {
        slots[distinct[position]] = static_cast<std::int32_t>(position);
        own.push_back(all[distinct[position]]);
    }
    for (ObjFace& face : faces) {
        for (ObjCorner& corner : face.corners) {
            std::int32_t& index = corner.*field;
            if (index != kAbsentIndex) {
                index = slots[index - 1];
            }
        }
    }
    for (std::int32_t at : distinct) {
        slots[at] = kFree;
    }
}

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

template <typename Points, typename Normals, typename Textures>
void AdjustGroup(ObjGroup& group, const Points& allVertices, const Normals& allNormals,
                 const Textures& allTextureVertices, ObjIndexScratch& scratch) {
    std::vector<ObjFace>& faces = group.faces;
    // A face that names a vertex the file does not have cannot be drawn or exported; a missing
    // texture or normal entry only loses that attribute.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < faces.size(); ++i) {
        ObjFace face = faces[i];
        bool valid = true;
        for (ObjCorner& corner : face.corners) {
            if (corner.vertexIndex != kAbsentIndex &&
                !InRange(corner.vertexIndex, allVertices.size())) {
                valid = false;
                break;
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
        if (valid) {
            faces[kept++] = face;
        }
    }
    faces.resize(kept);
    CollectAndRenumber(faces, &ObjCorner::vertexIndex, allVertices, group.vertices,
                       scratch.vertexSlots, scratch.distinct);
    CollectAndRenumber(faces, &ObjCorner::textureIndex, allTextureVertices, group.textureVertices,
                       scratch.textureSlots, scratch.distinct);
    CollectAndRenumber(faces, &ObjCorner::normalIndex, allNormals, group.normals,
                       scratch.normalSlots, scratch.distinct);
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
    AdjustGroup(*this, allVertices, allNormals, allTextureVertices, scratch);
}

// ---------------------------------------------------------------------------------------------
// ObjReader

ObjReader::ObjReader(ObjMesh& mesh) : mesh_(mesh) {
    if (mesh_.groups.empty()) {
        mesh_.groups.emplace_back();
        mesh_.groups.back().name = "default";
    }
    for (std::size_t i = 0; i < mesh_.groups.size(); ++i) {
        groupByName_.emplace(LowerCase(mesh_.groups[i].name), i);
    }
    for (const std::string& name : mesh_.materialNames) {
        materialKeys_.insert(LowerCase(name));
    }
}

void ObjReader::ReadLines(std::string_view text) {
    const char* p = text.data();
    const char* end = p + text.size();
    while (p != end) {
        // Lines end at LF or CR, so CR LF, LF and lone CR files read alike.
        const char* lineEnd = static_cast<const char*>(std::memchr(p, '\n', end - p));
        if (!lineEnd) {
            lineEnd = end;
        }
        const char* q = p;
        while (const char* cr = static_cast<const char*>(std::memchr(q, '\r', lineEnd - q))) {
            ReadLine(q, cr);
            q = cr + 1;
        }
        ReadLine(q, lineEnd);
        p = lineEnd == end ? end : lineEnd + 1;
    }
}

void ObjReader::ReadLine(const char* p, const char* end) {
    std::string_view keyword = NextToken(p, end);
    if (keyword.empty() || keyword[0] == '#') {
        return;
    }
    switch (keyword.size()) {
        case 1:
            if (KeywordIs(keyword, "v")) {
                ObjPoint& point = vertices_.emplace_back();
                point.x = ReadLeadingDouble(NextToken(p, end));
                point.y = ReadLeadingDouble(NextToken(p, end));
                point.z = ReadLeadingDouble(NextToken(p, end));
            } else if (KeywordIs(keyword, "f")) {
                ReadFace(p, end);
            } else if (KeywordIs(keyword, "g")) {
                std::string_view name = NextToken(p, end);
                if (!name.empty()) {
                    SelectGroup(name);
                }
            }
            return;
        case 2:
            if (KeywordIs(keyword, "vt")) {
                ObjTextureVertex& texture = textureVertices_.emplace_back();
                texture.u = static_cast<float>(ReadLeadingDouble(NextToken(p, end)));
                texture.v = static_cast<float>(ReadLeadingDouble(NextToken(p, end)));
            } else if (KeywordIs(keyword, "vn")) {
                ObjNormal& normal = normals_.emplace_back();
                normal.x = static_cast<float>(ReadLeadingDouble(NextToken(p, end)));
                normal.y = static_cast<float>(ReadLeadingDouble(NextToken(p, end)));
                normal.z = static_cast<float>(ReadLeadingDouble(NextToken(p, end)));
            }
            return;
        case 6:
            if (KeywordIs(keyword, "usemtl")) {
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
    ObjFace& face = mesh_.groups[currentGroup_].faces.emplace_back();
    for (ObjCorner& corner : face.corners) {
        std::string_view token = NextToken(p, end);
        if (token.empty()) {
            break;
        }
        // "7", "7/3", "7/3/5", "7//5", "7/": vertex, texture, normal; an empty field is absent.
        const char* q = token.data();
        const char* tokenEnd = q + token.size();
        corner.vertexIndex = ReadIndex(q, tokenEnd, vertices_.size());
        while (q != tokenEnd && *q != '/') {
            ++q;
        }
        if (q == tokenEnd) {
            continue;
        }
        ++q;
        if (q != tokenEnd && *q != '/') {
            corner.textureIndex = ReadIndex(q, tokenEnd, textureVertices_.size());
            while (q != tokenEnd && *q != '/') {
                ++q;
            }
        }
        if (q == tokenEnd) {
            continue;
        }
        ++q;
        if (q != tokenEnd) {
            corner.normalIndex = ReadIndex(q, tokenEnd, normals_.size());
        }
    }
}

void ObjReader::SelectGroup(std::string_view name) {
    auto [it, added] = groupByName_.emplace(LowerCase(name), mesh_.groups.size());
    if (added) {
        mesh_.groups.emplace_back().name = std::string(name);
    }
    currentGroup_ = it->second;
}

void ObjReader::AddMaterial(std::string_view name) {
    if (materialKeys_.insert(LowerCase(name)).second) {
        mesh_.materialNames.emplace_back(name);
    }
}

void ObjReader::Finish(Ui* ui) {
    if (ui) {
        ui->SetProgressText("Adjusting faces...\nPlease Wait.");
    }
    ObjIndexScratch scratch;
    const std::size_t count = mesh_.groups.size();
    int shown = -1;
    for (std::size_t g = 0; g < count; ++g) {
        int percent = static_cast<int>(g * 100 / count);
        if (ui && percent != shown) {
            ui->SetProgressPosition(percent);
            shown = percent;
        }
        AdjustGroup(mesh_.groups[g], vertices_, normals_, textureVertices_, scratch);
    }
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
        if (EqualsNoCase(group.name, name)) {
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
    std::string out;
    out.reserve(256 + group->vertices.size() * 40 + group->textureVertices.size() * 24 +
                group->normals.size() * 32 + group->faces.size() * 40);
    out += "# Created by Tessary - obj compatible with Poser 3\n";
    out += "# Exported on: ";
    out += dateText;
    out += '\n';
    out += "# Note: Morph targets are intellectual propery of their creators. As such\n";
    out += "# distribution of morph targets without due credit or redistribution\n";
    out += "# under your own name is piracy. Please give credit where credit is due.\n";
    for (std::size_t m = 0; m < group->vertices.size(); ++m) {
        ObjPoint point = group->vertices[m];
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
    }
    for (const ObjTextureVertex& texture : group->textureVertices) {
        out += "vt ";
        AppendFixed(out, texture.u);
        out += ' ';
        AppendFixed(out, texture.v);
        out += '\n';
    }
    for (const ObjNormal& normal : group->normals) {
        out += "vn ";
        AppendFixed(out, normal.x);
        out += ' ';
        AppendFixed(out, normal.y);
        out += ' ';
        AppendFixed(out, normal.z);
        out += '\n';
    }
    out += "g ";
    out += group->name;
    out += '\n';
    for (const ObjFace& face : group->faces) {
        out += "f ";
        for (const ObjCorner& corner : face.corners) {
            if (!corner.IsEmpty()) {
                AppendCorner(out, corner);
            }
        }
        out += '\n';
    }
    return out;
}

}  // namespace tessary
