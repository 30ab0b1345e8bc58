#include "edit/MorphDeltas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/Block.h"

namespace tessary {
namespace {

Block Line(const std::string& tag, const std::string& data) {
    Block block;
    block.tag = tag;
    block.data = data;
    return block;
}

// A "targetGeom" Block: keys { k KEY }, indexes, numbDeltas, deltas { d ... }; a line whose
// text is null is left out.
Block MorphTarget(const char* key, const char* indexes, const char* numbDeltas, int deltaLines,
                  bool withDeltas = true) {
    Block target = Line("targetGeom", "Smile");
    target.hasBlock = 1;
    target.children.push_back(Line("name", "Smile"));
    if (key) {
        Block keys = Line("keys", "");
        keys.hasBlock = 1;
        keys.children.push_back(Line("static", "0"));
        keys.children.push_back(Line("k", key));
        target.children.push_back(keys);
    }
    if (indexes) {
        target.children.push_back(Line("indexes", indexes));
    }
    if (numbDeltas) {
        target.children.push_back(Line("numbDeltas", numbDeltas));
    }
    if (withDeltas) {
        Block deltas = Line("deltas", "");
        deltas.hasBlock = 1;
        for (int i = 0; i < deltaLines; ++i) {
            deltas.children.push_back(Line("d", std::to_string(i * 2) + " 1 2 3"));
        }
        target.children.push_back(deltas);
    }
    return target;
}

TEST(ReadMorphDeltas, TakesAtMostIndexesLinesAndReturnsNumbDeltas) {
    struct Case {
        const char* indexes;
        int lines;
        std::size_t expectedDeltas;
    } cases[] = {
        {"5", 3, 3},   // fewer lines than announced: what is there
        {"5", 7, 5},   // more lines than announced: the announced count
        {"0", 4, 0},   // none announced
        {"-2", 4, 0},  // a negative count is no count
        {"junk", 4, 0},
    };
    for (const Case& c : cases) {
        MorphDeltas deltas;
        EXPECT_EQ(ReadMorphDeltas(MorphTarget("0 0.5", c.indexes, "120", c.lines), deltas), 120)
            << c.indexes << "/" << c.lines;
        EXPECT_EQ(deltas.deltas.size(), c.expectedDeltas) << c.indexes << "/" << c.lines;
        EXPECT_DOUBLE_EQ(deltas.weight, 0.5);
    }
    MorphDeltas deltas;
    ReadMorphDeltas(MorphTarget("0 1", "2", "9", 2), deltas);
    ASSERT_EQ(deltas.deltas.size(), 2u);
    EXPECT_EQ(deltas.deltas[1].vertex, 2);
    EXPECT_DOUBLE_EQ(deltas.deltas[1].dz, 3);
}

TEST(ReadMorphDeltas, MissingLinesGiveZeroKeepingWhatWasRead) {
    MorphDeltas untouched;
    untouched.weight = 7;
    EXPECT_EQ(ReadMorphDeltas(MorphTarget(nullptr, "1", "5", 1), untouched), 0);
    EXPECT_DOUBLE_EQ(untouched.weight, 7);
    EXPECT_TRUE(untouched.deltas.empty());

    struct Case {
        Block target;
        const char* what;
    } cases[] = {
        {MorphTarget("0 0.25", "1", "5", 1, false), "no deltas"},
        {MorphTarget("0 0.25", nullptr, "5", 1), "no indexes"},
        {MorphTarget("0 0.25", "1", nullptr, 1), "no numbDeltas"},
    };
    for (const Case& c : cases) {
        MorphDeltas deltas;
        EXPECT_EQ(ReadMorphDeltas(c.target, deltas), 0) << c.what;
        EXPECT_DOUBLE_EQ(deltas.weight, 0.25) << c.what;  // the key was read before
        EXPECT_TRUE(deltas.deltas.empty()) << c.what;
    }
    MorphDeltas noSpace;
    ReadMorphDeltas(MorphTarget("0.75", "0", "1", 0), noSpace);
    EXPECT_DOUBLE_EQ(noSpace.weight, 0.75);
}

TEST(ParseDeltaLine, ReadsVertexAndThreeOffsets) {
    struct Case {
        const char* data;
        Delta expected;
    } cases[] = {
        {"12 1e-3 0 -2", {12, 0.001, 0, -2}},
        {"  12   1e-3    0   -2  ", {12, 0.001, 0, -2}},
        {"12 1e-3 0 -2 99", {12, 0.001, 0, -2}},  // a fifth number is ignored
        {"5 1", {5, 1, 0, 0}},                    // missing offsets are 0
        {"7 x 2 3", {7, 0, 2, 3}},
        {"3 1,5 2 3", {3, 1, 2, 3}},  // a decimal comma ends the number
        {"-3 -0.5 +.25 5.", {-3, -0.5, 0.25, 5}},
        {"8 1e 2 3", {8, 1, 2, 3}},  // an incomplete exponent ends the number
        {"9 0x10 1 2", {9, 16, 1, 2}},
        {"1234567890 1 2 3", {1234567890, 1, 2, 3}},
        {"6 1\t2 3", {6, 1, 3, 0}},  // a tab is no separator
        {"", {-1, 0, 0, 0}},         // no vertex at all: -1, never vertex 0
        {"   ", {-1, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        Delta delta{99, 9, 9, 9};
        ParseDeltaLine(c.data, delta);
        EXPECT_EQ(delta.vertex, c.expected.vertex) << c.data;
        EXPECT_DOUBLE_EQ(delta.dx, c.expected.dx) << c.data;
        EXPECT_DOUBLE_EQ(delta.dy, c.expected.dy) << c.data;
        EXPECT_DOUBLE_EQ(delta.dz, c.expected.dz) << c.data;
    }
    // No length limit: a number far into a long line is still read.
    Delta delta;
    ParseDeltaLine("4 " + std::string(300, ' ') + "2.5", delta);
    EXPECT_DOUBLE_EQ(delta.dx, 2.5);
}

TEST(AccumulateDeltas, AddsWeightedOffsetsPerVertex) {
    MorphDeltas sum;
    sum.deltas.resize(10);
    MorphDeltas first{1.0, {{7, 1, 2, 3}, {2, 1, 1, 1}}};
    MorphDeltas second{0.5, {{7, 2, 4, 6}, {7, 2, 0, 0}}};  // vertex 7 twice: both count
    MorphDeltas silent{0.0, {{7, 100, 100, 100}}};
    AccumulateDeltas(sum, first);
    AccumulateDeltas(sum, second);
    AccumulateDeltas(sum, silent);
    EXPECT_DOUBLE_EQ(sum.deltas[7].dx, 1 + 1 + 1);
    EXPECT_DOUBLE_EQ(sum.deltas[7].dy, 2 + 2);
    EXPECT_DOUBLE_EQ(sum.deltas[7].dz, 3 + 3);
    EXPECT_DOUBLE_EQ(sum.deltas[2].dx, 1);
    EXPECT_DOUBLE_EQ(sum.deltas[0].dx, 0);
}

TEST(AccumulateDeltas, SkipsVertexNumbersOutsideTheAccumulator) {
    MorphDeltas sum;
    sum.deltas.resize(4);
    MorphDeltas hostile{1.0, {{-1, 5, 5, 5}, {4, 5, 5, 5}, {2147483647, 5, 5, 5}, {3, 1, 0, 0}}};
    AccumulateDeltas(sum, hostile);
    ASSERT_EQ(sum.deltas.size(), 4u);
    EXPECT_DOUBLE_EQ(sum.deltas[3].dx, 1);
    for (int i = 0; i < 3; ++i) {
        EXPECT_DOUBLE_EQ(sum.deltas[i].dx, 0) << i;
    }
}

TEST(FormatDeltaLine, WritesTheFileForm) {
    EXPECT_EQ(FormatDeltaLine(12, 0.001, 0, -0.25),
              "12 1.000000e-003 0.000000e+000 -2.500000e-001");
    EXPECT_EQ(FormatDeltaLine(-3, 1234.5, 1e-20, -1e120),
              "-3 1.234500e+003 1.000000e-020 -1.000000e+120");
    // What is written reads back as the same Delta (to the six digits written).
    Delta delta;
    ParseDeltaLine(FormatDeltaLine(41, 0.125, -3.5, 2e-7), delta);
    EXPECT_EQ(delta.vertex, 41);
    EXPECT_DOUBLE_EQ(delta.dx, 0.125);
    EXPECT_DOUBLE_EQ(delta.dy, -3.5);
    EXPECT_DOUBLE_EQ(delta.dz, 2e-7);
}

}  // namespace
}  // namespace tessary
