#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessary {

class Block;

// One vertex offset of a morph target. `vertex` is the 0-based vertex number of the body
// part's mesh.
struct Delta {
    std::int32_t vertex = 0;
    double dx = 0;
    double dy = 0;
    double dz = 0;
};

using DeltaArray = std::vector<Delta>;

// The deltas of one morph target in file order with its current value as `weight`; or, used
// as an accumulator, one element per vertex number holding the summed offset of that vertex
// (there `vertex` and `weight` mean nothing).
struct MorphDeltas {
    double weight = 0;
    DeltaArray deltas;
};

// Where the delta lines of a "targetGeom" Block are, found without parsing any of them: what
// ReadMorphDeltas reads first. `hasWeight` is false when "keys" or its "k" line is missing;
// `deltas` is none (and `numbDeltas` 0) when any of the five lines is missing.
struct MorphTargetHeader {
    bool hasWeight = false;
    double weight = 0;
    std::int32_t numbDeltas = 0;
    const Block* deltas = nullptr;
    // How many of the first lines of `deltas` are delta lines: "indexes", but no more than
    // there are, and 0 when "indexes" is 0 or negative.
    std::size_t count = 0;
};
MorphTargetHeader ReadMorphTargetHeader(const Block& morphTarget);

// Reads the weight (value of the first "k" line of "keys") and the first "indexes" delta lines
// of a "targetGeom" Block into `out`, whose `deltas` should be empty. Returns the "numbDeltas"
// value, or 0 when one of "keys", "k", "indexes", "numbDeltas" or "deltas" is missing (what was
// set before the missing line stays set).
std::int32_t ReadMorphDeltas(const Block& morphTarget, MorphDeltas& out);

// Fills `delta` from the data of a "d" line: "vertex dx dy dz", blanks between, extra tokens
// ignored, missing or non-numeric ones read as 0.
void ParseDeltaLine(std::string_view data, Delta& delta);

// Adds weight × offset of every delta of `source` into the accumulator element indexed by the
// delta's vertex number. A delta whose vertex number has no element (negative, or not below
// the accumulator's size) is skipped: the accumulator never grows and is never written outside.
void AccumulateDeltas(MorphDeltas& accumulator, const MorphDeltas& source);

// The data of a "d" line: "%d %e %e %e" with three exponent digits
// ("12 1.000000e-003 0.000000e+000 -2.500000e-001").
std::string FormatDeltaLine(std::int32_t vertex, double dx, double dy, double dz);
// The same, appended to `out` without a temporary.
void AppendDeltaLine(std::string& out, std::int32_t vertex, double dx, double dy, double dz);

}  // namespace tessary
