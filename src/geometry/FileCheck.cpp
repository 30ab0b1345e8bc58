#include "geometry/FileCheck.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "model/NumberText.h"
#include "geometry/ObjMesh.h"
#include "model/Names.h"
#include "model/TextIO.h"

namespace tessary {

namespace {

bool Contains(std::string_view line, char c) {
    return line.find(c) != std::string_view::npos;
}

bool IsFigurePart(std::string_view tag) {
    return tag == "actor" || tag == "prop" || tag == "controlProp" || tag == "hairProp";
}

std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    quoted.append(text);
    quoted += '"';
    return quoted;
}

std::string LineText(std::string_view tag, std::string_view data) {
    std::string text(tag);
    if (!data.empty()) {
        text += ' ';
        text.append(data);
    }
    return text;
}

// What is known of one "targetGeom" block while it is open.
struct MorphState {
    std::size_t frame = 0;  // index of its frame
    std::string_view name;
    std::optional<std::int32_t> indexes;
    int indexesLine = 0;
    std::optional<std::int32_t> numbDeltas;
    std::size_t deltasFrame = 0;  // 0: no "deltas" block yet
    std::int64_t deltaLines = 0;
    std::int32_t highest = -1;
    int highestLine = 0;
    std::int32_t lowest = 0;
    int lowestLine = 0;
    const ObjGroup* group = nullptr;
};

// One open brace block: the line it belongs to, and the last line read inside it (the owner of
// a block that opens next).
struct Frame {
    std::string_view tag;
    std::string_view data;
    int ownerLine = 0;
    int braceLine = 0;
    std::string_view lastTag;
    std::string_view lastData;
    int lastLine = 0;
    bool hasLast = false;
    bool hasChannels = false;
    bool isFigure = false;
    bool firstFigure = false;
};

// A name whose figure number is compared with the figure's once the whole file is read.
struct NumberedName {
    int line;
    std::string_view name;
};

class Checker {
  public:
    Checker(std::string& text, const ObjMesh* mesh)
        : text_(text), mesh_(mesh), source_(text.data(), text.size()), counted_(text.data()) {}

    std::vector<CheckFinding> Run() {
        if (ReadToFirstBrace() && ReadBlocks()) {
            ReadAfterLastBrace();
        }
        if (!tooDeep_) {
            CheckNulByte();
            CheckFigureNumbers();
            CheckMaterials();
        }
        std::stable_sort(
            findings_.begin(), findings_.end(),
            [](const CheckFinding& a, const CheckFinding& b) { return a.line < b.line; });
        return std::move(findings_);
    }

  private:
    void Report(int line, const char* kind, std::string message) {
        findings_.push_back({line, kind, std::move(message)});
    }

    // The 1-based number of the line starting at `p`: CR LF, LF and a lone CR each end a line.
    int LineOf(const char* p) {
        for (const char* end = p; counted_ < end; ++counted_) {
            if (*counted_ == '\n' || (*counted_ == '\r' && counted_[1] != '\n')) {
                ++line_;
            }
        }
        return line_;
    }

    bool ReadToFirstBrace() {
        std::string_view line;
        bool reported = false;
        while (source_.ReadLine(line)) {
            const int number = LineOf(line.data());
            if (Contains(line, '{')) {
                CheckBraceLine(line, number);
                frames_.push_back(Frame{});
                frames_.back().braceLine = number;
                return true;
            }
            if (!line.empty() && !reported) {
                Report(number, checks::kDroppedText,
                       "text before the file's first \"{\" is not read");
                reported = true;
            }
        }
        Report(0, checks::kDroppedText, "the file holds no \"{\": it loads as an empty tree");
        return false;
    }

    // Reads up to the "}" that closes the outermost block; false when the text ended first
    // (or nested too deep).
    bool ReadBlocks() {
        std::string_view line;
        while (!frames_.empty() && source_.ReadLine(line)) {
            const int number = LineOf(line.data());
            if (Contains(line, '{')) {
                if (frames_.size() >= kMaxFileNesting) {
                    Report(number, checks::kTooDeep,
                           "blocks nest deeper than " + std::to_string(kMaxFileNesting) +
                               " levels here: loading refuses the file");
                    tooDeep_ = true;
                    return false;
                }
                CheckBraceLine(line, number);
                Open(number);
            } else if (Contains(line, '}')) {
                CheckBraceLine(line, number);
                Close();
            } else if (!line.empty()) {
                const std::size_t space = line.find(' ');
                std::string_view tag = line.substr(0, space);
                std::string_view data;
                if (space != std::string_view::npos) {
                    data = line.substr(line.find_first_not_of(' ', space));
                }
                OnLine(tag, data, number);
                Frame& frame = frames_.back();
                frame.lastTag = tag;
                frame.lastData = data;
                frame.lastLine = number;
                frame.hasLast = true;
            }
        }
        if (frames_.empty()) {
            return true;
        }
        for (const Frame& frame : frames_) {
            Report(frame.braceLine, checks::kUnclosedBlock,
                   &frame == &frames_.front()
                       ? std::string("the file's outermost block is never closed")
                       : "the block of " + Quoted(LineText(frame.tag, frame.data)) +
                             " is never closed");
        }
        while (!frames_.empty()) {
            Close();
        }
        return false;
    }

    void ReadAfterLastBrace() {
        std::string_view line;
        int first = 0;
        int count = 0;
        while (source_.ReadLine(line)) {
            if (!line.empty()) {
                const int number = LineOf(line.data());
                first = first == 0 ? number : first;
                ++count;
            }
        }
        if (count > 0) {
            Report(first, checks::kDroppedText,
                   std::to_string(count) + (count == 1 ? " line" : " lines") +
                       " after the \"}\" that closes the file's outermost block " +
                       (count == 1 ? "is" : "are") + " not read");
        }
    }

    void CheckNulByte() {
        const char* begin = text_.data();
        const char* end = begin + text_.size();
        const char* nul = static_cast<const char*>(std::memchr(begin, '\0', text_.size()));
        if (nul == nullptr) {
            return;
        }
        const bool more =
            std::any_of(nul, end, [](char c) { return static_cast<unsigned char>(c) > ' '; });
        if (more && nul >= counted_) {
            Report(LineOf(nul), checks::kDroppedText,
                   "a NUL byte ends the text here: the rest of the file is not read");
        }
    }

    // A brace line holds nothing but its brace: any other text on it is dropped.
    void CheckBraceLine(std::string_view line, int number) {
        if (line.size() == 1) {
            return;
        }
        if (line.front() == '{' || line.front() == '}') {
            Report(number, checks::kDroppedText,
                   "the text after the brace is dropped: " + Quoted(line));
        } else {
            Report(number, checks::kNameCharacter,
                   Quoted(line) +
                       " holds a brace, so it is read as a brace line and the line is dropped");
        }
    }

    void Open(int number) {
        Frame& parent = frames_.back();
        Frame frame;
        frame.braceLine = number;
        if (parent.hasLast) {
            frame.tag = parent.lastTag;
            frame.data = parent.lastData;
            frame.ownerLine = parent.lastLine;
        } else {
            // A "{" with no line before it in its block belongs to an empty line.
            parent.hasLast = true;
            parent.lastLine = number;
        }
        if (Contains(frame.data, '|')) {
            Report(frame.ownerLine, checks::kNameCharacter,
                   "the name " + Quoted(frame.data) +
                       " holds \"|\", which other tools for these files may read as a path "
                       "separator");
        }
        const bool topLevel = frames_.size() == 1;
        if (topLevel && frame.tag == "figure") {
            frame.isFigure = true;
            frame.firstFigure = figureLine_ == 0;
            if (frame.firstFigure) {
                figureLine_ = frame.ownerLine;
            }
        }
        const std::size_t index = frames_.size();
        if (frame.tag == "targetGeom") {
            MorphState morph;
            morph.frame = index;
            morph.name = frame.data;
            if (mesh_ != nullptr && frames_.size() >= 2) {
                morph.group = mesh_->FindGroup(BaseName(frames_[1].data));
            }
            morphs_.push_back(morph);
        } else if (frame.tag == "deltas" && !morphs_.empty() && morphs_.back().frame + 1 == index &&
                   morphs_.back().deltasFrame == 0) {
            morphs_.back().deltasFrame = index;
        }
        frames_.push_back(frame);
    }

    void Close() {
        const std::size_t index = frames_.size() - 1;
        const Frame& frame = frames_.back();
        if (!morphs_.empty() && morphs_.back().frame == index) {
            CheckMorph(morphs_.back());
            morphs_.pop_back();
        }
        if (index == 1 && IsFigurePart(frame.tag)) {
            CheckDuplicate(frame);
        }
        frames_.pop_back();
    }

    void OnLine(std::string_view tag, std::string_view data, int number) {
        const std::size_t depth = frames_.size();
        if (tag == "storageOffset") {
            CheckStorageOffset(data, number);
        }
        if (depth == 1) {
            if (IsFigurePart(tag)) {
                numbered_.push_back({number, data});
                if (tag == "actor" && BaseName(data) == "BODY") {
                    bodies_.push_back(NameSuffix(data));
                } else if (tag == "actor" && firstActorSuffix_.empty()) {
                    firstActorSuffix_ = NameSuffix(data);
                }
            }
            return;
        }
        Frame& frame = frames_.back();
        if (depth == 2 && IsFigurePart(frame.tag)) {
            if (tag == "channels") {
                frame.hasChannels = true;
            } else if (tag == "parent") {
                numbered_.push_back({number, data});
            }
        } else if (depth == 2 && frame.isFigure) {
            if (tag == "root" || tag == "addChild" || tag == "weld") {
                AddNumberedWords(data, number);
            } else if (frame.firstFigure && (tag == "material" || tag == "presetMaterial")) {
                figureMaterials_.push_back({number, data});
                if (tag == "material") {
                    listedMaterials_.insert(data);
                }
            }
        }
        if (morphs_.empty()) {
            return;
        }
        MorphState& morph = morphs_.back();
        if (morph.frame + 1 == depth) {
            if (tag == "indexes" && !morph.indexes) {
                morph.indexes = ReadLeadingInt(data);
                morph.indexesLine = number;
            } else if (tag == "numbDeltas" && !morph.numbDeltas) {
                morph.numbDeltas = ReadLeadingInt(data);
            }
        } else if (morph.deltasFrame + 1 == depth && morph.deltasFrame != 0) {
            ++morph.deltaLines;
            const std::int32_t vertex = ReadLeadingInt(data);
            if (vertex > morph.highest) {
                morph.highest = vertex;
                morph.highestLine = number;
            }
            if (vertex < morph.lowest) {
                morph.lowest = vertex;
                morph.lowestLine = number;
            }
        }
    }

    void AddNumberedWords(std::string_view data, int number) {
        std::size_t start = 0;
        while (start < data.size()) {
            std::size_t end = data.find(' ', start);
            if (end == std::string_view::npos) {
                end = data.size();
            }
            if (end > start) {
                numbered_.push_back({number, data.substr(start, end - start)});
            }
            start = end + 1;
        }
    }

    void CheckStorageOffset(std::string_view data, int number) {
        std::string_view rest = data;
        for (int i = 0; i < 3 && !rest.empty(); ++i) {
            if (ReadLeadingDouble(rest) != 0) {
                Report(number, checks::kStorageOffset,
                       "storageOffset " + std::string(data) +
                           " is not 0 0 0 (AutoFixStorageOffset resets it when saving)");
                return;
            }
            const std::size_t space = rest.find(' ');
            rest = space == std::string_view::npos
                       ? std::string_view()
                       : rest.substr(rest.find_first_not_of(' ', space));
        }
    }

    void CheckMorph(const MorphState& morph) {
        const std::string name = "targetGeom " + Quoted(morph.name);
        if (morph.deltasFrame != 0 && morph.indexes && *morph.indexes != morph.deltaLines) {
            Report(morph.indexesLine, checks::kDeltaCount,
                   name + ": indexes says " + std::to_string(*morph.indexes) +
                       ", but its deltas block holds " + std::to_string(morph.deltaLines) +
                       (morph.deltaLines == 1 ? " line" : " lines"));
        }
        if (morph.lowest < 0) {
            Report(morph.lowestLine, checks::kDeltaCount,
                   name + ": a d line names vertex " + std::to_string(morph.lowest));
        }
        if (morph.numbDeltas && morph.highest >= *morph.numbDeltas) {
            Report(morph.highestLine, checks::kDeltaCount,
                   name + ": a d line names vertex " + std::to_string(morph.highest) +
                       ", beyond numbDeltas " + std::to_string(*morph.numbDeltas));
        }
        if (morph.group != nullptr && morph.highest >= 0 &&
            static_cast<std::size_t>(morph.highest) >= morph.group->vertices.size()) {
            Report(morph.highestLine, checks::kDeltaBeyondMesh,
                   name + ": a d line names vertex " + std::to_string(morph.highest) +
                       ", beyond the " + std::to_string(morph.group->vertices.size()) +
                       " vertices of the OBJ group " + Quoted(morph.group->name));
        }
    }

    void CheckDuplicate(const Frame& frame) {
        std::string key = LineText(frame.tag, frame.data);
        key += frame.hasChannels ? '\1' : '\2';
        const auto [found, added] = parts_.emplace(std::move(key), frame.ownerLine);
        // A second brace block after the same line ("actor x { } { }") is the same part.
        if (!added && found->second != frame.ownerLine) {
            Report(frame.ownerLine, checks::kDuplicateName,
                   Quoted(LineText(frame.tag, frame.data)) +
                       (frame.hasChannels ? " is defined" : " is declared") +
                       " a second time (first at line " + std::to_string(found->second) +
                       "): copies find only the first");
        }
    }

    void CheckFigureNumbers() {
        std::vector<std::string_view> figures = bodies_;
        if (figures.empty() && !firstActorSuffix_.empty()) {
            figures.push_back(firstActorSuffix_);
        }
        if (figures.empty()) {
            return;
        }
        std::string expected;
        for (std::string_view suffix : figures) {
            expected += expected.empty() ? "" : " or ";
            expected.append(suffix.empty() ? std::string_view("none") : suffix);
        }
        for (const NumberedName& numbered : numbered_) {
            const std::string_view suffix = NameSuffix(numbered.name);
            if (suffix.empty() ||
                std::find(figures.begin(), figures.end(), suffix) != figures.end()) {
                continue;
            }
            Report(numbered.line, checks::kFigureNumber,
                   Quoted(numbered.name) + " carries figure number " + std::string(suffix) +
                       ", but the figure's is " + expected);
        }
    }

    void CheckMaterials() {
        if (mesh_ == nullptr || figureLine_ == 0) {
            return;
        }
        std::unordered_set<std::string_view> used(mesh_->materialNames.begin(),
                                                  mesh_->materialNames.end());
        for (const std::string& name : mesh_->materialNames) {
            if (listedMaterials_.count(name) == 0) {
                Report(figureLine_, checks::kMaterial,
                       "the OBJ file uses material " + Quoted(name) +
                           ", which the figure does not list");
            }
        }
        for (const NumberedName& material : figureMaterials_) {
            if (material.name != "Preview" && used.count(material.name) == 0) {
                Report(material.line, checks::kMaterial,
                       "material " + Quoted(material.name) + " is not used by the OBJ file");
            }
        }
    }

    std::string& text_;
    const ObjMesh* mesh_;
    LineSource source_;
    const char* counted_;
    int line_ = 1;
    bool tooDeep_ = false;
    std::vector<Frame> frames_;
    std::vector<MorphState> morphs_;
    std::unordered_map<std::string, int> parts_;
    std::vector<NumberedName> numbered_;
    std::vector<std::string_view> bodies_;
    std::string_view firstActorSuffix_;
    int figureLine_ = 0;
    std::vector<NumberedName> figureMaterials_;
    std::unordered_set<std::string_view> listedMaterials_;
    std::vector<CheckFinding> findings_;
};

}  // namespace

std::vector<CheckFinding> CheckFileText(std::string& text, const ObjMesh* mesh) {
    return Checker(text, mesh).Run();
}

}  // namespace tessary
