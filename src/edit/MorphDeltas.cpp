#include "edit/MorphDeltas.h"

#include <cstddef>

#include "model/Block.h"
#include "model/NumberText.h"

namespace tessary {

namespace {

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

std::int32_t ReadMorphDeltas(const Block& morphTarget, MorphDeltas& out) {
    const Block* keys = morphTarget.FindNthChild("keys", 0, true);
    if (!keys) {
        return 0;
    }
    const Block* key = keys->FindNthChild("k", 0, true);
    if (!key) {
        return 0;
    }
    // "k 0 0.5": frame, then the value after the last blank.
    std::string_view keyData = key->data;
    std::size_t lastSpace = keyData.rfind(' ');
    out.weight = ReadLeadingDouble(
        lastSpace == std::string_view::npos ? keyData : keyData.substr(lastSpace + 1));
    const Block* indexes = morphTarget.FindNthChild("indexes", 0, true);
    if (!indexes) {
        return 0;
    }
    std::int32_t count = ReadLeadingInt(indexes->data);
    const Block* numbDeltas = morphTarget.FindNthChild("numbDeltas", 0, true);
    if (!numbDeltas) {
        return 0;
    }
    std::int32_t result = ReadLeadingInt(numbDeltas->data);
    const Block* deltas = morphTarget.FindNthChild("deltas", 0, true);
    if (!deltas) {
        return 0;
    }
    std::size_t available = deltas->children.size();
    std::size_t wanted = count > 0 ? static_cast<std::size_t>(count) : 0;
    std::size_t n = wanted < available ? wanted : available;
    out.deltas.reserve(out.deltas.size() + n);
    for (std::size_t i = 0; i < n; ++i) {
        Delta delta;
        ParseDeltaLine(deltas->children[i].data, delta);
        out.deltas.push_back(delta);
    }
    return result;
}

void ParseDeltaLine(std::string_view data, Delta& delta) {
    delta.dx = 0;
    delta.dy = 0;
    delta.dz = 0;
    // A "d" line without any number names no vertex; -1 keeps it away from vertex 0.
    delta.vertex = -1;
    std::size_t begin = 0;
    std::size_t end = data.size();
    while (begin < end && IsCSpace(data[begin])) {
        ++begin;
    }
    while (end > begin && IsCSpace(data[end - 1])) {
        --end;
    }
    int field = 0;
    std::size_t i = begin;
    while (i < end && field < 4) {
        while (i < end && data[i] == ' ') {
            ++i;
        }
        if (i == end) {
            break;
        }
        std::size_t tokenEnd = i;
        while (tokenEnd < end && data[tokenEnd] != ' ') {
            ++tokenEnd;
        }
        std::string_view token = data.substr(i, tokenEnd - i);
        switch (field) {
            case 0:
                delta.vertex = ReadLeadingInt(token);
                break;
            case 1:
                delta.dx = ReadLeadingDouble(token);
                break;
            case 2:
                delta.dy = ReadLeadingDouble(token);
                break;
            default:
                delta.dz = ReadLeadingDouble(token);
                break;
        }
        ++field;
        i = tokenEnd;
    }
}

void AccumulateDeltas(MorphDeltas& accumulator, const MorphDeltas& source) {
    const std::size_t size = accumulator.deltas.size();
    const double weight = source.weight;
    Delta* target = accumulator.deltas.data();
    for (const Delta& delta : source.deltas) {
        if (delta.vertex < 0 || static_cast<std::size_t>(delta.vertex) >= size) {
            continue;
        }
        Delta& sum = target[delta.vertex];
        sum.dx += weight * delta.dx;
        sum.dy += weight * delta.dy;
        sum.dz += weight * delta.dz;
    }
}

void AppendDeltaLine(std::string& out, std::int32_t vertex, double dx, double dy, double dz) {
    AppendInt(out, vertex);
    out += ' ';
    AppendExponent(out, dx);
    out += ' ';
    AppendExponent(out, dy);
    out += ' ';
    AppendExponent(out, dz);
}

std::string FormatDeltaLine(std::int32_t vertex, double dx, double dy, double dz) {
    std::string text;
    text.reserve(64);
    AppendDeltaLine(text, vertex, dx, dy, dz);
    return text;
}

}  // namespace tessary
