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

MorphTargetHeader ReadMorphTargetHeader(const Block& morphTarget) {
    MorphTargetHeader header;
    const Block* keys = morphTarget.FindNthChild("keys", 0, Match::Tag);
    if (!keys) {
        return header;
    }
    const Block* key = keys->FindNthChild("k", 0, Match::Tag);
    if (!key) {
        return header;
    }
    // "k 0 0.5": frame, then the value after the last blank.
    std::string_view keyData = key->data;
    std::size_t lastSpace = keyData.rfind(' ');
    header.hasWeight = true;
    header.weight = ReadLeadingDouble(
        lastSpace == std::string_view::npos ? keyData : keyData.substr(lastSpace + 1));
    const Block* indexes = morphTarget.FindNthChild("indexes", 0, Match::Tag);
    if (!indexes) {
        return header;
    }
    std::int32_t count = ReadLeadingInt(indexes->data);
    const Block* numbDeltas = morphTarget.FindNthChild("numbDeltas", 0, Match::Tag);
    if (!numbDeltas) {
        return header;
    }
    const Block* deltas = morphTarget.FindNthChild("deltas", 0, Match::Tag);
    if (!deltas) {
        return header;
    }
    header.numbDeltas = ReadLeadingInt(numbDeltas->data);
    header.deltas = deltas;
    std::size_t available = deltas->children.size();
    std::size_t wanted = count > 0 ? static_cast<std::size_t>(count) : 0;
    header.count = wanted < available ? wanted : available;
    return header;
}

std::int32_t ReadMorphDeltas(const Block& morphTarget, MorphDeltas& out) {
    const MorphTargetHeader header = ReadMorphTargetHeader(morphTarget);
    if (header.hasWeight) {
        out.weight = header.weight;
    }
    if (header.deltas == nullptr) {
        return 0;
    }
    out.deltas.reserve(out.deltas.size() + header.count);
    for (std::size_t i = 0; i < header.count; ++i) {
        Delta delta;
        ParseDeltaLine(header.deltas->children[i].data, delta);
        out.deltas.push_back(delta);
    }
    return header.numbDeltas;
}

namespace {

// The form nearly every "d" line has, "117 1.250000e-003 0.000000e+000 -3.000000e-004": a
// vertex number of at most nine digits and three plain decimals, single blanks between,
// nothing around. Read in one pass, the numbers inline; anything else is left to the general
// reading, which gives the same values.
bool ParseCommonDeltaLine(std::string_view data, Delta& delta) {
    const char* p = data.data();
    const char* last = p + data.size();
    if (p == last) {
        return false;
    }
    const bool negative = *p == '-';
    p += negative;
    const char* digits = p;
    std::uint32_t vertex = 0;
    unsigned digit = 0;
    while (p != last && (digit = number_detail::DigitAt(p)) <= 9 && p - digits < 9) {
        vertex = vertex * 10 + digit;
        ++p;
    }
    if (p == digits || p == last || *p != ' ') {
        return false;
    }
    // One call site, so that the number reader is inlined once.
    double offsets[3];
    for (int i = 0; i < 3; ++i) {
        ++p;  // the blank
        if (!ReadPlainDecimal(p, last, offsets[i])) {
            return false;
        }
        if (i < 2 ? p == last || *p != ' ' : p != last) {
            return false;
        }
    }
    const auto value = static_cast<std::int32_t>(vertex);
    delta.vertex = negative ? -value : value;
    delta.dx = offsets[0];
    delta.dy = offsets[1];
    delta.dz = offsets[2];
    return true;
}

}  // namespace

void ParseDeltaLine(std::string_view data, Delta& delta) {
    if (ParseCommonDeltaLine(data, delta)) {
        return;
    }
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
